#include "calibration/calibvalues.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr double kDegreesPerRadian = 180 * 0.3183098861837907;
constexpr double kOnPoint = 4.0;
}  // namespace

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

CalibDialogValues ValuesOf(Calibration& c, int sequenceCount, bool multipleCalibrated,
                           double mean3d, double deviation3d) {
  CalibDialogValues v;
  v.cx = Format("%.4lf pix", c.camera.Cx);
  v.cy = Format("%.4lf pix", c.camera.Cy);
  v.sx = Format("%.4lf", c.camera.sx);
  v.method = !c.Has(kFlagFullOptimized) ? 20602 : !c.Has(kFlagGradientSearch) ? 20603 : 20604;
  v.linearSizingEnabled = sequenceCount <= 1;
  v.calibrateEnabled = c.CanCalibrate();
  if (!c.IsCalibrated()) return v;
  const CalibrationResult& r = c.result;
  v.f = Format("%.4lf mm", r.f);
  v.kappa1 = Format("%.4lf  1/mm\u00b2", r.kappa1);
  const double t[3] = {r.Tx, r.Ty, r.Tz}, angles[3] = {r.Rx, r.Ry, r.Rz};
  for (int i = 0; i < 3; ++i) {
    v.t[i] = Format("%.2lf", t[i]);
    v.r[i] = Format("%.2lf", angles[i] * kDegreesPerRadian);
  }
  double mean = 0, deviation = 0, maximum = 0, squares = 0;
  c.GetErrorStatistics(mean, deviation, maximum, squares);
  v.mean2d = Format("%.4lf", mean);
  v.deviation2d = Format("%.4lf", deviation);
  const double limit = c.HalfPixelTolerance(c.points);
  v.within2d = mean != 0 && mean < limit;
  if (multipleCalibrated) {
    v.mean3d = Format("%.4lf", mean3d);
    v.deviation3d = Format("%.4lf", deviation3d);
    v.within3d = mean3d != 0 && static_cast<float>(2 * limit) > static_cast<float>(mean3d);
  }
  return v;
}

std::string PositionText(const Calibration& c, double x, double y, bool onPoint) {
  if (onPoint) {
    for (int i = 0; i < c.points.count; ++i) {
      if (std::fabs(c.points.imageX[i] - x) + std::fabs(c.points.imageY[i] - y) < kOnPoint) {
        char buffer[128];
        std::snprintf(buffer, sizeof buffer, "P_%d (%.1f;%.1f;%.1f)", i + 1, c.points.worldX[i],
                      c.points.worldY[i], c.points.worldZ[i]);
        return buffer;
      }
    }
  }
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.1f,%.1f", x, y);
  return buffer;
}
