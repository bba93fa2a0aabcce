// The calibration data file the program writes: read back, it gives the same record; a change
// since the last read or write is told; a file that cannot be written is reported and the old
// one kept.

#include <climits>
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

// Everything the data file carries came back as it was written.
void ExpectSameRecord(const Calibration& read, const Calibration& written) {
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
}

TEST_F(CalibrationWriteTest, WrittenFileReadsBackAsTheSameRecord) {
  Calibration written = Calibrated();
  ASSERT_TRUE(written.Has(kFlagNonCoplanar));
  ASSERT_TRUE(written.Has(kFlagFramePlaced));
  ASSERT_EQ(written.WriteCalibrationFile(), FileSave::kWritten);
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
  ExpectSameRecord(read, written);
  EXPECT_FALSE(read.CalibrationDataChanged());
}

// A model whose relative name is near the system's path limit, a camera file and a frame whose
// names would lose their first characters on reading, and numbers that need every digit or only
// a few: read back, the record is the same, and each number stands in its shortest form.
TEST_F(CalibrationWriteTest, LongestNamesAndShortestNumbersReadBack) {
  std::string folder = dir.File("models");
  while (folder.size() + 251 + 16 < PATH_MAX) folder += "/" + std::string(250, 'm');
  const std::string model = folder + "/box.cmo";
  ASSERT_LT(model.size(), static_cast<std::size_t>(PATH_MAX));
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(dir.File("models/box.cmo"), model);
  const std::string data = dir.File("data/" + std::string(200, 'c') + ".cdc");
  dir.Write("data/ left.cam", "Ncx: 768\nNfx: 768\ndx: 0.0086\ndy: 0.0083\n");
  dir.Write("data/c:frame.bld", "");

  Calibration written = Calibrated();
  written.SetCalibrationFile(data);
  written.SetCameraFile(dir.File("data/ left.cam"));
  written.SetModelFile(model);
  written.SetCalibrationImage(dir.File("data/c:frame.bld"));
  written.SetFlag(kFlagCalibrated, true);
  written.camera.Cx = 162.5792;
  written.camera.Cy = 0.1;
  written.camera.sx = 1.0301234567890123;  // reading the camera file set it back to 1
  written.result.kappa1 = 5e-324;  // the smallest double there is
  written.points.used[0] = 1;
  written.points.imageX[0] = 162.5792;
  written.points.imageY[0] = -1e21;
  ASSERT_EQ(written.WriteCalibrationFile(), FileSave::kWritten);
  EXPECT_TRUE(messages.shown.empty());

  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(data, text));
  for (const std::string line :
       {"Cx: 162.5792\n", "Cy: 0.1\n", "kappa1: 5e-324\n", "POINT_1: 162.5792 -1e+21\n",
        "sx: 1.0301234567890123\n", "CAMERA: ./ left.cam\n", "CALIB_IMAGE: ./c:frame.bld\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  EXPECT_NE(text.find("MODEL: ../models/" + std::string(250, 'm') + "/"), std::string::npos);

  Calibration read;
  read.SetImageSize(1.0, 1.0, 768, 576);
  read.SetCalibrationFile(data);
  EXPECT_TRUE(messages.shown.empty());
  ExpectSameRecord(read, written);
  EXPECT_FALSE(read.CalibrationDataChanged());
}

// The data file changed by another program since it was written or read here, or made by one
// where there was none: overwritten only on Yes; otherwise that version stays, nothing is
// written, the program says so, and its own change is still unsaved.
TEST_F(CalibrationWriteTest, AnotherProgramsChangeIsOverwrittenOnlyWhenTheUserSaysSo) {
  enum Since { kWrittenHere, kReadHere, kAbsentAtReading };
  const struct {
    Since since;
    int answer;
    FileSave outcome;
  } cases[] = {
      {kWrittenHere, platform::kIdYes, FileSave::kWritten},
      {kWrittenHere, platform::kIdNo, FileSave::kKept},
      {kReadHere, platform::kIdYes, FileSave::kWritten},
      {kReadHere, platform::kIdCancel, FileSave::kKept},
      {kAbsentAtReading, platform::kIdNo, FileSave::kKept},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.since << " answered " << c.answer);
    messages.shown.clear();
    const std::string path = dir.File("data/run 1/left.cdc");
    std::filesystem::remove(path);
    Calibration camera = Calibrated();  // reads the data file: there is none yet
    if (c.since != kAbsentAtReading) {
      ASSERT_EQ(camera.WriteCalibrationFile(), FileSave::kWritten);
      if (c.since == kReadHere) {
        Calibration read;
        read.SetImageSize(1.0, 1.0, 768, 576);
        read.SetCalibrationFile(path);
        camera = read;
      }
    }
    std::string theirs;
    platform::ReadWholeFile(path, theirs);
    theirs += "# checked by the lab\nPOINT_1: 1 2\n";
    dir.Write(std::filesystem::relative(path, dir.Path()).string(), theirs);

    camera.camera.sx += 0.5;
    messages.answers = {c.answer};
    EXPECT_EQ(camera.WriteCalibrationFile(), c.outcome);
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::kQuestion);
    EXPECT_EQ(messages.shown[0].caption, "File changed by another program");
    EXPECT_NE(messages.shown[0].text.find(path), std::string::npos);
    std::string now;
    ASSERT_TRUE(platform::ReadWholeFile(path, now));
    if (c.outcome == FileSave::kWritten) {
      EXPECT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(now, camera.CalibrationDataText());
      EXPECT_FALSE(camera.CalibrationDataChanged());
      // Written now: the next change is written without a question.
      camera.camera.sx += 0.5;
      EXPECT_EQ(camera.WriteCalibrationFile(), FileSave::kWritten);
      EXPECT_EQ(messages.shown.size(), 1u);
    } else {
      ASSERT_EQ(messages.shown.size(), 2u);
      EXPECT_NE(messages.shown[1].text.find("were not written"), std::string::npos);
      EXPECT_EQ(now, theirs);
      EXPECT_TRUE(camera.CalibrationDataChanged());
    }
  }
}

TEST_F(CalibrationWriteTest, ChangesSinceTheLastReadOrWriteAreTold) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 768, 576);
  EXPECT_FALSE(c.CalibrationDataChanged());  // nothing named, nothing calibrated
  Calibration named = Calibrated();
  EXPECT_TRUE(named.CalibrationDataChanged());  // the named file does not exist yet
  ASSERT_EQ(named.WriteCalibrationFile(), FileSave::kWritten);
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
  ASSERT_EQ(other.WriteCalibrationFile(), FileSave::kWritten);
  other.SetCalibrationFile(dir.File("data/new.cdc"));
  EXPECT_TRUE(other.CalibrationDataChanged());
}

TEST_F(CalibrationWriteTest, UnwritableFileIsReportedAndStaysChanged) {
  Calibration c = Calibrated();
  // A folder of that name cannot be replaced by the file.
  std::filesystem::create_directories(c.calibrationFile.Path());
  EXPECT_EQ(c.WriteCalibrationFile(), FileSave::kFailed);
  ASSERT_EQ(messages.shown.size(), 1u);
  const std::string cause(platform::LoadString(platform::files_ids::kNotPlainFile));
  EXPECT_EQ(messages.shown[0].text, platform::FormatString(platform::files_ids::kCannotWrite,
                                                           c.calibrationFile.Path(), cause));
  EXPECT_TRUE(c.CalibrationDataChanged());
}

}  // namespace
