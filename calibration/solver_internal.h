#pragma once

// Pieces shared by the coplanar and the non-coplanar calibration.

#include <functional>

#include "calibration/solver.h"

namespace solver::detail {

// The message id for the failure of a matrix routine (from MatrixError).
int MatrixFailureId();

// Fills a rows x columns system row by row (row(i, m_row, a_i)) and solves it in the least
// squares sense into solution[0 .. columns-1]. 0 or a message id of SolveLinearSystem.
using RowFiller = std::function<void(int i, double* mRow, double& a)>;
int SolveFilledSystem(int rows, int columns, const RowFiller& fill, double* solution);

// Xd, Yd and Rsq of every used point from its frame-buffer position, with the context's
// centre, pixel size and sx.
void SensorCoords(SolverContext& s);

// The used point farthest from the image centre (first of equals); its sign decides Ty's.
int FarPoint(const SolverContext& s);

// True when the signs of (x, y) disagree with those of the far point's (Xd, Yd); 0 counts as
// not positive.
bool SignsDisagree(const SolverContext& s, int far, double x, double y);

// The rotation of angles rx, ry, rz into r[0..8] (r1 .. r9).
void RotationFromAngles(double rx, double ry, double rz, double r[9]);

// The residual of one point: distance between the model position (Xu, Yu) and the observation
// (Xd, Yd) corrected by the distortion factor.
double SensorResidual(double Xu, double Yu, double Xd, double Yd, double distortion);

// An error function fills one residual per used point for the trial parameters x; a non-zero
// result (a message id) stops the pass with that result.
using ErrorFunction = int (*)(SolverContext& s, const double* x, double* residuals);

// Approximate f and Tz from the rotation, Tx and Ty (kappa1 = 0), with the correction of a
// mirrored rotation when f comes out negative: 0, 126, or a message id of SolveLinearSystem.
int ApproxFTzWithSignCorrection(SolverContext& s);

// The exact f, Tz and kappa1 with the rest of the model fixed (3 parameters).
int ExactFTzKappa(SolverContext& s);

// The passes that free the whole pose, kappa1 and f, optionally sx and the image centre.
struct PoseFreedom {
  bool sx;
  bool centre;
};
int OptimisePose(SolverContext& s, PoseFreedom freedom);

// One run of the minimiser over n parameters x (updated in place). 0, 121 when there are fewer
// used points than parameters, 123 when the arrays cannot be had, or the id an error function
// stopped with.
int RunOptimisationPass(SolverContext& s, int n, double* x, ErrorFunction error);

}  // namespace solver::detail
