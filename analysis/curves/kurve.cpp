#include "analysis/curves/kurve.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/series/sgfilter.h"
#include "base/unitsorigin.h"

namespace {

// An angle at or below this is undefined as input of a derivative; below kAngleSpoils it spoils
// its neighbours' derivatives.
constexpr float kAngleUndefined = -0.001f;
constexpr float kAngleSpoils = -0.01f;
// The searched stretch of a hit test: 10 frames or a tenth of the curve on either side.
constexpr double kHitReachFrames = 10.0;
constexpr double kHitReachShare = 0.1;

}  // namespace

AnlWinKurve::AnlWinKurve(unsigned penWidth, unsigned penStyle, bool connect, bool markers)
    : CurveLook(0, penWidth, penStyle, connect, markers) {}

AnlWinKurve::AnlWinKurve(const AnlWinKurve& o)
    : CurveLook(o), valid_(o.valid_), crosshairIndex_(o.crosshairIndex_) {}

void AnlWinKurve::SetHighlight(bool on) {
  SetHighlightColor(on);
  crosshairIndex_ = -1;
}

bool AnlWinKurve::HasTwoValues(int n) const {
  n = std::min<int>(n, series_.size());
  int count = 0;
  for (int i = 0; i < n && count < 2; ++i) count += series_[i] != kMissingValue;
  return count >= 2;
}

void AnlWinKurve::Differentiate(const float* input, int n, int w, int order, float* output) {
  SavitzkyGolayFilter(input, n, w, order, output);
}

void AnlWinKurve::MarkUndefined(float* output, int order, int n) const {
  MarkUndefinedDerivatives(output, order, n, [&](int i) { return series_[i] == kMissingValue; });
}

void AnlWinKurve::MarkUndefinedAngles(float* output, int order, int n) const {
  MarkUndefinedDerivatives(output, order, n, [&](int i) { return series_[i] < kAngleSpoils; });
}

template <class Undefined, class Marks, class Keeps>
void AnlWinKurve::DeriveSeries(int order, int last, Undefined undefinedInput, Marks marks,
                               Keeps keepsValue, float& min, float& max) {
  valid_ = false;
  summary_.Drop();
  min = max = kMissingValue;
  last = std::min<int>(last, series_.size());
  if (last <= 0) return;
  std::vector<float> input, output;
  AllocateSeries(input, last, 0.0f);
  AllocateSeries(output, last, 0.0f);
  for (int i = 0; i < last; ++i) input[i] = undefinedInput(series_[i]) ? 0.0f : series_[i];
  Differentiate(input.data(), last, order, order, output.data());
  marks(output.data(), order, last);
  for (int i = 0; i < last; ++i) {
    if (output[i] == kMissingValue || !keepsValue(series_[i])) {
      series_[i] = kMissingValue;
      continue;
    }
    series_[i] = output[i];
    min = valid_ ? std::min(min, output[i]) : output[i];
    max = valid_ ? std::max(max, output[i]) : output[i];
    valid_ = true;
  }
}

void AnlWinKurve::Derive(int order, int last, float& min, float& max) {
  auto missing = [](float v) { return v == kMissingValue; };
  DeriveSeries(
      order, last, missing, [&](float* out, int o, int n) { MarkUndefined(out, o, n); },
      [&](float v) { return !missing(v); }, min, max);
}

void AnlWinKurve::DeriveAngles(int order, int last, float& min, float& max) {
  DeriveSeries(
      order, last, [](float v) { return v <= kAngleUndefined; },
      [&](float* out, int o, int n) { MarkUndefinedAngles(out, o, n); },
      [](float v) { return v > kAngleUndefined; }, min, max);
}

SeriesView AnlWinKurve::View(int n) const {
  SeriesView view;
  view.values = Values();
  view.last = std::min<int>(n, series_.size());
  return view;
}

void AnlWinKurve::DrawPolyline(PlotCanvas& canvas, const PlotMapping& map, int last,
                               const ColorDescr* marker) const {
  SeriesStyle style;
  style.pen = Pen{drawingColor_, static_cast<int>(penWidth_), static_cast<int>(penStyle_)};
  style.connect = connect_;
  style.markers = markers_;
  style.marker = marker;
  SeriesView view = View(last);
  if (UsesSummary(map)) view.summary = summary_.Get(Values(), static_cast<int>(series_.size()));
  DrawSeries(canvas, view, map, style);
}

bool AnlWinKurve::HitTest(float t, float v, float sx, float sy, int n) const {
  const SeriesView view = View(n);
  if (!view.values || sx == 0.0f || sy == 0.0f || t == kMissingValue || v == kMissingValue)
    return false;
  const double reach = std::max(kHitReachFrames, kHitReachShare * n);
  const int fromFrame = static_cast<int>(std::max(1.0, t - reach));
  const int toFrame =
      std::min(n - 1, static_cast<int>(t + std::max(static_cast<int>(kHitReachFrames), n / 10)));
  if (HitSeries(view, fromFrame - 1, toFrame - 1, t, v, sx, sy, connect_, true)) return true;
  // The value that ends the searched stretch.
  const int end = std::max(toFrame, 0);
  return end < view.last && view.HasValue(end) &&
         PointDistance(end + 1, view.values[end], t, v, sx, sy) < kHitPixels;
}

namespace {

// The index nearest to i at which the series meets the level v, searching in direction step
// (-1 down to 0, +1 up to n - 1); a step across the level gives whichever of its two ends lies
// closer to it. -1 when there is none.
int Crossing(const SeriesView& s, int i, int step, float v) {
  for (int j = i; j >= 0 && j < s.last; j += step) {
    if (!s.HasValue(j)) continue;
    if (s.values[j] == v) return j;
    const int k = j + step;
    if (k < 0 || k >= s.last || !s.HasValue(k)) continue;
    const float a = s.values[j], b = s.values[k];
    if ((a < v && v < b) || (b < v && v < a)) return std::fabs(a - v) <= std::fabs(b - v) ? j : k;
  }
  return -1;
}

// +1 at a local maximum, -1 at a local minimum, 0 otherwise; an end or a neighbour without value
// leaves the comparison with the other neighbour alone.
int Extremum(const SeriesView& s, int i) {
  const bool hasLeft = i > 0 && s.HasValue(i - 1);
  const bool hasRight = i + 1 < s.last && s.HasValue(i + 1);
  if (!hasLeft && !hasRight) return 0;
  const float v = s.values[i];
  const bool above = (!hasLeft || v > s.values[i - 1]) && (!hasRight || v > s.values[i + 1]);
  const bool below = (!hasLeft || v < s.values[i - 1]) && (!hasRight || v < s.values[i + 1]);
  return above ? 1 : below ? -1 : 0;
}

}  // namespace

void AnlWinKurve::SnapCrosshair(float& t, float& v, float sx, float sy, int n) {
  const SeriesView view = View(n);
  if (!view.values) return;
  if (sx != 0.0f || crosshairIndex_ < 0 || crosshairIndex_ >= view.last ||
      !view.HasValue(crosshairIndex_)) {
    const int i = NearestValue(view, t, v, sx, sy);
    if (i < 0) return;
    crosshairIndex_ = i;
    t = view.T(i);
    v = view.values[i];
    return;
  }
  const int i = crosshairIndex_;
  const float here = view.values[i];
  const int extremum = Extremum(view, i);
  const bool beyond = (extremum > 0 && v > here) || (extremum < 0 && v < here);
  if (!beyond) {
    const int before = Crossing(view, i, -1, v);
    const int after = Crossing(view, i + 1, +1, v);
    int pick = before >= 0 ? before : after;
    if (before >= 0 && after >= 0 &&
        std::fabs(view.values[after] - v) < std::fabs(view.values[before] - v))
      pick = after;
    if (pick >= 0) crosshairIndex_ = pick;
  }
  t = view.T(crosshairIndex_);
  v = view.values[crosshairIndex_];
}
