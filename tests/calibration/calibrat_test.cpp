#include "calibration/calibrat.h"

#include <cmath>

#include <gtest/gtest.h>

#include "base/unitsorigin.h"
#include "cal_test_util.h"

namespace {

using caltest::kAllFiles;
using caltest::MakeCamera;

// Restores the global origin corner after each test that changes it.
class CalibrationTest : public ::testing::Test {
 protected:
  void TearDown() override { g_UnitsOrigin.origin = savedOrigin_; }

  // A calibrated camera over a flat 5 x 4 grid of model points whose image points it projects.
  static void MakeCalibratedGrid(Calibration& cal, double kappa1) {
    const caltest::Camera cam = MakeCamera(0.3, -0.2, 0.1, -100, 50, 1500, 12, kappa1);
    cal.camera = cam.p;
    cal.result = cam.c;
    cal.flags = kAllFiles | kFlagCameraRead | kFlagCalibrated;
    cal.points.count = 20;
    for (int i = 0; i < 20; ++i) {
      cal.points.worldX[i] = (i % 5) * 50.0;
      cal.points.worldY[i] = (i / 5) * 40.0;
      WorldToImageCoord(cal.points.worldX[i], cal.points.worldY[i], 0, cal.camera, cal.result,
                        cal.points.imageX[i], cal.points.imageY[i]);
      cal.points.used[i] = 1;
    }
  }

 private:
  int savedOrigin_ = g_UnitsOrigin.origin;
};

TEST_F(CalibrationTest, ImageSizeDerivesDefaultCameraAndSizingPoints) {
  Calibration cal;
  EXPECT_EQ(cal.sizingPoint1.x, 10);
  EXPECT_EQ(cal.sizingPoint2.x, 90);
  EXPECT_EQ(cal.selectedPoint, -1);
  cal.SetImageSize(1.0, 1.0, 768, 576);
  EXPECT_EQ(cal.camera.Ncx, 768);
  EXPECT_EQ(cal.camera.Nfx, 768);
  EXPECT_EQ(cal.camera.dx, 0.016);
  EXPECT_EQ(cal.camera.dy, 0.016);
  EXPECT_EQ(cal.camera.dpx, 10);
  EXPECT_EQ(cal.camera.dpy, 10);
  EXPECT_EQ(cal.sizingPoint1.x, 76);
  EXPECT_EQ(cal.sizingPoint1.y, 288);
  EXPECT_EQ(cal.sizingPoint2.x, 691);
  EXPECT_EQ(cal.sizingPoint2.y, 288);

  // Parameters read from a file are kept, the sizing points still move.
  cal.SetFlag(kFlagCameraRead, true);
  cal.camera.dpx = 0.0084;
  cal.sizingPoint1 = {1, 1};
  cal.SetImageSize(0.5, 1.2, 640, 480);
  EXPECT_EQ(cal.camera.dpx, 0.0084);
  EXPECT_EQ(cal.camera.Ncx, 768);
  EXPECT_EQ(cal.sizingPoint1.x, 64);
  EXPECT_EQ(cal.sizingPoint2.x, 576);
  EXPECT_EQ(cal.lengthScale, 0.5);
  EXPECT_EQ(cal.aspect, 1.2);
  EXPECT_EQ(cal.imageWidth, 640);
}

TEST_F(CalibrationTest, LinearSizingByOriginCorner) {
  struct Case {
    int origin;
    float wx, wy;
  } cases[] = {{kOriginLeftTop, 400, 800},
               {kOriginRightTop, 6000, 800},
               {kOriginLeftBottom, 400, 4000},
               {kOriginRightBottom, 6000, 4000}};
  Calibration cal;
  cal.SetImageSize(1.0, 1.0, 640, 480);
  for (const Case& k : cases) {
    SCOPED_TRACE(k.origin);
    g_UnitsOrigin.origin = k.origin;
    float w[3] = {-1, -1, -1};
    cal.ImageToWorld(w, 40, 80);
    EXPECT_FLOAT_EQ(w[0], k.wx);
    EXPECT_FLOAT_EQ(w[1], k.wy);
    EXPECT_EQ(w[2], 0);
    float im[3] = {-1, -1, -1};
    cal.WorldToImageScaled(im, w[0], w[1]);
    EXPECT_FLOAT_EQ(im[0], 40);
    EXPECT_FLOAT_EQ(im[1], 80);
    EXPECT_EQ(im[2], 0);
  }
}

TEST_F(CalibrationTest, LinearSizingWithScaleAndAspectAndMissingValues) {
  Calibration cal;
  cal.SetImageSize(0.25, 1.5, 640, 480);
  g_UnitsOrigin.origin = kOriginRightBottom;
  float w[3];
  cal.ImageToWorld(w, 40, kMissingCoordinate);
  EXPECT_FLOAT_EQ(w[0], 0.25f * 10 * 1.5f * 600);
  EXPECT_EQ(w[1], kMissingCoordinate);
  float im[3];
  cal.WorldToImageScaled(im, kMissingCoordinate, 1000);
  EXPECT_EQ(im[0], kMissingCoordinate);
  EXPECT_FLOAT_EQ(im[1], 480 - 400);
}

TEST_F(CalibrationTest, CalibratedConversionsGoThroughTheCameraUnlessLinearSizing) {
  Calibration cal;
  MakeCalibratedGrid(cal, -0.006);
  cal.SetImageSize(1.0, 1.0, 768, 576);  // camera read from a file: kept
  for (int i = 0; i < 20; ++i) {
    float w[3];
    cal.ImageToWorld(w, static_cast<float>(cal.points.imageX[i]),
                     static_cast<float>(cal.points.imageY[i]));
    // Single-precision image input: about 3e-5 px, a few hundredths of a mm at 1.5 m.
    EXPECT_NEAR(w[0], cal.points.worldX[i], 0.05);
    EXPECT_NEAR(w[1], cal.points.worldY[i], 0.05);
    float im[3] = {0, 0, 7};
    cal.WorldToImage(im, static_cast<float>(cal.points.worldX[i]),
                     static_cast<float>(cal.points.worldY[i]), 0);
    EXPECT_NEAR(im[0], cal.points.imageX[i], 1e-3);
    EXPECT_EQ(im[2], 0);
    float back[3];
    cal.WorldToImageScaled(back, w[0], w[1]);
    EXPECT_NEAR(back[0], cal.points.imageX[i], 1e-3);
    EXPECT_NEAR(back[1], cal.points.imageY[i], 1e-3);
  }
  float w[3];
  cal.ImageToWorld(w, kMissingCoordinate, 100);
  EXPECT_EQ(w[0], kMissingCoordinate);
  EXPECT_EQ(w[1], kMissingCoordinate);

  g_UnitsOrigin.origin = kOriginLeftTop;
  cal.SetFlag(kFlagLinearSizing, true);
  cal.ImageToWorld(w, 40, 80);
  EXPECT_FLOAT_EQ(w[0], 400);
  EXPECT_FLOAT_EQ(w[1], 800);
}

TEST_F(CalibrationTest, WorldToImageLeavesOutputWhenNotCalibrated) {
  Calibration cal;
  cal.SetImageSize(1.0, 1.0, 640, 480);
  float out[3] = {1, 2, 3};
  cal.WorldToImage(out, 100, 100, 0);
  EXPECT_EQ(out[0], 1);
  EXPECT_EQ(out[1], 2);
  EXPECT_EQ(out[2], 3);
}

TEST_F(CalibrationTest, CanCalibrateNeedsFilesAndEnoughUsedPoints) {
  struct Case {
    bool nonCoplanar;
    int used;
    bool can;
  } cases[] = {{false, 8, false}, {false, 9, true}, {true, 11, false}, {true, 12, true}};
  for (const Case& k : cases) {
    Calibration cal;
    cal.flags = kAllFiles | (k.nonCoplanar ? kFlagNonCoplanar : 0u);
    cal.points.count = 30;
    for (int i = 0; i < k.used; ++i) cal.points.used[i * 2] = 1;
    EXPECT_EQ(cal.CanCalibrate(), k.can) << k.used;
    cal.SetFlag(kFlagModelFile, false);
    EXPECT_FALSE(cal.CanCalibrate());
  }
}

TEST_F(CalibrationTest, PointEditingReportsChanges) {
  Calibration cal;
  cal.points.count = 3;
  EXPECT_FALSE(cal.SetImagePoint(0, 5, 5));  // not ready
  cal.flags = kAllFiles;
  EXPECT_TRUE(cal.SetImagePoint(1, 10, 20));
  EXPECT_FALSE(cal.SetImagePoint(1, 10, 20));
  EXPECT_FALSE(cal.SetImagePoint(3, 1, 1));
  EXPECT_FALSE(cal.SetPointUsed(1, 0, false));
  EXPECT_TRUE(cal.SetPointUsed(1, 0, true));
  EXPECT_EQ(cal.selectedPoint, 1);
  EXPECT_TRUE(cal.SetPointUsed(1, 1, false));
  EXPECT_EQ(cal.points.used[1], 1);
  EXPECT_EQ(cal.selectedPoint, -1);
  EXPECT_FALSE(cal.SetPointUsed(-1, 1, false));

  cal.SetAllPointsUsed(-1);
  EXPECT_EQ(cal.points.used[0], -1);
  EXPECT_EQ(cal.points.used[2], -1);
  EXPECT_EQ(cal.points.used[3], 0);

  // In linear sizing the edits act on the two sizing points.
  cal.SetFlag(kFlagLinearSizing, true);
  EXPECT_TRUE(cal.SetImagePoint(2, 300, 40));
  EXPECT_EQ(cal.sizingPoint2.x, 300);
  EXPECT_TRUE(cal.SetPointUsed(2, 0, true));
  EXPECT_EQ(cal.selectedPoint, 2);
  EXPECT_EQ(cal.points.used[2], -1);
}

TEST_F(CalibrationTest, FindPointTakesLowestIndexWithinZoomedRadius) {
  Calibration cal;
  cal.flags = kAllFiles;
  cal.points.count = 3;
  cal.points.imageX[0] = 100;
  cal.points.imageY[0] = 100;
  cal.points.imageX[1] = 102;
  cal.points.imageY[1] = 100;
  cal.points.imageX[2] = 101;
  cal.points.imageY[2] = 100;
  EXPECT_EQ(cal.FindPoint(101.5, 100, 1.0), 0);
  EXPECT_EQ(cal.FindPoint(104, 100, 0.0), 0);  // zoom 0 counts as 1: radius 4
  EXPECT_EQ(cal.FindPoint(104, 100, 2.0), 1);  // radius 2
  EXPECT_EQ(cal.FindPoint(110, 100, 1.0), -1);
  cal.sizingPoint1 = {10, 10};
  cal.sizingPoint2 = {12, 10};
  cal.SetFlag(kFlagLinearSizing, true);
  EXPECT_EQ(cal.FindPoint(11, 10, 1.0), 1);
  EXPECT_EQ(cal.FindPoint(15, 10, 1.0), 2);
  EXPECT_EQ(cal.FindPoint(30, 10, 1.0), -1);
}

TEST_F(CalibrationTest, ErrorStatisticsOfExactAndDisturbedPoints) {
  Calibration cal;
  double mean = -1, dev = -1, max = -1, sumSq = -1;
  EXPECT_FALSE(cal.GetErrorStatistics(mean, dev, max, sumSq));
  EXPECT_EQ(mean, -1);

  MakeCalibratedGrid(cal, 0.004);
  ASSERT_TRUE(cal.GetErrorStatistics(mean, dev, max, sumSq));
  EXPECT_NEAR(mean, 0, 1e-9);
  EXPECT_NEAR(max, 0, 1e-9);

  // One point moved by a pixel: exactly one error, so mean = e / 20 and max = e.
  cal.points.imageX[7] += 1.0;
  ASSERT_TRUE(cal.GetErrorStatistics(mean, dev, max, sumSq));
  EXPECT_GT(max, 0.05);
  EXPECT_NEAR(mean, max / 20, 1e-9);
  EXPECT_NEAR(sumSq, max * max, 1e-9);
  EXPECT_NEAR(dev, std::sqrt((sumSq - 20 * mean * mean) / 19), 1e-9);
  EXPECT_EQ(cal.divergenceMean, mean);
  EXPECT_EQ(cal.divergenceDeviation, dev);

  // Fewer than two used points: all zero.
  std::fill(cal.points.used + 1, cal.points.used + 20, 0);
  ASSERT_TRUE(cal.GetErrorStatistics(mean, dev, max, sumSq));
  EXPECT_EQ(mean, 0);
  EXPECT_EQ(dev, 0);
  EXPECT_EQ(max, 0);
  EXPECT_EQ(sumSq, 0);
}

// Equal errors must give a deviation of 0, not the root of a rounding residue below 0.
TEST_F(CalibrationTest, DeviationOfEqualErrorsIsZeroNotNaN) {
  CalibrationResult r;
  r.f = 1;
  r.r1 = r.r5 = r.r9 = 1;
  CameraParameters p;
  p.dpx = p.dpy = p.sx = 1;
  CalibrationPoints pts;
  int nanCount = 0;
  for (int k = 0; k < 1000; ++k) {
    // Points at distance e from the optical axis, seen on the axis: every error equals e.
    const double e = 0.001 + k * 0.0137;
    const int n = 3 + k % 7;
    pts.count = n;
    for (int i = 0; i < n; ++i) {
      pts.used[i] = 1;
      pts.worldX[i] = e;
      pts.worldY[i] = 0;
      pts.worldZ[i] = 10 + i;
      pts.imageX[i] = pts.imageY[i] = 0;
    }
    double mean, dev, max, sumSq;
    ObjectSpaceErrorStats(mean, dev, max, sumSq, pts, p, r);
    if (std::isnan(dev)) ++nanCount;
    EXPECT_NEAR(mean, e, 1e-12);
    EXPECT_NEAR(dev, 0, 1e-6);
  }
  EXPECT_EQ(nanCount, 0);
}

TEST_F(CalibrationTest, ProjectModelPointsPredictsOnlyUnusedPoints) {
  Calibration cal;
  MakeCalibratedGrid(cal, 0.002);
  const double measuredX = cal.points.imageX[3] + 2.5;
  cal.points.imageX[3] = measuredX;
  const double predictedX = cal.points.imageX[4];
  cal.points.used[4] = 0;
  cal.points.imageX[4] = -1;
  cal.ProjectModelPoints();
  EXPECT_EQ(cal.points.imageX[3], measuredX);
  EXPECT_NEAR(cal.points.imageX[4], predictedX, 1e-9);
}

Calibration FlatModel(double z, int n = 12) {
  Calibration cal;
  cal.SetImageSize(1.0, 1.0, 640, 480);
  cal.points.count = n;
  for (int i = 0; i < n; ++i) {
    cal.points.worldX[i] = (i % 4) * 100.0;
    cal.points.worldY[i] = (i / 4) * 50.0;
    cal.points.worldZ[i] = z;
  }
  return cal;
}

TEST_F(CalibrationTest, ClassifyFlatModelBuildsDefaultFrameAndPlacesPoints) {
  Calibration cal = FlatModel(5.0);
  cal.SetFlag(kFlagNonCoplanar, true);
  cal.ClassifyModel();
  EXPECT_FALSE(cal.Has(kFlagNonCoplanar));
  EXPECT_TRUE(cal.Has(kFlagFramePlaced));
  EXPECT_EQ(cal.points.worldZ[5], 0);
  EXPECT_EQ(cal.maxZ, 0);
  EXPECT_EQ(cal.maxX, 300);
  EXPECT_EQ(cal.maxY, 100);
  double lo = 1e9, hiX = -1e9, loY = 1e9, hiY = -1e9;
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(cal.frameX[k + 4], cal.frameX[k]);  // flat: upper face equals lower face
    lo = std::min(lo, cal.frameX[k]);
    hiX = std::max(hiX, cal.frameX[k]);
    loY = std::min(loY, cal.frameY[k]);
    hiY = std::max(hiY, cal.frameY[k]);
  }
  EXPECT_NEAR(lo, 64, 1e-9);
  EXPECT_NEAR(loY, 48, 1e-9);
  // The wider extent relative to the image spans 80 %.
  EXPECT_NEAR(std::max((hiX - lo) / 640, (hiY - loY) / 480), 0.8, 1e-9);
  // Points at the box corners land on the frame corners.
  EXPECT_NEAR(cal.points.imageX[0], cal.frameX[0], 1e-9);
  EXPECT_NEAR(cal.points.imageY[0], cal.frameY[0], 1e-9);
  EXPECT_NEAR(cal.points.imageX[11], cal.frameX[2], 1e-9);
  EXPECT_NEAR(cal.points.imageY[11], cal.frameY[2], 1e-9);
}

TEST_F(CalibrationTest, ClassifyNonCoplanarAndShortModels) {
  Calibration cal = FlatModel(0.0);
  cal.points.worldZ[6] = 30;
  cal.ClassifyModel();
  EXPECT_TRUE(cal.Has(kFlagNonCoplanar));
  EXPECT_EQ(cal.maxZ, 30);
  EXPECT_LT(cal.frameX[0], cal.frameX[1]);
  EXPECT_LT(cal.frameY[0], cal.frameY[3]);
  EXPECT_NE(cal.frameX[4], cal.frameX[0]);

  Calibration few = FlatModel(3.0, 7);
  few.ClassifyModel();
  EXPECT_EQ(few.flags, 0u);
  EXPECT_EQ(few.points.worldZ[0], 3.0);
}

}  // namespace
