#pragma once

// The object drawing on a QPainter: the image view hands its painter to the object painter
// through this canvas. Palette-index colours are looked up in the palette given.

#include <vector>

#include "objects/canvas.h"

class QPainter;

class QtCanvas : public ObjectCanvas {
 public:
  explicit QtCanvas(QPainter& painter, const std::vector<PaletteEntry>* palette = nullptr)
      : painter_(painter), palette_(palette) {}

  const std::vector<PaletteEntry>* Palette() const override { return palette_; }
  void FrameRect(int left, int top, int right, int bottom, ColorValue color) override;
  void FillRect(int left, int top, int right, int bottom, ColorValue color) override;
  void Ellipse(int left, int top, int right, int bottom, const Pen& pen,
               std::optional<ColorValue> fill) override;
  void Line(int x1, int y1, int x2, int y2, const Pen& pen) override;
  void SetPixel(int x, int y, ColorValue color) override;
  void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2,
           const Pen& pen) override;

 private:
  QPainter& painter_;
  const std::vector<PaletteEntry>* palette_;
};
