// The analysis-data export dialog and the folder display it shares with the object export.

#include "analysis/ui/exportanalyzedlg.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <filesystem>
#include <fstream>

#include "analysis_test_util.h"
#include "common/settings_fixture.h"
#include "common/temp_dir.h"
#include "objects/objects_ids.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

TEST(FolderDisplay, FoldersInTheMiddleGiveWayUntilThePathFits) {
  const auto length = [](const std::string& t) { return static_cast<int>(t.size()); };
  struct Case {
    const char* path;
    int width;
    const char* shown;
  };
  const Case cases[] = {
      {"/home/anna/motion/2026/run1/", 40, "/home/anna/motion/2026/run1/"},
      {"/home/anna/motion/2026/run1/", 25, "/home/anna/.../2026/run1/"},
      {"/home/anna/motion/2026/run1/", 20, "/home/.../2026/run1/"},
      {"/home/anna/motion/2026/run1/", 19, "/home/.../run1/"},
      {"/home/anna/motion/2026/run1/", 10, "/.../run1/"},
      {"/home/anna/motion/2026/run1/", 3, "/.../run1/"},  // the last folder always stays
      {"/a-very-long-folder-name/", 5, "/a-very-long-folder-name/"},
  };
  for (const Case& c : cases) EXPECT_EQ(ElidePathMiddle(c.path, c.width, length), c.shown) << c.width;
}

struct ExportDialog : TempSettings {
  ExportDialog() : d(12) {
    d.doc.AddFrameSequence(new TestVideo("/data/walk/session/lab/run1/clip.avi", 64, 48, 12));
    std::vector<float> x;
    for (int i = 0; i < 12; ++i) x.push_back(5.0f * i);
    knee = d.Make(x);
    knee->name = "Knee";
    hip = d.Make(x);
    hip->name = "Hip";
    centre = d.doc.ObjectSequences()->NewSequence(seqflag::kPresent | seqflag::kCenterOfMass);
    centre->name = "Body";
    ResObjectSequence* gone = d.Make(x);
    gone->SetFlags(seqflag::kDeleted);
  }
  SequenceDocument d;
  ResObjectSequence *knee, *hip, *centre;
  platform::RecordingMessageService messages;
};

TEST_F(ExportDialog, ListsSequencesAndQuantitiesAndWritesTheChosenOnes) {
  ExportAnalyzeData dialog(nullptr, d.doc, d.doc.Sequence(1));
  // Ordinary and centre-of-mass sequences, not deleted ones; names with "u<number>".
  ASSERT_EQ(dialog.Items().size(), 3u);
  EXPECT_EQ(dialog.Items()[2].sequence, centre);
  EXPECT_EQ(dialog.NameField(0)->text().toStdString(), platform::Format("Knee.u%02d", knee->number));
  EXPECT_TRUE(dialog.NameField(3)->isHidden());
  EXPECT_EQ(dialog.Folder(), "/data/walk/session/lab/run1/");
  // Without a body model the 29 kinematic quantities, each after two blanks.
  QListWidget* quantities = dialog.QuantityList();
  ASSERT_EQ(quantities->count(), 29);
  EXPECT_EQ(quantities->item(0)->text(), "  x");
  EXPECT_EQ(quantities->item(28)->text(), "  2. angle(yz) derivation");
  auto* exportButton = dialog.ControlAs<QPushButton>(ExportAnalyzeData::kExport);
  EXPECT_FALSE(exportButton->isEnabled());
  dialog.ControlAs<QPushButton>(ExportAnalyzeData::kAllData)->click();
  EXPECT_EQ(dialog.ChosenCodes().size(), 29u);
  EXPECT_TRUE(exportButton->isEnabled());
  quantities->clearSelection();
  quantities->item(4)->setSelected(true);
  quantities->item(0)->setSelected(true);
  EXPECT_EQ(dialog.ChosenCodes(), (std::vector<int>{0, 4}));

  testutil::TempDir dir("anldlg");
  dialog.SetFolder(QString::fromStdString(dir.Path().string()));
  dialog.NameField(1)->setText("hip.txt");
  dialog.NameField(0)->setText("");  // no name: no file
  exportButton->click();
  EXPECT_TRUE(messages.shown.empty());
  std::ifstream in(dir.File("hip.txt"));
  std::string header, first;
  std::getline(in, header);
  std::getline(in, first);
  // Blanks separate the columns, so the names have none of their own.
  EXPECT_EQ(header, "Frame x_[mm] y'_[mm/frames]");
  EXPECT_EQ(first.substr(0, 8), "1 0.000 ");
  // Hip's file and the centre of mass's; none for the knee.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
  EXPECT_TRUE(std::filesystem::exists(dir.File(dialog.Items()[2].fileName)));
}

TEST_F(ExportDialog, ALongFolderIsShownShortenedInItsMiddle) {
  ExportAnalyzeData dialog(nullptr, d.doc, d.doc.Sequence(1));
  const QString deep = "/data/" + QString("very-long-folder-name/").repeated(12) + "run1/";
  dialog.SetFolder(deep);
  dialog.show();
  const QString shown = dialog.ShownFolder();
  EXPECT_EQ(dialog.Folder(), deep);
  EXPECT_TRUE(shown.contains("/.../")) << shown.toStdString();
  EXPECT_TRUE(shown.endsWith("/run1/")) << shown.toStdString();
  EXPECT_TRUE(shown.startsWith("/data/")) << shown.toStdString();
  EXPECT_LT(dialog.width(), 1200);
}

}  // namespace
