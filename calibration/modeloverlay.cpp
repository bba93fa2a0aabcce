#include "calibration/modeloverlay.h"

#include <algorithm>
#include <cmath>

#include "calibration/calibrat.h"

namespace overlay {

namespace {

constexpr int kMinRadius = 2, kMaxRadius = 10;
constexpr double kMaxNonCoplanarScale = 9.0;

Shape Line(int x1, int y1, int x2, int y2, Colour colour, bool inverting, int width) {
  return {Shape::kLine, colour, inverting, width, x1, y1, x2, y2};
}

Shape Marker(int x, int y, int r, Colour colour, int width) {
  return {Shape::kMarker, colour, false, width, x - r, y - r, x + r + 1, y + r + 1};
}

}  // namespace

int MarkerRadius(double scale) {
  return std::clamp(static_cast<int>(scale + 1), kMinRadius, kMaxRadius);
}

std::vector<Shape> ModelShapes(const Calibration& c, int offX, int offY, float zx, float zy,
                               int penWidth) {
  std::vector<Shape> shapes;
  const auto dx = [&](double v) { return Device(v, zx, offX); };
  const auto dy = [&](double v) { return Device(v, zy, offY); };
  const double scale = std::sqrt(double{zx} * zx + double{zy} * zy);
  const int r = MarkerRadius(scale);

  if (c.UsesLinearSizing()) {
    const ImagePoint &p1 = c.sizingPoint1, &p2 = c.sizingPoint2;
    const bool dragging = c.selectedPoint != -1;
    shapes.push_back(Line(dx(p1.x), dy(p1.y), dx(p2.x), dy(p2.y),
                          dragging ? Colour::kWhite : Colour::kBlue, dragging,
                          dragging ? 1 : penWidth));
    if (c.selectedPoint != 1) shapes.push_back(Marker(dx(p1.x), dy(p1.y), r, Colour::kBlue, penWidth));
    if (c.selectedPoint != 2) shapes.push_back(Marker(dx(p2.x), dy(p2.y), r, Colour::kBlue, penWidth));
    return shapes;
  }

  const bool solid = c.Has(kFlagNonCoplanar);
  const auto edge = [&](int a, int b) {
    shapes.push_back(Line(dx(c.frameX[a]), dy(c.frameY[a]), dx(c.frameX[b]), dy(c.frameY[b]),
                          Colour::kWhite, true, 1));
  };
  for (int k = 0; k < 4; ++k) edge(k, (k + 1) % 4);
  if (solid) {
    for (int k = 0; k < 4; ++k) edge(4 + k, 4 + (k + 1) % 4);
    for (int k = 0; k < 4; ++k) edge(k, k + 4);
  }

  const CalibrationPoints& pts = c.points;
  const double limit = c.IsCalibrated() ? c.HalfPixelTolerance(pts) : 0;
  for (int i = 0; i < pts.count; ++i) {
    int radius = r;
    if (solid) {
      // Points at the highest Z are drawn at half size: depth at a glance.
      const double depth = c.maxZ - c.minZ;
      const double s = std::min(scale, kMaxNonCoplanarScale) *
                       ((c.maxZ - pts.worldZ[i]) / depth * 0.5 + 0.5);
      radius = MarkerRadius(s);
    }
    const int x = dx(pts.imageX[i]), y = dy(pts.imageY[i]);
    if (pts.used[i] != 0) {
      const bool fits = c.IsCalibrated() &&
                        Projection::ObjectSpaceError(i, pts, c.camera, c.result) < limit;
      shapes.push_back(Marker(x, y, radius, fits ? Colour::kGreen : Colour::kRed, penWidth));
    } else if (i != c.selectedPoint) {
      Shape ring = Marker(x, y, radius + 1, Colour::kWhite, 1);
      ring.inverting = true;
      shapes.push_back(ring);
    }
  }
  return shapes;
}

}  // namespace overlay
