#pragma once

// The plot canvas on a QPainter: an analysis window, its printout and the tests' pictures draw
// through it. Text is measured and written in the painter's font. Without a device palette a
// palette-index colour is taken from the system's standard 20-colour palette (index 11 is the
// light grey of the grid lines). Overlay drawing combines the pen's inverse with the picture by
// exclusive or: a black pen inverts what it covers, and drawing it again restores it.

#include <optional>
#include <vector>

#include "analysis/plot/plotcanvas.h"
#include "objects/ui/qtcanvas.h"

#include <QPolygon>

class QColor;
class QPainter;
class QPen;

class QtPlotCanvas : public PlotCanvas {
 public:
  explicit QtPlotCanvas(QPainter& painter, const std::vector<PaletteEntry>* palette = nullptr)
      : painter_(painter), palette_(palette), objects_(painter, palette) {}

  const std::vector<PaletteEntry>* Palette() const override { return palette_; }
  // Markers and dots are drawn as on the image view.
  void FrameRect(int left, int top, int right, int bottom, ColorValue color) override {
    objects_.FrameRect(left, top, right, bottom, color);
  }
  void FillRect(int left, int top, int right, int bottom, ColorValue color) override {
    objects_.FillRect(left, top, right, bottom, color);
  }
  void Ellipse(int left, int top, int right, int bottom, const Pen& pen,
               std::optional<ColorValue> fill) override {
    objects_.Ellipse(left, top, right, bottom, pen, fill);
  }
  void SetPixel(int x, int y, ColorValue color) override { objects_.SetPixel(x, y, color); }
  void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2,
           const Pen& pen) override {
    objects_.Arc(left, top, right, bottom, x1, y1, x2, y2, pen);
  }

  // Lines take the palette fallback (grid lines are palette colours); a zero-length line is a
  // round dot of the pen's width.
  void Line(int x1, int y1, int x2, int y2, const Pen& pen) override;
  void Polyline(const std::vector<PlotPoint>& points, const Pen& pen) override;
  void FilledPolygon(const std::vector<PlotPoint>& points, ColorValue color) override;
  bool MeasureText(const std::string& text, TextExtent& extent) override;
  bool DrawText(int x, int y, const std::string& text, int align, ColorValue color) override;
  void SetOverlay(bool on) override;

 private:
  QColor Color(ColorValue c) const;
  QPen MakePen(const Pen& pen) const;
  // Sets the pen unless it is the one set last (a curve broken by many gaps draws many pieces).
  void UsePen(const Pen& pen);

  QPainter& painter_;
  const std::vector<PaletteEntry>* palette_;
  QtCanvas objects_;
  std::optional<Pen> current_;
  QPolygon polygon_;
};
