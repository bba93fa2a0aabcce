// The three-dimensional divergence between two calibrations of the same model. Kept apart from
// the record because it needs the reconstruction from two cameras.

#include <cmath>

#include <cctype>
#include <string>
#include "calibration/calibrat.h"

namespace {

bool SameFileIgnoringCase(const FileName& a, const FileName& b) {
  const std::string& x = a.Path();
  const std::string& y = b.Path();
  if (x.size() != y.size()) return false;
  for (std::size_t i = 0; i < x.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(x[i])) !=
        std::tolower(static_cast<unsigned char>(y[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool Calibration::MatchModelPoints(double& sum, double& sumSquares, int32_t& count,
                                   const Calibration& other) const {
  count = 0;
  sum = 0;
  sumSquares = 0;
  if (!SameFileIgnoringCase(modelFile, other.modelFile) || !IsCalibrated()) return false;
  for (int i = 0; i < points.count; ++i) {
    if (points.used[i] == 0 || other.points.used[i] == 0) continue;
    if (points.worldX[i] != other.points.worldX[i] || points.worldY[i] != other.points.worldY[i] ||
        points.worldZ[i] != other.points.worldZ[i]) {
      continue;
    }
    ++count;
    float p[3] = {0, 0, 0};
    ReconstructFromTwoCameras(p, static_cast<float>(points.imageX[i]),
                              static_cast<float>(points.imageY[i]),
                              static_cast<float>(other.points.imageX[i]),
                              static_cast<float>(other.points.imageY[i]), other);
    const double dx = p[0] - points.worldX[i];
    const double dy = p[1] - points.worldY[i];
    const double dz = p[2] - points.worldZ[i];
    const double d2 = dx * dx + dy * dy + dz * dz;
    sumSquares += d2;
    sum += std::sqrt(d2);
  }
  return true;
}
