#include "analysis/anlwinobjseq.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <limits>

#include "analysis/analysis_ids.h"
#include "analysis/quantity.h"
#include "analysis/sgfilter.h"
#include "base/messages.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"

void AnalysisOutOfMemory() {
  ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kOutOfMemory, "");
  std::exit(1);
}

void AnalysisRange::MergeMin(const AnalysisRange& o) {
  for (int c = 0; c < 3; ++c) position[c][0] = std::min(position[c][0], o.position[c][0]);
  frames[0] = std::min(frames[0], o.frames[0]);
  for (int d = 0; d < kDerivatives; ++d) {
    derivative[d][0] = std::min(derivative[d][0], o.derivative[d][0]);
    derivativeFrames[d][0] = std::min(derivativeFrames[d][0], o.derivativeFrames[d][0]);
  }
}

void AnalysisRange::MergeMax(const AnalysisRange& o) {
  for (int c = 0; c < 3; ++c) position[c][1] = std::max(position[c][1], o.position[c][1]);
  frames[1] = std::max(frames[1], o.frames[1]);
  for (int d = 0; d < kDerivatives; ++d) {
    derivative[d][1] = std::max(derivative[d][1], o.derivative[d][1]);
    derivativeFrames[d][1] = std::max(derivativeFrames[d][1], o.derivativeFrames[d][1]);
  }
}

namespace {

// Smallest and largest value and the first and last frame (1-based) of a series.
struct Scan {
  bool any = false;
  float min = 0, max = 0;
  int first = 0, last = 0;
};

// A float's bits as an integer that orders as the float does, so that the scan below runs on
// integer comparisons, several frames at a time.
inline std::int32_t OrderKey(float v) {
  const auto bits = std::bit_cast<std::int32_t>(v);
  return bits ^ ((bits >> 31) & 0x7FFFFFFF);
}

inline float FromOrderKey(std::int32_t key) {
  return std::bit_cast<float>(key ^ ((key >> 31) & 0x7FFFFFFF));
}

Scan ScanSeries(const float* a, int n) {
  Scan s;
  int first = 0, last = n - 1;
  while (first < n && a[first] == kMissingValue) ++first;
  if (first >= n) return s;
  while (a[last] == kMissingValue) --last;
  const std::int32_t missing = OrderKey(kMissingValue);
  std::int32_t lo = std::numeric_limits<std::int32_t>::max();
  std::int32_t hi = std::numeric_limits<std::int32_t>::min();
  for (int i = first; i <= last; ++i) {
    const std::int32_t k = OrderKey(a[i]);
    lo = std::min(lo, k == missing ? std::numeric_limits<std::int32_t>::max() : k);
    hi = std::max(hi, k == missing ? std::numeric_limits<std::int32_t>::min() : k);
  }
  s = {true, FromOrderKey(lo), FromOrderKey(hi), first + 1, last + 1};
  return s;
}

float Coordinate(const ObjectBase& p, int coordinate) {
  return coordinate == 0 ? p.x : coordinate == 1 ? p.y : p.z;
}

bool IsDerivativeCode(int code) {
  const auto slot = SeriesSlotOf(code);
  return slot && slot->order > 0;
}

}  // namespace

AnlWinObjectSequence::AnlWinObjectSequence(ResObjectSequence* sequence, unsigned penWidth,
                                           unsigned penStyle, bool connect, bool markers)
    : ownColor_(sequence->color),
      sequence_(sequence),
      drawingColor_(sequence->color),
      penWidth_(penWidth),
      penStyle_(penStyle),
      connect_(connect),
      markers_(markers) {}

AnlWinObjectSequence::AnlWinObjectSequence(const AnlWinObjectSequence& o)
    : ownColor_(o.ownColor_),
      sequence_(o.sequence_),
      automaticStyle_(o.automaticStyle_),
      crosshairIndex_(o.crosshairIndex_),
      drawingColor_(o.drawingColor_),
      penWidth_(o.penWidth_),
      penStyle_(o.penStyle_),
      connect_(o.connect_),
      markers_(o.markers_) {}

void AnlWinObjectSequence::AssignStyle(const AnlWinObjectSequence& o) {
  sequence_ = o.sequence_;
  ownColor_ = o.ownColor_;
  drawingColor_ = o.drawingColor_;
  penWidth_ = o.penWidth_;
  penStyle_ = o.penStyle_;
  connect_ = o.connect_;
  markers_ = o.markers_;
}

int AnlWinObjectSequence::FrameCount() const {
  // Once read, the series keep the length they were read with, even if the sequence grows.
  return hasPoint_.empty() ? sequence_->Size() : static_cast<int>(hasPoint_.size());
}

void AnlWinObjectSequence::SetStyle(unsigned width, unsigned style, bool connect, bool markers,
                                    bool automatic) {
  if (automatic && !automaticStyle_) return;
  if (!automatic) automaticStyle_ = false;
  penWidth_ = width;
  penStyle_ = style;
  connect_ = connect;
  markers_ = markers;
}

void AnlWinObjectSequence::SetHighlight(bool on) {
  drawingColor_ = on ? kHighlightColor : ownColor_;
}

float AnlWinObjectSequence::PointCoordinate(int frame, int coordinate, bool& hasPoint) const {
  const ObjectBase* p = sequence_->ItemAt(frame);
  hasPoint = p != nullptr;
  return p ? Coordinate(*p, coordinate) : kMissingValue;
}

void AnlWinObjectSequence::FillPositions() {
  if (!hasPoint_.empty()) return;
  const int n = FrameCount();
  for (auto& a : positions_) AllocateSeries(a, n + 1, kMissingValue);
  AllocateSeries(hasPoint_, n, char{0});
  for (int i = 0; i < n; ++i) {
    const ObjectBase* p = sequence_->ItemAt(i + 1);
    if (!p) continue;
    hasPoint_[i] = 1;
    positions_[0][i] = p->x;
    positions_[1][i] = p->y;
    positions_[2][i] = p->z;
  }
}

void AnlWinObjectSequence::GatherPosition(int coordinate, bool startPair, bool mergeFrames) {
  FillPositions();
  positionRequested_[coordinate] = true;
  const Scan s = ScanSeries(Position(coordinate).data(), FrameCount());
  if (!s.any) return;  // without values the range keeps what it had
  auto& pair = range_.position[coordinate];
  if (startPair) {
    pair = {s.min, s.max};
  } else {
    pair = {std::min(pair[0], s.min), std::max(pair[1], s.max)};
  }
  if (mergeFrames)
    range_.frames = {std::min(range_.frames[0], s.first), std::max(range_.frames[1], s.last)};
  else
    range_.frames = {s.first, s.last};
}

void AnlWinObjectSequence::ComputeDerivative(int coordinate, int order) {
  const int n = FrameCount();
  FillPositions();
  const float* position = Position(coordinate).data();
  // The filter writes every frame; the spare entry stays without value.
  DerivativeSeries output;
  AllocateUninitialised(output, n + 1);
  output[n] = kMissingValue;
  // The filter runs on the series as it is. A frame without value (no point, or a point whose
  // coordinate is missing) spoils every output whose window reaches it, and exactly those are
  // marked below: the outputs that stay are those of windows of values alone, the same as if
  // the frames without value had entered as 0.
  SavitzkyGolayFilter(position, n, order, order, output.data());
  MarkUndefinedDerivatives(output.data(), order, n,
                           [&](int i) { return !hasPoint_[i] || position[i] == kMissingValue; });

  const int slot = AnalysisRange::DerivativeSlot(coordinate, order);
  const Scan s = ScanSeries(output.data(), n);
  derivativeValid_[slot] = s.any;
  if (s.any) {
    range_.derivative[slot] = {s.min, s.max};
    range_.derivativeFrames[slot] = {s.first, s.last};
  } else {
    range_.derivativeFrames[slot] = {n + 1, n + 1};
  }
  derivatives_[slot] = std::move(output);
}

void AnlWinObjectSequence::GatherDerivative(int coordinate, int order) {
  const int slot = AnalysisRange::DerivativeSlot(coordinate, order);
  if (derivatives_[slot].empty()) {
    ComputeDerivative(coordinate, order);
    return;
  }
  derivativeValid_[slot] = false;
  const Scan s = ScanSeries(derivatives_[slot].data(), FrameCount());
  if (!s.any) return;
  derivativeValid_[slot] = true;
  range_.derivative[slot] = {s.min, s.max};
  range_.derivativeFrames[slot] = {s.first, s.last};
}

AnalysisRange AnlWinObjectSequence::GetStatistics(int code) {
  const auto slot = SeriesSlotOf(code);
  if (!slot) return range_;
  if (code == quantity::kYOverX) {
    // y then x; the x pair starts from the first x value, so the abscissa shows x alone.
    GatherPosition(1, true, false);
    const bool yHadValues = ScanSeries(Position(1).data(), FrameCount()).any;
    GatherPosition(0, true, yHadValues);
  } else if (slot->order == 0) {
    GatherPosition(slot->coordinate, true, false);
  } else {
    GatherDerivative(slot->coordinate, slot->order);
  }
  return range_;
}

const float* AnlWinObjectSequence::SelectArray(int code) const {
  const auto slot = SeriesSlotOf(code);
  if (!slot) return nullptr;
  if (slot->order == 0)
    return positionRequested_[slot->coordinate] ? positions_[slot->coordinate].data() : nullptr;
  const DerivativeSeries& a =
      derivatives_[AnalysisRange::DerivativeSlot(slot->coordinate, slot->order)];
  return a.empty() ? nullptr : a.data();
}

bool AnlWinObjectSequence::IsDerivativeValid(int code) const {
  if (sequence_->IsHidden()) return false;
  if (!IsDerivativeCode(code)) return true;
  const auto slot = SeriesSlotOf(code);
  return derivativeValid_[AnalysisRange::DerivativeSlot(slot->coordinate, slot->order)];
}

bool AnlWinObjectSequence::HasTwoValues(int code) const {
  const float* a = SelectArray(code);
  if (!a) return false;
  int count = 0;
  for (int i = 0, n = FrameCount(); i < n && count < 2; ++i) count += a[i] != kMissingValue;
  return count >= 2;
}

std::pair<int, int> AnlWinObjectSequence::SingleValue(int code) const {
  const float* a = SelectArray(code);
  if (!a) return {0, 0};
  int count = 0, index = 0;
  for (int i = 0, n = FrameCount(); i < n; ++i) {
    if (a[i] == kMissingValue) continue;
    if (++count > 1) return {0, 0};
    index = i;
  }
  return count == 1 ? std::pair{static_cast<int>(a[index]), index} : std::pair{0, 0};
}
