#include "analysis/plot/seriesdraw.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "analysis/series/seriessummary.h"
#include "base/unitsorigin.h"
#include "objects/colordescr.h"
#include "platform/numbers.h"

namespace {

// The points of one pixel column of a stretch between missing values: its first, lowest, highest
// and last, with the order in which the lowest and highest came, and the span of the points before
// the last. A polyline leaves out its end point, so where a stretch ends its last point is drawn
// only when the points before it already cover it.
struct ColumnSpan {
  PlotPoint first, low, high, last;
  int lowIndex = 0, highIndex = 0, count = 0;
  int beforeLow = 0, beforeHigh = 0;  // the span before the last point (count > 1)

  void Start(PlotPoint p) {
    first = low = high = last = p;
    lowIndex = highIndex = 0;
    count = 1;
  }
  void Add(PlotPoint p) {
    beforeLow = low.y;
    beforeHigh = high.y;
    if (p.y < low.y) low = p, lowIndex = count;
    if (p.y > high.y) high = p, highIndex = count;
    last = p;
    ++count;
  }
  bool LastCovered() const { return count > 1 && beforeLow <= last.y && last.y <= beforeHigh; }
  // The rows drawn in this column when the stretch ends here: up to the last point, without it.
  std::pair<int, int> EndingRows() const {
    if (LastCovered()) return {low.y, high.y};
    if (last.y > beforeHigh) return {low.y, last.y - 1};
    return {last.y + 1, high.y};
  }
  void Merge(const ColumnSpan& later) {
    if (later.count > 1) {
      beforeLow = std::min(low.y, later.beforeLow);
      beforeHigh = std::max(high.y, later.beforeHigh);
    } else {
      beforeLow = low.y;
      beforeHigh = high.y;
    }
    if (later.low.y < low.y) low = later.low, lowIndex = count + later.lowIndex;
    if (later.high.y > high.y) high = later.high, highIndex = count + later.highIndex;
    last = later.last;
    count += later.count;
  }
};

// Turns the points of a series, with the breaks its missing values make, into polylines. Without
// reduction every point is kept. With it, a thin solid line keeps of each pixel column only the
// first, the lowest, the highest and the last point: the segments inside a column cover exactly
// the pixels from its lowest to its highest point, and the ones leaving it start at its last. A
// break whose both sides lie in one column and together cover one unbroken span of it changes no
// pixel, so it does not split the polyline either (a lone value, which is not drawn, is never
// joined).
class PolylineBuilder {
 public:
  using Emit = std::function<void(const std::vector<PlotPoint>&)>;
  PolylineBuilder(Emit emit, bool reduce) : emit_(std::move(emit)), reduce_(reduce) {}

  void Add(PlotPoint p) {
    if (!reduce_) {
      run_.push_back(p);
      return;
    }
    if (pending_.count > 0) {
      if (p.x == pending_.first.x) {
        pending_.Add(p);
        return;
      }
      ResolvePending(false);
    }
    if (current_.count > 0 && p.x == current_.first.x) {
      if (!broken_) {
        current_.Add(p);
        return;
      }
      broken_ = false;
      pending_.Start(p);
      return;
    }
    EndColumn();
    if (broken_) EmitRun();
    broken_ = false;
    current_.Start(p);
  }

  // A frame without a value.
  void Break() {
    if (!reduce_) {
      EmitRun();
      return;
    }
    if (pending_.count > 0) ResolvePending(true);
    broken_ = true;
  }

  void Finish() {
    if (pending_.count > 0) ResolvePending(true);
    EndColumn();
    EmitRun();
    broken_ = false;
  }

 private:
  // The stretch after a break in the current column joins it, or starts a new polyline. ended:
  // the stretch ended in this column.
  void ResolvePending(bool ended) {
    // Joining draws the current stretch's last point and the step between both: it changes no
    // pixel when that point was drawn anyway and both stretches' rows form one unbroken span.
    bool join = current_.LastCovered() && (current_.low.y != current_.high.y || !run_.empty());
    if (join) {
      const auto [low, high] = ended ? pending_.EndingRows() : std::pair{pending_.low.y, pending_.high.y};
      join = low <= high && low <= current_.high.y + 1 && high >= current_.low.y - 1;
    }
    if (join) {
      current_.Merge(pending_);
    } else {
      EndColumn();
      EmitRun();
      current_ = pending_;
    }
    pending_.count = 0;
  }

  void EndColumn() {
    if (current_.count == 0) return;
    Push(current_.first);
    if (current_.lowIndex <= current_.highIndex) {
      Push(current_.low);
      Push(current_.high);
    } else {
      Push(current_.high);
      Push(current_.low);
    }
    Push(current_.last);
    current_.count = 0;
  }

  void Push(PlotPoint p) {
    if (run_.empty() || !(run_.back() == p)) run_.push_back(p);
  }

  void EmitRun() {
    if (run_.size() > 1) emit_(run_);
    run_.clear();
  }

  Emit emit_;
  bool reduce_;
  std::vector<PlotPoint> run_;
  ColumnSpan current_, pending_;
  bool broken_ = false;  // a break came after the current column's last point
};

// The first index in (i, end) whose pixel column lies right of x, or end; the columns grow with
// the index.
int ColumnEnd(const PlotMapping& map, int x, int i, int end) {
  int lo = i + 1, hi = end;
  while (lo < hi) {
    const int mid = lo + (hi - lo) / 2;
    if (map.PixelX(static_cast<float>(mid + 1)) > x)
      hi = mid;
    else
      lo = mid + 1;
  }
  return lo;
}

// The same polylines as adding every point, but each pixel column of a stretch between missing
// values is handed over as its first, lowest, highest and last point, looked up in the summary.
void AddColumnsBySummary(const SeriesView& s, int first, const PlotMapping& map,
                         PolylineBuilder& builder) {
  const SeriesSummary& summary = *s.summary;
  const auto& missing = summary.Missing();
  auto nextMissing = std::lower_bound(missing.begin(), missing.end(), first);
  int i = first;
  while (i < s.last) {
    if (s.values[i] == kMissingValue) {
      builder.Break();
      while (i < s.last && s.values[i] == kMissingValue) ++i;
      continue;
    }
    while (nextMissing != missing.end() && *nextMissing < i) ++nextMissing;
    const int runEnd = std::min(nextMissing == missing.end() ? s.last : *nextMissing, s.last);
    while (i < runEnd) {
      const int x = map.PixelX(static_cast<float>(i + 1));
      const int end = ColumnEnd(map, x, i, runEnd);
      builder.Add({x, map.PixelY(s.values[i])});
      if (end - i > 2) {
        // The extremes of the points between the first and the last; the one on the last point's
        // row comes first, so that a stretch ending here still draws that row.
        const auto [low, high] = summary.MinMax(s.values, i + 1, end - 1);
        PlotPoint a{x, map.PixelY(low)}, b{x, map.PixelY(high)};
        if (b.y == map.PixelY(s.values[end - 1])) std::swap(a, b);
        builder.Add(a);
        builder.Add(b);
      }
      if (end - i > 1) builder.Add({x, map.PixelY(s.values[end - 1])});
      i = end;
    }
  }
}

void DrawConnected(PlotCanvas& canvas, const SeriesView& s, int first, const PlotMapping& map,
                   const Pen& pen) {
  // Overlapping segments of a patterned or wide pen do not merge into the same pixels.
  const bool reduce = pen.width <= 1 && pen.style == kPenSolid;
  PolylineBuilder builder([&](const std::vector<PlotPoint>& run) { canvas.Polyline(run, pen); },
                          reduce);
  if (reduce && UsesSummary(map) && s.summary && !s.abscissa && s.summary->Size() >= s.last) {
    AddColumnsBySummary(s, first, map, builder);
  } else {
    for (int i = first; i < s.last; ++i) {
      if (s.HasValue(i))
        builder.Add({map.PixelX(s.T(i)), map.PixelY(s.values[i])});
      else
        builder.Break();
    }
  }
  builder.Finish();
}

void DrawDots(PlotCanvas& canvas, const SeriesView& s, int first, const PlotMapping& map,
              const SeriesStyle& style) {
  std::optional<PlotPoint> previous;
  for (int i = first; i < s.last; ++i) {
    if (!s.HasValue(i)) continue;
    const PlotPoint p{map.PixelX(s.T(i)), map.PixelY(s.values[i])};
    // A dot on the previous one changes nothing.
    if (previous && *previous == p) continue;
    previous = p;
    if (style.markers && style.marker) {
      ColorDescr marker(*style.marker);
      marker.color = style.pen.color;
      marker.DrawMarker(canvas, p.x, p.y);
    } else if (style.pen.width <= 1) {
      canvas.SetPixel(p.x, p.y, style.pen.color);
    } else {
      canvas.Line(p.x, p.y, p.x, p.y, style.pen);
    }
  }
}

}  // namespace

void DrawSeries(PlotCanvas& canvas, const SeriesView& s, const PlotMapping& map,
                const SeriesStyle& style) {
  if (!s.values) return;
  int first = 0;
  while (first < s.last && !s.HasValue(first)) ++first;
  if (first >= s.last) return;
  const bool busy = s.last > kBusyFrames;
  if (busy) canvas.SetBusy(true);
  if (style.connect)
    DrawConnected(canvas, s, first, map, style.pen);
  else
    DrawDots(canvas, s, first, map, style);
  if (busy) canvas.SetBusy(false);
}

double PointDistance(double ta, double ya, double tb, double yb, double sx, double sy) {
  const double dx = (ta - tb) * std::fabs(sx);
  const double dy = (ya - yb) * std::fabs(sy);
  return std::sqrt(dx * dx + dy * dy);
}

namespace {

bool Near(const SeriesView& s, int i, float t, float v, float sx, float sy) {
  return PointDistance(s.T(i), s.values[i], t, v, sx, sy) < kHitPixels;
}

}  // namespace

bool HitSeries(const SeriesView& s, int from, int to, float t, float v, float sx, float sy,
               bool connect, bool loneValues) {
  if (!s.values || t == kMissingValue || v == kMissingValue) return false;
  from = std::max(from, 0);
  for (int i = from; i <= to && i < s.last; ++i) {
    if (!s.HasValue(i)) continue;
    const bool nextHasValue = i + 1 < s.last && s.HasValue(i + 1);
    if (!nextHasValue) {
      if (loneValues && Near(s, i, t, v, sx, sy)) return true;
      continue;
    }
    const double ta = s.T(i), ya = s.values[i], tb = s.T(i + 1), yb = s.values[i + 1];
    const int k = connect ? platform::ClampToInt(
                                PointDistance(ta, ya, tb, yb, sx, sy) / kHitPixels, 0, kMaxHitSamples)
                          : 0;
    for (int u = 0; u <= k; ++u) {
      const double f = k == 0 ? 0.0 : static_cast<double>(u) / k;
      if (PointDistance(ta + (tb - ta) * f, ya + (yb - ya) * f, t, v, sx, sy) < kHitPixels)
        return true;
    }
  }
  return false;
}

int NearestValue(const SeriesView& s, float t, float v, float sx, float sy) {
  int best = -1;
  double bestDistance = 0;
  for (int i = 0; i < s.last; ++i) {
    if (!s.HasValue(i)) continue;
    const double d = PointDistance(s.T(i), s.values[i], t, v, sx, sy);
    if (best < 0 || d < bestDistance) best = i, bestDistance = d;
  }
  return best;
}
