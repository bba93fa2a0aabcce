// Image -> world -> image through a distorting camera, as a document does for every object point
// of every frame when it recomputes world coordinates.

#include <algorithm>
#include <cmath>
#include <vector>

#include <benchmark/benchmark.h>

#include "calibration/camera.h"

namespace {

struct Camera {
  CameraParameters p;
  CalibrationResult c;
};

Camera MakeCamera(double kappa1) {
  Camera cam;
  cam.p.dpx = 0.0086;
  cam.p.dpy = 0.0083;
  cam.p.Cx = 384;
  cam.p.Cy = 288;
  cam.p.sx = 1.01;
  cam.c.f = 12;
  cam.c.kappa1 = kappa1;
  cam.c.Tx = -100;
  cam.c.Ty = 50;
  cam.c.Tz = 1500;
  cam.c.Rx = 0.3;
  cam.c.Ry = -0.2;
  cam.c.Rz = 0.1;
  RotationFromAngles(cam.c);
  return cam;
}

void BM_ImageWorldImage(benchmark::State& state) {
  const Camera cam = MakeCamera(state.range(0) == 0 ? 0.0 : -0.006);
  std::vector<double> xs, ys;
  for (int y = 0; y < 480; y += 8) {
    for (int x = 0; x < 640; x += 8) {
      xs.push_back(x + 64);
      ys.push_back(y + 48);
    }
  }
  double worst = 0;
  for (auto _ : state) {
    for (std::size_t i = 0; i < xs.size(); ++i) {
      double xw, yw, xf, yf;
      ImageToWorldCoord(xs[i], ys[i], 0.0, cam.p, cam.c, xw, yw);
      WorldToImageCoord(xw, yw, 0.0, cam.p, cam.c, xf, yf);
      worst = std::max(worst, std::hypot(xf - xs[i], yf - ys[i]));
    }
  }
  if (!(worst < 1e-9)) state.SkipWithError("round trip left the pixel");
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(xs.size()));
}
BENCHMARK(BM_ImageWorldImage)->Arg(0)->Arg(1);

}  // namespace
