// Calibration from points that do not all lie in one plane: seven ratios of the pose from the
// radial alignment constraint give Ty, Tx and the horizontal scale factor sx besides the
// rotation; then an approximate f and Tz, the exact f, Tz and kappa1, and optionally the
// optimisation of everything.

#include <cmath>

#include "calibration/solver.h"
#include "calibration/solver_internal.h"

namespace solver {

namespace {

using namespace detail;

// The first sensor coordinates are taken with this scale factor, so that the sx found does not
// depend on what an earlier calibration left; unless sx is held, then with the sx given.
constexpr double kReferenceSx = 1.0;

int ComputeU(SolverContext& s) {
  return SolveFilledSystem(
      s.cd.count, 7,
      [&](int i, double* row, double& a) {
        const double xw = s.cd.xw[i], yw = s.cd.yw[i], zw = s.cd.zw[i];
        const double Xd = s.ws.Xd[i], Yd = s.ws.Yd[i];
        row[0] = Yd * xw;
        row[1] = Yd * yw;
        row[2] = Yd * zw;
        row[3] = Yd;
        row[4] = -Xd * xw;
        row[5] = -Xd * yw;
        row[6] = -Xd * zw;
        a = Xd;
      },
      s.ws.U);
}

void ComputeTxTy(SolverContext& s) {
  const double* U = s.ws.U;
  const double tySquared = 1 / (U[4] * U[4] + U[5] * U[5] + U[6] * U[6]);
  const int far = FarPoint(s);
  double ty = std::sqrt(tySquared);
  const double xw = s.cd.xw[far], yw = s.cd.yw[far], zw = s.cd.zw[far];
  const double x = U[0] * ty * xw + U[1] * ty * yw + U[2] * ty * zw + U[3] * ty;
  const double y = U[4] * ty * xw + U[5] * ty * yw + U[6] * ty * zw + ty;
  if (SignsDisagree(s, far, x, y)) ty = -ty;
  s.cc.Tx = U[3] * ty;
  s.cc.Ty = ty;
}

// The first three ratios carry the true sx relative to the one the sensor coordinates were
// taken with; so does Tx, which is freed of it here so that the model is exact for any sx.
// Returns that relation. A held sx stays: the data then fit only as well as it is right.
double ComputeSx(SolverContext& s) {
  const double* U = s.ws.U;
  const double ratio = std::sqrt(U[0] * U[0] + U[1] * U[1] + U[2] * U[2]) * std::fabs(s.cc.Ty);
  if (!s.holdSx) s.cp.sx *= ratio;
  s.cc.Tx /= ratio;
  return ratio;
}

void ComputeR(SolverContext& s, double ratio) {
  CalibrationResult& c = s.cc;
  const double* U = s.ws.U;
  const double r1 = U[0] * c.Ty / ratio;
  const double r2 = U[1] * c.Ty / ratio;
  const double r3 = U[2] * c.Ty / ratio;
  const double r4 = U[4] * c.Ty;
  const double r5 = U[5] * c.Ty;
  const double r6 = U[6] * c.Ty;
  // The angles of the two estimated rows; the matrix rebuilt from them is orthonormal.
  c.Rz = std::atan2(r4, r1);
  const double sg = std::sin(c.Rz);
  const double cg = std::cos(c.Rz);
  c.Ry = std::atan2(-(r2 * r6 - r3 * r5), r1 * cg + r4 * sg);
  c.Rx = std::atan2(r3 * sg - r6 * cg, r5 * cg - r2 * sg);
  ApplyRpyTransform(c);
}

}  // namespace

int NoncoplanarCalibration(SolverContext& s) {
  if (!s.holdSx) s.cp.sx = kReferenceSx;
  SensorCoords(s);
  int result = ComputeU(s);
  if (result != 0) return result;
  ComputeTxTy(s);
  const double ratio = ComputeSx(s);
  SensorCoords(s);
  ComputeR(s, ratio);
  result = ApproxFTzWithSignCorrection(s);
  if (result != 0) return result;
  return ExactFTzKappa(s);
}

int NoncoplanarOptimisationPose(SolverContext& s) {
  return OptimisePose(s, {.sx = !s.holdSx, .centre = false});
}

int NoncoplanarOptimisationFull(SolverContext& s) {
  return OptimisePose(s, {.sx = !s.holdSx, .centre = true});
}

}  // namespace solver
