// The model frame: classification of a newly read model and placement of the unset points
// from the eight frame corners.

#include <algorithm>
#include <cmath>

#include "calibration/calibrat.h"

namespace {

// A model needs at least this many points.
constexpr int kMinModelPoints = 8;
// The default frame fills this share of the image, starting at kFrameMargin from left and top.
constexpr double kFrameFill = 0.8;
constexpr double kFrameMargin = 0.1;
// The eye of the default view stands this many model depths in front of the model.
constexpr double kEyeDepths = 4.0;

double Fraction(double v, double lo, double hi) { return hi - lo > 0 ? (v - lo) / (hi - lo) : 0; }

}  // namespace

void Calibration::ClassifyModel() {
  if (points.count < kMinModelPoints) return;
  minX = maxX = points.worldX[0];
  minY = maxY = points.worldY[0];
  minZ = maxZ = points.worldZ[0];
  for (int i = 1; i < points.count; ++i) {
    if (points.worldX[i] < minX) minX = points.worldX[i];
    if (points.worldX[i] > maxX) maxX = points.worldX[i];
    if (points.worldY[i] < minY) minY = points.worldY[i];
    if (points.worldY[i] > maxY) maxY = points.worldY[i];
    if (points.worldZ[i] < minZ) minZ = points.worldZ[i];
    if (points.worldZ[i] > maxZ) maxZ = points.worldZ[i];
  }
  if (minZ == maxZ) {
    SetFlag(kFlagNonCoplanar, false);
    minZ = maxZ = 0;
    std::fill(points.worldZ, points.worldZ + points.count, 0.0);
  } else {
    SetFlag(kFlagNonCoplanar, true);
  }

  if (!Has(kFlagFramePlaced)) {
    // A perspective view of the model box from an eye beside and behind it, so that the frame
    // looks like the box and its depth is visible.
    const double depth = maxZ - minZ;
    double zs = depth == 0 ? 1.0 : kEyeDepths * depth + minZ;
    // A model far below Z = 0 would put the eye inside or behind the box (zs 0 or negative):
    // view it then as if its lowest face lay at Z = 0.
    if (zs <= 0) zs = kEyeDepths * depth;
    const double ex = maxX + depth;
    const double ey = minY - (maxY - minY);
    const auto u = [&](double x, bool top) { return (x - ex) / (top ? zs + depth : zs); };
    const auto v = [&](double y, bool top) { return (y - ey) / (top ? zs + depth : zs); };
    const double umin = std::min(u(minX, false), u(minX, true));
    const double umax = std::max(u(maxX, false), u(maxX, true));
    const double vmin = std::min(v(minY, false), v(minY, true));
    const double vmax = std::max(v(maxY, false), v(maxY, true));
    const double scale = std::min(kFrameFill * imageWidth / std::fabs(umax - umin),
                                  kFrameFill * imageHeight / std::fabs(vmax - vmin));
    const double cornerX[4] = {minX, maxX, maxX, minX};
    const double cornerY[4] = {minY, minY, maxY, maxY};
    for (int k = 0; k < 8; ++k) {
      const bool top = k >= 4;
      frameX[k] = u(cornerX[k % 4], top) * scale + kFrameMargin * imageWidth - scale * umin;
      frameY[k] = v(cornerY[k % 4], top) * scale + kFrameMargin * imageHeight - scale * vmin;
    }
    SetFlag(kFlagFramePlaced, true);
  }
  PlacePointsLinear(points);
}

void Projection::PlacePointsLinear(CalibrationPoints& pts) const {
  for (int i = 0; i < pts.count; ++i) {
    if (pts.used[i] != 0) continue;
    const double tz = Fraction(pts.worldZ[i], minZ, maxZ);
    const double tx = Fraction(pts.worldX[i], minX, maxX);
    const double ty = Fraction(pts.worldY[i], minY, maxY);
    // The frame face at the point's height.
    ImagePoint face[4];
    for (int k = 0; k < 4; ++k) {
      face[k] = {frameX[k] + (frameX[k + 4] - frameX[k]) * tz,
                 frameY[k] + (frameY[k + 4] - frameY[k]) * tz};
    }
    const ImagePoint &a = face[0], &b = face[1], &c = face[2], &d = face[3];
    const auto lerp = [](const ImagePoint& p, const ImagePoint& q, double t) {
      return ImagePoint{p.x + (q.x - p.x) * t, p.y + (q.y - p.y) * t};
    };
    const ImagePoint pab = lerp(a, b, tx), pdc = lerp(d, c, tx);
    const ImagePoint pad = lerp(a, d, ty), pbc = lerp(b, c, ty);
    // Intersection of the line pab-pdc with the line pbc-pad.
    const ImagePoint uu{pdc.x - pab.x, pdc.y - pab.y};
    const ImagePoint vv{pad.x - pbc.x, pad.y - pbc.y};
    const double c1 = uu.x * pdc.y - uu.y * pdc.x;
    const double c2 = pad.x * vv.y - pad.y * vv.x;
    const double den = uu.x * vv.y - vv.x * uu.y;
    // A folded frame gives parallel lines; the point then keeps the position it had.
    if (den == 0) continue;
    pts.imageX[i] = (c2 * uu.x + vv.x * c1) / den;
    pts.imageY[i] = (c2 * uu.y + vv.y * c1) / den;
  }
}
