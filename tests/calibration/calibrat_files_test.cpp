#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "cal_test_util.h"
#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

using caltest::TempDir;

std::string Text(int id) { return std::string(platform::LoadString(id)); }

std::string ModelLines(int n, double z = 0.0) {
  std::string s;
  for (int i = 0; i < n; ++i) {
    s += std::to_string((i % 5) * 50) + " " + std::to_string((i / 5) * 40) + " " +
         std::to_string(z) + "\n";
  }
  return s;
}

int UsedAnywhere(const Calibration& cal) {
  int n = 0;
  for (int i = 0; i < kMaxCalibrationPoints; ++i) n += cal.points.used[i] != 0;
  return n;
}

class CalibrationFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  platform::RecordingMessageService messages;
  Calibration cal;
  void SetUp() override { cal.SetImageSize(1.0, 1.0, 768, 576); }
};

TEST_F(CalibrationFileTest, CameraFileWithRequiredKeysOnly) {
  const std::string path = dir.Write("cam.cam", "Ncx: 752\nNfx: 768\ndx: 0.0086\ndy: 0.0083\n");
  ASSERT_TRUE(cal.SetCameraFile(path));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(cal.Has(kFlagCameraFile | kFlagCameraRead));
  EXPECT_EQ(cal.camera.Cx, 384);
  EXPECT_EQ(cal.camera.Cy, 288);
  EXPECT_EQ(cal.camera.sx, 1);
  EXPECT_DOUBLE_EQ(cal.camera.dpx, 0.0086 * 752 / 768);
  EXPECT_EQ(cal.camera.dpy, 0.0083);
}

// One valid file with one thing broken per row, and what reading it must say.
TEST_F(CalibrationFileTest, CameraFileFaults) {
  struct Case {
    const char* text;
    bool ok;
    int message;  // 0: none
    double ncx, dpx;
  } cases[] = {
      {"Nfx: 768\ndx: 0.01\ndy: 0.01\n", false, calid::kCameraNcxMissing, 0, 0},
      {"Ncx: 752\ndx: 0.01\ndy: 0.01\n", false, calid::kCameraNfxMissing, 752, 0},
      {"Ncx: 752\nNfx: 768\ndy: 0.01\n", false, calid::kCameraDxMissing, 752, 0},
      {"Ncx: 752\nNfx: 768\ndx: 0.01\n", false, calid::kCameraDyMissing, 752, 0},
      {"Ncx 752\nNfx: 768\ndx: 0.01\ndy: 0.01\n", false, calid::kCameraNcxMissing, 0, 0},
      {"ncx: 752\nNFX: 768\nDX: 0.01\ndy: 0.01\n", true, 0, 752, 0.01 * 752 / 768},
      {"Ncx: many\nNfx: 768\ndx: 0.01\ndy: 0.01\n", true, 0, 0, 0},
      {"Ncx: 752\nNfx: 0\ndx: 0.01\ndy: 0.01\n", true, 0, 752, 0.01 * 752},
      {"# Ncx: 1\r\nNcx: 640 \t# comment\r\nNfx: 640\r\ndx: 0.01\r\ndy: 0.01", true, 0, 640, 0.01},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.text);
    messages.shown.clear();
    Calibration c;
    c.SetImageSize(1.0, 1.0, 768, 576);
    // Quiet does not hide a missing key.
    EXPECT_EQ(c.SetCameraFile(dir.Write("f.cam", k.text), true, true), k.ok);
    EXPECT_EQ(c.Has(kFlagCameraRead), k.ok);
    EXPECT_EQ(c.camera.Ncx, k.ncx);
    if (k.ok) {
      EXPECT_DOUBLE_EQ(c.camera.dpx, k.dpx);
    }
    if (k.message == 0) {
      EXPECT_TRUE(messages.shown.empty());
    } else {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].caption, Text(calid::kCameraFileError));
      EXPECT_EQ(messages.shown[0].text, platform::FormatString(k.message, dir.File("f.cam")));
    }
  }
}

TEST_F(CalibrationFileTest, MissingCameraFileIsQuietOnlyWhenAsked) {
  cal.SetFlag(kFlagCalibrated, true);
  EXPECT_FALSE(cal.SetCameraFile(dir.File("none.cam"), true, true));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(cal.Has(kFlagCameraFile));
  EXPECT_FALSE(cal.IsCalibrated());
  EXPECT_FALSE(cal.ReadCameraFile(false));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(calid::kCameraFileCannotOpen, dir.File("none.cam")));
  // Naming without reading reads nothing.
  EXPECT_TRUE(cal.SetCameraFile(dir.File("other.cam"), false));
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(CalibrationFileTest, CameraFileWriteAndReadBack) {
  cal.camera = {752, 768, 0.0086, 0.0083, 1, 1, 385.123456789, 290.5, 1.0234567};
  const std::string path = dir.File("Cam One.cam");
  ASSERT_TRUE(cal.SetCameraFile(path, false));
  ASSERT_TRUE(cal.WriteCameraFile());
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(path, text));
  const auto lines = platform::SplitLines(text);
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(lines[0], "# Zorvatrack generated file Cam One.cam");
  EXPECT_EQ(lines[1].rfind("# last modified: ", 0), 0u);
  EXPECT_EQ(lines[2], "#");
  EXPECT_EQ(lines[3], "# this file contains cameraparameters");
  EXPECT_EQ(lines[5], "");
  EXPECT_EQ(lines[6], "Ncx: 752\t# No. Horizontal Sensor elements (sels) in CCD array");
  EXPECT_EQ(lines[10], "Cx: 385.123\t# Image Center X-coordinate (pixels)");
  EXPECT_EQ(lines[12], "sx: 1.02346\t# Grabbing uncertainty factor");

  Calibration back;
  back.SetImageSize(1.0, 1.0, 768, 576);
  ASSERT_TRUE(back.SetCameraFile(path));
  EXPECT_EQ(back.camera.Ncx, 752);
  EXPECT_EQ(back.camera.dx, 0.0086);
  EXPECT_EQ(back.camera.Cx, 385.123);
  EXPECT_EQ(back.camera.Cy, 290.5);
  EXPECT_EQ(back.camera.sx, 1.02346);
  EXPECT_DOUBLE_EQ(back.camera.dpx, 0.0086 * 752 / 768);
}

TEST_F(CalibrationFileTest, CameraFileWriteFailureIsReportedAndOldFileKept) {
  const std::string path = dir.Write("ro/cam.cam", "old contents\n");
  cal.SetCameraFile(path, false);
  // A folder that cannot take the temporary file.
  std::filesystem::permissions(
      dir.File("ro"), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  const bool canStillWrite = ::access(dir.File("ro").c_str(), W_OK) == 0;  // running as root
  if (!canStillWrite) {
    EXPECT_FALSE(cal.WriteCameraFile());
    std::string text;
    ASSERT_TRUE(platform::ReadWholeFile(path, text));
    EXPECT_EQ(text, "old contents\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, Text(calid::kInputOutputError));
    EXPECT_EQ(messages.shown[0].text,
              platform::FormatString(platform::files_ids::kCannotWrite, path,
                                     Text(platform::files_ids::kNoPermission)));
  }
  std::filesystem::permissions(dir.File("ro"), std::filesystem::perms::owner_all);

  // A folder that does not exist fails for everyone.
  messages.shown.clear();
  cal.SetCameraFile(dir.File("missing/cam.cam"), false);
  EXPECT_FALSE(cal.WriteCameraFile());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(platform::files_ids::kCannotWrite, dir.File("missing/cam.cam"),
                                   Text(platform::files_ids::kNoFolder)));
}

TEST_F(CalibrationFileTest, ModelFilePointCounts) {
  struct Case {
    std::string text;
    int count;
    bool ok;
  } cases[] = {
      {"# model\n\nX Y Z\n" + ModelLines(12) + "\n", 12, true},
      {ModelLines(7), 0, false},
      {ModelLines(600), 500, true},
      {ModelLines(8) + "1 2\n", 8, true},                          // two numbers
      {ModelLines(8) + "  7.5\t-2e1   3 trailing text", 9, true},  // no final break
      {"1 0 0\r\n2 0 0\r\n3 0 0\r\n4 0 0\r\n5 0 0\r\n6 0 0\r\n7 1 0\r\n8 1 0\r\n", 8, true},
      {std::string(200000, '#') + "\n" + ModelLines(8), 8, true},  // a line longer than any block
      {"1 2 3" + std::string(200000, ' ') + "4 5 6\n" + ModelLines(8), 9, true},
  };
  for (const Case& k : cases) {
    messages.shown.clear();
    Calibration c;
    c.SetImageSize(1.0, 1.0, 640, 480);
    EXPECT_EQ(c.SetModelFile(dir.Write("m.cmo", k.text)), k.ok);
    EXPECT_EQ(c.points.count, k.count);
    EXPECT_TRUE(c.Has(kFlagModelFile));
    if (!k.ok) {
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(messages.shown[0].caption, Text(calid::kModelFileError));
      EXPECT_EQ(messages.shown[0].text,
                platform::FormatString(calid::kModelTooFewPoints, dir.File("m.cmo")));
    } else {
      EXPECT_TRUE(messages.shown.empty());
    }
  }
  Calibration last;
  ASSERT_TRUE(last.SetModelFile(dir.Write("m.cmo", ModelLines(8) + "  7.5\t-2e1   0 tail")));
  EXPECT_EQ(last.points.worldX[8], 7.5);
  EXPECT_EQ(last.points.worldY[8], -20);
  EXPECT_EQ(last.points.worldZ[8], 0);  // flat model
  EXPECT_FALSE(last.Has(kFlagNonCoplanar));
}

TEST_F(CalibrationFileTest, MissingModelFileMessageUnlessQuiet) {
  EXPECT_FALSE(cal.SetModelFile(dir.File("none.cmo"), true, true));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(cal.SetModelFile(dir.File("none.cmo")));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, Text(calid::kInputOutputError));
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(calid::kModelFileCannotOpen, dir.File("none.cmo")));
}

// A shorter model read after a longer one must not leave the longer one's points in use: a
// calibration walks all slots.
TEST_F(CalibrationFileTest, ShorterModelLeavesNoStalePoints) {
  cal.flags |= caltest::kAllFiles;
  ASSERT_TRUE(cal.SetModelFile(dir.Write("long.cmo", ModelLines(20, 5.0))));
  cal.SetAllPointsUsed(1);
  for (int i = 0; i < 20; ++i) cal.points.imageX[i] = 100 + i;
  ASSERT_EQ(UsedAnywhere(cal), 20);
  ASSERT_TRUE(cal.SetModelFile(dir.Write("short.cmo", ModelLines(10))));
  EXPECT_EQ(cal.points.count, 10);
  EXPECT_EQ(UsedAnywhere(cal), 0);
  for (int i = 10; i < 20; ++i) {
    EXPECT_EQ(cal.points.worldX[i], 0);
    EXPECT_EQ(cal.points.imageX[i], 0);
  }
  // A failed model read leaves no point in use either.
  cal.SetAllPointsUsed(1);
  EXPECT_FALSE(cal.SetModelFile(dir.Write("bad.cmo", ModelLines(3))));
  EXPECT_EQ(UsedAnywhere(cal), 0);
}

// A complete calibration data set as written on Windows: CR LF, backslash paths, upper-case
// names, tags in any order and case.
std::string CalibrationData(const std::string& extra = "") {
  std::string s =
      "# calibration of camera 1\r\n"
      "CALIB_IMAGE: frame.bld\r\n"
      "CAMERA: sub\\CAM1.CAM\r\n"
      "MODEL:..\\models\\grid.cmo\r\n"
      "Calibrated: 1\r\n"
      "FullOptimized: 3\r\n"
      "sx: 1.01\r\n"
      "f: 12.5\r\nkappa1: -0.004\r\nTx: -100\r\nTy: 50\r\nTz: 1500\r\n"
      "Rx: 0.3\r\nRy: -0.2\r\nRz: 0.1\r\n"
      "POINT_1: 120.5 88\r\n"
      "POINT_3: 120.5\r\n"
      "point_4 :  300.25   401\r\n"
      "PROJPOINT_1: 100 100\r\nPROJPOINT_2: 500 110\r\nPROJPOINT_3: 520 400\r\n"
      "PROJPOINT_4: 90 390\r\nPROJPOINT_5: 100 100\r\nPROJPOINT_6: 500 110\r\n"
      "PROJPOINT_7: 520 400\r\nPROJPOINT_8: 90 390\r\n";
  return s + extra;
}

class CalibrationDataTest : public CalibrationFileTest {
 protected:
  void SetUp() override {
    CalibrationFileTest::SetUp();
    dir.Write("cal/sub/cam1.cam", "Ncx: 752\r\nNfx: 768\r\ndx: 0.0086\r\ndy: 0.0083\r\nCx: 380");
    dir.Write("models/grid.cmo", ModelLines(12));
  }
  std::string Write(const std::string& text) { return dir.Write("cal/CAM1.CDC", text); }
};

TEST_F(CalibrationDataTest, ReadsWindowsFileWithAllParts) {
  cal.SetCalibrationFile(Write(CalibrationData()));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(cal.IsReady());
  EXPECT_EQ(cal.calibrationImage.Path(), dir.File("cal/frame.bld"));
  EXPECT_EQ(cal.cameraFile.Path(), dir.File("cal/sub/CAM1.CAM"));
  EXPECT_EQ(cal.modelFile.Path(), dir.File("models/grid.cmo"));
  EXPECT_TRUE(cal.Has(kFlagCameraRead));
  EXPECT_EQ(cal.camera.Cx, 380);
  EXPECT_EQ(cal.camera.sx, 1.01);
  EXPECT_EQ(cal.points.count, 12);
  EXPECT_TRUE(cal.IsCalibrated());
  EXPECT_TRUE(cal.Has(kFlagFullOptimized));
  EXPECT_FALSE(cal.Has(kFlagGradientSearch));
  EXPECT_EQ(cal.result.f, 12.5);
  const caltest::Camera ref = caltest::MakeCamera(0.3, -0.2, 0.1, 0, 0, 0, 1, 0);
  EXPECT_NEAR(cal.result.r2, ref.c.r2, 1e-15);
  EXPECT_NEAR(cal.result.r6, ref.c.r6, 1e-15);
  EXPECT_NEAR(cal.result.r7, ref.c.r7, 1e-15);

  EXPECT_EQ(cal.points.used[0], 1);
  EXPECT_EQ(cal.points.imageX[0], 120.5);
  EXPECT_EQ(cal.points.imageY[0], 88);
  EXPECT_EQ(cal.points.used[2], 0);  // one number only: placed from the frame below
  EXPECT_EQ(cal.points.used[3], 1);
  EXPECT_EQ(cal.points.imageY[3], 401);
  EXPECT_TRUE(cal.Has(kFlagFramePlaced));
  EXPECT_EQ(cal.frameX[2], 520);
  // Unused points were placed from the frame: point 1 lies between corners 0 and 1.
  EXPECT_GT(cal.points.imageX[1], 100);
  EXPECT_LT(cal.points.imageX[1], 500);
  EXPECT_NEAR(cal.points.imageX[4], 500, 1e-9);  // (maxX, minY): corner 1
  EXPECT_NEAR(cal.points.imageY[4], 110, 1e-9);
  // The divergence was refreshed from the read points.
  EXPECT_GT(cal.divergenceMean, 0);
}

TEST_F(CalibrationDataTest, IncompleteResultOrUnreadCameraIsNotCalibrated) {
  struct Case {
    std::string from, to;
  } cases[] = {
      {"Rz: 0.1\r\n", ""},                    // a result value missing
      {"Calibrated: 1", "Calibrated: 2"},     // lowest bit clear
      {"Calibrated: 1", "Calibrated: none"},  // no number
      {"sub\\CAM1.CAM", "sub\\none.cam"},     // camera parameters not read
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.from + " -> " + k.to);
    std::string text = CalibrationData();
    text.replace(text.find(k.from), k.from.size(), k.to);
    Calibration c;
    c.SetImageSize(1.0, 1.0, 768, 576);
    c.SetCalibrationFile(Write(text));
    EXPECT_FALSE(c.IsCalibrated());
    EXPECT_EQ(c.result.f, 12.5);  // values present are stored
  }
}

TEST_F(CalibrationDataTest, FrameNotPlacedWhenCornersMissingOrFolded) {
  struct Case {
    std::string from, to;
  } cases[] = {
      {"PROJPOINT_2: 500 110", "PROJPOINT_2: 50 110"},  // corner 1 left of corner 0
      {"PROJPOINT_7: 520 400", "PROJPOINT_7: 520"},     // one number only
      {"PROJPOINT_8: 90 390\r\n", ""},                  // a corner missing
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.from);
    std::string text = CalibrationData();
    text.replace(text.find(k.from), k.from.size(), k.to);
    Calibration c;
    c.SetImageSize(1.0, 1.0, 768, 576);
    c.SetCalibrationFile(Write(text));
    EXPECT_FALSE(c.Has(kFlagFramePlaced));
  }
}

TEST_F(CalibrationDataTest, MissingFilesAreReportedOrPassedOver) {
  cal.SetCalibrationFile(dir.File("cal/none.cdc"));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_TRUE(cal.Has(kFlagCalibrationFile));
  EXPECT_FALSE(cal.IsReady());

  std::string text = CalibrationData();
  text.replace(text.find("grid.cmo"), 8, "gone.cmo");
  cal.SetCalibrationFile(Write(text));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(calid::kModelFileCannotOpen, dir.File("models/gone.cmo")));
}

}  // namespace
