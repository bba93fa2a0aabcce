#include <gtest/gtest.h>

#include "cal_test_util.h"
#include "calibration/calibrat.h"

namespace {

// A calibrated camera over a 4 x 3 model with exact image points.
Calibration Camera(const caltest::Camera& cam, const char* model) {
  Calibration cal;
  cal.camera = cam.p;
  cal.result = cam.c;
  cal.flags = caltest::kAllFiles | kFlagCameraRead | kFlagCalibrated;
  cal.modelFile = FileName(model);
  cal.points.count = 12;
  for (int i = 0; i < 12; ++i) {
    cal.points.used[i] = 1;
    cal.points.worldX[i] = (i % 4) * 100.0;
    cal.points.worldY[i] = (i / 4) * 80.0;
    WorldToImageCoord(cal.points.worldX[i], cal.points.worldY[i], 0, cal.camera, cal.result,
                      cal.points.imageX[i], cal.points.imageY[i]);
  }
  return cal;
}

TEST(MatchModelPoints, ComparesPointsUsedInBothCameras) {
  Calibration a =
      Camera(caltest::MakeCamera(0.3, -0.2, 0.1, -150, -100, 1500, 12, -0.004), "/m/Grid.cmo");
  Calibration b =
      Camera(caltest::MakeCamera(0.2, 0.35, -0.1, -150, -80, 1600, 10, 0.003), "/m/grid.CMO");
  b.points.used[2] = 0;
  b.points.worldX[5] += 1;  // a different model point: not compared
  double sum = -1, sumSq = -1;
  int32_t count = -1;
  ASSERT_TRUE(a.MatchModelPoints(sum, sumSq, count, b));
  EXPECT_EQ(count, 10);
  // Image points pass as floats: a few thousandths of a mm at 1.5 m.
  EXPECT_LT(sum / count, 0.05);

  // A point measured two pixels off in one camera adds its distance.
  b.points.imageX[7] += 2;
  double sum2, sumSq2;
  ASSERT_TRUE(a.MatchModelPoints(sum2, sumSq2, count, b));
  EXPECT_GT(sum2 - sum, 0.5);
  EXPECT_GT(sumSq2, sumSq);
}

TEST(MatchModelPoints, RefusesOtherModelOrUncalibratedCamera) {
  const caltest::Camera cam = caltest::MakeCamera(0.3, -0.2, 0.1, -150, -100, 1500, 12, 0);
  Calibration a = Camera(cam, "/m/grid.cmo");
  Calibration other = Camera(cam, "/m/other.cmo");
  double sum = -1, sumSq = -1;
  int32_t count = -1;
  EXPECT_FALSE(a.MatchModelPoints(sum, sumSq, count, other));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(sum, 0);
  EXPECT_EQ(sumSq, 0);
  Calibration same = Camera(cam, "/m/grid.cmo");
  a.SetFlag(kFlagCalibrated, false);
  count = -1;
  EXPECT_FALSE(a.MatchModelPoints(sum, sumSq, count, same));
  EXPECT_EQ(count, 0);
}

}  // namespace
