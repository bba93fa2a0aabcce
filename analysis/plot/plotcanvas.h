#pragma once

// PlotCanvas: where an analysis window draws its axes, labels and curves. It is an ObjectCanvas
// (so a curve can draw its sequence's marker) with what a plot needs besides: polylines, filled
// polygons, text with its extent and alignment, and an overlay mode in which drawing the same
// thing twice removes it (crosshairs and the frame marker). The window draws on a QPainter
// through analysis/ui/qtplotcanvas.h; tests record the calls.

#include <string>
#include <vector>

#include "objects/canvas.h"

struct PlotPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

struct TextExtent {
  int width = 0;
  int height = 0;
};

// Where a text stands relative to its reference point.
enum TextAlign : int {
  kAlignLeft = 0x0,
  kAlignRight = 0x1,
  kAlignHCenter = 0x2,
  kAlignTop = 0x0,
  kAlignBottom = 0x10,
  kAlignVCenter = 0x20,
};

class PlotCanvas : public ObjectCanvas {
 public:
  // Lines through the points in order (the last point left out, as a line leaves it out).
  virtual void Polyline(const std::vector<PlotPoint>& points, const Pen& pen) = 0;
  // A polygon outlined and filled in one colour.
  virtual void FilledPolygon(const std::vector<PlotPoint>& points, ColorValue color) = 0;
  // The size of a text in the plot's font; a failure gives false (the caller reports it).
  virtual bool MeasureText(const std::string& text, TextExtent& extent) = 0;
  // Writes a text with its reference point at (x, y), aligned as align says (TextAlign bits);
  // false when it could not be drawn.
  virtual bool DrawText(int x, int y, const std::string& text, int align, ColorValue color) = 0;
  // Overlay on: everything drawn inverts what lies below it, so drawing it again removes it.
  virtual void SetOverlay(bool on) = 0;
  // Long drawings show the wait cursor while they run.
  virtual void SetBusy(bool) {}
};
