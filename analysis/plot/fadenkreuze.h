#pragma once

// Fadenkreuze: the two crosshairs ("reticules") of an analysis window: their positions in plot
// pixels, which one is grabbed and how it follows the mouse, and their drawing over the plot.
// CrosshairAnchor keeps them in place while the scale changes: one inside the plot keeps its
// values, one outside keeps its place relative to the plot's edges. The pane texts' number
// format is here too.

#include <initializer_list>
#include <string>

#include "analysis/plot/plotcanvas.h"

class AnlWinAxes;

struct FloatPoint {
  float x = 0;
  float y = 0;
  friend bool operator==(const FloatPoint&, const FloatPoint&) = default;
};

// The plot's pixel rectangle: the pixel extent of the value ranges.
struct PlotRect {
  float left = 0, top = 0, right = 0, bottom = 0;
  // The extent of the axes' ranges.
  static PlotRect Of(const AnlWinAxes& axes);
  // Widened by 1 pixel to the left and top and 2 to the right and bottom, as hits are tested.
  PlotRect Widened() const { return {left - 1, top - 1, right + 2, bottom + 2}; }
  bool Contains(FloatPoint p) const {
    return p.x > left && p.x < right && p.y > top && p.y < bottom;
  }
};

class Fadenkreuze {
 public:
  static constexpr int kHalfBox = 7;

  void SetPositions(float x1, float y1, float x2, float y2) {
    first_ = {x1, y1};
    second_ = {x2, y2};
  }
  // A press at (x, y): the 14-pixel square of a crosshair grabs it (the second wins when both
  // contain the point); with allowLineGrab a press near a line of the grabbed crosshair grabs it
  // for movement along one axis. The grab changes only on a hit.
  bool HitTest(int x, int y, bool allowLineGrab);
  bool IsSelected() const { return firstSelected_ || secondSelected_; }
  bool FirstSelected() const { return firstSelected_; }
  bool SecondSelected() const { return secondSelected_; }
  void Deselect() { firstSelected_ = secondSelected_ = false; }
  // The grabbed crosshair follows the mouse (along one axis after a line grab).
  void MoveSelected(float x, float y);
  void SetSelectedPosition(float x, float y);
  void EnableFirst(bool on);
  void EnableSecond(bool on);
  bool FirstEnabled() const { return firstEnabled_; }
  bool SecondEnabled() const { return secondEnabled_; }
  FloatPoint First() const { return first_; }
  FloatPoint Second() const { return second_; }
  bool MovesHorizontallyOnly() const { return horizontalOnly_; }
  bool MovesVerticallyOnly() const { return verticalOnly_; }

  // The lines of the grabbed, enabled crosshair across the bounds, its centre square left free.
  void DrawLines(PlotCanvas& canvas, int left, int right, int top, int bottom) const;
  // A circle marks the first crosshair, a square the second; black when grabbed, else grey.
  void DrawMarkers(PlotCanvas& canvas) const;

 private:
  bool horizontalOnly_ = false;
  bool verticalOnly_ = false;
  bool firstSelected_ = false;
  bool secondSelected_ = false;
  FloatPoint first_;
  FloatPoint second_;
  bool firstEnabled_ = false;
  bool secondEnabled_ = false;
};

// The crosshairs' places taken before a change of scale and given back after it. The operation
// that takes the record is the one that re-places them, so an operation inside another leaves
// the outer one's record alone.
class CrosshairAnchor {
 public:
  static constexpr int kNone = 8;
  // Operation codes.
  static constexpr int kRebuild = 0, kCoordinates = 1, kDisplay = 2, kToggle = 3, kSize = 5,
                       kZoom = 6, kFit = 7, kPanes = 9, kImport = 10, kImportSelection = 11;

  int Code() const { return code_; }
  bool Pending() const { return code_ != kNone; }
  // Takes the record for the operation unless one is pending; true when taken.
  bool Take(int code, const Fadenkreuze& crosshairs, const AnlWinAxes& axes);
  // When the record is the operation's: re-places both crosshairs under the axes' new scale,
  // clamps them into the window, enables each as it lies inside the plot, and clears the
  // record; true when it did.
  bool Replace(int code, Fadenkreuze& crosshairs, const AnlWinAxes& axes);
  void Clear() { code_ = kNone; }

 private:
  struct Place {
    FloatPoint pixel;
    FloatPoint value;  // the values under it while it lay inside
    bool outside = false;
    int sides = 0;  // 1 above, 2 right, 4 left, 8 below
    FloatPoint farDistance;   // to the right and bottom edges
    FloatPoint nearDistance;  // to the left and top edges
    FloatPoint relative;
  };
  static Place Record(FloatPoint p, const PlotRect& r, const AnlWinAxes& axes);
  static FloatPoint Restore(const Place& place, const PlotRect& r, const AnlWinAxes& axes);

  int code_ = kNone;
  Place first_, second_;
};

// The pixel a crosshair is kept within: at least 8, at most 7 short of the plot's far edge plus
// its margin.
FloatPoint ClampCrosshair(FloatPoint p, const AnlWinAxes& axes);

// The decimal places of pane texts written together: 4, fewer for large values (8 minus the
// integer part of log10 above 1000), the smallest over the values; missing values count 4.
int PaneDecimals(std::initializer_list<float> values);
// "%.<decimals>f" of the value.
std::string FormatPaneValue(float value, int decimals);
