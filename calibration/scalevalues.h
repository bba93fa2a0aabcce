#pragma once

// The arithmetic of the scale dialog: the pixel distance of the two linear-sizing points, the
// linear scale from a real length, and which relation button a pixel relation checks.

#include "calibration/calibrat.h"

namespace scalevalues {

inline constexpr int kRelation1to1 = 20654, kRelation4to3 = 20655, kRelation16to9 = 20656,
                     kRelationCustom = 20657;

// The relation button that shows relation.
int RelationButton(double relation);

// The distance of the two sizing points in pixels, x stretched by relation; 1 when the points
// are less than one pixel apart.
double PixelDistance(const ImagePoint& p1, const ImagePoint& p2, double relation);

// The linear scale that makes pixel distance d measure lengthMm.
inline double ScaleFromLength(double lengthMm, double d) { return 0.1 * (lengthMm / d); }
// The length in mm that pixel distance d measures at the linear scale.
inline double LengthOf(double d, double scale) { return d * scale * 10; }

// The custom relation a : b, or current when either is 0.
inline double CustomRelation(double a, double b, double current) {
  return a == 0 || b == 0 ? current : a / b;
}

}  // namespace scalevalues
