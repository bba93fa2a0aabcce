#pragma once

// The calibration solver: Tsai's two-stage calibration of a pinhole camera with one radial
// distortion coefficient (kappa1) and a horizontal scale factor (sx), from up to 500 points
// whose world and frame-buffer coordinates are known. The camera model is the one described in
// calibration/camera.h.
//
// A calibration works on one SolverContext: the caller fills its camera parameters and points,
// runs one entry, and on a zero result takes the constants (and Cx, Cy, sx) back. The context
// holds everything the stages hand to each other; nothing is kept between calls outside it.
//
// Units: sensor lengths in mm, image positions in pixels, angles in radians, world coordinates
// in the unit of the model file.

#include <cstdint>

#include "calibration/calibration_ids.h"
#include "calibration/camera.h"
#include "calibration/solver_matrix.h"

namespace solver {

// Failures come back as message ids of calibration/calibration_ids.h: 121 (fewer points than
// unknowns, in a linear system or an optimisation pass: the coplanar full optimisation frees 10
// parameters and so needs 10 points), 122 (a normal matrix too near singular, also when solved
// relative to a point of the target), 123 (no memory for a pass), 125 (a coplanar model with a
// point off zw = 0), 126 (a camera that cannot see its target: f not above 0 or a used point
// not in front of the camera; or a result that is not a number), 127 / 128 (a matrix routine
// failed for its dimensions / for lack of memory).

inline constexpr int kMaxSolverPoints = 500;

// The camera record: Ncx, Nfx, dx, dy are carried but not read; Cx, Cy and sx change in the
// passes that free them.
using SolverCameraParameters = CameraParameters;

// The used points, compacted: entries 0 .. count-1.
struct SolverCalibrationData {
  int32_t count = 0;
  double xw[kMaxSolverPoints] = {};
  double yw[kMaxSolverPoints] = {};
  double zw[kMaxSolverPoints] = {};
  double Xf[kMaxSolverPoints] = {};
  double Yf[kMaxSolverPoints] = {};
};

// The results: f, kappa1, two reserved values (never written), T, the angles and r1 .. r9.
using SolverCalibrationConstants = CalibrationResult;

// Working arrays of the stages: distorted sensor coordinates of the used points, their squared
// radius, and the solution of the first linear system.
struct SolverWorkspace {
  double Xd[kMaxSolverPoints] = {};
  double Yd[kMaxSolverPoints] = {};
  double Rsq[kMaxSolverPoints] = {};
  double U[7] = {};
};

struct SolverContext {
  SolverCameraParameters cp;
  SolverCalibrationData cd;
  SolverCalibrationConstants cc;
  SolverWorkspace ws;
  // Set by an error function whose inner linear stages failed; its pass then stops with it.
  int passFailure = 0;
  // The non-coplanar calibration keeps the sx it is given instead of finding its own (the
  // gradient search on sx drives it so); the coplanar one always does.
  bool holdSx = false;
};

// The program's one set of solver records: one calibration runs at a time.
SolverContext& TheSolver();

// Entries: 0 on success or a message id. Each runs its stages in order and stops at the first
// failure; a result that is not a finite number, or a camera with f <= 0 or a used point at
// depth <= 0, is a failure (126). A target refused as singular (122) is solved once more with
// its world points taken relative to one of its points, and the camera moved back, so that only
// the target's shape and not the place of the world origin decides. After a failure the context
// holds what the stages wrote so far.
int CoplanarCalibrationBasic(SolverContext& s);
int CoplanarCalibrationFullOpt(SolverContext& s);
int NoncoplanarCalibrationBasic(SolverContext& s);
int NoncoplanarCalibrationFullOpt(SolverContext& s);

// Least-squares solution of M b = a by the normal equations; M is rows x columns, a rows x 1,
// b columns x 1. 121 when M has fewer rows than columns, 122 when M^T M is too near singular,
// 127 / 128 when a matrix routine fails.
int SolveLinearSystem(const SolverMatrix& m, const SolverMatrix& a, SolverMatrix& b);

// Rx, Ry, Rz from r1 .. r9, and r1 .. r9 from Rx, Ry, Rz. R = Rz(Rz) * Ry(Ry) * Rx(Rx).
void SolveRpyTransform(SolverCalibrationConstants& c);
void ApplyRpyTransform(SolverCalibrationConstants& c);

// The stages, for the entries and for tests of single steps.
int CoplanarCalibration(SolverContext& s);
int CoplanarOptimisationCentreLate(SolverContext& s);
int CoplanarOptimisationCentreEarly(SolverContext& s);
int CoplanarOptimisationPose(SolverContext& s);
int CoplanarOptimisationFull(SolverContext& s);
int NoncoplanarCalibration(SolverContext& s);
int NoncoplanarOptimisationPose(SolverContext& s);
int NoncoplanarOptimisationFull(SolverContext& s);

}  // namespace solver
