#include "analysis/curves/curves.h"

#include <algorithm>
#include <cmath>

#include "analysis/series/anlwinobjseq.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"

namespace {

// The point of the frame when it has all three coordinates.
const ObjectBase* FullPoint(const ResObjectSequence* s, int frame) {
  const ObjectBase* p = s->ItemAt(frame);
  if (!p || p->x == kMissingValue || p->y == kMissingValue || p->z == kMissingValue) return nullptr;
  return p;
}

// First and last frame in 1..frames where has(frame) holds; -1 when none.
template <class Has>
std::pair<int, int> FrameRange(int frames, Has has) {
  int first = -1, last = -1;
  for (int f = 1; f <= frames; ++f) {
    if (!has(f)) continue;
    if (first < 0) first = f;
    last = f;
  }
  return {first, last};
}

CurveRange MakeRange(int first, float min, int last, float max) {
  return {static_cast<float>(first), min, static_cast<float>(last), max};
}

}  // namespace

// ---- Distance -----------------------------------------------------------------------------

DistanzZeichnen::DistanzZeichnen(ResObjectSequence* a, ResObjectSequence* b, unsigned penWidth,
                                 unsigned penStyle, bool connect)
    : AnlWinKurve(penWidth, penStyle, connect, false), a_(a), b_(b) {}

void DistanzZeichnen::FindRange() {
  std::tie(first_, last_) = FrameRange(std::min(a_->Size(), b_->Size()),
                                       [&](int f) { return a_->ItemAt(f) && b_->ItemAt(f); });
}

void DistanzZeichnen::Compute(int order) {
  std::vector<float>& series = MutableSeries();
  valid_ = false;
  if (last_ < 0) FindRange();
  series.clear();
  if (last_ < 1) return;
  const int n = std::max(a_->Size(), b_->Size());
  AllocateSeries(series, n, kMissingValue);
  for (int f = 1; f <= n; ++f) {
    // A point without one of its coordinates has no distance to anything.
    const ObjectBase* p = FullPoint(a_, f);
    const ObjectBase* q = FullPoint(b_, f);
    if (!p || !q) continue;
    const long double dx = p->x - q->x, dy = p->y - q->y, dz = p->z - q->z;
    series[f - 1] = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  Derive(order, last_, min_, max_);
}

CurveRange DistanzZeichnen::GetRange() const { return MakeRange(first_, min_, last_, max_); }

bool DistanzZeichnen::IsHidden() const { return a_->IsHidden() || b_->IsHidden(); }

void DistanzZeichnen::Draw(PlotCanvas& canvas, const PlotMapping& map) const {
  if (!IsHidden()) DrawPolyline(canvas, map, last_, nullptr);
}

bool DistanzZeichnen::HitTest(float t, float v, float sx, float sy) const {
  return !IsHidden() && AnlWinKurve::HitTest(t, v, sx, sy, last_);
}

// ---- Resultant ----------------------------------------------------------------------------

ResultierendeZeichnen::ResultierendeZeichnen(ResObjectSequence* sequence, unsigned penWidth,
                                             unsigned penStyle, bool connect)
    : AnlWinKurve(penWidth, penStyle, connect, false), sequence_(sequence) {
  SetColor(sequence->color);
}

void ResultierendeZeichnen::FindRange() {
  std::tie(first_, last_) =
      FrameRange(sequence_->Size(), [&](int f) { return sequence_->ItemAt(f) != nullptr; });
}

void ResultierendeZeichnen::Compute(int order, ResultantMode mode) {
  std::vector<float>& series = MutableSeries();
  valid_ = false;
  if (last_ < 0) FindRange();
  series.clear();
  if (last_ < 1) return;
  AllocateSeries(series, sequence_->Size(), kMissingValue);
  if (mode == ResultantMode::kMagnitudeFirst)
    MagnitudeFirst(order);
  else
    DerivativesFirst(order);
}

void ResultierendeZeichnen::MagnitudeFirst(int order) {
  std::vector<float>& series = MutableSeries();
  for (int f = 1; f <= last_; ++f) {
    if (const ObjectBase* p = FullPoint(sequence_, f)) {
      const double x = p->x, y = p->y, z = p->z;
      series[f - 1] = static_cast<float>(std::sqrt(x * x + y * y + z * z));
    }
  }
  Derive(order, last_, min_, max_);
}

void ResultierendeZeichnen::DerivativesFirst(int order) {
  std::vector<float>& series = MutableSeries();
  const int n = last_;
  std::vector<float> mask, input;
  std::array<std::vector<float>, 3> derivative;
  AllocateSeries(mask, n, 0.0f);
  AllocateSeries(input, n, 0.0f);
  for (int c = 0; c < 3; ++c) {
    for (int i = 0; i < n; ++i) {
      const ObjectBase* p = sequence_->ItemAt(i + 1);
      const float v = !p ? kMissingValue : c == 0 ? p->x : c == 1 ? p->y : p->z;
      input[i] = v == kMissingValue ? 0.0f : v;
      if (v == kMissingValue) mask[i] = kMissingValue;
    }
    AllocateSeries(derivative[c], n, 0.0f);
    Differentiate(input.data(), n, order, order, derivative[c].data());
  }
  for (int i = 0; i < n; ++i) {
    if (mask[i] == kMissingValue) {
      series[i] = kMissingValue;
      continue;
    }
    const double x = derivative[0][i], y = derivative[1][i], z = derivative[2][i];
    series[i] = mask[i] = static_cast<float>(std::sqrt(x * x + y * y + z * z));
  }
  MarkUndefined(mask.data(), order, n);
  min_ = max_ = kMissingValue;
  first_ = -1;
  for (int i = 0; i < n; ++i) {
    if (mask[i] == kMissingValue || series[i] == kMissingValue) {
      series[i] = kMissingValue;
      continue;
    }
    series[i] = mask[i];
    if (first_ < 0) first_ = i + 1;
    min_ = valid_ ? std::min(min_, mask[i]) : mask[i];
    max_ = valid_ ? std::max(max_, mask[i]) : mask[i];
    valid_ = true;
  }
}

CurveRange ResultierendeZeichnen::GetRange() const { return MakeRange(first_, min_, last_, max_); }

void ResultierendeZeichnen::Draw(PlotCanvas& canvas, const PlotMapping& map) const {
  DrawPolyline(canvas, map, last_, sequence_);
}

bool ResultierendeZeichnen::HitTest(float t, float v, float sx, float sy) const {
  return AnlWinKurve::HitTest(t, v, sx, sy, last_);
}

// ---- Angle --------------------------------------------------------------------------------

WinkelZeichnen::WinkelZeichnen(AngleSequencePair* angle, unsigned penWidth, unsigned penStyle,
                               bool connect)
    : AnlWinKurve(penWidth, penStyle, connect, false), angle_(angle) {
  if (const ColorDescr* c = angle->Color()) SetColor(c->color);
  angle->Recalculate(0, nullptr);
}

namespace {

int MinFrames(const AngleSequencePair& a) {
  int n = a.SequenceAt(1)->Size();
  for (int i = 2; i <= 4; ++i) n = std::min(n, a.SequenceAt(i)->Size());
  return n;
}

int MaxFrames(const AngleSequencePair& a) {
  int n = a.SequenceAt(1)->Size();
  for (int i = 2; i <= 4; ++i) n = std::max(n, a.SequenceAt(i)->Size());
  return n;
}

}  // namespace

void WinkelZeichnen::FindRange() {
  std::tie(first_, last_) = FrameRange(MinFrames(*angle_), [&](int f) {
    for (int i = 1; i <= 4; ++i)
      if (!angle_->SequenceAt(i)->ItemAt(f)) return false;
    return true;
  });
}

void WinkelZeichnen::Compute(int order, int plane) {
  std::vector<float>& series = MutableSeries();
  valid_ = false;
  if (last_ < 0) FindRange();
  series.clear();
  if (last_ < 1) return;
  AllocateSeries(series, MaxFrames(*angle_), kMissingValue);
  for (int f = 1; f <= last_; ++f)
    series[f - 1] = static_cast<float>(angle_->Angle(f, plane, nullptr));
  DeriveAngles(order, last_, min_, max_);
}

CurveRange WinkelZeichnen::GetRange() const { return MakeRange(first_, min_, last_, max_); }

void WinkelZeichnen::Draw(PlotCanvas& canvas, const PlotMapping& map) const {
  DrawPolyline(canvas, map, last_, nullptr);
}

bool WinkelZeichnen::HitTest(float t, float v, float sx, float sy) const {
  return AnlWinKurve::HitTest(t, v, sx, sy, last_);
}
