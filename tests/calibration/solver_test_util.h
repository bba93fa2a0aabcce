#pragma once

// Helpers of the solver tests: contexts filled from a camera and a model, and the model grids.

#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration/camera.h"
#include "calibration/solver.h"

namespace soltest {

struct WorldPoint {
  double x, y, z;
};

// A grid of nx * ny points spaced step apart starting at (step / 2, step / 2), on each of the
// given heights.
inline std::vector<WorldPoint> Grid(int nx, int ny, double step, std::vector<double> heights) {
  std::vector<WorldPoint> points;
  for (double z : heights) {
    for (int i = 0; i < nx; ++i) {
      for (int j = 0; j < ny; ++j) points.push_back({step / 2 + i * step, step / 2 + j * step, z});
    }
  }
  return points;
}

// A context whose points are the model projected exactly through the camera; the solver starts
// from the camera parameters `start` (centre and sx as a user would give them).
inline void FillFromCamera(solver::SolverContext& s, const std::vector<WorldPoint>& model,
                           const CameraParameters& truth, const CalibrationResult& pose,
                           const CameraParameters& start) {
  s = solver::SolverContext();
  s.cp = start;
  for (const WorldPoint& w : model) {
    const int i = s.cd.count++;
    s.cd.xw[i] = w.x;
    s.cd.yw[i] = w.y;
    s.cd.zw[i] = w.z;
    WorldToImageCoord(w.x, w.y, w.z, truth, pose, s.cd.Xf[i], s.cd.Yf[i]);
  }
}

// The largest distance in pixels between a point's image position and its projection through
// the context's result.
inline double MaxReprojectionError(const solver::SolverContext& s) {
  double worst = 0;
  for (int i = 0; i < s.cd.count; ++i) {
    double x, y;
    WorldToImageCoord(s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], s.cp, s.cc, x, y);
    worst = std::max(worst, std::hypot(x - s.cd.Xf[i], y - s.cd.Yf[i]));
  }
  return worst;
}

}  // namespace soltest
