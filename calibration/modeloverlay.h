#pragma once

// The picture of the model over the calibration frame, as shapes in device pixels: the model
// frame, the calibration points coloured by how well they fit, and the linear-sizing line. The
// calibration view paints them after the image on every repaint; the parts that the user drags
// (frame, unset points, an active sizing line) are marked to be painted inverting what lies
// under them, so they show on any picture.

#include <cstdint>
#include <vector>

class Calibration;

namespace overlay {

enum class Colour : std::uint8_t { kWhite, kRed, kGreen, kBlue };

struct Shape {
  enum Kind : std::uint8_t { kLine, kMarker } kind;
  Colour colour;
  bool inverting;  // painted by exclusive or (white)
  int penWidth;
  // A line from (x1, y1) to (x2, y2); a marker is the ellipse in the box (x1, y1)-(x2, y2), the
  // far edges exclusive.
  int x1, y1, x2, y2;
};

// Device position of frame-buffer coordinate v at zoom z and offset off.
inline int Device(double v, float z, int off) { return static_cast<int>(v * z + 0.45 + off); }

// Marker radius at zoom (zx, zy): trunc(hypot + 1) within 2..10.
int MarkerRadius(double scale);

// The shapes of the calibration, drawn at offsets (minus the scroll position) and zoom factors.
std::vector<Shape> ModelShapes(const Calibration& c, int offX, int offY, float zx, float zy,
                               int penWidth = 1);

}  // namespace overlay
