// Cameras calibrated per second: a flat target of 10 x 10 points and a target of three planes
// of 8 x 8 points, projected through a known camera with half a pixel of seeded noise,
// calibrated basic and fully optimised; near the world origin and 3.5 m from it (where the
// linear stage is solved relative to the target). Every run must find the camera again.

#include <cmath>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "calibration/camera.h"
#include "calibration/solver.h"

namespace {

constexpr double kDeg = M_PI / 180.0;
constexpr double kNoisePx = 0.5;
constexpr double kFarCorner = 2000;  // mm along each axis

enum Args { kNonCoplanar = 0, kFull = 1, kFar = 2 };

struct Truth {
  CameraParameters p;
  CalibrationResult c;
};

Truth MakeTruth(const double centre[3]) {
  Truth t;
  t.p.Ncx = t.p.Nfx = 768;
  t.p.dx = t.p.dpx = 0.0086;
  t.p.dy = t.p.dpy = 0.0083;
  t.p.Cx = 384;
  t.p.Cy = 288;
  t.p.sx = 1.0;
  t.c.f = 12;
  t.c.kappa1 = -1e-3;
  t.c.Rx = 30 * kDeg;
  t.c.Ry = 0;
  t.c.Rz = 30 * kDeg;
  RotationFromAngles(t.c);
  double xc, yc, zc;
  WorldToCameraCoord(centre[0], centre[1], centre[2], t.c, xc, yc, zc);
  t.c.Tx = -xc;
  t.c.Ty = -yc;
  t.c.Tz = 900 - zc;
  return t;
}

void Fill(solver::SolverContext& s, bool nonCoplanar, bool far) {
  const double o = far ? kFarCorner : 0;
  const int n = nonCoplanar ? 8 : 10;
  const double step = nonCoplanar ? 25 : 20;
  const std::vector<double> heights =
      nonCoplanar ? std::vector<double>{0, 30, 60} : std::vector<double>{0};
  const double centre[3] = {o + (n - 1) * step / 2, -o + (n - 1) * step / 2,
                            (nonCoplanar ? o : 0) + heights.back() / 2};
  const Truth truth = MakeTruth(centre);
  s = solver::SolverContext();
  s.cp = truth.p;
  std::mt19937 random(7);
  std::normal_distribution<double> noise(0.0, kNoisePx);
  for (double h : heights) {
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        const int k = s.cd.count++;
        s.cd.xw[k] = o + i * step;
        s.cd.yw[k] = -o + j * step;
        s.cd.zw[k] = (nonCoplanar ? o : 0) + h;
        WorldToImageCoord(s.cd.xw[k], s.cd.yw[k], s.cd.zw[k], truth.p, truth.c, s.cd.Xf[k],
                          s.cd.Yf[k]);
        s.cd.Xf[k] += noise(random);
        s.cd.Yf[k] += noise(random);
      }
    }
  }
}

double RmsReprojection(const solver::SolverContext& s) {
  double sum = 0;
  for (int i = 0; i < s.cd.count; ++i) {
    double x, y;
    WorldToImageCoord(s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], s.cp, s.cc, x, y);
    sum += (x - s.cd.Xf[i]) * (x - s.cd.Xf[i]) + (y - s.cd.Yf[i]) * (y - s.cd.Yf[i]);
  }
  return std::sqrt(sum / s.cd.count);
}

void BM_Calibrate(benchmark::State& state) {
  const bool nonCoplanar = state.range(kNonCoplanar) != 0;
  const bool full = state.range(kFull) != 0;
  const bool far = state.range(kFar) != 0;
  static solver::SolverContext input;
  static solver::SolverContext s;
  Fill(input, nonCoplanar, far);
  auto entry =
      nonCoplanar
          ? (full ? solver::NoncoplanarCalibrationFullOpt : solver::NoncoplanarCalibrationBasic)
          : (full ? solver::CoplanarCalibrationFullOpt : solver::CoplanarCalibrationBasic);
  int result = 0;
  double found = 0;
  for (auto _ : state) {
    s = input;
    result = entry(s);
    found = s.cc.f;
    benchmark::DoNotOptimize(s.cc.f);
  }
  // A camera that fits the points leaves about the noise; a wrong one leaves pixels.
  if (result != 0 || !(found > 0) || !(RmsReprojection(s) < 2 * kNoisePx)) {
    state.SkipWithError("the camera was not found again");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Calibrate)
    ->ArgNames({"noncoplanar", "full", "far"})
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}});

}  // namespace
