// The document file the program writes reads back through the loader's readers as the same
// record: sequences in order, their calibration data files, the description; names relative to
// the file, also above its folder. It is written only when what the program keeps in it
// changed, keeps the lines of a hand-written file, and does not overwrite another program's
// change without asking.

#include <QApplication>

#include <filesystem>

#include <gtest/gtest.h>

#include "app/documentfiles.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/sequencelist.h"
#include "app/ui/mdiclient.h"
#include "calibration/calibrat.h"
#include "common/disc_frames.h"
#include "common/program_fixture.h"
#include "common/temp_dir.h"
#include "fake_sequence.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "platform/message_service.h"

namespace fs = std::filesystem;

namespace {

std::string Bytes(const std::string& path) {
  std::string bytes;
  platform::ReadWholeFile(path, bytes);
  return bytes;
}

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
  FileSnapshot onDisk;
  ASSERT_EQ(WriteDocumentFile(file, record, onDisk), FileSave::kWritten);
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
  FileSnapshot none;
  EXPECT_EQ(WriteDocumentFile(folder, record, none), FileSave::kFailed);
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

// Rewriting a hand-written document file keeps its comments, the lines the program does not
// know and its line ends; a line that still says the same stays as written, a changed one is
// replaced where it stands, one no longer wanted or given twice goes, and new ones follow the
// program's last line. Read back, it is the record written.
TEST(DocumentFile, RewritingKeepsCommentsAndUnknownLines) {
  testutil::TempDir dir("zorvat_rsc");
  const FileName file(dir.File("session/walk.rsc"));
  const std::string old =
      "# walk of 3 May\r\n"
      "OPERATOR: Anna\r\n"
      "Description : old words\r\n"
      "SEQUENCES: 2\r\n"
      "sequence_1: ..\\data\\FLAT.BLD\r\n"
      "  # the second camera\r\n"
      "SEQUENCE_2: right.avi\r\n"
      "CALIB_DATA_2: right.cdc\r\n"
      "CALIB_DATA_2: old.cdc\r\n"
      "LIGHT: cloudy";
  const DocumentFileRecord record{
      "Walk, two cameras",
      {FileName(dir.File("data/FLAT.BLD")), FileName(dir.File("session/right.avi"))},
      {FileName(dir.File("session/left.cdc")), FileName()}};
  const std::string merged = DocumentFileText(file, record, &old);
  EXPECT_EQ(merged,
            "# walk of 3 May\r\n"
            "OPERATOR: Anna\r\n"
            "DESCRIPTION: Walk, two cameras\r\n"
            "SEQUENCES: 2\r\n"
            "sequence_1: ..\\data\\FLAT.BLD\r\n"
            "  # the second camera\r\n"
            "SEQUENCE_2: right.avi\r\n"
            "CALIB_DATA_1: left.cdc\r\n"
            "LIGHT: cloudy");
  dir.Write("session/walk.rsc", merged);
  EXPECT_EQ(ReadDocumentFileRecord(file), record);

  // A file without a description gets none while the caption is the document's name; one
  // without the program's lines gets them at its end.
  const std::string bare = "# notes only";
  EXPECT_EQ(DocumentFileText(file, {"walk", {FileName(dir.File("session/a.avi"))}, {FileName()}},
                             &bare),
            "# notes only\nSEQUENCES: 1\nSEQUENCE_1: a.avi\n");
}

// Hand-written document files opened and closed again, saved in between as leaving the
// calibration window or saving the object sequences does: nothing changed, so nothing is asked
// and every file stays byte for byte as it was.
class UnchangedDocument : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    app_->InitInstance();
    fs::create_directories(dir_ / "data");
    fs::create_directories(dir_ / "session");
    testframes::WriteDiscBld(dir_ / "data" / "flat.bld", 8, 8, 16, 16, 2);
  }
  platform::RecordingMessageService messages_;
};

TEST_F(UnchangedDocument, AsksNothingAndLeavesTheFilesAsTheyWere) {
  const struct {
    const char* what;
    std::string rsc;
    std::string cdc;  // the calibration data file the document names, when it names one
  } cases[] = {
      {"no description", "SEQUENCES: 1\nSEQUENCE_1: ../data/flat.bld\n", ""},
      {"another system's names",
       "DESCRIPTION: Flat\r\nSEQUENCES: 1\r\nSEQUENCE_1: ..\\data\\FLAT.BLD\r\n", ""},
      {"a comment line",
       "# recorded on 3 May\nDESCRIPTION: Flat\nSEQUENCES:1\nSEQUENCE_1:../data/flat.bld\n", ""},
      {"a hand-written calibration",
       "SEQUENCES: 1\nSEQUENCE_1: ../data/flat.bld\nCALIB_DATA_1: flat.cdc\n",
       "# measured by hand\nCalibrated: 0\nCx: 4.25\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string rsc = (dir_ / "session" / "walk.rsc").string();
    const std::string cdc = (dir_ / "session" / "flat.cdc").string();
    std::ofstream(rsc, std::ios::binary) << c.rsc;
    fs::remove(cdc);
    if (!c.cdc.empty()) std::ofstream(cdc, std::ios::binary) << c.cdc;

    Resource* doc = app_->DocManager()->LoadDocument(FileName(rsc));
    ASSERT_NE(doc, nullptr);
    ASSERT_EQ(doc->SequenceCount(), 1);
    EXPECT_EQ(doc->Sequence(0)->Has(kFlagCalibrationFile), !c.cdc.empty());
    EXPECT_TRUE(SaveDocumentFiles(*doc));
    app_->MDIClient()->closeAllSubWindows();
    QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(g_ResourceList.Empty());
    for (const auto& m : messages_.shown) ADD_FAILURE() << m.caption << ": " << m.text;
    messages_.shown.clear();
    EXPECT_EQ(ReadFile(rsc), c.rsc);
    if (!c.cdc.empty()) {
      EXPECT_EQ(ReadFile(cdc), c.cdc);
    }
  }
}

// The document file changed by another program since it was read: overwritten on Yes (its new
// lines kept beside the program's), kept on No with a word, and keeping it is no failure of the
// save.
TEST(DocumentFile, AnotherProgramsChangeIsOverwrittenOnlyWhenTheUserSaysSo) {
  for (const int answer : {platform::kIdYes, platform::kIdNo}) {
    SCOPED_TRACE(answer);
    testutil::TempDir dir("zorvat_rsc");
    platform::RecordingMessageService messages;
    const std::string rsc =
        dir.Write("walk.rsc", "DESCRIPTION: Walk\nSEQUENCES: 1\nSEQUENCE_1: left.avi\n");
    Resource doc(FileName(rsc), true);
    doc.AddFrameSequence(new FakeSequence(dir.File("left.avi"), 10, 25.0f));
    NoteDocumentFileRead(doc);
    EXPECT_FALSE(DocumentFileChanged(doc));
    const std::string theirs =
        "DESCRIPTION: Walk\nSEQUENCES: 1\nSEQUENCE_1: left.avi\nOPERATOR: Bo\n";
    dir.Write("walk.rsc", theirs);
    doc.SetCaption("Walk again");
    ASSERT_TRUE(DocumentFileChanged(doc));

    messages.answers = {answer};
    EXPECT_TRUE(SaveDocumentFiles(doc));
    ASSERT_FALSE(messages.shown.empty());
    EXPECT_EQ(messages.shown[0].caption, "File changed by another program");
    if (answer == platform::kIdYes) {
      EXPECT_EQ(messages.shown.size(), 1u);
      EXPECT_EQ(Bytes(rsc),
                "DESCRIPTION: Walk again\nSEQUENCES: 1\nSEQUENCE_1: left.avi\nOPERATOR: Bo\n");
      EXPECT_FALSE(DocumentFileChanged(doc));
    } else {
      ASSERT_EQ(messages.shown.size(), 2u);
      EXPECT_NE(messages.shown[1].text.find("were not written"), std::string::npos);
      EXPECT_EQ(Bytes(rsc), theirs);
      EXPECT_TRUE(DocumentFileChanged(doc));
    }
  }
}

// Objects > Load offers to save the object sequences alone: a changed calibration is neither
// asked about nor able to stop the load.
TEST(DocumentFile, ObjectsLoadAsksAboutObjectSequencesOnly) {
  testutil::TempDir dir("zorvat_rsc");
  platform::RecordingMessageService messages;
  Resource doc(FileName(dir.File("walk.rsc")), true);
  doc.AddFrameSequence(new FakeSequence(dir.File("left.bld"), 10, 25.0f));
  ResObjectSequence* object = objcmd::NewObjectSequence(doc);
  ASSERT_NE(object, nullptr);
  // Loading replaces the sequences: the number is what stays.
  const int number = object->number;
  const auto sub = [&] { return objdoc::SubsOf(*doc.Sequence(0)).Find(number); };
  sub()->AddPoint(1, 5, 6);
  ASSERT_TRUE(objcmd::Save(doc));
  ASSERT_TRUE(objcmd::CanLoad(doc));
  Calibration& camera = *doc.Sequence(0);
  camera.SetCalibrationFile(dir.File("left.cdc"));
  camera.SetFlag(kFlagCalibrated, true);
  ASSERT_TRUE(CalibrationsChanged(doc));

  // Nothing unsaved among the object sequences: nothing is asked.
  EXPECT_TRUE(objcmd::Load(doc));
  EXPECT_TRUE(messages.shown.empty());
  // Unsaved object sequences: only they are asked about, and Cancel keeps them.
  ASSERT_NE(sub(), nullptr);
  sub()->AddPoint(2, 7, 8);
  messages.answers = {platform::kIdCancel};
  EXPECT_FALSE(objcmd::Load(doc));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Unsaved object sequence");
  EXPECT_NE(sub()->ItemAt(2), nullptr);
  messages.answers = {platform::kIdNo};
  EXPECT_TRUE(objcmd::Load(doc));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[1].caption, "Unsaved object sequence");
  EXPECT_TRUE(CalibrationsChanged(doc));  // the calibration stays as it was, unsaved
  EXPECT_FALSE(platform::FileExists(dir.File("left.cdc")));
}

}  // namespace
