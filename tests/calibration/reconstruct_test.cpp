// World points from several synthetic cameras, the two-camera midpoint, epipolar lines and the
// line constraint of an image point.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/reconstruct.h"
#include "tests/calibration/cal_test_util.h"

namespace {

constexpr double kSceneSize = 300.0;  // mm, the extent of the points below

const double kSceneCentre[3] = {150, 150, 100};

// A camera at `distance` from the scene centre, looking at it.
caltest::Camera Looking(double rx, double ry, double rz, double distance, double f, double kappa1,
                        double sx) {
  return caltest::AimedAt(rx, ry, rz, kSceneCentre, distance, f, kappa1, sx, 390, 282);
}

std::vector<caltest::Camera> Cameras() {
  return {Looking(30, 20, 5, 1500, 12, -1e-3, 1.0), Looking(-25, -30, 80, 1800, 16, 8e-4, 1.02),
          Looking(150, 10, -40, 1400, 8, -2e-3, 0.98)};
}

CameraView ViewOf(const caltest::Camera& cam, const double w[3]) {
  double x, y;
  WorldToImageCoord(w[0], w[1], w[2], cam.p, cam.c, x, y);
  return {&cam.p, &cam.c, static_cast<float>(x), static_cast<float>(y)};
}

// Distance of point p from the viewing ray of view v.
double DistanceFromRay(const CameraView& v, const float p[3]) {
  double c[3], d[3];
  EXPECT_TRUE(CameraRay(*v.camera, *v.result, v.x, v.y, c, d));
  const double r[3] = {p[0] - c[0], p[1] - c[1], p[2] - c[2]};
  const double cross[3] = {r[1] * d[2] - r[2] * d[1], r[2] * d[0] - r[0] * d[2],
                           r[0] * d[1] - r[1] * d[0]};
  return std::hypot(cross[0], cross[1], cross[2]) / std::hypot(d[0], d[1], d[2]);
}

const double kWorldPoints[][3] = {{150, 150, 100}, {10, 290, 0}, {280, 20, 200}, {75, 120, 160}};

TEST(ReconstructTest, PointFromTwoAndThreeCameras) {
  const std::vector<caltest::Camera> cams = Cameras();
  for (const auto& w : kWorldPoints) {
    for (size_t count : {2u, 3u}) {
      SCOPED_TRACE(testing::Message() << count << " cameras, point " << w[0] << " " << w[1]);
      std::vector<CameraView> views;
      for (size_t k = 0; k < count; ++k) views.push_back(ViewOf(cams[k], w));
      float out[3] = {};
      ASSERT_TRUE(ReconstructPoint3D(views, out));
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], w[i], 1e-6 * kSceneSize);
    }
  }
}

TEST(ReconstructTest, OneCameraLeavesThePointUntouched) {
  const std::vector<caltest::Camera> cams = Cameras();
  const CameraView views[] = {ViewOf(cams[0], kWorldPoints[1])};
  float out[3] = {7, 8, 9};
  EXPECT_FALSE(ReconstructPoint3D(views, out));
  EXPECT_EQ(out[0], 7);
  EXPECT_EQ(out[2], 9);
}

TEST(ReconstructTest, TwoViewsMeetAtTheirIntersectionOrMidpoint) {
  const std::vector<caltest::Camera> cams = Cameras();
  const double* w = kWorldPoints[2];
  float out[3] = {};
  ASSERT_TRUE(ReconstructFromTwoViews(ViewOf(cams[0], w), ViewOf(cams[1], w), out));
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], w[i], 1e-5 * kSceneSize);

  // Skew rays: camera b sees a point 2 mm from w. The midpoint of the common perpendicular is
  // equally far from both rays, and no farther than half the gap.
  const double moved[3] = {w[0] + 2 * cams[0].c.r1, w[1] + 2 * cams[0].c.r2,
                           w[2] + 2 * cams[0].c.r3};
  const CameraView va = ViewOf(cams[0], w), vb = ViewOf(cams[1], moved);
  ASSERT_TRUE(ReconstructFromTwoViews(va, vb, out));
  const double toA = DistanceFromRay(va, out), toB = DistanceFromRay(vb, out);
  EXPECT_NEAR(toA, toB, 1e-3);
  EXPECT_LT(toA, 1.0 + 1e-3);
  EXPECT_GT(toA, 0.1);
}

TEST(ReconstructTest, CalibrationPairNeedsThisCameraCalibrated) {
  const std::vector<caltest::Camera> cams = Cameras();
  auto a = std::make_unique<Calibration>();
  auto b = std::make_unique<Calibration>();
  a->camera = cams[0].p;
  a->result = cams[0].c;
  b->camera = cams[2].p;
  b->result = cams[2].c;
  const double* w = kWorldPoints[3];
  const CameraView va = ViewOf(cams[0], w), vb = ViewOf(cams[2], w);
  float out[3] = {1, 2, 3};
  a->ReconstructFromTwoCameras(out, va.x, va.y, vb.x, vb.y, *b);
  EXPECT_EQ(out[0], 1);
  a->flags |= kFlagCalibrated;
  a->ReconstructFromTwoCameras(out, va.x, va.y, vb.x, vb.y, *b);
  for (int i = 0; i < 3; ++i) EXPECT_NEAR(out[i], w[i], 1e-5 * kSceneSize);
}

TEST(ReconstructTest, PointOntoLineKeepsPointsOnItAndProjectsOthers) {
  const caltest::Camera distorted = Cameras()[0];
  // A line through the undistorted image of (400, 300) with direction (0.6, 0.8).
  double Xd, Yd, Xu, Yu;
  ImageToDistortedSensor(400, 300, distorted.p, Xd, Yd);
  DistortedToUndistortedSensor(Xd, Yd, distorted.c, Xu, Yu);
  float on[2] = {400, 300};
  ProjectImagePointOntoLine(distorted.p, distorted.c, on, Xu - 0.3f, Yu - 0.4f, 0.6f, 0.8f);
  EXPECT_NEAR(on[0], 400, 1e-3);
  EXPECT_NEAR(on[1], 300, 1e-3);

  caltest::Camera plain = distorted;
  plain.c.kappa1 = 0;
  plain.p.sx = 1;
  plain.p.dpx = plain.p.dpy = 0.01;
  plain.p.Cx = plain.p.Cy = 0;
  // With no distortion and square pixels of 0.01 mm: the line y = 1 mm is row 100.
  float p[2] = {250, 40};
  ProjectImagePointOntoLine(plain.p, plain.c, p, 0, 1, 1, 0);
  EXPECT_NEAR(p[0], 250, 1e-4);
  EXPECT_NEAR(p[1], 100, 1e-4);
}

}  // namespace
