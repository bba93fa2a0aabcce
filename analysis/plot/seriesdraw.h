#pragma once

// Drawing and hit testing of one series (a float per frame, the missing value for none), shared
// by the series of object sequences and the derived curves. A series is drawn as polylines broken
// at gaps, or as dots or markers at its values.

#include <vector>

#include "analysis/plot/plotcanvas.h"
#include "base/unitsorigin.h"
#include "platform/numbers.h"

class ColorDescr;
class SeriesSummary;

// Values to pixels: pixel = origin + (value - start) * scale, truncated toward zero and clipped
// to the drawable range (huge imported values and tiny rates put pixels far outside any int).
// sy is negative for an upward axis.
struct PlotMapping {
  int x0 = 0;
  int y0 = 0;
  float sx = 1.0f;
  float sy = 1.0f;
  float ts = 0.0f;  // abscissa start
  float ys = 0.0f;  // ordinate start
  int PixelX(float t) const { return platform::ToPixel(x0 + (static_cast<double>(t) - ts) * sx); }
  int PixelY(float v) const { return platform::ToPixel(y0 + (static_cast<double>(v) - ys) * sy); }
};

struct SeriesStyle {
  Pen pen;
  bool connect = true;
  bool markers = false;
  // The marker drawn at each value when markers is set; none draws dots.
  const ColorDescr* marker = nullptr;
};

// The view of one series: values[i] is frame i + 1; abscissa (optional, quantity code 9) gives
// each frame's abscissa, else the frame number is the abscissa. A frame has a value when both are
// not missing.
struct SeriesView {
  const float* values = nullptr;
  const float* abscissa = nullptr;
  int last = 0;  // frames 1..last are drawn and searched
  // The summary of values (may be null): lets a dense plot skip over the frames of a pixel
  // column. Used only where the frame number is the abscissa.
  const SeriesSummary* summary = nullptr;
  bool HasValue(int i) const {
    return values[i] != kMissingValue && (!abscissa || abscissa[i] != kMissingValue);
  }
  float T(int i) const { return abscissa ? abscissa[i] : static_cast<float>(i + 1); }
};

// Draws the series. Once the data is denser than the pixels, a thin solid line draws each pixel
// column once (its first, lowest, highest and last point) instead of every segment in it: the
// picture is the same. With a summary and at least kSummaryFrames frames a column, the column's
// span is looked up rather than gathered, so drawing costs about as much as the plot is wide.
// More than kBusyFrames frames show the wait cursor meanwhile.
inline constexpr int kSummaryFrames = 32;
inline bool UsesSummary(const PlotMapping& map) {
  return map.sx > 0.0f && map.sx * kSummaryFrames <= 1.0f;
}
inline constexpr int kBusyFrames = 30000;
void DrawSeries(PlotCanvas& canvas, const SeriesView& series, const PlotMapping& map,
                const SeriesStyle& style);

// Distance in pixels of two value pairs under the scales.
double PointDistance(double ta, double ya, double tb, double yb, double sx, double sy);
// A mouse this close to the drawn series hits it.
inline constexpr double kHitPixels = 7.0;
// A segment longer than this many samples reaches far beyond any window: more would only cost
// time.
inline constexpr int kMaxHitSamples = 1 << 16;

// Hit test over the segments starting at frame indices from..to: a segment between two values is
// sampled every 7 pixels, at most kMaxHitSamples times (only its start without connect); loneValues also tests a value whose
// next frame has none by itself.
bool HitSeries(const SeriesView& series, int from, int to, float t, float v, float sx, float sy,
               bool connect, bool loneValues);

// The index of the value nearest to (t, v) under the scales (the earliest of equally near ones),
// or -1 when the series has none.
int NearestValue(const SeriesView& series, float t, float v, float sx, float sy);
