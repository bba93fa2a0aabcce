// The calibration record's side of the solver: it hands the used points and the camera to the
// solver's records, runs the entry its model and options ask for, and takes the results back.

#include "calibration/calibrat.h"
#include "calibration/solver.h"

static_assert(kMaxCalibrationPoints == solver::kMaxSolverPoints);

void Calibration::CopyToSolver() {
  solver::SolverContext& s = solver::TheSolver();
  s.cp = camera;
  int count = 0;
  for (int i = 0; i < kMaxCalibrationPoints; ++i) {
    if (points.used[i] == 0) continue;
    s.cd.xw[count] = points.worldX[i];
    s.cd.yw[count] = points.worldY[i];
    s.cd.zw[count] = points.worldZ[i];
    s.cd.Xf[count] = points.imageX[i];
    s.cd.Yf[count] = points.imageY[i];
    ++count;
  }
  s.cd.count = count;
}

void Calibration::CopyFromSolver() {
  const solver::SolverContext& s = solver::TheSolver();
  camera.Cx = s.cp.Cx;
  camera.Cy = s.cp.Cy;
  camera.sx = s.cp.sx;
  result = s.cc;
}

int Calibration::Calibrate(bool holdSx) {
  if (!CanCalibrate()) return -1;
  CopyToSolver();
  solver::SolverContext& s = solver::TheSolver();
  s.holdSx = holdSx;
  const bool full = Has(kFlagFullOptimized);
  int outcome;
  if (Has(kFlagNonCoplanar)) {
    outcome =
        full ? solver::NoncoplanarCalibrationFullOpt(s) : solver::NoncoplanarCalibrationBasic(s);
  } else {
    outcome = full ? solver::CoplanarCalibrationFullOpt(s) : solver::CoplanarCalibrationBasic(s);
  }
  // A failed calibration leaves the record as it was, an earlier valid result included.
  if (outcome != 0) return outcome;
  CopyFromSolver();
  SetFlag(kFlagCalibrated, true);
  return 0;
}
