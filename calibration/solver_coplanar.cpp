// Calibration from points in the plane zw = 0: five ratios of the pose from the radial
// alignment constraint, then Ty, Tx, the rotation, an approximate f and Tz, and the exact f, Tz
// and kappa1; the full optimisation then frees the image centre and finally everything.

#include <algorithm>
#include <cmath>

#include "calibration/solver.h"
#include "calibration/solver_internal.h"

namespace solver {

namespace {

using namespace detail;

// Below this a ratio counts as zero when choosing the formula for Ty.
constexpr double kRatioZero = 1e-8;

// Centre-pass parameter positions.
constexpr int kF = 0, kTz = 1, kKappa = 2, kCx = 3, kCy = 4;
constexpr int kCentreParameters = 5;

int ComputeU(SolverContext& s) {
  return SolveFilledSystem(
      s.cd.count, 5,
      [&](int i, double* row, double& a) {
        const double xw = s.cd.xw[i], yw = s.cd.yw[i];
        const double Xd = s.ws.Xd[i], Yd = s.ws.Yd[i];
        row[0] = Yd * xw;
        row[1] = Yd * yw;
        row[2] = Yd;
        row[3] = -Xd * xw;
        row[4] = -Xd * yw;
        a = Xd;
      },
      s.ws.U);
}

void ComputeTxTy(SolverContext& s) {
  const double* U = s.ws.U;
  auto small = [](double v) { return std::fabs(v) < kRatioZero; };
  double tySquared;
  if (small(U[0]) && small(U[1])) {
    tySquared = 1 / (U[3] * U[3] + U[4] * U[4]);
  } else if (small(U[3]) && small(U[4])) {
    tySquared = 1 / (U[0] * U[0] + U[1] * U[1]);
  } else if (small(U[0]) && small(U[3])) {
    tySquared = 1 / (U[1] * U[1] + U[4] * U[4]);
  } else if (small(U[1]) && small(U[4])) {
    tySquared = 1 / (U[0] * U[0] + U[3] * U[3]);
  } else {
    const double sr = U[0] * U[0] + U[1] * U[1] + U[3] * U[3] + U[4] * U[4];
    const double d = U[0] * U[4] - U[3] * U[1];
    tySquared = (sr - std::sqrt(sr * sr - 4 * d * d)) / (2 * d * d);
  }
  const int far = FarPoint(s);
  double ty = std::sqrt(tySquared);
  const double xw = s.cd.xw[far], yw = s.cd.yw[far];
  const double x = U[0] * ty * xw + U[1] * ty * yw + U[2] * ty;
  const double y = U[3] * ty * xw + U[4] * ty * yw + ty;
  if (SignsDisagree(s, far, x, y)) ty = -ty;
  s.cc.Tx = U[2] * ty;
  s.cc.Ty = ty;
}

void ComputeR(SolverContext& s) {
  CalibrationResult& c = s.cc;
  const double* U = s.ws.U;
  c.r1 = U[0] * c.Ty;
  c.r2 = U[1] * c.Ty;
  // Noise can push the first two elements of a row past unit length when the camera looks
  // almost straight at the plane; the third element is then 0, not the root of a negative.
  c.r3 = std::sqrt(std::max(0.0, 1 - c.r1 * c.r1 - c.r2 * c.r2));
  c.r4 = U[3] * c.Ty;
  c.r5 = U[4] * c.Ty;
  c.r6 = std::sqrt(std::max(0.0, 1 - c.r4 * c.r4 - c.r5 * c.r5));
  if (c.r1 * c.r4 + c.r2 * c.r5 > 0) c.r6 = -c.r6;
  c.r7 = c.r2 * c.r6 - c.r3 * c.r5;
  c.r8 = c.r3 * c.r4 - c.r1 * c.r6;
  c.r9 = c.r1 * c.r5 - c.r2 * c.r4;
  SolveRpyTransform(c);
}

// The linear stages on the current Xd, Yd: U, Tx, Ty, R, approximate f and Tz.
int LinearStages(SolverContext& s) {
  const int result = ComputeU(s);
  if (result != 0) return result;
  ComputeTxTy(s);
  ComputeR(s);
  return ApproxFTzWithSignCorrection(s);
}

void RemoveSensorDistortion(SolverContext& s) {
  for (int i = 0; i < s.cd.count; ++i) {
    double Xu, Yu;
    DistortedToUndistortedSensor(s.ws.Xd[i], s.ws.Yd[i], s.cc, Xu, Yu);
    s.ws.Xd[i] = Xu;
    s.ws.Yd[i] = Yu;
    s.ws.Rsq[i] = Xu * Xu + Yu * Yu;
  }
}

// Residuals of the centre passes: the model with the trial f and Tz and the pose the linear
// stages just found, against the working sensor coordinates corrected by kappa1 (0 when they
// are already undistorted).
void CentreResiduals(const SolverContext& s, const double* x, double kappa1, double* residuals) {
  const CalibrationResult& c = s.cc;
  for (int i = 0; i < s.cd.count; ++i) {
    const double xw = s.cd.xw[i], yw = s.cd.yw[i];
    const double zc = c.r7 * xw + c.r8 * yw + x[kTz];
    const double Xu = x[kF] * (c.r1 * xw + c.r2 * yw + c.Tx) / zc;
    const double Yu = x[kF] * (c.r4 * xw + c.r5 * yw + c.Ty) / zc;
    residuals[i] = SensorResidual(Xu, Yu, s.ws.Xd[i], s.ws.Yd[i], 1 + kappa1 * s.ws.Rsq[i]);
  }
}

// The linear stages rerun for the trial centre on distorted coordinates; distortion enters
// the residual only.
int CentreLateError(SolverContext& s, const double* x, double* residuals) {
  s.cp.Cx = x[kCx];
  s.cp.Cy = x[kCy];
  SensorCoords(s);
  const int result = LinearStages(s);
  if (result != 0) return result;
  CentreResiduals(s, x, x[kKappa], residuals);
  return 0;
}

// Distortion removed with the trial kappa1 first, then the linear stages on undistorted
// coordinates for the trial centre.
int CentreEarlyError(SolverContext& s, const double* x, double* residuals) {
  s.cc.kappa1 = x[kKappa];
  s.cp.Cx = x[kCx];
  s.cp.Cy = x[kCy];
  SensorCoords(s);
  RemoveSensorDistortion(s);
  const int result = LinearStages(s);
  if (result != 0) return result;
  CentreResiduals(s, x, 0.0, residuals);
  return 0;
}

int OptimiseCentre(SolverContext& s, ErrorFunction error) {
  double x[kCentreParameters] = {s.cc.f, s.cc.Tz, s.cc.kappa1, s.cp.Cx, s.cp.Cy};
  const int result = RunOptimisationPass(s, kCentreParameters, x, error);
  if (result != 0) return result;
  s.cc.f = x[kF];
  s.cc.Tz = x[kTz];
  s.cc.kappa1 = x[kKappa];
  s.cp.Cx = x[kCx];
  s.cp.Cy = x[kCy];
  return 0;
}

}  // namespace

int CoplanarCalibration(SolverContext& s) {
  for (int i = 0; i < s.cd.count; ++i) {
    if (s.cd.zw[i] != 0.0) return calid::kCoplanarZNotZero;
  }
  SensorCoords(s);
  const int result = LinearStages(s);
  if (result != 0) return result;
  return ExactFTzKappa(s);
}

int CoplanarOptimisationCentreLate(SolverContext& s) { return OptimiseCentre(s, CentreLateError); }

int CoplanarOptimisationCentreEarly(SolverContext& s) {
  return OptimiseCentre(s, CentreEarlyError);
}

int CoplanarOptimisationPose(SolverContext& s) {
  return OptimisePose(s, {.sx = false, .centre = false});
}

int CoplanarOptimisationFull(SolverContext& s) {
  return OptimisePose(s, {.sx = false, .centre = true});
}

}  // namespace solver
