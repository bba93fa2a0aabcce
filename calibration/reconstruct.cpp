#include "calibration/reconstruct.h"

#include <cmath>

#include "calibration/calibrat.h"
#include "calibration/matrix.h"

namespace {

// Heights of the two world points that fix a viewing ray for the two-view reconstruction.
constexpr double kNearHeight = 1.0;
constexpr double kFarHeight = 100000.0;

bool AllFinite(const double* v, int n) {
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(v[i])) return false;
  }
  return true;
}

void Cross(const double a[3], const double b[3], double out[3]) {
  out[0] = a[1] * b[2] - a[2] * b[1];
  out[1] = a[2] * b[0] - a[0] * b[2];
  out[2] = a[0] * b[1] - a[1] * b[0];
}

// Determinant of the matrix with columns a, b, c.
double Det3(const double a[3], const double b[3], const double c[3]) {
  double bc[3];
  Cross(b, c, bc);
  return a[0] * bc[0] + a[1] * bc[1] + a[2] * bc[2];
}

void WriteFloats(const double* v, int n, float* out) {
  for (int i = 0; i < n; ++i) out[i] = static_cast<float>(v[i]);
}

// Two world points of the viewing ray of a view: on the planes at kNearHeight and kFarHeight.
void RayThroughHeights(const CameraView& v, double nearPoint[3], double farPoint[3]) {
  ImageToWorldCoord(v.x, v.y, kNearHeight, *v.camera, *v.result, nearPoint[0], nearPoint[1]);
  nearPoint[2] = kNearHeight;
  ImageToWorldCoord(v.x, v.y, kFarHeight, *v.camera, *v.result, farPoint[0], farPoint[1]);
  farPoint[2] = kFarHeight;
}

}  // namespace

bool CameraRay(const CameraParameters& camera, const CalibrationResult& result, float x, float y,
               double c[3], double d[3]) {
  const double rotation[9] = {result.r1, result.r2, result.r3, result.r4, result.r5,
                              result.r6, result.r7, result.r8, result.r9};
  double inverse[9];
  double determinant = 0;
  MatrixSolve(rotation, 3, &determinant, inverse);
  // 0 also when the matrix module had no memory and wrote nothing.
  if (determinant == 0) return false;
  double Xd, Yd, Xu, Yu;
  ImageToDistortedSensor(x, y, camera, Xd, Yd);
  DistortedToUndistortedSensor(Xd, Yd, result, Xu, Yu);
  const double minusT[3] = {-result.Tx, -result.Ty, -result.Tz};
  const double sensor[3] = {Xu / result.f, Yu / result.f, 1.0};
  MatrixProduct(inverse, minusT, 3, 3, 1, c);
  MatrixProduct(inverse, sensor, 3, 3, 1, d);
  return true;
}

bool ReconstructPoint3D(std::span<const CameraView> views, float out[3]) {
  double a[9] = {};
  double b[3] = {};
  for (const CameraView& v : views) {
    double c[3], d[3];
    if (!CameraRay(*v.camera, *v.result, v.x, v.y, c, d)) continue;
    // |d|^2 I - d d^T: the squared distance from the ray, weighted by |d|^2.
    const double m[9] = {d[1] * d[1] + d[2] * d[2], -d[0] * d[1], -d[0] * d[2], -d[0] * d[1],
                         d[0] * d[0] + d[2] * d[2], -d[1] * d[2], -d[0] * d[2], -d[1] * d[2],
                         d[0] * d[0] + d[1] * d[1]};
    Projection::AddMatrix(m, 3, 3, a);
    double mc[3];
    MatrixProduct(m, c, 3, 3, 1, mc);
    Projection::AddMatrix(mc, 3, 1, b);
  }
  double inverse[9];
  double determinant = 0;
  MatrixSolve(a, 3, &determinant, inverse);
  if (determinant == 0) return false;
  double p[3];
  MatrixProduct(inverse, b, 3, 3, 1, p);
  if (!AllFinite(p, 3)) return false;
  WriteFloats(p, 3, out);
  return true;
}

bool ReconstructFromTwoViews(const CameraView& va, const CameraView& vb, float out[3]) {
  double a1[3], a2[3], b1[3], b2[3];
  RayThroughHeights(va, a1, a2);
  RayThroughHeights(vb, b1, b2);
  const double a[3] = {a2[0] - a1[0], a2[1] - a1[1], a2[2] - a1[2]};
  const double b[3] = {b2[0] - b1[0], b2[1] - b1[1], b2[2] - b1[2]};
  double n[3];
  Cross(a, b, n);
  // a1 + s a + t n = b1 + u b, by Cramer's rule on the columns a, n, -b.
  const double minusB[3] = {-b[0], -b[1], -b[2]};
  const double rhs[3] = {b1[0] - a1[0], b1[1] - a1[1], b1[2] - a1[2]};
  const double det = Det3(a, n, minusB);
  if (det == 0) return false;
  const double s = Det3(rhs, n, minusB) / det;
  const double t = Det3(a, rhs, minusB) / det;
  const double p[3] = {a1[0] + s * a[0] + t / 2 * n[0], a1[1] + s * a[1] + t / 2 * n[1],
                       a1[2] + s * a[2] + t / 2 * n[2]};
  if (!AllFinite(p, 3)) return false;
  WriteFloats(p, 3, out);
  return true;
}

bool EpipolarLineOfView(const CameraView& source, const CalibrationResult& target, float point[2],
                        float direction[2]) {
  double c[3], d[3];
  if (!CameraRay(*source.camera, *source.result, source.x, source.y, c, d)) return false;
  double cc[3], dc[3];
  WorldToCameraCoord(c[0], c[1], c[2], target, cc[0], cc[1], cc[2]);
  RotateWorldToCamera(d[0], d[1], d[2], target, dc[0], dc[1], dc[2]);
  const double f = target.f;
  const float e[2] = {static_cast<float>(f * cc[0] / cc[2]), static_cast<float>(f * cc[1] / cc[2])};
  const double q[2] = {f * (cc[0] + dc[0]) / (cc[2] + dc[2]),
                       f * (cc[1] + dc[1]) / (cc[2] + dc[2])};
  const double length = std::hypot(q[0] - e[0], q[1] - e[1]);
  const double u[2] = {(q[0] - e[0]) / length, (q[1] - e[1]) / length};
  const double ee[2] = {e[0], e[1]};
  if (!(length > 0) || !AllFinite(ee, 2) || !AllFinite(u, 2)) return false;
  point[0] = e[0];
  point[1] = e[1];
  WriteFloats(u, 2, direction);
  return true;
}

void ProjectImagePointOntoLine(const CameraParameters& camera, const CalibrationResult& result,
                               float p[2], float px, float py, float ux, float uy) {
  double Xd, Yd, Xu, Yu;
  ImageToDistortedSensor(p[0], p[1], camera, Xd, Yd);
  DistortedToUndistortedSensor(Xd, Yd, result, Xu, Yu);
  const double t = (Xu - px) * ux + (Yu - py) * uy;
  double footXd, footYd;
  UndistortedToDistortedSensor(px + t * ux, py + t * uy, result, footXd, footYd);
  double x, y;
  DistortedSensorToImage(footXd, footYd, camera, x, y);
  p[0] = static_cast<float>(x);
  p[1] = static_cast<float>(y);
}

// The calibration's own operations that need no document.

void Projection::AddMatrix(const double* a, int rows, int columns, double* b) {
  for (int i = 0; i < rows * columns; ++i) b[i] += a[i];
}

void Projection::ReconstructFromTwoCameras(float out[3], float xa, float ya, float xb, float yb,
                                           const Calibration& b) const {
  const Calibration& a = AsCalibration();
  if (!a.IsCalibrated()) return;
  ReconstructFromTwoViews({&a.camera, &a.result, xa, ya}, {&b.camera, &b.result, xb, yb}, out);
}

void Projection::ProjectOntoLine(float p[2], float px, float py, float ux, float uy) const {
  const Calibration& self = AsCalibration();
  ProjectImagePointOntoLine(self.camera, self.result, p, px, py, ux, uy);
}
