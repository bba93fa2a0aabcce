#include "calibration/camera.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "cal_test_util.h"

namespace {

using caltest::Camera;
using caltest::MakeCamera;

CalibrationResult Lens(double kappa1) {
  CalibrationResult c;
  c.kappa1 = kappa1;
  return c;
}

TEST(CubeRoot, RealRootOfEverySign) {
  EXPECT_EQ(CubeRoot(0.0), 0.0);
  EXPECT_NEAR(CubeRoot(-8.0), -2.0, 1e-15);
  EXPECT_NEAR(CubeRoot(27.0), 3.0, 1e-14);
  EXPECT_NEAR(CubeRoot(-1e-9), -1e-3, 1e-18);
}

// Adding distortion and removing it again returns the point, in both branches of the cubic.
TEST(Distortion, WorkedExamplesAndInverse) {
  struct Case {
    double kappa1, xu, yu, xd, yd;
  } cases[] = {
      {0.003, 2.0, 1.5, 1.96446, 1.47335},   // barrel: one real root
      {-0.003, 2.0, 1.5, 2.03978, 1.52984},  // pincushion: three real roots
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.kappa1);
    double xd, yd, xu, yu;
    EXPECT_TRUE(UndistortedToDistortedSensor(k.xu, k.yu, Lens(k.kappa1), xd, yd));
    EXPECT_NEAR(xd, k.xd, 5e-6);
    EXPECT_NEAR(yd, k.yd, 5e-6);
    DistortedToUndistortedSensor(xd, yd, Lens(k.kappa1), xu, yu);
    EXPECT_NEAR(xu, k.xu, 1e-13);
    EXPECT_NEAR(yu, k.yu, 1e-13);
  }
}

TEST(Distortion, CentreAndDistortionFreeLensPassUnchanged) {
  double xd = -1, yd = -1;
  EXPECT_TRUE(UndistortedToDistortedSensor(0.0, 0.0, Lens(0.01), xd, yd));
  EXPECT_EQ(xd, 0.0);
  EXPECT_EQ(yd, 0.0);
  EXPECT_TRUE(UndistortedToDistortedSensor(3.25, -1.5, Lens(0.0), xd, yd));
  EXPECT_EQ(xd, 3.25);
  EXPECT_EQ(yd, -1.5);
}

// A pincushion lens cannot show a point beyond its largest undistorted radius; the answer must be
// the edge radius on the point's own side, reported, and never mirrored or NaN.
TEST(Distortion, PincushionBeyondItsRangeGivesEdgeRadiusAndReportsIt) {
  const double kappa1 = -0.003;
  const double ruEdge = 2.0 / (3.0 * std::sqrt(-3.0 * kappa1));
  const double rdEdge = 1.0 / std::sqrt(-3.0 * kappa1);
  for (double ru : {10.0, ruEdge * 1.0000001, 1e6}) {
    SCOPED_TRACE(ru);
    double xd, yd;
    EXPECT_FALSE(UndistortedToDistortedSensor(0.6 * ru, 0.8 * ru, Lens(kappa1), xd, yd));
    EXPECT_NEAR(xd, 0.6 * rdEdge, 1e-9);
    EXPECT_NEAR(yd, 0.8 * rdEdge, 1e-9);
  }
  // Through the whole camera: a world point far out in the field of a strong pincushion lens.
  const caltest::Camera cam = MakeCamera(0, 0, 0, 0, 0, 1000, 10, -0.05);
  double xf, yf;
  EXPECT_TRUE(WorldToImageCoord(100, 0, 0, cam.p, cam.c, xf, yf));
  EXPECT_FALSE(WorldToImageCoord(1000, 0, 0, cam.p, cam.c, xf, yf));
  EXPECT_NEAR(xf, cam.p.Cx + 1.0 / std::sqrt(0.15) * cam.p.sx / cam.p.dpx, 1e-9);
  EXPECT_NEAR(yf, cam.p.Cy, 1e-9);

  // Just inside the range the true root is found and reported as such.
  double xd, yd, xu, yu;
  EXPECT_TRUE(UndistortedToDistortedSensor(ruEdge * 0.999, 0.0, Lens(kappa1), xd, yd));
  EXPECT_GT(xd, 0.0);
  DistortedToUndistortedSensor(xd, yd, Lens(kappa1), xu, yu);
  EXPECT_NEAR(xu, ruEdge * 0.999, 1e-9);
}

TEST(SensorScaling, IdentityForUnitPixelsAndCentreAtOrigin) {
  CameraParameters p;
  p.dpx = p.dpy = 1.0;
  p.sx = 1.0;
  double xd, yd, xf, yf;
  ImageToDistortedSensor(123.5, -7.25, p, xd, yd);
  EXPECT_EQ(xd, 123.5);
  EXPECT_EQ(yd, -7.25);
  DistortedSensorToImage(xd, yd, p, xf, yf);
  EXPECT_EQ(xf, 123.5);
  EXPECT_EQ(yf, -7.25);
}

TEST(CameraCoordinates, RotationAndTranslation) {
  const Camera cam = MakeCamera(0.0, 0.0, M_PI / 2, 10, 20, 30, 8, 0);
  double xc, yc, zc;
  WorldToCameraCoord(1, 2, 3, cam.c, xc, yc, zc);
  EXPECT_NEAR(xc, -2 + 10, 1e-12);
  EXPECT_NEAR(yc, 1 + 20, 1e-12);
  EXPECT_NEAR(zc, 3 + 30, 1e-12);
  RotateWorldToCamera(1, 2, 3, cam.c, xc, yc, zc);
  EXPECT_NEAR(xc, -2, 1e-12);
  EXPECT_NEAR(yc, 1, 1e-12);
  EXPECT_NEAR(zc, 3, 1e-12);
}

// Synthetic cameras of several poses, lenses and scale factors; image -> world -> image must
// return to the pixel, with and without distortion, on planes of several heights.
TEST(CameraModel, ImageToWorldToImageRoundTrip) {
  const Camera cameras[] = {
      MakeCamera(0.3, -0.2, 0.1, -100, 50, 1500, 12, 0.0),
      MakeCamera(0.3, -0.2, 0.1, -100, 50, 1500, 12, 0.006),
      MakeCamera(-0.4, 0.25, 2.5, 80, -40, 2200, 16, -0.008, 1.02, 370, 300),
      MakeCamera(2.9, 0.1, -0.3, 30, 20, 900, 8, -0.012, 0.97, 395, 280),
  };
  for (const Camera& cam : cameras) {
    for (double zw : {0.0, 25.0, -40.0}) {
      for (double xf = 4; xf < 768; xf += 76) {
        for (double yf = 4; yf < 576; yf += 71) {
          double xw, yw, xb, yb;
          ImageToWorldCoord(xf, yf, zw, cam.p, cam.c, xw, yw);
          WorldToImageCoord(xw, yw, zw, cam.p, cam.c, xb, yb);
          ASSERT_NEAR(xb, xf, 1e-9) << "kappa1 " << cam.c.kappa1 << " zw " << zw;
          ASSERT_NEAR(yb, yf, 1e-9) << "kappa1 " << cam.c.kappa1 << " zw " << zw;
        }
      }
    }
  }
}

TEST(CameraModel, WorldToImageToWorldRoundTrip) {
  const Camera cam = MakeCamera(0.35, -0.15, 0.05, -120, 80, 1800, 10, -0.005, 1.01, 380, 290);
  for (double xw = -300; xw <= 300; xw += 60) {
    for (double yw = -200; yw <= 200; yw += 50) {
      double xf, yf, xb, yb;
      WorldToImageCoord(xw, yw, 0.0, cam.p, cam.c, xf, yf);
      ImageToWorldCoord(xf, yf, 0.0, cam.p, cam.c, xb, yb);
      ASSERT_NEAR(xb, xw, 1e-8);
      ASSERT_NEAR(yb, yw, 1e-8);
    }
  }
}

}  // namespace
