// The logic behind the calibration window: zoom steps and scroll ranges, the sx gradient search,
// the scale dialog's arithmetic, the files dialog's show/enable state, the calibration dialog's
// values and indicators, and where a calibration frame is read from.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "calibration/calibfilesstate.h"
#include "calibration/calibframefile.h"
#include "calibration/calibvalues.h"
#include "calibration/calibzoom.h"
#include "calibration/scalevalues.h"
#include "calibration/sxsearch.h"
#include "tests/calibration/cal_test_util.h"

namespace {

using calibzoom::Zoom;

TEST(CalibZoom, Steps) {
  struct Case {
    float x, y;
    bool in;  // zoom in, else out
    bool changes;
    float result;
  } cases[] = {
      {0.75f, 0.75f, true, true, 1},     {32, 32, true, false, 32},
      {0.125f, 0.125f, false, false, 0}, {3, 3, false, true, 2},
      {1.4f, 2.6f, true, true, 3},       {1.4f, 2.6f, false, true, 1},
      {40, 50, false, true, 32},         {0.1f, 0.1f, true, true, 0.125f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "x" << c.y << (c.in ? " in" : " out"));
    Zoom z{c.x, c.y};
    EXPECT_EQ(c.in ? calibzoom::ZoomIn(z) : calibzoom::ZoomOut(z), c.changes);
    if (c.changes) {
      EXPECT_EQ(z.x, c.result);
      EXPECT_EQ(z.y, c.result);
    } else {
      EXPECT_EQ(z.x, c.x);
    }
  }
  EXPECT_EQ(calibzoom::FitOffFactor({1.4f, 2.6f}), 3);
  EXPECT_EQ(calibzoom::FitOffFactor({40, 35}), 32);
  EXPECT_EQ(calibzoom::FitOffFactor({0.5f, 0.3f}), 0.5f);
  EXPECT_FALSE(calibzoom::CanZoomIn({32, 32}));
  EXPECT_TRUE(calibzoom::CanZoomIn({32, 16}));
  EXPECT_FALSE(calibzoom::CanZoomOut({0.125f, 0.125f}));
}

TEST(CalibZoom, ScrollerLeavesRoomForTheBars) {
  // 640 x 480 at zoom 2 in a 500 x 400 client without bars: both bars will show.
  calibzoom::Scroller s =
      calibzoom::UpdateScroller({}, 640, 480, {2, 2}, 500, 400, false, false, 16, 16);
  EXPECT_EQ(s.rangeX, 1280 - 500 + 16);
  EXPECT_EQ(s.rangeY, 960 - 400 + 16);
  EXPECT_EQ(s.posX, s.rangeX / 2);  // no range before: the middle
  EXPECT_EQ(s.pageX, 250);
  EXPECT_EQ(s.lineX, 2);
  // Only too high: the vertical bar takes width, which makes it too wide as well...
  s = calibzoom::UpdateScroller({}, 100, 100, {4, 4}, 400, 390, false, false, 16, 16);
  EXPECT_EQ(s.rangeX, 16);
  EXPECT_EQ(s.rangeY, 10 + 16);
  // ...unless the width has room for the bar.
  s = calibzoom::UpdateScroller({}, 100, 100, {4, 4}, 420, 390, false, false, 16, 16);
  EXPECT_EQ(s.rangeX, 0);
  EXPECT_EQ(s.rangeY, 10);
  // Fits once the shown bars are counted as room: no ranges, and the position scales.
  s = calibzoom::UpdateScroller({100, 100, 50, 100}, 640, 480, {0.5f, 0.5f}, 320, 230, true,
                                true, 16, 16);
  EXPECT_EQ(s.rangeX, 0);
  EXPECT_EQ(s.rangeY, 0);
  EXPECT_EQ(s.lineX, 1);
  // Relative positions are kept when the range changes.
  s = calibzoom::UpdateScroller({200, 100, 50, 100}, 640, 480, {2, 2}, 500, 400, false, false,
                                16, 16);
  EXPECT_EQ(s.posX, static_cast<int>(0.25 * s.rangeX));
  EXPECT_EQ(s.posY, s.rangeY);
}

// A search over an error that is smallest at sx = best.
struct Bowl {
  double best;
  double& sx;
  int calls = 0;
  sxsearch::Pass operator()() {
    ++calls;
    return {0, 1 + (sx - best) * (sx - best)};
  }
};

TEST(SxSearch, ConvergesOnTheSmallestError) {
  double sx = 1.0;
  Bowl bowl{1.237, sx};
  int afterPasses = 0;
  const sxsearch::Outcome out = sxsearch::GradientSearch(
      sx, std::ref(bowl), [&] { return ++afterPasses, true; });
  EXPECT_EQ(out.error, 0);
  EXPECT_FALSE(out.aborted);
  EXPECT_FALSE(out.bounded);
  EXPECT_EQ(afterPasses, out.passes);
  // sx ends one step beyond the last calibrated value: within the last steps of the best.
  EXPECT_NEAR(sx, 1.237, 0.01);
}

TEST(SxSearch, FirstPassAtTheStartErrorReversesAndErrorsStop) {
  double sx = 1.0;
  // The first error equals the start value: no improvement, the step turns to -0.1.
  int calls = 0;
  sxsearch::GradientSearch(
      sx,
      [&] {
        ++calls;
        return sxsearch::Pass{0, 99999999.0};
      },
      [] { return true; });
  // Its difference from the start value is 0, which also ends the search.
  EXPECT_DOUBLE_EQ(sx, 0.9);
  EXPECT_EQ(calls, 1);
  // An error ends the search at once and is reported.
  sx = 1.0;
  const sxsearch::Outcome out = sxsearch::GradientSearch(
      sx, [] { return sxsearch::Pass{122, 0}; }, [] { return true; });
  EXPECT_EQ(out.error, 122);
  EXPECT_EQ(out.passes, 1);
  EXPECT_DOUBLE_EQ(sx, 1.0);
}

TEST(SxSearch, KeepsImprovingUntilBoundedOrAborted) {
  // An error that falls forever: without the bound the search would never end.
  double sx = 1.0;
  const sxsearch::Outcome bounded = sxsearch::GradientSearch(
      sx, [&] { return sxsearch::Pass{0, -sx}; }, [] { return true; }, 50);
  EXPECT_TRUE(bounded.bounded);
  EXPECT_EQ(bounded.passes, 50);
  EXPECT_NEAR(sx, 1.0 + 50 * 0.1, 1e-9);  // 0.1 a pass while it improves
  sx = 1.0;
  int passes = 0;
  const sxsearch::Outcome aborted = sxsearch::GradientSearch(
      sx, [&] { return sxsearch::Pass{0, -sx}; }, [&] { return ++passes < 3; });
  EXPECT_TRUE(aborted.aborted);
  EXPECT_EQ(aborted.passes, 3);
}

TEST(ScaleValues, RelationsAndDistances) {
  struct Case {
    double relation;
    int button;
  } cases[] = {{1.0, scalevalues::kRelation1to1},      {1.33333, scalevalues::kRelation4to3},
               {1.3345, scalevalues::kRelationCustom},  {1.77778, scalevalues::kRelation16to9},
               {1.0001, scalevalues::kRelationCustom}};
  for (const Case& c : cases) EXPECT_EQ(scalevalues::RelationButton(c.relation), c.button);

  EXPECT_DOUBLE_EQ(scalevalues::PixelDistance({10, 10}, {13, 14}, 1.0), 5);
  EXPECT_DOUBLE_EQ(scalevalues::PixelDistance({10, 10}, {13, 10}, 2.0), 6);
  EXPECT_DOUBLE_EQ(scalevalues::PixelDistance({10, 10}, {10.5, 10.5}, 1.0), 1);  // closer than 1
  // 500 mm over 250 pixels: 2 mm a pixel, a scale of 0.2 (one unit is 10 mm).
  EXPECT_DOUBLE_EQ(scalevalues::ScaleFromLength(500, 250), 0.2);
  EXPECT_DOUBLE_EQ(scalevalues::LengthOf(250, 0.2), 500);
  EXPECT_DOUBLE_EQ(scalevalues::CustomRelation(4, 3, 1.5), 4.0 / 3);
  EXPECT_DOUBLE_EQ(scalevalues::CustomRelation(0, 3, 1.5), 1.5);
  EXPECT_DOUBLE_EQ(scalevalues::CustomRelation(4, 0, 1.5), 1.5);
}

TEST(ScaleValues, ANewScaleKeepsTheUsersSizingPoints) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 640, 480);
  c.sizingPoint1 = {100, 200};
  c.sizingPoint2 = {300, 250};
  c.SetImageSize(0.2, 1.33333, 640, 480);  // a length or a relation entered
  EXPECT_EQ(c.sizingPoint1.x, 100);
  EXPECT_EQ(c.sizingPoint2.y, 250);
  EXPECT_EQ(c.lengthScale, 0.2);
  c.SetImageSize(0.2, 1.0, 320, 240);  // another image size: the defaults
  EXPECT_EQ(c.sizingPoint1.x, 32);
  EXPECT_EQ(c.sizingPoint2.x, 288);
}

TEST(CalibFilesState, FilesAreNamedInOrder) {
  Calibration c;
  struct Step {
    const char* what;
    uint32_t flags;
    bool cameraLoadVisible, cameraLoadEnabled, editVisible, frameEnabled, modelEnabled;
    const char* calibration;
    const char* camera;
  } steps[] = {
      {"nothing", 0, true, false, false, false, false, "", ""},
      {"camera and model without data file are not shown", kFlagCameraFile | kFlagModelFile,
       true, false, false, false, false, "", ""},
      {"data file", kFlagCalibrationFile, true, false, false, true, true, "a.cdc", ""},
      {"data file and frame", kFlagCalibrationFile | kFlagCalibrationImage, true, true, false,
       true, true, "a.cdc", ""},
      {"all", caltest::kAllFiles, false, true, true, true, true, "a.cdc", "a.cam"},
      {"camera without frame", kFlagCalibrationFile | kFlagCameraFile, true, false, false, true,
       true, "a.cdc", ""},
  };
  c.calibrationFile = FileName("/x/a.cdc");
  c.cameraFile = FileName("/x/a.cam");
  c.calibrationImage = FileName("/x/frame.bld");
  c.modelFile = FileName("/x/m.cmo");
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    c.flags = s.flags;
    const SequenceFilesView v = ShowSequenceFiles(c, "video.avi", 2, 3);
    EXPECT_EQ(v.cameraLoadVisible, s.cameraLoadVisible);
    EXPECT_EQ(v.cameraLoadEnabled, s.cameraLoadEnabled);
    EXPECT_EQ(v.cameraEditVisible, s.editVisible);
    EXPECT_EQ(v.frameEnabled, s.frameEnabled);
    EXPECT_EQ(v.modelEnabled, s.modelEnabled);
    EXPECT_EQ(v.calibrationFile, s.calibration);
    EXPECT_EQ(v.cameraFile, s.camera);
    EXPECT_EQ(v.calibrationFrame.empty(), !(s.flags & kFlagCalibrationFile &&
                                            s.flags & kFlagCalibrationImage));
    EXPECT_EQ(v.modelFile.empty(), !(s.flags & kFlagCalibrationFile && s.flags & kFlagModelFile));
  }
  struct Arrows {
    int n, count;
    bool previous, next;
  } arrows[] = {{1, 3, false, true}, {3, 3, true, false}, {1, 1, false, false}, {2, 3, true, true}};
  for (const Arrows& a : arrows) {
    const SequenceFilesView v = ShowSequenceFiles(c, "v", a.n, a.count);
    EXPECT_EQ(v.previousEnabled, a.previous) << a.n << "/" << a.count;
    EXPECT_EQ(v.nextEnabled, a.next) << a.n << "/" << a.count;
    EXPECT_EQ(v.number, a.n);
  }
  c.SetFlag(kFlagCalibrated, true);
  EXPECT_TRUE(ShowSequenceFiles(c, "v", 1, 1).calibrated);
}

// A calibrated camera whose nine used points fit it exactly, but for point 4.
Calibration CalibratedGrid(double offPixels) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 640, 480);
  c.flags = caltest::kAllFiles | kFlagCalibrated;
  const caltest::Camera cam = caltest::OnSensor(
      caltest::MakeCamera(0.2, -0.1, 0.05, -100, -100, 1500, 12, 0), 640, 480, 0.01);
  c.camera = cam.p;
  c.result = cam.c;
  c.points.count = 9;
  for (int i = 0; i < 9; ++i) {
    c.points.used[i] = 1;
    c.points.worldX[i] = (i % 3) * 100.0;
    c.points.worldY[i] = (i / 3) * 100.0;
    WorldToImageCoord(c.points.worldX[i], c.points.worldY[i], 0, cam.p, cam.c, c.points.imageX[i],
                      c.points.imageY[i]);
  }
  c.points.imageX[4] += offPixels;
  c.ClassifyModel();
  return c;
}

TEST(CalibValues, TextsAndIndicators) {
  Calibration c = CalibratedGrid(0.3);
  c.SetFlag(kFlagFullOptimized, true);
  CalibDialogValues v = ValuesOf(c, 2, true, 0.5, 0.1);
  EXPECT_EQ(v.method, 20603);
  EXPECT_FALSE(v.linearSizingEnabled);
  EXPECT_TRUE(v.calibrateEnabled);
  EXPECT_EQ(v.f, "12.0000 mm");
  EXPECT_EQ(v.kappa1, "0.0000  1/mm\u00b2");
  EXPECT_EQ(v.t[2], "1500.00");
  EXPECT_EQ(v.r[0], Format("%.2lf", 0.2 * 180 / M_PI));
  EXPECT_EQ(v.cx, "320.0000 pix");
  EXPECT_TRUE(v.within2d);  // a third of a pixel off
  const double limit = c.HalfPixelTolerance(c.points);
  EXPECT_EQ(v.within3d, 0.5 < 2 * limit);
  EXPECT_EQ(ValuesOf(c, 2, true, 2 * limit * 0.99, 0).within3d, true);
  EXPECT_EQ(ValuesOf(c, 2, true, 0, 0).within3d, false);  // 0 is no result
  EXPECT_EQ(ValuesOf(c, 2, false, 0.01, 0).mean3d, "");

  // Several pixels off: the mean is over the limit.
  Calibration off = CalibratedGrid(40);
  EXPECT_FALSE(ValuesOf(off, 1, false, 0, 0).within2d);
  // Exactly fitting points: a mean of 0 shows the over-limit indicator.
  Calibration exact = CalibratedGrid(0);
  for (int i = 0; i < 9; ++i) exact.points.imageX[i] = exact.points.imageY[i] = 0;
  exact.points.used[0] = 0;
  exact.points.count = 1;
  double m = 1, d, mx, sq;
  exact.GetErrorStatistics(m, d, mx, sq);
  ASSERT_EQ(m, 0);
  EXPECT_FALSE(ValuesOf(exact, 1, false, 0, 0).within2d);

  // Not calibrated: no result texts; gradient search method.
  c.SetFlag(kFlagCalibrated, false);
  c.SetFlag(kFlagGradientSearch, true);
  v = ValuesOf(c, 1, false, 0, 0);
  EXPECT_EQ(v.method, 20604);
  EXPECT_EQ(v.f, "");
  EXPECT_EQ(v.mean2d, "");
  EXPECT_TRUE(v.linearSizingEnabled);
}

TEST(CalibValues, PositionLabel) {
  Calibration c = CalibratedGrid(0);
  const double x = 300, y = 200;
  c.points.imageX[2] = x;
  c.points.imageY[2] = y;
  EXPECT_EQ(PositionText(c, x + 2.0, y + 1.9, true), "P_3 (200.0;0.0;0.0)");
  EXPECT_EQ(PositionText(c, x + 2.0, y + 2.0, true), Format("%.1f,", x + 2.0) + Format("%.1f", y + 2.0));
  EXPECT_EQ(PositionText(c, x, y, false), Format("%.1f,", x) + Format("%.1f", y));
}

TEST(CalibFrameFile, ReaderByExtensionAndCompanionInAnyCase) {
  caltest::TempDir dir;
  const std::string folder = dir.Path().string();
  std::ofstream(folder + "/shot.BLD") << "x";
  const CalibrationFrameFile dsc = ResolveCalibrationFrame(folder + "/shot.dsc");
  EXPECT_EQ(dsc.kind, CalibrationFrameKind::kFrameFile);
  EXPECT_EQ(dsc.path, folder + "/shot.BLD");
  EXPECT_EQ(ResolveCalibrationFrame(folder + "/shot.Bld").path, folder + "/shot.BLD");
  // No companion: the name with the extension replaced (the reader reports it missing).
  EXPECT_EQ(ResolveCalibrationFrame(folder + "/none.dsc").path, folder + "/none.bld");
  EXPECT_EQ(ResolveCalibrationFrame("/a/b.VR2").kind, CalibrationFrameKind::kVr2);
  EXPECT_EQ(ResolveCalibrationFrame("/a/b.vraw").kind, CalibrationFrameKind::kVraw);
  EXPECT_EQ(ResolveCalibrationFrame("/a/b.avi").kind, CalibrationFrameKind::kVideo);
}

}  // namespace
