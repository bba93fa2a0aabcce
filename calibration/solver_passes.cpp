// Stages the coplanar and the non-coplanar calibration share. A coplanar model has zw = 0 for
// every point, so the terms with zw vanish exactly and the same formulas serve both.

#include <cmath>

#include "calibration/solver_internal.h"

namespace solver::detail {

namespace {

// Parameter positions of the pose passes.
constexpr int kRx = 0, kRy = 1, kRz = 2, kTx = 3, kTy = 4, kTz = 5, kKappa = 6, kF = 7;
constexpr int kPoseParameters = 8;

int ApproxFTz(SolverContext& s) {
  const CalibrationResult& c = s.cc;
  double solution[2];
  const int result = SolveFilledSystem(
      s.cd.count, 2,
      [&](int i, double* row, double& a) {
        const double xw = s.cd.xw[i], yw = s.cd.yw[i], zw = s.cd.zw[i];
        const double yi = c.r4 * xw + c.r5 * yw + c.r6 * zw + c.Ty;
        const double wi = c.r7 * xw + c.r8 * yw + c.r9 * zw;
        row[0] = yi;
        row[1] = -s.ws.Yd[i];
        a = wi * s.ws.Yd[i];
      },
      solution);
  if (result != 0) return result;
  s.cc.f = solution[0];
  s.cc.Tz = solution[1];
  s.cc.kappa1 = 0;
  return 0;
}

// Residuals of the exact pass: x = f, Tz, kappa1.
int ExactFTzKappaError(SolverContext& s, const double* x, double* residuals) {
  const CalibrationResult& c = s.cc;
  for (int i = 0; i < s.cd.count; ++i) {
    const double xw = s.cd.xw[i], yw = s.cd.yw[i], zw = s.cd.zw[i];
    const double zc = c.r7 * xw + c.r8 * yw + c.r9 * zw + x[1];
    const double Xu = x[0] * (c.r1 * xw + c.r2 * yw + c.r3 * zw + c.Tx) / zc;
    const double Yu = x[0] * (c.r4 * xw + c.r5 * yw + c.r6 * zw + c.Ty) / zc;
    const double Xd = s.ws.Xd[i], Yd = s.ws.Yd[i];
    residuals[i] = SensorResidual(Xu, Yu, Xd, Yd, 1 + x[2] * (Xd * Xd + Yd * Yd));
  }
  return 0;
}

// Residuals of the pose passes: the observation is taken afresh from the image point with the
// trial (or stored) sx and centre.
template <bool FreeSx, bool FreeCentre>
int PoseError(SolverContext& s, const double* x, double* residuals) {
  double r[9];
  RotationFromAngles(x[kRx], x[kRy], x[kRz], r);
  const int next = kPoseParameters + (FreeSx ? 1 : 0);
  const double sx = FreeSx ? x[kPoseParameters] : s.cp.sx;
  const double cx = FreeCentre ? x[next] : s.cp.Cx;
  const double cy = FreeCentre ? x[next + 1] : s.cp.Cy;
  for (int i = 0; i < s.cd.count; ++i) {
    const double xw = s.cd.xw[i], yw = s.cd.yw[i], zw = s.cd.zw[i];
    const double zc = r[6] * xw + r[7] * yw + r[8] * zw + x[kTz];
    const double Xu = x[kF] * (r[0] * xw + r[1] * yw + r[2] * zw + x[kTx]) / zc;
    const double Yu = x[kF] * (r[3] * xw + r[4] * yw + r[5] * zw + x[kTy]) / zc;
    const double Xd = (s.cd.Xf[i] - cx) * s.cp.dpx / sx;
    const double Yd = (s.cd.Yf[i] - cy) * s.cp.dpy;
    residuals[i] = SensorResidual(Xu, Yu, Xd, Yd, 1 + x[kKappa] * (Xd * Xd + Yd * Yd));
  }
  return 0;
}

ErrorFunction PoseErrorFor(PoseFreedom freedom) {
  if (freedom.sx) return freedom.centre ? PoseError<true, true> : PoseError<true, false>;
  return freedom.centre ? PoseError<false, true> : PoseError<false, false>;
}

}  // namespace

int ApproxFTzWithSignCorrection(SolverContext& s) {
  int result = ApproxFTz(s);
  if (result != 0) return result;
  if (s.cc.f < 0) {
    // The rotation was found mirrored: turn the camera round and try again.
    s.cc.r3 = -s.cc.r3;
    s.cc.r6 = -s.cc.r6;
    s.cc.r7 = -s.cc.r7;
    s.cc.r8 = -s.cc.r8;
    SolveRpyTransform(s.cc);
    result = ApproxFTz(s);
    if (result != 0) return result;
    if (s.cc.f < 0) return calid::kUnexpectedError;
  }
  return 0;
}

int ExactFTzKappa(SolverContext& s) {
  double x[3] = {s.cc.f, s.cc.Tz, s.cc.kappa1};
  const int result = RunOptimisationPass(s, 3, x, ExactFTzKappaError);
  if (result != 0) return result;
  s.cc.f = x[0];
  s.cc.Tz = x[1];
  s.cc.kappa1 = x[2];
  return 0;
}

int OptimisePose(SolverContext& s, PoseFreedom freedom) {
  double x[11] = {s.cc.Rx, s.cc.Ry, s.cc.Rz, s.cc.Tx, s.cc.Ty, s.cc.Tz, s.cc.kappa1, s.cc.f};
  int n = kPoseParameters;
  if (freedom.sx) x[n++] = s.cp.sx;
  if (freedom.centre) {
    x[n++] = s.cp.Cx;
    x[n++] = s.cp.Cy;
  }
  const int result = RunOptimisationPass(s, n, x, PoseErrorFor(freedom));
  if (result != 0) return result;
  s.cc.Rx = x[kRx];
  s.cc.Ry = x[kRy];
  s.cc.Rz = x[kRz];
  ApplyRpyTransform(s.cc);
  s.cc.Tx = x[kTx];
  s.cc.Ty = x[kTy];
  s.cc.Tz = x[kTz];
  s.cc.kappa1 = x[kKappa];
  s.cc.f = x[kF];
  n = kPoseParameters;
  if (freedom.sx) s.cp.sx = x[n++];
  if (freedom.centre) {
    s.cp.Cx = x[n++];
    s.cp.Cy = x[n++];
  }
  return 0;
}

}  // namespace solver::detail
