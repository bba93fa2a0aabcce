#include "calibration/scalevalues.h"

#include <cmath>

namespace scalevalues {

int RelationButton(double relation) {
  if (relation == 1.0) return kRelation1to1;
  if (std::fabs(relation - 1.333) < 0.001) return kRelation4to3;
  if (std::fabs(relation - 1.777) < 0.001) return kRelation16to9;
  return kRelationCustom;
}

double PixelDistance(const ImagePoint& p1, const ImagePoint& p2, double relation) {
  const double dx = (p2.x - p1.x) * relation;
  const double dy = p2.y - p1.y;
  const double square = dx * dx + dy * dy;
  return square > 1.0 ? std::sqrt(square) : 1.0;
}

}  // namespace scalevalues
