// Smoothing, approximation and gap filling of an entry's position series, and writing it back
// into the sequence's points.

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/series/approximation.h"
#include "analysis/series/gapnetwork.h"
#include "analysis/quantity.h"
#include "base/messages.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"
#include "platform/strings.h"

namespace {

constexpr int kLowPassWindow = 5;
constexpr long double kLowPassWeight = 0.2L;

// Gap filling.
constexpr int kMinValuesToInterpolate = 4;
constexpr int kNeighboursBelow = 13;
constexpr int kMaxNeighbours = 26;
constexpr double kFlatSpan = 0.001;
constexpr double kTargetSpan = 0.5;
constexpr double kTargetOffset = 0.25;
constexpr int kMaxEpochs = 75000;
constexpr int kEpochsPerStep = 750;
constexpr double kErrorSettled = 5e-9;
constexpr double kErrorGoal = 0.01;
constexpr double kZeroValue = 1e-6;

// Where the last abort window of gap filling stood; -1 when none did.
int g_gapWindowX = -1;
int g_gapWindowY = -1;

// The coordinate of a position code (9 counts as y), or -1.
int PositionCoordinate(int code) {
  switch (code) {
    case quantity::kX:
      return 0;
    case quantity::kY:
    case quantity::kYOverX:
      return 1;
    case quantity::kZ:
      return 2;
    default:
      return -1;
  }
}

float& CoordinateOf(ObjectBase& p, int coordinate) {
  return coordinate == 0 ? p.x : coordinate == 1 ? p.y : p.z;
}

struct Neighbours {
  std::vector<int> index;
  int t0 = 0, t1 = 0;
  float vmin = 0, vmax = 0;
};

// Up to 13 values below the gap at k (nearest first), then values above it up to L, 26 in all.
Neighbours CollectNeighbours(const float* a, int k, int last) {
  Neighbours n;
  for (int i = k - 1; i >= std::max(0, k - kNeighboursBelow); --i)
    if (a[i] != kMissingValue) n.index.push_back(i);
  for (int i = k + 1; i <= last && static_cast<int>(n.index.size()) < kMaxNeighbours; ++i)
    if (a[i] != kMissingValue) n.index.push_back(i);
  const auto [lo, hi] = std::minmax_element(n.index.begin(), n.index.end());
  n.t0 = *lo;
  n.t1 = *hi;
  n.vmin = n.vmax = a[n.index.front()];
  for (int i : n.index) {
    n.vmin = std::min(n.vmin, a[i]);
    n.vmax = std::max(n.vmax, a[i]);
  }
  return n;
}

void TrainOnNeighbours(const float* a, const Neighbours& n, GapProgress* progress) {
  std::vector<double> x, y;
  const double span = static_cast<double>(n.vmax) - n.vmin;
  for (int i : n.index) {
    x.push_back(static_cast<double>(i - n.t0) / (n.t1 - n.t0));
    y.push_back((a[i] - static_cast<double>(n.vmin)) * kTargetSpan / span + kTargetOffset);
  }
  const int count = static_cast<int>(x.size());
  double error = 1.0;
  for (int epoch = 1;; ++epoch) {
    const double previous = error;
    error = 2.0 * GapNetwork::Train(x.data(), y.data(), count, false);
    if ((epoch - 1) % kEpochsPerStep == 0 && progress && !progress->Step(epoch, kMaxEpochs)) break;
    if (epoch > kMaxEpochs) break;
    if (std::fabs(previous - error) <= kErrorSettled && error <= kErrorGoal) break;
  }
}

void FillGap(float* a, int k, int n, const Neighbours& nb) {
  const double span = static_cast<double>(nb.vmax) - nb.vmin;
  for (int i = k; i < n && a[i] == kMissingValue; ++i) {
    if (nb.vmax == nb.vmin) {
      a[i] = (nb.vmax + nb.vmin) * 0.5f;
      continue;
    }
    double value = GapNetwork::Evaluate(i, nb.t0, nb.t1, 2.0 * span) + nb.vmin;
    if (std::fabs(value) < kZeroValue) value = 0.0;
    a[i] = static_cast<float>(value);
  }
}

}  // namespace

bool AnlWinObjectSequence::LowPass(int code) {
  summary_.Drop();
  const auto slot = SeriesSlotOf(code);
  if (!slot) return false;
  if (!SelectArray(code)) GetStatistics(code);
  float* a = const_cast<float*>(SelectArray(code));
  const int n = FrameCount();
  if (!a || n < kLowPassWindow) return false;
  bool smoothed = false;
  // In place: each window already sees the smoothed values before its centre.
  for (int j = 0; j + kLowPassWindow <= n; ++j) {
    if (std::any_of(a + j, a + j + kLowPassWindow, [](float v) { return v == kMissingValue; }))
      continue;
    long double sum = 0.0L;
    for (int i = j; i < j + kLowPassWindow; ++i) sum += a[i];
    a[j + 2] = static_cast<float>(sum * kLowPassWeight);
    smoothed = true;
  }
  return smoothed;
}

bool AnlWinObjectSequence::Approximate(int code, int degree) {
  summary_.Drop();
  const int coordinate = PositionCoordinate(code);
  if (coordinate < 0) return false;
  const int n = FrameCount();
  std::vector<double> t, v;
  for (int i = 0; i < n; ++i) {
    bool hasPoint = false;
    const float value = PointCoordinate(i + 1, coordinate, hasPoint);
    if (!hasPoint || value == kMissingValue) continue;
    t.push_back(i);
    v.push_back(value);
  }
  using namespace analysis_ids;
  if (t.empty()) {
    ErrorMessage(kApproximationFailure, kNoValuesToApproximate);
    return false;
  }
  const auto fit = FitPolynomial(t, v, degree, n);
  if (!fit) {
    ErrorMessage(kApproximationFailure, kReducePolynomialOrder);
    return false;
  }
  if (!positionRequested_[coordinate]) GetStatistics(coordinate * 3);
  float* a = Position(coordinate).data();
  const double max = range_.position[coordinate][1];
  for (int i = static_cast<int>(t.front()); i <= static_cast<int>(t.back()); ++i)
    a[i] = static_cast<float>(std::min(fit->Evaluate(i), max));
  return true;
}

bool AnlWinObjectSequence::InterpolateGaps(int code, const std::string& coordinateName,
                                           GapProgress* progress, bool resetPosition) {
  summary_.Drop();
  if (resetPosition) g_gapWindowX = g_gapWindowY = -1;
  const int coordinate = PositionCoordinate(code);
  if (coordinate < 0) return true;
  if (!positionRequested_[coordinate]) GetStatistics(coordinate * 3);
  float* a = Position(coordinate).data();
  const int n = FrameCount();
  int count = 0, last = -1;
  for (int i = 0; i < n; ++i)
    if (a[i] != kMissingValue) ++count, last = i;
  if (count < kMinValuesToInterpolate) return true;

  int k = 0;
  while (k < n && a[k] == kMissingValue) ++k;
  while (k < n && a[k] != kMissingValue) ++k;
  if (k > last) return true;  // no gap before the last value
  --k;

  int gap = 0;
  for (; k <= last; ++k) {
    // Every index visited draws fresh weights, whether a gap starts there or not.
    GapNetwork::Train(nullptr, nullptr, 0, true);
    if (a[k] != kMissingValue) continue;
    ++gap;
    if (progress)
      progress->Open(
          platform::FormatString(analysis_ids::kGapCaption, coordinateName, gap, sequence_->name),
          g_gapWindowX, g_gapWindowY);
    const Neighbours nb = CollectNeighbours(a, k, last);
    if (std::fabs(static_cast<double>(nb.vmax) - nb.vmin) > kFlatSpan)
      TrainOnNeighbours(a, nb, progress);
    FillGap(a, k, n, nb);
    if (progress) std::tie(g_gapWindowX, g_gapWindowY) = progress->Close();
  }
  return true;
}

void AnlWinObjectSequence::WerteZurueckschreiben(int code) {
  const int coordinate = PositionCoordinate(code);
  if (coordinate < 0) {
    ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kUndefinedCondition,
                 "WerteZurueckschreiben");
    std::exit(1);
  }
  GetStatistics(coordinate * 3);
  const float* a = Position(coordinate).data();
  const int n = FrameCount();
  int first = 0, last = n - 1;
  while (first < n && a[first] == kMissingValue) ++first;
  while (last >= first && a[last] == kMissingValue) --last;
  // Every frame from the first to the last value: values after a gap that stayed open must reach
  // the points too.
  for (int i = first; i <= last; ++i) {
    if (ObjectBase* p = sequence_->ItemAt(i + 1)) {
      CoordinateOf(*p, coordinate) = a[i];
    } else if (a[i] != kMissingValue) {
      auto point = std::make_unique<ObjectBase>(i + 1, kMissingValue, kMissingValue, kMissingValue);
      CoordinateOf(*point, coordinate) = a[i];
      if (sequence_->AddObject(std::move(point))) hasPoint_[i] = 1;
    }
  }
}
