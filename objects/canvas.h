#pragma once

// ObjectCanvas: where markers, tracks, templates, connections and angles are drawn. The image view
// draws on a QPainter through objects/ui/qtcanvas.h; tests record the calls. Coordinates are
// device pixels; rectangles are given by left, top, right and bottom with the right and bottom
// edges outside, and a line leaves out its last point, as on the screen devices the drawing was
// laid out for.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/numbers.h"
#include "sequences/dib.h"

// A colour value: 0x00BBGGRR for a plain colour; 0x01 in the high byte makes the low byte a
// palette index.
using ColorValue = std::uint32_t;

constexpr ColorValue Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<ColorValue>(r) | (static_cast<ColorValue>(g) << 8) |
         (static_cast<ColorValue>(b) << 16);
}
constexpr std::uint8_t RedOf(ColorValue c) { return c & 0xFF; }
constexpr std::uint8_t GreenOf(ColorValue c) { return (c >> 8) & 0xFF; }
constexpr std::uint8_t BlueOf(ColorValue c) { return (c >> 16) & 0xFF; }
inline constexpr ColorValue kPaletteIndexFlag = 0x01000000;
constexpr ColorValue PaletteIndex(int index) {
  return kPaletteIndexFlag | static_cast<ColorValue>(index & 0xFFFF);
}
inline constexpr ColorValue kBlack = 0;

// Pen styles of connections and angles.
enum PenStyle : int {
  kPenSolid = 0,
  kPenDash = 1,
  kPenDot = 2,
  kPenDashDot = 3,
  kPenDashDotDot = 4
};

struct Pen {
  ColorValue color = kBlack;
  int width = 1;
  int style = kPenSolid;
  friend bool operator==(const Pen&, const Pen&) = default;
};

class ObjectCanvas {
 public:
  virtual ~ObjectCanvas() = default;

  // The palette of the device, or null when it has none (every Linux display).
  virtual const std::vector<PaletteEntry>* Palette() const { return nullptr; }

  // A one-pixel frame just inside the rectangle.
  virtual void FrameRect(int left, int top, int right, int bottom, ColorValue color) = 0;
  virtual void FillRect(int left, int top, int right, int bottom, ColorValue color) = 0;
  // The ellipse inscribed in the rectangle, outlined with pen and filled when fill is given.
  virtual void Ellipse(int left, int top, int right, int bottom, const Pen& pen,
                       std::optional<ColorValue> fill) = 0;
  virtual void Line(int x1, int y1, int x2, int y2, const Pen& pen) = 0;
  virtual void SetPixel(int x, int y, ColorValue color) = 0;
  // The arc of the ellipse inscribed in the rectangle, counter-clockwise from the ray towards
  // (x1, y1) to the ray towards (x2, y2).
  virtual void Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2,
                   const Pen& pen) = 0;
};

// The position on the device of an image or world point: trunc(v * scale + 0.45 + origin),
// clipped to the pixels a device can take (a point far outside stays far outside).
inline int ToDevice(double v, double scale, double origin) {
  return platform::ToPixel(v * scale + 0.45 + origin);
}
