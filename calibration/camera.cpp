#include "calibration/camera.h"

#include <cmath>

namespace {

// Written out so that the three-root branch gives the same digits everywhere.
constexpr double kSqrt3 = 1.7320508075688772;

}  // namespace

double CubeRoot(double x) {
  if (x == 0.0) return 0.0;
  if (x > 0.0) return std::pow(x, 1.0 / 3.0);
  return -std::pow(-x, 1.0 / 3.0);
}

bool UndistortedToDistortedSensor(double Xu, double Yu, const CalibrationResult& c, double& Xd,
                                  double& Yd) {
  if ((Xu == 0.0 && Yu == 0.0) || c.kappa1 == 0.0) {
    Xd = Xu;
    Yd = Yu;
    return true;
  }
  const double Ru = std::hypot(Xu, Yu);

  const double cc = 1.0 / c.kappa1;
  const double d = -cc * Ru;
  const double Q = cc / 3.0;
  const double R = -d / 2.0;
  const double D = Q * Q * Q + R * R;
  bool exists = true;
  double Rd;
  if (D < 0.0) {
    // Three real roots (pincushion lens inside its range): the smallest positive one.
    const double S = std::sqrt(-D);
    const double rho = CubeRoot(std::hypot(R, S));
    const double T = std::atan2(S, R) / 3.0;
    Rd = -rho * std::cos(T) + kSqrt3 * rho * std::sin(T);
  } else if (c.kappa1 > 0.0) {
    const double S = std::sqrt(D);
    Rd = CubeRoot(R + S) + CubeRoot(R - S);
  } else {
    // A pincushion lens maps no distorted radius beyond the one where Rd + kappa1 Rd^3 peaks; the
    // one real root there is negative and would mirror the point through the centre. Such a
    // point is held at the edge of what the lens can show, and the caller is told. At the edge
    // itself (D = 0 up to rounding) the double root is that same radius.
    Rd = 1.0 / std::sqrt(-3.0 * c.kappa1);
    exists = Ru <= 2.0 / (3.0 * std::sqrt(-3.0 * c.kappa1));
  }
  const double lambda = Rd / Ru;
  Xd = Xu * lambda;
  Yd = Yu * lambda;
  return exists;
}

void DistortedToUndistortedSensor(double Xd, double Yd, const CalibrationResult& c, double& Xu,
                                  double& Yu) {
  const double q = 1.0 + c.kappa1 * (Xd * Xd + Yd * Yd);
  Xu = Xd * q;
  Yu = Yd * q;
}

void WorldToCameraCoord(double xw, double yw, double zw, const CalibrationResult& c, double& xc,
                        double& yc, double& zc) {
  xc = c.r1 * xw + c.r2 * yw + c.r3 * zw + c.Tx;
  yc = c.r4 * xw + c.r5 * yw + c.r6 * zw + c.Ty;
  zc = c.r7 * xw + c.r8 * yw + c.r9 * zw + c.Tz;
}

void RotateWorldToCamera(double x, double y, double z, const CalibrationResult& c, double& xc,
                         double& yc, double& zc) {
  xc = c.r1 * x + c.r2 * y + c.r3 * z;
  yc = c.r4 * x + c.r5 * y + c.r6 * z;
  zc = c.r7 * x + c.r8 * y + c.r9 * z;
}

void ImageToDistortedSensor(double Xf, double Yf, const CameraParameters& p, double& Xd,
                            double& Yd) {
  Xd = p.dpx * (Xf - p.Cx) / p.sx;
  Yd = p.dpy * (Yf - p.Cy);
}

void DistortedSensorToImage(double Xd, double Yd, const CameraParameters& p, double& Xf,
                            double& Yf) {
  Xf = Xd * p.sx / p.dpx + p.Cx;
  Yf = Yd / p.dpy + p.Cy;
}

bool WorldToImageCoord(double xw, double yw, double zw, const CameraParameters& p,
                       const CalibrationResult& c, double& Xf, double& Yf) {
  double xc, yc, zc;
  WorldToCameraCoord(xw, yw, zw, c, xc, yc, zc);
  const double Xu = c.f * xc / zc;
  const double Yu = c.f * yc / zc;
  double Xd, Yd;
  const bool inRange = UndistortedToDistortedSensor(Xu, Yu, c, Xd, Yd);
  DistortedSensorToImage(Xd, Yd, p, Xf, Yf);
  return inRange;
}

void ImageToWorldCoord(double Xf, double Yf, double zw, const CameraParameters& p,
                       const CalibrationResult& c, double& xw, double& yw) {
  double Xd, Yd, Xu, Yu;
  ImageToDistortedSensor(Xf, Yf, p, Xd, Yd);
  DistortedToUndistortedSensor(Xd, Yd, c, Xu, Yu);
  const double f = c.f;
  // The viewing ray intersected with the plane zw, solved by Cramer's rule.
  const double N = (c.r1 * c.r8 - c.r2 * c.r7) * Yu + (c.r5 * c.r7 - c.r4 * c.r8) * Xu -
                   f * c.r1 * c.r5 + f * c.r2 * c.r4;
  xw = (((c.r2 * c.r9 - c.r3 * c.r8) * Yu + (c.r6 * c.r8 - c.r5 * c.r9) * Xu - f * c.r2 * c.r6 +
         f * c.r3 * c.r5) *
            zw +
        (c.r2 * c.Tz - c.r8 * c.Tx) * Yu + (c.r8 * c.Ty - c.r5 * c.Tz) * Xu - f * c.r2 * c.Ty +
        f * c.r5 * c.Tx) /
       N;
  yw = -(((c.r1 * c.r9 - c.r3 * c.r7) * Yu + (c.r6 * c.r7 - c.r4 * c.r9) * Xu - f * c.r1 * c.r6 +
          f * c.r3 * c.r4) *
             zw +
         (c.r1 * c.Tz - c.r7 * c.Tx) * Yu + (c.r7 * c.Ty - c.r4 * c.Tz) * Xu - f * c.r1 * c.Ty +
         f * c.r4 * c.Tx) /
       N;
}

void RotationFromAngles(CalibrationResult& r) {
  const double sa = std::sin(r.Rx), ca = std::cos(r.Rx);
  const double sb = std::sin(r.Ry), cb = std::cos(r.Ry);
  const double sg = std::sin(r.Rz), cg = std::cos(r.Rz);
  r.r1 = cb * cg;
  r.r2 = cg * sa * sb - ca * sg;
  r.r3 = sa * sg + ca * cg * sb;
  r.r4 = cb * sg;
  r.r5 = sa * sb * sg + ca * cg;
  r.r6 = ca * sb * sg - cg * sa;
  r.r7 = -sb;
  r.r8 = cb * sa;
  r.r9 = ca * cb;
}
