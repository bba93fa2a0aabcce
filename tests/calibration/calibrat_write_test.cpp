// The calibration data file the program writes: read back, it gives the same record; a change
// since the last read or write is told; a file that cannot be written is reported and the old
// one kept.

#include <cmath>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "cal_test_util.h"
#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

// The flags the data file carries (the four names, camera read, calibrated, the method, the
// model's kind and the frame).
constexpr uint32_t kStoredFlags = kFlagCameraFile | kFlagModelFile | kFlagCalibrationImage |
                                  kFlagCalibrationFile | kFlagCameraRead | kFlagCalibrated |
                                  kFlagNonCoplanar | kFlagFullOptimized | kFlagGradientSearch |
                                  kFlagFramePlaced;

class CalibrationWriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir.Write("cam/left.cam", "Ncx: 768\nNfx: 768\ndx: 0.0086\ndy: 0.0083\n");
    std::string model;
    for (int i = 0; i < 15; ++i)
      model += std::to_string((i % 5) * 50) + " " + std::to_string((i / 5) * 40) + " " +
               std::to_string((i % 2) * 30) + "\n";
    dir.Write("models/box.cmo", model);
    dir.Write("frames/cal.bld", "");
    dir.Write("data/run 1/notes.txt", "");
  }

  // A calibrated record with points, frame and numbers that need every digit.
  Calibration Calibrated() {
    Calibration c;
    c.SetImageSize(1.0, 1.0, 768, 576);
    c.SetCalibrationFile(dir.File("data/run 1/left.cdc"));
    c.SetCameraFile(dir.File("cam/left.cam"));
    c.SetModelFile(dir.File("models/box.cmo"));
    c.SetCalibrationImage(dir.File("frames/cal.bld"));
    for (int i = 0; i < c.points.count; i += 2) {
      c.points.used[i] = 1;
      c.points.imageX[i] = 100 + i / 3.0;
      c.points.imageY[i] = 50 + std::sqrt(2.0) * i;
    }
    c.camera.Cx = 383.123456789012345;
    c.camera.Cy = 287.9 / 3;
    c.camera.sx = 1.0301234567890123;
    const caltest::Camera truth = caltest::MakeCamera(0.35, -0.26, 0.087, -123.4567, 45.6 / 7,
                                                      1500.000001, 8.000000001, 0.00123456789);
    c.result = truth.c;
    c.SetFlag(kFlagCalibrated | kFlagFullOptimized | kFlagGradientSearch, true);
    c.PlacePointsLinear(c.points);
    return c;
  }

  caltest::TempDir dir;
  platform::RecordingMessageService messages;
};

TEST_F(CalibrationWriteTest, WrittenFileReadsBackAsTheSameRecord) {
  Calibration written = Calibrated();
  ASSERT_TRUE(written.Has(kFlagNonCoplanar));
  ASSERT_TRUE(written.Has(kFlagFramePlaced));
  ASSERT_TRUE(written.WriteCalibrationFile());
  EXPECT_TRUE(messages.shown.empty());

  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(written.calibrationFile.Path(), text));
  // Names relative to the data file's folder, as its reader joins them.
  EXPECT_NE(text.find("CAMERA: ../../cam/left.cam\n"), std::string::npos) << text;
  EXPECT_NE(text.find("CALIB_IMAGE: ../../frames/cal.bld\n"), std::string::npos);
  EXPECT_NE(text.find("POINT_2: unused\n"), std::string::npos);

  Calibration read;
  read.SetImageSize(1.0, 1.0, 768, 576);
  read.SetCalibrationFile(written.calibrationFile.Path());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(read.flags & kStoredFlags, written.flags & kStoredFlags);
  EXPECT_EQ(read.cameraFile, written.cameraFile);
  EXPECT_EQ(read.modelFile, written.modelFile);
  EXPECT_EQ(read.calibrationImage, written.calibrationImage);
  EXPECT_EQ(read.camera.Cx, written.camera.Cx);
  EXPECT_EQ(read.camera.Cy, written.camera.Cy);
  EXPECT_EQ(read.camera.sx, written.camera.sx);
  const double* a = &read.result.f;
  const double* b = &written.result.f;
  for (int k = 0; k < 19; ++k) EXPECT_EQ(a[k], b[k]) << "result value " << k;
  ASSERT_EQ(read.points.count, written.points.count);
  for (int i = 0; i < read.points.count; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read.points.used[i], written.points.used[i]);
    EXPECT_EQ(read.points.imageX[i], written.points.imageX[i]);
    EXPECT_EQ(read.points.imageY[i], written.points.imageY[i]);
  }
  for (int k = 0; k < 8; ++k) {
    EXPECT_EQ(read.frameX[k], written.frameX[k]);
    EXPECT_EQ(read.frameY[k], written.frameY[k]);
  }
  EXPECT_FALSE(read.CalibrationDataChanged());
}

TEST_F(CalibrationWriteTest, ChangesSinceTheLastReadOrWriteAreTold) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 768, 576);
  EXPECT_FALSE(c.CalibrationDataChanged());  // nothing named, nothing calibrated
  Calibration named = Calibrated();
  EXPECT_TRUE(named.CalibrationDataChanged());  // the named file does not exist yet
  ASSERT_TRUE(named.WriteCalibrationFile());
  EXPECT_FALSE(named.CalibrationDataChanged());
  named.SetImagePoint(1, 10, 20);
  named.SetPointUsed(1, 1, false);
  EXPECT_TRUE(named.CalibrationDataChanged());
  named.SetPointUsed(1, 0, false);
  EXPECT_FALSE(named.CalibrationDataChanged());  // an unused point's position is not kept
  named.camera.sx += 1e-15;
  EXPECT_TRUE(named.CalibrationDataChanged());

  // Naming another data file that does not exist yet is a change.
  Calibration other = Calibrated();
  ASSERT_TRUE(other.WriteCalibrationFile());
  other.SetCalibrationFile(dir.File("data/new.cdc"));
  EXPECT_TRUE(other.CalibrationDataChanged());
}

TEST_F(CalibrationWriteTest, UnwritableFileIsReportedAndStaysChanged) {
  Calibration c = Calibrated();
  // A folder of that name cannot be replaced by the file.
  std::filesystem::create_directories(c.calibrationFile.Path());
  EXPECT_FALSE(c.WriteCalibrationFile());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(calid::kCameraFileCannotWrite, c.calibrationFile.Path()));
  EXPECT_TRUE(c.CalibrationDataChanged());
}

}  // namespace
