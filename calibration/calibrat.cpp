#include "calibration/calibrat.h"

#include <algorithm>
#include <cmath>

#include "base/unitsorigin.h"

namespace {

// Defaults of a camera that has no camera-parameter file.
constexpr double kDefaultElementSpacing = 0.016;  // mm
// One length-scale unit of the image sequence is this many millimetres.
constexpr double kScaleToMm = 10.0;
// The linear-sizing points sit at these fractions of the width, at half the height.
constexpr double kSizingLeft = 0.1;
constexpr double kSizingRight = 0.9;
constexpr double kSizingHeight = 0.5;
// Hit radius of a point in screen pixels.
constexpr double kHitRadius = 4.0;
// Used points a calibration needs at least.
constexpr int kMinCoplanarPoints = 9;
constexpr int kMinNonCoplanarPoints = 12;

bool Missing(float v) { return v == kMissingCoordinate; }

}  // namespace

void CalibrationPoints::Clear() { *this = CalibrationPoints(); }

const Calibration& Projection::AsCalibration() const {
  return static_cast<const Calibration&>(*this);
}

Calibration& Projection::AsCalibration() { return static_cast<Calibration&>(*this); }

void Calibration::SetImageSize(double scale, double aspectRatio, int32_t width, int32_t height) {
  lengthScale = scale;
  aspect = aspectRatio;
  if (!Has(kFlagCameraRead)) {
    camera.Ncx = camera.Nfx = width;
    camera.dx = camera.dy = kDefaultElementSpacing;
    camera.dpx = scale * kScaleToMm * aspectRatio;
    camera.dpy = scale * kScaleToMm;
  }
  // The user's two linear-sizing points stay when only the scale or the aspect changes (a
  // length or relation entered in the scale dialog); a new image size resets them.
  if (width != imageWidth || height != imageHeight) {
    sizingPoint1 = {std::trunc(width * kSizingLeft), std::trunc(height * kSizingHeight)};
    sizingPoint2 = {std::trunc(width * kSizingRight), std::trunc(height * kSizingHeight)};
  }
  imageWidth = width;
  imageHeight = height;
}

bool Calibration::IsReady() const {
  constexpr uint32_t kAllFiles =
      kFlagCameraFile | kFlagModelFile | kFlagCalibrationImage | kFlagCalibrationFile;
  return (flags & kAllFiles) == kAllFiles;
}

bool Calibration::CanCalibrate() const {
  if (!IsReady()) return false;
  const int used = static_cast<int>(
      std::count_if(points.used, points.used + points.count, [](int32_t u) { return u != 0; }));
  return used >= (Has(kFlagNonCoplanar) ? kMinNonCoplanarPoints : kMinCoplanarPoints);
}

void Calibration::ImageToWorld(float out[3], float x, float y) const {
  if (IsCalibrated() && !UsesLinearSizing()) {
    if (Missing(x) || Missing(y)) {
      // The camera model needs both coordinates; without one the world point is unknown.
      out[0] = out[1] = kMissingCoordinate;
    } else {
      double X, Y;
      ImageToWorldCoord(x, y, 0.0, camera, result, X, Y);
      out[0] = static_cast<float>(X);
      out[1] = static_cast<float>(Y);
    }
    out[2] = 0;
    return;
  }
  double px = x, py = y;
  if (!Missing(x) && g_UnitsOrigin.MirrorsX()) px = imageWidth - px;
  if (!Missing(y) && g_UnitsOrigin.MirrorsY()) py = imageHeight - py;
  out[0] =
      Missing(x) ? kMissingCoordinate : static_cast<float>(lengthScale * kScaleToMm * aspect * px);
  out[1] = Missing(y) ? kMissingCoordinate : static_cast<float>(lengthScale * kScaleToMm * py);
  out[2] = 0;
}

void Calibration::WorldToImage(float out[3], float X, float Y, float Z) const {
  if (!IsCalibrated()) return;
  double x, y;
  WorldToImageCoord(X, Y, Z, camera, result, x, y);
  out[0] = static_cast<float>(x);
  out[1] = static_cast<float>(y);
  out[2] = 0;
}

void Calibration::WorldToImageScaled(float out[3], float X, float Y) const {
  if (IsCalibrated() && !UsesLinearSizing()) {
    if (Missing(X) || Missing(Y)) {
      out[0] = out[1] = kMissingCoordinate;
    } else {
      double x, y;
      WorldToImageCoord(X, Y, 0.0, camera, result, x, y);
      out[0] = static_cast<float>(x);
      out[1] = static_cast<float>(y);
    }
    out[2] = 0;
    return;
  }
  double x = X / (lengthScale * kScaleToMm * aspect);
  double y = Y / (lengthScale * kScaleToMm);
  if (!Missing(X) && g_UnitsOrigin.MirrorsX()) x = imageWidth - x;
  if (!Missing(Y) && g_UnitsOrigin.MirrorsY()) y = imageHeight - y;
  out[0] = Missing(X) ? kMissingCoordinate : static_cast<float>(x);
  out[1] = Missing(Y) ? kMissingCoordinate : static_cast<float>(y);
  out[2] = 0;
}

void Calibration::ProjectModelPoints() {
  if (!IsReady()) return;
  if (!IsCalibrated()) {
    PlacePointsLinear(points);
    return;
  }
  for (int i = 0; i < points.count; ++i) {
    if (points.used[i] != 0) continue;
    WorldToImageCoord(points.worldX[i], points.worldY[i], points.worldZ[i], camera, result,
                      points.imageX[i], points.imageY[i]);
  }
}

void Calibration::SetAllPointsUsed(signed char used) {
  if (!IsReady()) return;
  std::fill(points.used, points.used + points.count, static_cast<int32_t>(used));
}

bool Calibration::SetPointUsed(int32_t index, signed char used, bool select) {
  if (UsesLinearSizing()) {
    selectedPoint = select ? index : -1;
    return true;
  }
  if (!IsReady() || index < 0 || index >= points.count) return false;
  if (points.used[index] == used && !select) return false;
  points.used[index] = used;
  selectedPoint = select ? index : -1;
  return true;
}

bool Calibration::SetImagePoint(int32_t index, double x, double y) {
  if (UsesLinearSizing()) {
    if (index == 1) sizingPoint1 = {x, y};
    if (index == 2) sizingPoint2 = {x, y};
    return true;
  }
  if (!IsReady() || index < 0 || index >= points.count) return false;
  if (points.imageX[index] == x && points.imageY[index] == y) return false;
  points.imageX[index] = x;
  points.imageY[index] = y;
  return true;
}

int32_t Calibration::FindPoint(double x, double y, double zoom) const {
  const double r = kHitRadius / (zoom == 0.0 ? 1.0 : zoom);
  const auto near = [&](double px, double py) { return std::hypot(px - x, py - y) <= r; };
  if (UsesLinearSizing()) {
    if (near(sizingPoint1.x, sizingPoint1.y)) return 1;
    if (near(sizingPoint2.x, sizingPoint2.y)) return 2;
    return -1;
  }
  if (!IsReady()) return -1;
  for (int i = 0; i < points.count; ++i) {
    if (near(points.imageX[i], points.imageY[i])) return i;
  }
  return -1;
}

void ObjectSpaceErrorStats(double& mean, double& deviation, double& maximum, double& sumSquares,
                           const CalibrationPoints& points, const CameraParameters& camera,
                           const CalibrationResult& result) {
  int n = 0;
  double sum = 0, sumSq = 0, maxE = 0;
  const double f = result.f;
  for (int i = 0; i < points.count; ++i) {
    if (points.used[i] == 0) continue;
    ++n;
    double xc, yc, zc;
    WorldToCameraCoord(points.worldX[i], points.worldY[i], points.worldZ[i], result, xc, yc, zc);
    double Xd, Yd, Xu, Yu;
    ImageToDistortedSensor(points.imageX[i], points.imageY[i], camera, Xd, Yd);
    DistortedToUndistortedSensor(Xd, Yd, result, Xu, Yu);
    // Foot of the perpendicular from the camera point onto the ray through (Xu, Yu, f).
    const double t = (xc * Xu + yc * Yu + zc * f) / (Xu * Xu + Yu * Yu + f * f);
    const double ex = xc - t * Xu, ey = yc - t * Yu, ez = zc - t * f;
    const double e2 = ex * ex + ey * ey + ez * ez;
    const double e = std::sqrt(e2);
    sum += e;
    sumSq += e2;
    maxE = std::max(maxE, e);
  }
  if (n < 2) {
    mean = deviation = maximum = sumSquares = 0;
    return;
  }
  mean = sum / n;
  // Equal errors can leave a tiny negative difference from rounding; that is a zero spread.
  const double radicand = (sumSq - sum * sum / n) / (n - 1);
  deviation = std::sqrt(std::max(radicand, 0.0));
  maximum = maxE;
  sumSquares = sumSq;
}

bool Calibration::GetErrorStatistics(double& mean, double& deviation, double& maximum,
                                     double& sumSquares) {
  if (!IsCalibrated()) return false;
  ObjectSpaceErrorStats(mean, deviation, maximum, sumSquares, points, camera, result);
  divergenceMean = mean;
  divergenceDeviation = deviation;
  return true;
}
