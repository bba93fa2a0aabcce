#include "calibration/reconstruct.h"

#include <cmath>

#include "calibration/calibrat.h"
#include "calibration/matrix.h"

namespace {

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

// The viewing ray of a view.
bool RayOf(const CameraView& v, double c[3], double d[3]) {
  return CameraRay(*v.camera, *v.result, v.x, v.y, c, d);
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
    if (!RayOf(v, c, d)) continue;
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
  // The viewing rays themselves, not their crossings with two horizontal planes: a ray parallel
  // to those planes (a level camera's horizon) has none.
  double a1[3], a[3], b1[3], b[3];
  if (!RayOf(va, a1, a) || !RayOf(vb, b1, b)) return false;
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
  if (!RayOf(source, c, d)) return false;
  double cc[3], dc[3];
  WorldToCameraCoord(c[0], c[1], c[2], target, cc[0], cc[1], cc[2]);
  RotateWorldToCamera(d[0], d[1], d[2], target, dc[0], dc[1], dc[2]);
  // The image of the ray is the line through the images of its start (the source centre) and
  // of its end at infinity, both taken homogeneously: the line exists also when either image
  // lies at infinity (cameras side by side), and nothing is rounded or stepped along the ray.
  const double f = target.f;
  const double start[3] = {f * cc[0], f * cc[1], cc[2]};
  const double end[3] = {f * dc[0], f * dc[1], dc[2]};
  double line[3];  // line[0] X + line[1] Y + line[2] = 0
  Cross(start, end, line);
  const double norm = std::hypot(line[0], line[1]);
  // Zero when the ray passes through the target's own projection centre.
  if (!(norm > 0) || !AllFinite(line, 3)) return false;
  // Pointing the way the image moves as the point moves away from the source camera.
  const double u[2] = {line[1] / norm, -line[0] / norm};
  // The point of the line nearest the image centre: small, so single precision keeps it to a
  // fraction of a micrometre wherever the line crosses the sensor.
  const double nearest[2] = {-line[2] * line[0] / (norm * norm),
                             -line[2] * line[1] / (norm * norm)};
  if (!AllFinite(nearest, 2)) return false;
  WriteFloats(nearest, 2, point);
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
