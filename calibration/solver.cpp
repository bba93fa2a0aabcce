#include "calibration/solver.h"

#include <cminpack.h>

#include <cmath>
#include <memory>
#include <new>

#include "calibration/solver_internal.h"

namespace solver {

namespace {

// Settings of every minimiser run.
constexpr double kFtol = 1e-5;
constexpr double kXtol = 1e-7;
constexpr double kGtol = 0.0;
constexpr int kMaxfevPerParameter = 1000;
constexpr double kEpsfcn = 1e-16;
constexpr int kModeScaleItself = 1;
constexpr double kStepFactor = 100.0;
constexpr int kNoPrint = 0;
constexpr int kMaxPassParameters = 11;

// A normal matrix is taken as singular when its determinant, divided by the product of its
// diagonal elements, is below this. That ratio does not change with the units of the columns
// (a model in metres rather than millimetres), while the determinant itself changes by powers
// of the unit. Exactly dependent columns give ratios far below it (1e-24 for a flat model in a
// non-coplanar calibration), well-conditioned models 1e-4 to 1e-2.
constexpr double kMinNormalisedDeterminant = 1e-15;

struct PassState {
  SolverContext* context;
  detail::ErrorFunction error;
};

int PassCallback(void* p, int /*m*/, int /*n*/, const double* x, double* fvec, int /*iflag*/) {
  auto* pass = static_cast<PassState*>(p);
  const int result = pass->error(*pass->context, x, fvec);
  if (result != 0) {
    pass->context->passFailure = result;
    return -1;  // stops the minimiser
  }
  return 0;
}

// The points and the camera constants the entries read must be numbers; the sensor lengths
// must not be 0. sx only counts where it is read (the non-coplanar procedure finds its own).
bool InputUsable(const SolverContext& s, bool readsSx) {
  const CameraParameters& p = s.cp;
  const double camera[] = {p.dpx, p.dpy, p.Cx, p.Cy, readsSx ? p.sx : 1.0};
  for (double v : camera) {
    if (!std::isfinite(v)) return false;
  }
  if (p.dpx == 0 || p.dpy == 0 || (readsSx && p.sx == 0)) return false;
  for (int i = 0; i < s.cd.count; ++i) {
    const double point[] = {s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], s.cd.Xf[i], s.cd.Yf[i]};
    for (double v : point) {
      if (!std::isfinite(v)) return false;
    }
  }
  return true;
}

bool ResultsFinite(const SolverContext& s) {
  const CalibrationResult& c = s.cc;
  const double values[] = {c.f,  c.kappa1, c.Tx, c.Ty, c.Tz, c.Rx, c.Ry, c.Rz,    c.r1,    c.r2,
                           c.r3, c.r4,     c.r5, c.r6, c.r7, c.r8, c.r9, s.cp.Cx, s.cp.Cy, s.cp.sx};
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

// A camera that reports success must be able to see its target: a positive focal length and
// every used point in front of it. Noise near a frontal view, points given in the wrong order
// or points behind the camera lead the stages to a mirrored or collapsed camera that fits the
// numbers but not the world.
bool SeesEveryPoint(const SolverContext& s) {
  if (!(s.cc.f > 0)) return false;
  for (int i = 0; i < s.cd.count; ++i) {
    double xc, yc, zc;
    WorldToCameraCoord(s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], s.cc, xc, yc, zc);
    if (!(zc > 0)) return false;
  }
  return true;
}

// The world position of the used point seen farthest from the image centre. Tsai's linear
// stage divides by Ty and needs the world origin well off the optical axis; this point is the
// target's own point farthest from it.
void OffAxisTargetPoint(const SolverContext& s, double point[3]) {
  int far = 0;
  double largest = -1;
  for (int i = 0; i < s.cd.count; ++i) {
    const double x = (s.cd.Xf[i] - s.cp.Cx) * s.cp.dpx;
    const double y = (s.cd.Yf[i] - s.cp.Cy) * s.cp.dpy;
    if (x * x + y * y > largest) {
      largest = x * x + y * y;
      far = i;
    }
  }
  point[0] = s.cd.xw[far];
  point[1] = s.cd.yw[far];
  point[2] = s.cd.zw[far];
}

template <typename... Step>
int RunSteps(SolverContext& s, Step... steps) {
  int result = 0;
  ((result == 0 ? (result = steps(s)) : 0), ...);
  return result;
}

// The linear stages multiply world by sensor coordinates. Far from the world origin those
// products differ little from point to point, and a sound target fails the test of a system's
// conditioning only because of where the origin lies. Such a target is solved again with its
// world points w taken relative to one of its own points o, and the camera moved back:
// R (w - o) + T' = R w + (T' - R o). A target that passes the first time is computed as it
// always was.
template <typename... Step>
int RunRelativeToTarget(SolverContext& s, const CameraParameters& startCamera,
                        const CalibrationResult& startResult, Step... steps) {
  const SolverCalibrationData given = s.cd;
  double o[3];
  OffAxisTargetPoint(s, o);
  for (int i = 0; i < s.cd.count; ++i) {
    s.cd.xw[i] -= o[0];
    s.cd.yw[i] -= o[1];
    s.cd.zw[i] -= o[2];
  }
  s.cp = startCamera;
  s.cc = startResult;
  const int result = RunSteps(s, steps...);
  s.cd = given;
  CalibrationResult& c = s.cc;
  c.Tx -= c.r1 * o[0] + c.r2 * o[1] + c.r3 * o[2];
  c.Ty -= c.r4 * o[0] + c.r5 * o[1] + c.r6 * o[2];
  c.Tz -= c.r7 * o[0] + c.r8 * o[1] + c.r9 * o[2];
  return result;
}

// Runs the steps in order, stops at the first failure, and refuses input or a result that is
// not a number or not a camera that sees its points: a camera must never be marked calibrated
// with one.
template <typename... Step>
int RunEntry(SolverContext& s, bool readsSx, Step... steps) {
  if (s.cd.count < 0 || s.cd.count > kMaxSolverPoints) return calid::kUnexpectedError;
  if (!InputUsable(s, readsSx)) return calid::kUnexpectedError;
  const CameraParameters startCamera = s.cp;
  const CalibrationResult startResult = s.cc;
  int result = RunSteps(s, steps...);
  if (result == calid::kDeterminantTooSmall) {
    result = RunRelativeToTarget(s, startCamera, startResult, steps...);
  }
  if (result == 0 && !ResultsFinite(s)) result = calid::kUnexpectedError;
  if (result == 0 && !SeesEveryPoint(s)) result = calid::kUnexpectedError;
  return result;
}

}  // namespace

SolverContext& TheSolver() {
  static SolverContext records;
  return records;
}

namespace detail {

int MatrixFailureId() {
  return MatrixError == kMatrixNoMemory ? calid::kOutOfMemoryMatrix : calid::kEmptyMatrix;
}

int SolveFilledSystem(int rows, int columns, const RowFiller& fill, double* solution) {
  int error = 0;
  SolverMatrixPtr m = MatrixCreate(0, rows - 1, 0, columns - 1, &error);
  if (!m) return MatrixFailureId();
  SolverMatrixPtr a = MatrixCreate(0, rows - 1, 0, 0, &error);
  if (!a) return MatrixFailureId();
  SolverMatrixPtr b = MatrixCreate(0, columns - 1, 0, 0, &error);
  if (!b) return MatrixFailureId();
  for (int i = 0; i < rows; ++i) fill(i, &(*m)(i, 0), (*a)(i, 0));
  const int result = SolveLinearSystem(*m, *a, *b);
  if (result != 0) return result;
  for (int j = 0; j < columns; ++j) solution[j] = (*b)(j, 0);
  return 0;
}

void SensorCoords(SolverContext& s) {
  for (int i = 0; i < s.cd.count; ++i) {
    const double Xd = (s.cd.Xf[i] - s.cp.Cx) * s.cp.dpx / s.cp.sx;
    const double Yd = (s.cd.Yf[i] - s.cp.Cy) * s.cp.dpy;
    s.ws.Xd[i] = Xd;
    s.ws.Yd[i] = Yd;
    s.ws.Rsq[i] = Xd * Xd + Yd * Yd;
  }
}

int FarPoint(const SolverContext& s) {
  int far = 0;
  double largest = 0;
  for (int i = 0; i < s.cd.count; ++i) {
    if (s.ws.Rsq[i] > largest) {
      largest = s.ws.Rsq[i];
      far = i;
    }
  }
  return far;
}

bool SignsDisagree(const SolverContext& s, int far, double x, double y) {
  auto positive = [](double v) { return v > 0; };
  return positive(x) != positive(s.ws.Xd[far]) || positive(y) != positive(s.ws.Yd[far]);
}

void RotationFromAngles(double rx, double ry, double rz, double r[9]) {
  const double sa = std::sin(rx), ca = std::cos(rx);
  const double sb = std::sin(ry), cb = std::cos(ry);
  const double sg = std::sin(rz), cg = std::cos(rz);
  r[0] = cb * cg;
  r[1] = cg * sa * sb - ca * sg;
  r[2] = sa * sg + ca * cg * sb;
  r[3] = cb * sg;
  r[4] = sa * sb * sg + ca * cg;
  r[5] = ca * sb * sg - cg * sa;
  r[6] = -sb;
  r[7] = cb * sa;
  r[8] = ca * cb;
}

double SensorResidual(double Xu, double Yu, double Xd, double Yd, double distortion) {
  const double ex = Xu - Xd * distortion;
  const double ey = Yu - Yd * distortion;
  return std::hypot(ex, ey);
}

int RunOptimisationPass(SolverContext& s, int n, double* x, ErrorFunction error) {
  const int m = s.cd.count;
  // The minimiser cannot fit more parameters than it has residuals, and would return at once.
  if (m < n) return calid::kMoreColumnsThanRows;
  std::unique_ptr<double[]> fvec(new (std::nothrow) double[m]());
  std::unique_ptr<double[]> fjac(new (std::nothrow) double[static_cast<long>(m) * n]());
  std::unique_ptr<double[]> wa4(new (std::nothrow) double[m]());
  if (!fvec || !fjac || !wa4) return calid::kOutOfMemory;
  double diag[kMaxPassParameters];
  int ipvt[kMaxPassParameters];
  double qtf[kMaxPassParameters];
  double wa1[kMaxPassParameters];
  double wa2[kMaxPassParameters];
  double wa3[kMaxPassParameters];
  int nfev = 0;
  PassState pass{&s, error};
  s.passFailure = 0;
  // The minimiser's own result (convergence or evaluation limit) is accepted as it is.
  lmdif(PassCallback, &pass, m, n, x, fvec.get(), kFtol, kXtol, kGtol, kMaxfevPerParameter * n,
        kEpsfcn, diag, kModeScaleItself, kStepFactor, kNoPrint, &nfev, fjac.get(), m, ipvt, qtf,
        wa1, wa2, wa3, wa4.get());
  return s.passFailure;
}

}  // namespace detail

int SolveLinearSystem(const SolverMatrix& m, const SolverMatrix& a, SolverMatrix& b) {
  const int rows = m.Rows();
  const int cols = m.Cols();
  if (rows < cols) return calid::kMoreColumnsThanRows;
  int error = 0;
  SolverMatrixPtr mt = MatrixCreate(0, cols - 1, 0, rows - 1, &error);
  if (!mt || MatrixTranspose(m, *mt) != 0) return detail::MatrixFailureId();
  SolverMatrixPtr normal = MatrixCreate(0, cols - 1, 0, cols - 1, &error);
  if (!normal || MatrixMultiply(*mt, m, *normal) != 0) return detail::MatrixFailureId();
  double normalised = 1;
  for (int j = 0; j < cols; ++j) {
    const double d = (*normal)(j, j);
    if (!(d > 0)) return calid::kDeterminantTooSmall;  // a column of zeros
    normalised /= d;
  }
  normalised *= MatrixInvert(*normal);
  if (!(std::fabs(normalised) >= kMinNormalisedDeterminant)) {
    return calid::kDeterminantTooSmall;
  }
  SolverMatrixPtr p = MatrixCreate(0, cols - 1, 0, rows - 1, &error);
  if (!p || MatrixMultiply(*normal, *mt, *p) != 0 || MatrixMultiply(*p, a, b) != 0) {
    return detail::MatrixFailureId();
  }
  return 0;
}

void SolveRpyTransform(SolverCalibrationConstants& c) {
  c.Rz = std::atan2(c.r4, c.r1);
  const double sg = std::sin(c.Rz);
  const double cg = std::cos(c.Rz);
  c.Ry = std::atan2(-c.r7, c.r1 * cg + c.r4 * sg);
  c.Rx = std::atan2(c.r3 * sg - c.r6 * cg, c.r5 * cg - c.r2 * sg);
}

void ApplyRpyTransform(SolverCalibrationConstants& c) {
  double r[9];
  detail::RotationFromAngles(c.Rx, c.Ry, c.Rz, r);
  c.r1 = r[0];
  c.r2 = r[1];
  c.r3 = r[2];
  c.r4 = r[3];
  c.r5 = r[4];
  c.r6 = r[5];
  c.r7 = r[6];
  c.r8 = r[7];
  c.r9 = r[8];
}

int CoplanarCalibrationBasic(SolverContext& s) { return RunEntry(s, true, CoplanarCalibration); }

int CoplanarCalibrationFullOpt(SolverContext& s) {
  return RunEntry(s, true, CoplanarCalibration, CoplanarOptimisationCentreLate,
                  CoplanarOptimisationCentreEarly, CoplanarOptimisationPose,
                  CoplanarOptimisationFull);
}

int NoncoplanarCalibrationBasic(SolverContext& s) {
  return RunEntry(s, false, NoncoplanarCalibration);
}

int NoncoplanarCalibrationFullOpt(SolverContext& s) {
  return RunEntry(s, false, NoncoplanarCalibration, NoncoplanarOptimisationPose,
                  NoncoplanarOptimisationFull);
}

}  // namespace solver
