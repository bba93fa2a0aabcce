// The document file the program writes reads back through the loader's readers as the same
// record: sequences in order, their calibration data files, the description; names relative to
// the file, also above its folder.

#include <gtest/gtest.h>

#include "app/documentfiles.h"
#include "app/resource.h"
#include "app/sequencelist.h"
#include "calibration/calibrat.h"
#include "common/temp_dir.h"
#include "fake_sequence.h"
#include "platform/files.h"
#include "platform/message_service.h"

namespace {

TEST(DocumentFile, WrittenFileReadsBackAsTheSameRecord) {
  testutil::TempDir dir("zorvat_rsc");
  platform::RecordingMessageService messages;
  const FileName file(dir.File("project/walk.rsc"));
  dir.Write("project/keep.txt", "");
  DocumentFileRecord record;
  record.description = "Walk: left and right\ncamera";
  record.sequences = {FileName(dir.File("videos/left cam.avi")),
                      FileName(dir.File("project/r.bld")), FileName("/elsewhere/third.vraw")};
  record.calibrationData = {FileName(dir.File("cal/left.cdc")), FileName(),
                            FileName(dir.File("project/third.cdc"))};
  ASSERT_TRUE(WriteDocumentFile(file, record));
  EXPECT_TRUE(messages.shown.empty());

  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(file.Path(), text));
  EXPECT_NE(text.find("SEQUENCE_1: ../videos/left cam.avi\n"), std::string::npos) << text;
  EXPECT_NE(text.find("SEQUENCE_2: r.bld\n"), std::string::npos);
  EXPECT_EQ(text.find("CALIB_DATA_2"), std::string::npos);

  // Through the readers the loader and the document use.
  const auto sequences = ReadSequenceList(file);
  ASSERT_TRUE(sequences.has_value());
  EXPECT_EQ(*sequences, record.sequences);
  EXPECT_EQ(ReadDocumentDescription(file), "Walk: left and right camera");
  EXPECT_EQ(ReadCalibrationDataName(file, 1), record.calibrationData[0]);
  EXPECT_FALSE(ReadCalibrationDataName(file, 2).has_value());
  EXPECT_EQ(ReadCalibrationDataName(file, 3), record.calibrationData[2]);
  record.description = "Walk: left and right camera";
  EXPECT_EQ(ReadDocumentFileRecord(file), record);
  EXPECT_TRUE(messages.shown.empty());

  // A folder cannot be replaced by the file: reported, nothing read back.
  const FileName folder(dir.File("project"));
  EXPECT_FALSE(WriteDocumentFile(folder, record));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("can not be written"), std::string::npos);
  EXPECT_FALSE(ReadDocumentFileRecord(FileName(dir.File("none.rsc"))).has_value());
}

// A calibrated camera without a calibration data file is asked for one when the document's
// files are saved; refused, it is not written and the save reports it; the document file
// follows the calibrations.
TEST(DocumentFile, SavingAsksForAMissingCalibrationFileName) {
  testutil::TempDir dir("zorvat_rsc");
  platform::RecordingMessageService messages;
  const std::string rsc = dir.Write("walk.rsc", "SEQUENCES: 1\nSEQUENCE_1: left.avi\n");
  Resource doc(FileName(rsc), true);
  doc.AddFrameSequence(new FakeSequence(dir.File("left.avi"), 10, 25.0f));
  Calibration& camera = *doc.Sequence(0);
  camera.result.f = 8;
  camera.SetFlag(kFlagCalibrated, true);
  ASSERT_TRUE(HasDocumentFile(doc));
  EXPECT_TRUE(CalibrationsChanged(doc));
  EXPECT_TRUE(DocumentFileChanged(doc));  // the description is not in the file yet

  std::vector<std::string> suggested;
  std::optional<std::string> answer;
  CalibrationFileAsker program =
      SetCalibrationFileAsker([&](int number, const std::string& suggestion) {
        EXPECT_EQ(number, 1);
        suggested.push_back(suggestion);
        return answer;
      });
  EXPECT_FALSE(SaveDocumentFiles(doc));  // the name was refused
  ASSERT_EQ(suggested.size(), 1u);
  EXPECT_EQ(suggested[0], dir.File("left.cdc"));
  EXPECT_TRUE(CalibrationsChanged(doc));
  EXPECT_FALSE(DocumentFileChanged(doc));  // written all the same

  answer = dir.File("cal.cdc");
  EXPECT_TRUE(SaveDocumentFiles(doc));
  EXPECT_FALSE(CalibrationsChanged(doc));
  EXPECT_FALSE(DocumentFileChanged(doc));
  EXPECT_EQ(ReadCalibrationDataName(FileName(rsc), 1), FileName(dir.File("cal.cdc")));
  Calibration read;
  read.SetCalibrationFile(dir.File("cal.cdc"));
  EXPECT_EQ(read.result.f, 8);
  EXPECT_TRUE(messages.shown.empty());
  SetCalibrationFileAsker(program);
}

}  // namespace
