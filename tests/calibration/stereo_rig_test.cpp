// Two calibrated cameras: the epipolar line of a point seen by one holds the point's true image
// in the other, and both reconstructions find the point, in millimetres and metres, on small
// and 12-megapixel sensors, for converging cameras, cameras side by side and level cameras.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "calibration/reconstruct.h"
#include "tests/calibration/cal_test_util.h"

namespace {

// What a point set with the help of the line may be off by, in pixels.
constexpr double kLineTolerancePx = 0.01;

struct Sensor {
  int width, height;
  double pixel;  // mm
};

const Sensor kVga{768, 576, 0.0083};
const Sensor kTwelveMegapixel{4096, 3000, 0.00345};

struct Rig {
  std::string name;
  double mmPerUnit;  // 1: millimetres, 1000: metres
  Sensor sensor;
  double f, kappa1;
  double tiltDeg;      // both cameras' first angle; 90 keeps the optical axes level
  double convergeDeg;  // camera b turned by this against a; 0: side by side, parallel
  double baselineMm;   // side by side only
  double distanceMm;
};

void PrintTo(const Rig& r, std::ostream* os) { *os << r.name; }

const std::array<double, 3> kScene = {200, -100, 300};  // mm

struct Pair {
  caltest::Camera a, b;
  std::vector<std::array<double, 3>> points;  // in the rig's unit
};

Pair Build(const Rig& r) {
  auto aimed = [&](double ry) {
    return caltest::OnSensor(
        caltest::AimedAt(r.tiltDeg, ry, 10, kScene.data(), r.distanceMm, r.f, r.kappa1),
        r.sensor.width, r.sensor.height, r.sensor.pixel);
  };
  Pair pair{aimed(0), aimed(r.convergeDeg), {}};
  if (r.convergeDeg == 0) {
    // Camera b beside a along a's x axis, looking the same way.
    pair.b = pair.a;
    pair.b.c.Tx -= r.baselineMm;
  }
  pair.a = caltest::InUnit(pair.a, r.mmPerUnit);
  pair.b = caltest::InUnit(pair.b, r.mmPerUnit);
  const double step = 0.05 * r.distanceMm;
  for (int i = -2; i <= 2; ++i) {
    for (int j = -2; j <= 2; ++j) {
      for (int k = -2; k <= 2; ++k) {
        pair.points.push_back({(kScene[0] + i * step) / r.mmPerUnit,
                               (kScene[1] + j * step) / r.mmPerUnit,
                               (kScene[2] + k * step) / r.mmPerUnit});
      }
    }
  }
  return pair;
}

CameraView ViewOf(const caltest::Camera& cam, const std::array<double, 3>& w) {
  double x, y;
  WorldToImageCoord(w[0], w[1], w[2], cam.p, cam.c, x, y);
  return {&cam.p, &cam.c, static_cast<float>(x), static_cast<float>(y)};
}

std::vector<Rig> Rigs() {
  return {
      {"VgaMillimetres", 1, kVga, 12, -1e-3, 20, 35, 0, 4000},
      {"VgaMetres", 1000, kVga, 12, -1e-3, 20, 35, 0, 4000},
      {"TwelveMegapixelMillimetres", 1, kTwelveMegapixel, 16, 5e-4, -15, 25, 0, 3000},
      {"TwelveMegapixelMetres", 1000, kTwelveMegapixel, 16, 5e-4, -15, 25, 0, 3000},
      {"SideBySideMillimetres", 1, kVga, 8, 2e-3, 20, 0, 300, 1200},
      {"SideBySideTwelveMegapixelMetres", 1000, kTwelveMegapixel, 16, 0, 20, 0, 500, 3000},
      {"LevelCameras", 1, kVga, 12, -1e-3, 90, 30, 0, 1500},
  };
}

class StereoRigTest : public testing::TestWithParam<Rig> {};

TEST_P(StereoRigTest, EpipolarLineHoldsTheTrueImagePoint) {
  const Rig& rig = GetParam();
  const Pair pair = Build(rig);
  double worstDistance = 0, worstMove = 0;
  for (bool aToB : {true, false}) {
    const caltest::Camera& source = aToB ? pair.a : pair.b;
    const caltest::Camera& target = aToB ? pair.b : pair.a;
    for (const auto& w : pair.points) {
      SCOPED_TRACE(testing::Message()
                   << (aToB ? "a -> b " : "b -> a ") << w[0] << " " << w[1] << " " << w[2]);
      float point[2], dir[2];
      ASSERT_TRUE(EpipolarLineOfView(ViewOf(source, w), target.c, point, dir));
      EXPECT_NEAR(std::hypot(dir[0], dir[1]), 1.0, 1e-6);
      double xc, yc, zc;
      WorldToCameraCoord(w[0], w[1], w[2], target.c, xc, yc, zc);
      const double Xu = target.c.f * xc / zc, Yu = target.c.f * yc / zc;
      const double distanceMm = std::fabs((Xu - point[0]) * dir[1] - (Yu - point[1]) * dir[0]);
      worstDistance = std::max(worstDistance, distanceMm / rig.sensor.pixel);
      // Holding the point on the line must leave its true image where it is.
      const CameraView truth = ViewOf(target, w);
      float held[2] = {truth.x, truth.y};
      ProjectImagePointOntoLine(target.p, target.c, held, point[0], point[1], dir[0], dir[1]);
      worstMove =
          std::max(worstMove, std::hypot(double{held[0]} - truth.x, double{held[1]} - truth.y));
    }
  }
  EXPECT_LT(worstDistance, kLineTolerancePx);
  EXPECT_LT(worstMove, kLineTolerancePx);
}

// The least-squares point of the rays and the midpoint of their common perpendicular agree
// with each other and with the world point, also on a level camera's optical axis.
TEST_P(StereoRigTest, BothReconstructionsFindThePoint) {
  const Rig& rig = GetParam();
  const Pair pair = Build(rig);
  // Single-precision output and image points: a few parts in ten million of the distance.
  const double tolerance = 1e-6 * rig.distanceMm / rig.mmPerUnit;
  for (const auto& w : pair.points) {
    SCOPED_TRACE(testing::Message() << w[0] << " " << w[1] << " " << w[2]);
    const CameraView views[] = {ViewOf(pair.a, w), ViewOf(pair.b, w)};
    float fromRays[3] = {}, fromPair[3] = {};
    ASSERT_TRUE(ReconstructPoint3D(views, fromRays));
    ASSERT_TRUE(ReconstructFromTwoViews(views[0], views[1], fromPair));
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(fromRays[i], w[i], tolerance);
      EXPECT_NEAR(fromPair[i], w[i], tolerance);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Rigs, StereoRigTest, testing::ValuesIn(Rigs()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
