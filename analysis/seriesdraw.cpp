#include "analysis/seriesdraw.h"

#include <cmath>

#include "base/unitsorigin.h"
#include "objects/colordescr.h"

namespace {

// Collects a polyline, keeping of each run of points in one pixel column only the first, the
// lowest, the highest and the last (in their order): the segments inside a column cover exactly
// the pixels from its lowest to its highest point, and the ones leaving it start at its last.
class ColumnReducer {
 public:
  ColumnReducer(std::vector<PlotPoint>& out, bool reduce) : out_(out), reduce_(reduce) {}

  void Add(PlotPoint p) {
    if (!reduce_) {
      out_.push_back(p);
      return;
    }
    if (count_ > 0 && p.x == first_.x) {
      if (p.y < low_.y) low_ = p, lowIndex_ = count_;
      if (p.y > high_.y) high_ = p, highIndex_ = count_;
      last_ = p;
      ++count_;
      return;
    }
    Flush();
    first_ = low_ = high_ = last_ = p;
    lowIndex_ = highIndex_ = 0;
    count_ = 1;
  }

  void Flush() {
    if (count_ == 0) return;
    Push(first_);
    if (lowIndex_ <= highIndex_) {
      Push(low_);
      Push(high_);
    } else {
      Push(high_);
      Push(low_);
    }
    Push(last_);
    count_ = 0;
  }

 private:
  void Push(PlotPoint p) {
    if (out_.empty() || !(out_.back() == p)) out_.push_back(p);
  }

  std::vector<PlotPoint>& out_;
  bool reduce_;
  PlotPoint first_, low_, high_, last_;
  int lowIndex_ = 0, highIndex_ = 0, count_ = 0;
};

void DrawConnected(PlotCanvas& canvas, const SeriesView& s, int first, const PlotMapping& map,
                   const Pen& pen) {
  // Overlapping segments of a patterned or wide pen do not merge into the same pixels.
  const bool reduce = pen.width <= 1 && pen.style == kPenSolid;
  std::vector<PlotPoint> run;
  ColumnReducer reducer(run, reduce);
  auto flush = [&] {
    reducer.Flush();
    if (run.size() > 1) canvas.Polyline(run, pen);
    run.clear();
  };
  for (int i = first; i < s.last; ++i) {
    if (!s.HasValue(i)) {
      flush();
      continue;
    }
    reducer.Add({map.PixelX(s.T(i)), map.PixelY(s.values[i])});
  }
  flush();
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
    const int k =
        connect ? static_cast<int>(std::floor(PointDistance(ta, ya, tb, yb, sx, sy) / kHitPixels))
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
