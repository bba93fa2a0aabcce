// The gradient search on sx run on a camera: a target rendered by a known camera, flat and
// two-level, with sx 1.03 and 1.0; the search finds sx on both kinds of model and never leaves
// the camera worse than the calibration it started from.

#include <gtest/gtest.h>

#include "cal_test_util.h"
#include "calibration/calibrat.h"
#include "calibration/sxsearch.h"

namespace {

constexpr int kWidth = 768, kHeight = 576;

// f 8 mm, kappa1 0.001, angles 20, -15 and 5 degrees, about 1.2 m from the target.
caltest::Camera Truth(double sx) {
  const double at[3] = {200, 150, 50};
  return caltest::AimedAt(20, -15, 5, at, 1200, 8, 0.001, sx);
}

// A camera whose used points are the target's marks as the true camera sees them; its own
// camera parameters are the camera file's (sx 1).
Calibration Rendered(const caltest::Camera& truth, bool twoLevels) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, kWidth, kHeight);
  c.flags |= caltest::kAllFiles | kFlagFullOptimized | kFlagGradientSearch;
  c.camera = truth.p;
  c.camera.sx = 1.0;
  int n = 0;
  for (int level = 0; level < (twoLevels ? 2 : 1); ++level) {
    for (int i = 0; i < 20; ++i, ++n) {
      c.points.worldX[n] = (i % 5) * 100.0;
      c.points.worldY[n] = (i / 5) * 100.0;
      c.points.worldZ[n] = level * 100.0;
      WorldToImageCoord(c.points.worldX[n], c.points.worldY[n], c.points.worldZ[n], truth.p,
                        truth.c, c.points.imageX[n], c.points.imageY[n]);
      c.points.used[n] = 1;
    }
  }
  c.points.count = n;
  c.ClassifyModel();
  return c;
}

double Mean(Calibration& c) {
  double mean = -1, deviation, maximum, squares;
  EXPECT_TRUE(c.GetErrorStatistics(mean, deviation, maximum, squares));
  return mean;
}

TEST(SxSearchOnCamera, FindsSxOnFlatAndTwoLevelTargets) {
  for (const bool twoLevels : {true, false}) {
    for (const double sx : {1.03, 1.0}) {
      SCOPED_TRACE(testing::Message() << (twoLevels ? "two levels" : "flat") << ", sx " << sx);
      const caltest::Camera truth = Truth(sx);
      Calibration c = Rendered(truth, twoLevels);
      ASSERT_EQ(c.Has(kFlagNonCoplanar), twoLevels);
      int passes = 0;
      const sxsearch::Outcome outcome = sxsearch::GradientSearch(c, [&] { return ++passes, true; });
      EXPECT_EQ(outcome.error, 0);
      EXPECT_GT(outcome.passes, 3);
      ASSERT_TRUE(c.IsCalibrated());
      EXPECT_NEAR(c.camera.sx, sx, 0.001);
      EXPECT_NEAR(c.result.f, 8, 0.01);
      EXPECT_LT(Mean(c), 0.01);
    }
  }
}

TEST(SxSearchOnCamera, NeverWorseThanTheCalibrationItStartsFrom) {
  const caltest::Camera truth = Truth(1.03);
  Calibration c = Rendered(truth, true);
  // The optimised calibration finds sx on this model by itself.
  ASSERT_EQ(c.Calibrate(), 0);
  ASSERT_NEAR(c.camera.sx, 1.03, 1e-6);
  const double before = Mean(c);
  const CalibrationResult result = c.result;
  sxsearch::GradientSearch(c, [] { return true; });
  EXPECT_LE(Mean(c), before);
  EXPECT_NEAR(c.camera.sx, 1.03, 0.001);
  EXPECT_NEAR(c.result.f, result.f, 0.01);

  // A search that fails at once leaves the calibration as it was, sx included.
  Calibration failing = Rendered(truth, true);
  ASSERT_EQ(failing.Calibrate(), 0);
  const double sx = failing.camera.sx;
  for (int i = 0; i < failing.points.count; ++i) failing.points.worldZ[i] = 0;  // all in a plane
  failing.SetFlag(kFlagNonCoplanar, true);
  const sxsearch::Outcome outcome = sxsearch::GradientSearch(failing, [] { return true; });
  if (outcome.error != 0) {
    EXPECT_TRUE(failing.IsCalibrated());
    EXPECT_EQ(failing.camera.sx, sx);
  }
}

}  // namespace
