// Synthetic truth: models projected exactly through known cameras are calibrated and the
// cameras recovered.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/solver.h"
#include "tests/calibration/cal_test_util.h"
#include "tests/calibration/solver_test_util.h"

namespace {

using soltest::FillFromCamera;
using soltest::Grid;
using soltest::MaxReprojectionError;

struct TruthCase {
  std::string name;
  bool coplanar;
  caltest::Camera camera;
};

std::vector<soltest::WorldPoint> ModelFor(const TruthCase& c) {
  return c.coplanar ? Grid(10, 10, 20, {0}) : Grid(8, 8, 25, {0, 30, 60});
}

// A camera at distance `distance` from the model's centre, looking at it.
caltest::Camera Aimed(double rx, double ry, double rz, double distance, double f, double kappa1,
                      double sx, double centreX, double centreY, bool coplanar) {
  const double centre[3] = {100, 100, coplanar ? 0.0 : 30.0};
  return caltest::AimedAt(rx, ry, rz, centre, distance, f, kappa1, sx, centreX, centreY);
}

std::vector<TruthCase> TruthCases() {
  return {
      {"CoplanarPincushion", true, Aimed(35, -10, 5, 450, 8, -2e-3, 1.0, 384, 288, true)},
      {"CoplanarBarrel", true, Aimed(-40, 25, 100, 520, 12, 1.5e-3, 1.0, 380, 290, true)},
      {"CoplanarSx102", true, Aimed(30, 30, -60, 600, 16, 0, 1.02, 390, 280, true)},
      {"NoncoplanarSx1", false, Aimed(30, 1, 2, 500, 8, -1e-3, 1.0, 384, 288, false)},
      {"NoncoplanarSx102", false, Aimed(-25, 15, 60, 450, 12, -1.5e-3, 1.02, 378, 295, false)},
      {"NoncoplanarSx097", false, Aimed(10, -35, -120, 700, 16, 8e-4, 0.97, 390, 282, false)},
  };
}

void PrintTo(const TruthCase& c, std::ostream* os) { *os << c.name; }

class SolverSyntheticTest : public testing::TestWithParam<TruthCase> {};

// Basic calibration from the true centre recovers an exact camera.
TEST_P(SolverSyntheticTest, BasicRecoversCamera) {
  const TruthCase& c = GetParam();
  static solver::SolverContext s;
  CameraParameters start = c.camera.p;
  if (!c.coplanar) start.sx = 1.0;  // the non-coplanar calibration finds sx itself
  FillFromCamera(s, ModelFor(c), c.camera.p, c.camera.c, start);
  const int result =
      c.coplanar ? solver::CoplanarCalibrationBasic(s) : solver::NoncoplanarCalibrationBasic(s);
  ASSERT_EQ(result, 0);
  const CalibrationResult& truth = c.camera.c;
  EXPECT_NEAR(s.cc.f / truth.f, 1.0, 1e-6);
  EXPECT_NEAR(s.cc.kappa1, truth.kappa1, 1e-6 * std::fabs(truth.kappa1) + 1e-10);
  EXPECT_NEAR(s.cc.Tx, truth.Tx, 1e-6 * truth.Tz);
  EXPECT_NEAR(s.cc.Ty, truth.Ty, 1e-6 * truth.Tz);
  EXPECT_NEAR(s.cc.Tz / truth.Tz, 1.0, 1e-6);
  EXPECT_NEAR(s.cc.Rx, truth.Rx, 1e-7);
  EXPECT_NEAR(s.cc.Ry, truth.Ry, 1e-7);
  EXPECT_NEAR(s.cc.Rz, truth.Rz, 1e-7);
  EXPECT_NEAR(s.cp.sx, c.camera.p.sx, 1e-9);
  EXPECT_EQ(s.cp.Cx, c.camera.p.Cx);
  EXPECT_EQ(s.cp.Cy, c.camera.p.Cy);
  EXPECT_LT(MaxReprojectionError(s), 1e-4);
}

// Full optimisation started 6 to 20 pixels off the true centre finds the centre again.
TEST_P(SolverSyntheticTest, FullOptimisationRecoversCentre) {
  const TruthCase& c = GetParam();
  const double offsets[][2] = {{6, -4}, {-12, 9}, {14, 14}};
  for (const auto& offset : offsets) {
    SCOPED_TRACE(testing::Message() << "centre off by " << offset[0] << ", " << offset[1]);
    static solver::SolverContext s;
    CameraParameters start = c.camera.p;
    start.Cx += offset[0];
    start.Cy += offset[1];
    if (!c.coplanar) start.sx = 1.0;
    FillFromCamera(s, ModelFor(c), c.camera.p, c.camera.c, start);
    const int result = c.coplanar ? solver::CoplanarCalibrationFullOpt(s)
                                  : solver::NoncoplanarCalibrationFullOpt(s);
    ASSERT_EQ(result, 0);
    EXPECT_LT(MaxReprojectionError(s), 1e-3);
    // Without distortion one view of a flat model fits every centre equally well.
    if (c.coplanar && c.camera.c.kappa1 == 0) continue;
    EXPECT_NEAR(s.cp.Cx, c.camera.p.Cx, 0.05);
    EXPECT_NEAR(s.cp.Cy, c.camera.p.Cy, 0.05);
  }
}

INSTANTIATE_TEST_SUITE_P(Cameras, SolverSyntheticTest, testing::ValuesIn(TruthCases()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
