// Every save the user may lose work to: when the file cannot be replaced, the message names the
// file and the cause (not a guess at a busy or full disk), and the old file stays as it was.

#include <QAbstractButton>
#include <QTimer>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "analysis/analysis_ids.h"
#include "analysis/export/analysisexport.h"
#include "app/fake_sequence.h"
#include "app/sequencelist.h"
#include "base/defaults.h"
#include "base/filesnapshot.h"
#include "base/profile.h"
#include "base/profile_keys.h"
#include "base/ui/defaultsdlg.h"
#include "base/unitsorigin.h"
#include "calibration/calibrat.h"
#include "common/temp_dir.h"
#include "common/test_document.h"
#include "objects/asciiobj.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

constexpr int kColourSaveAs = 20118;  // the colour-map editor's "Save as..."
constexpr const char* kOldBytes = "what the user had\n";

void WriteOld(const std::string& path) { std::ofstream(path, std::ios::binary) << kOldBytes; }

// A document of one video in the test's folder, with one object sequence that has a point.
struct OneVideoDocument {
  explicit OneVideoDocument(const testutil::TempDir& dir)
      : doc(FileName(dir.File("walk.rsc"))),
        video(doc.AddFrameSequence(new FakeSequence(dir.File("walk.avi"), 10, 25.0f))) {
    sequence = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
    sequence->name = "Knee";
    objdoc::SubsOf(*video).Find(sequence->number)->AddPoint(2, 12.5f, 20.0f);
    sequence->AddPoint(2, 1.0f, 2.0f, 0.0f);
  }
  TestDocument doc;
  FrameSequence* video;
  ResObjectSequence* sequence;
};

struct SaveCase {
  const char* name;
  const char* file;  // the file the save replaces, in the test's folder
  const char* caption;
  std::function<void(const testutil::TempDir& dir, const std::string& path)> save;
};

const SaveCase kSaves[] = {
    {"camera file", "left.cam", "Input/output error",
     [](const testutil::TempDir&, const std::string& path) {
       Calibration c;
       c.SetCameraFile(path, false);
       EXPECT_FALSE(c.WriteCameraFile());
     }},
    {"calibration data file", "left.cdc", "Input/output error",
     [](const testutil::TempDir&, const std::string& path) {
       Calibration c;
       c.SetCalibrationFile(path);
       EXPECT_EQ(c.WriteCalibrationFile(), FileSave::kFailed);
     }},
    {"document file", "walk.rsc", "Input/output error",
     [](const testutil::TempDir& dir, const std::string& path) {
       DocumentFileRecord record;
       record.sequences = {FileName(dir.File("walk.avi"))};
       FileSnapshot onDisk;
       onDisk.Take(path);
       EXPECT_EQ(WriteDocumentFile(FileName(path), record, onDisk), FileSave::kFailed);
     }},
    {"object sequences", "walk.OS", "Input/output error",
     [](const testutil::TempDir& dir, const std::string&) {
       OneVideoDocument d(dir);
       EXPECT_FALSE(d.doc.ObjectSequences()->SaveAll());
     }},
    {"ASCII export", "knee.p01", "Input/output error",
     [](const testutil::TempDir& dir, const std::string&) {
       OneVideoDocument d(dir);
       EXPECT_FALSE(ascii::Export(*d.video, dir.Path().string(), {{d.sequence, "knee.p01"}}));
     }},
    {"ASCII export's description", "knee.n01", "Input/output error",
     [](const testutil::TempDir& dir, const std::string&) {
       OneVideoDocument d(dir);
       EXPECT_FALSE(ascii::Export(*d.video, dir.Path().string(), {{d.sequence, "knee.p01"}}));
     }},
    {"analysis export", "knee.u01", "Input/output error",
     [](const testutil::TempDir& dir, const std::string&) {
       OneVideoDocument d(dir);
       EXPECT_FALSE(analysis_export::Export(d.doc, dir.Path().string(), {{d.sequence, "knee.u01"}},
                                            {quantity::kX}, UnitsOrigin{}));
     }},
    {"settings", "Zorvat-Player.INI", "Settings not saved",
     [](const testutil::TempDir&, const std::string& path) {
       AnaProfile profile(path.c_str());
       AnaProfile* const before = g_Profile;
       g_Profile = &profile;
       EXPECT_FALSE(profile.WriteInt(key::kSection, key::kMarkWidth, 9));
       g_Profile = before;
     }},
    {"colour map", "colours.col", "Input/output error",
     [](const testutil::TempDir&, const std::string& path) {
       DefaultValueStruct defaults;
       defaults.colorMapPath = path;
       defaults.colors[0] = BuiltInColor(0);
       defaults.colorCount = 1;
       EXPECT_FALSE(defaults.Save());
     }},
    {"colour map saved under another name", "shared.col", "Input/output error",
     [](const testutil::TempDir& dir, const std::string& path) {
       DefaultValueStruct defaults;
       defaults.colorMapPath = dir.File("own.col");
       defaults.colors[0] = BuiltInColor(0);
       defaults.colorCount = 1;
       ASSERT_TRUE(WriteColorMap(defaults.colorMapPath, defaults.colors, 1));
       platform::ScriptedChoosers choosers;
       choosers.fileAnswers = {QString::fromStdString(path)};
       ColorDialog dialog(nullptr, defaults);
       QTimer::singleShot(0, &dialog, [&] {
         dialog.ControlAs<QAbstractButton>(kColourSaveAs)->click();
         dialog.ControlAs<QAbstractButton>(platform::kIdOk)->click();
       });
       dialog.Execute();
       // The map the program keeps is still the one that could be written.
       EXPECT_EQ(defaults.colorMapPath, dir.File("own.col"));
     }},
};

// A cause a save must name: how the test makes the target fail and what it finds afterwards.
struct Cause {
  const char* name;
  std::function<void(const std::string& path)> block;
  std::function<std::string()> phrase;  // in the message the user sees
  std::function<void(const std::string& path)> expectUntouched;
};

const Cause kCauses[] = {
    // Mode 444 is the user's word for "leave it as it is"; the writer holds to it even as root.
    {"a write-protected file",
     [](const std::string& path) {
       WriteOld(path);
       ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
     },
     [] { return std::string("write-protected"); },
     [](const std::string& path) {
       std::string now;
       ASSERT_TRUE(platform::ReadWholeFile(path, now));
       EXPECT_EQ(now, kOldBytes);
       struct stat st {};
       ASSERT_EQ(::stat(path.c_str(), &st), 0);
       EXPECT_EQ(st.st_mode & 07777, 0444u);
     }},
    {"a folder in the file's place",
     [](const std::string& path) {
       std::filesystem::create_directories(path);
       WriteOld(path + "/keep");
     },
     [] { return std::string(platform::LoadString(platform::files_ids::kNotPlainFile)); },
     [](const std::string& path) {
       EXPECT_TRUE(std::filesystem::is_directory(path));
       EXPECT_TRUE(platform::FileExists(path + "/keep"));
     }},
};

TEST(SaveFailures, EverySaveNamesTheFileAndTheCauseAndKeepsTheOldFile) {
  for (const SaveCase& save : kSaves) {
    for (const Cause& cause : kCauses) {
      SCOPED_TRACE(std::string(save.name) + ", " + cause.name);
      testutil::TempDir dir("save_failure");
      const std::string path = dir.File(save.file);
      cause.block(path);
      platform::RecordingMessageService messages;
      // A save that asks before it replaces a file it did not write is told to replace it.
      messages.answers = {platform::kIdYes};
      save.save(dir, path);
      ASSERT_FALSE(messages.shown.empty());
      ASSERT_LE(messages.shown.size(), 2u);
      if (messages.shown.size() == 2u) {
        EXPECT_EQ(messages.shown[0].kind, platform::MessageKind::kQuestion);
        EXPECT_THAT(messages.shown[0].text, HasSubstr(path));
      }
      const platform::ShownMessage& shown = messages.shown.back();
      EXPECT_EQ(shown.kind, platform::MessageKind::kError);
      EXPECT_EQ(shown.caption, save.caption);
      EXPECT_THAT(shown.text, HasSubstr(path));
      EXPECT_THAT(shown.text, HasSubstr(cause.phrase()));
      // The old message guessed at another process or a full disk.
      EXPECT_THAT(shown.text, Not(HasSubstr("used by an other process")));
      cause.expectUntouched(path);
    }
  }
}

}  // namespace
