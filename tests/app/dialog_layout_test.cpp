// How the dialogs look: the table builder's group boxes and label buddies, every dialog of the
// program rendered offscreen and checked for overlapping controls and cut texts (with a picture
// of each in the build folder), and the help window a dialog's Help button opens.
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QWindow>
#include <QtTest/QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "analysis/ui/exportanalyzedlg.h"
#include "app/calibrationhost.h"
#include "app/printersettings.h"
#include "calibration/ui/calibfilesdlg.h"
#include "app/resource.h"
#include "app/ui/aboutdlg.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/framespersecond.h"
#include "app/ui/helpwindow.h"
#include "app/ui/pagesetupdlg.h"
#include "base/app_ids.h"
#include "base/defaults.h"
#include "base/ui/defaultsdlg.h"
#include "base/ui/devcapsdlg.h"
#include "base/ui/messagedlg.h"
#include "base/ui/textformatdialog.h"
#include "base/ui/unitsorigindlg.h"
#include "common/dialog_check.h"
#include "common/settings_fixture.h"
#include "fake_sequence.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/connectdlg.h"
#include "objects/ui/editobjseqdlg.h"
#include "objects/ui/exportdlg.h"
#include "objects/ui/loadversiondlg.h"
#include "objects/ui/objectpanels.h"
#include "objects/ui/objeditor.h"
#include "platform/message_service.h"
#include "sequences/avisequence.h"
#include "sequences/dib.h"
#include "sequences/ui/avidlg.h"
#include "sequences/ui/colreducedlg.h"
#include "sequences/ui/filterdlg.h"
#include "sequences/ui/gammadlg.h"

namespace {

namespace fs = std::filesystem;
using platform::ControlKind;
using testing::HasSubstr;
using testing::IsEmpty;

// Shows the dialog and waits until the offscreen platform has laid it out.
void Show(QWidget& dialog) {
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QApplication::processEvents();
}

TEST(DialogCheck, FindsCoveredControlsCutTextsAndShownAmpersands) {
  // A caption box laid over the cells of its rows, a label whose ampersand shows, a squeezed
  // button and a title wider than the dialog.
  QWidget dialog;
  dialog.setWindowTitle("A title far wider than this little dialog can show");
  auto* grid = new QGridLayout(&dialog);
  grid->addWidget(new QGroupBox("Limits"), 0, 0, 2, 2);
  grid->addWidget(new QLabel("H&orizontal:"), 0, 0);
  grid->addWidget(new QLineEdit, 0, 1);
  auto* button = new QPushButton("Default values");
  button->setFixedWidth(12);
  grid->addWidget(button, 2, 0);
  dialog.setFixedWidth(160);
  Show(dialog);
  const auto faults = dialogcheck::LayoutFaults(&dialog);
  auto any = [&](const char* what) {
    return std::any_of(faults.begin(), faults.end(),
                       [&](const std::string& f) { return f.find(what) != std::string::npos; });
  };
  EXPECT_TRUE(any("QGroupBox '' \"Limits\" overlaps QLabel")) << testing::PrintToString(faults);
  EXPECT_TRUE(any("\"H&orizontal:\" shows its ampersand"));
  EXPECT_TRUE(any("\"Default values\" is cut"));
  EXPECT_TRUE(any("the title"));
}

const platform::ControlSpec kProbe[] = {
    {10, ControlKind::kGroupBox, "Limits", 0, 0, 3, 2},
    {11, ControlKind::kLabel, "H&orizontal:", 1, 0},
    {12, ControlKind::kEdit, "", 1, 1},
    {13, ControlKind::kLabel, "&Vertical:", 2, 0},
    {14, ControlKind::kEdit, "", 2, 1},
    {20, ControlKind::kGroupBox, "Shape", 3, 0, 2, 2},
    {21, ControlKind::kRadioButton, "&Rectangle", 4, 0, 1, 1, 1},
    {22, ControlKind::kRadioButton, "C&ircle", 4, 1, 1, 1, 1},
    {30, ControlKind::kLabel, "&Colors:", 5, 0},  // no field in its row: the next control
    {31, ControlKind::kPushButton, "Edit...", 6, 1},
    {40, ControlKind::kLabel, "Drag && &drop", 7, 0},  // nothing follows
    {1, ControlKind::kDefPushButton, "OK", 0, 3},
    {2, ControlKind::kPushButton, "Cancel"},
};

TEST(TableDialogLayout, GroupBoxesHoldTheirRowsAndLabelsNameTheirFields) {
  platform::TableDialog dialog(nullptr, "Probe", kProbe);
  auto* limits = dialog.ControlAs<QGroupBox>(10);
  auto* shape = dialog.ControlAs<QGroupBox>(20);
  for (int id : {11, 12, 13, 14}) EXPECT_EQ(dialog.Control(id)->parentWidget(), limits) << id;
  for (int id : {21, 22}) EXPECT_EQ(dialog.Control(id)->parentWidget(), shape) << id;
  for (int id : {10, 20, 30, 31, 1, 2})
    EXPECT_EQ(dialog.Control(id)->parentWidget(), &dialog) << id;
  EXPECT_EQ(dialog.ControlAs<QLabel>(11)->buddy(), dialog.Control(12));
  EXPECT_EQ(dialog.ControlAs<QLabel>(13)->buddy(), dialog.Control(14));
  EXPECT_EQ(dialog.ControlAs<QLabel>(30)->buddy(), dialog.Control(31));
  EXPECT_EQ(dialog.ControlAs<QLabel>(40)->text().toStdString(), "Drag & drop");

  // A control put in the place of a field stays in its box and keeps its label.
  auto* spin = new QSpinBox;
  dialog.ReplaceControl(14, spin);
  EXPECT_EQ(spin->parentWidget(), limits);
  EXPECT_EQ(dialog.ControlAs<QLabel>(13)->buddy(), spin);

  Show(dialog);
  EXPECT_THAT(dialogcheck::LayoutFaults(&dialog), IsEmpty());
  // Captions stand above their rows, OK sits right of the other controls in the bottom row.
  EXPECT_LT(limits->mapTo(&dialog, QPoint()).y() + limits->fontMetrics().height(),
            dialog.Control(11)->mapTo(&dialog, QPoint()).y());
  const QRect ok(dialog.Control(1)->mapTo(&dialog, QPoint()), dialog.Control(1)->size());
  EXPECT_GT(ok.top(), dialog.Control(40)->geometry().bottom());
  EXPECT_GT(dialog.Control(2)->x(), ok.left());
}

class DialogLayout : public TempSettings {};

TEST_F(DialogLayout, EveryDialogShowsItsControlsWithoutOverlapOrCutText) {
  DefaultValueStruct defaults;
  defaults.Load();
  Resource document(FileName("/data/gait/run.par"), true);
  auto* first = new FakeSequence("/data/gait/2024-05-17/treadmill_left_camera_200hz.bld", 250,
                                 200.0f, 640, 480);
  first->fsData.sequenceName = "Treadmill run, left camera, 4.5 km/h";
  first->fsData.date = "17.05.2024 10:42";
  document.AddFrameSequence(first);
  document.AddFrameSequence(new FakeSequence("/data/gait/right.bld", 250, 200.0f));
  FS_Data videoData;
  videoData.framesPerSecond = 25.0f;
  videoData.frames = 120;
  videoData.width = 720;
  videoData.height = 576;
  videoData.sequenceName = "Long jump, side view";
  AviPropertiesModel aviModel(videoData, 25.0, 24);
  AviFrameSequence video("/data/videos/2024/long_jump_side_view_take_03.avi", nullptr);
  video.fsData = videoData;
  // Object sequences for the object dialogs and panels: three live ones, one deleted.
  ResObjectSequences& objects = *document.ObjectSequences();
  for (const char* name : {"Right knee, lateral epicondyle", "Hip", "Ankle", "Toe"})
    objects.NewSequence(0x101)->name = name;
  objects.DeleteSequence(3);
  objects.Find(1, 0xFFFF)->MakeCurrent();
  objdoc::SubsOf(*first).Find(1)->AddPoint(1, 320.5f, 211.25f);
  SubObjectSequence* hipInVideo = objdoc::SubsOf(*first).Find(1);
  // A panel shows the current object once it is visible.
  auto panel = [&](auto made) {
    made->show();
    made->SetObjectSequence(hipInVideo);
    return std::unique_ptr<QWidget>(std::move(made));
  };
  ResourceCalibrationHost calibrationHost(document);
  first->SetCalibrationFile("/data/gait/calibration/treadmill_left.cdc");
  first->SetCameraFile("/data/gait/calibration/left.cam", false);
  first->SetCalibrationImage("/data/gait/calibration/grid_left.bld");
  CDIB dib;
  UnitsOrigin units;
  float rate = 25.0f;
  PrinterSettings page;
  page.FromPrinter({4960, 7015, 600, 600, 210, 297}, std::nullopt);

  struct Case {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
  };
  const Case cases[] = {
      {"about", [] { return std::make_unique<ZorvatrackAboutDlg>(nullptr); }},
      {"info", [&] { return std::make_unique<CurSeqDlg>(document, 1, nullptr); }},
      {"presettings",
       [&] { return std::make_unique<ObjectSequenceDefaultsDlg>(nullptr, defaults); }},
      {"colors", [&] { return std::make_unique<ColorDialog>(nullptr, defaults); }},
      {"framerate", [&] { return std::make_unique<FramesPerSecondDlg>(nullptr, &rate, 30.0f); }},
      {"error",
       [] {
         return std::make_unique<MessageDlg>(
             "Usage error", "\nDecimal point and column separation can not be identical!",
             ids::kErrorDialog, nullptr);
       }},
      {"question",
       [] {
         return std::make_unique<MessageDlg>(
             "Unsaved object sequence",
             "\nThe image sequence run.bld contains changed object sequences.\n\nDo you want "
             "the object sequences to be saved?",
             ids::kQuestionDialog, nullptr);
       }},
      {"textformat", [] { return std::make_unique<TextFormatDialog>(nullptr); }},
      {"units", [&] { return std::make_unique<UnitsOriginDlg>(nullptr, units); }},
      {"loadversion", [] { return std::make_unique<LoadVersionDlg>(nullptr, 3); }},
      {"avi", [&] { return std::make_unique<AviPropertiesDlg>(nullptr, video, aviModel); }},
      {"avirate", [&] { return std::make_unique<AVIfpsDlg>(nullptr, aviModel); }},
      {"filter", [&] { return std::make_unique<FilterDlg>(nullptr, dib); }},
      {"gamma", [&] { return std::make_unique<GammaDialog>(nullptr, dib, nullptr); }},
      {"colreducesetup", [] { return std::make_unique<SetupColReduceDlg>(nullptr, 250); }},
      {"colreduce", [&] { return std::make_unique<ColReduceDlg>(nullptr, *first); }},
      {"editobjectsequence",
       [&] { return std::make_unique<EditObjectSequenceDlg>(*objects.Find(0, 0xFFFF), nullptr); }},
      {"objecteditor", [&] { return std::make_unique<ObjectEditor>(nullptr, document); }},
      {"recover", [&] { return std::make_unique<UndeleteDialog>(nullptr, document); }},
      {"export", [&] { return std::make_unique<ObjectExport>(nullptr, document, *first); }},
      {"analysisexport",
       [&] { return std::make_unique<ExportAnalyzeData>(nullptr, document, first); }},
      {"objectpanel",
       [&] { return panel(std::make_unique<ObjectSequenceDlg>(document, nullptr)); }},
      {"templatepanel",
       [&] { return panel(std::make_unique<ObjectTemplateDlg>(document, nullptr)); }},
      {"connectionpanel", [&] { return std::make_unique<ConnectDlg>(document, nullptr); }},
      {"documentfiles",
       [&] {
         return std::make_unique<CalibFilesDlg>(nullptr, calibrationHost, 1,
                                                CalibFilesDlg::kNewDocumentMode);
       }},
      {"cameraparameters", [&] { return std::make_unique<EditCameraParaDlg>(nullptr, *first); }},
      {"pagesetup", [&] { return std::make_unique<PageSetupDialog>(nullptr, page); }},
      {"devcaps",
       [&] {
         QWidget screen;
         return std::make_unique<DevCapsDlg>(nullptr, ScreenCaps(screen));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<QWidget> dialog = c.make();
    Show(*dialog);
    EXPECT_THAT(dialogcheck::LayoutFaults(dialog.get()), IsEmpty());
    const fs::path shot = fs::path(ZORVAT_BUILD_DIR) / (std::string("dialog_") + c.name + ".png");
    EXPECT_TRUE(dialog->grab().save(QString::fromStdString(shot.string())));
  }
}

// Counts the key presses that reach a window.
class KeyCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) ++presses;
    return false;
  }
  int presses = 0;
};

TEST_F(DialogLayout, HelpFromAModalDialogComesToTheFrontAndTakesKeys) {
  QMainWindow main;
  main.showMaximized();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  HelpWindow help("qrc:/help/");
  platform::SetHelpHandler([&](int) { help.ShowTopic({"index.html", {}}); });
  DefaultValueStruct defaults;
  defaults.Load();
  ObjectSequenceDefaultsDlg dialog(&main, defaults);
  KeyCounter keys;
  bool active = false;
  QTimer::singleShot(0, &dialog, [&] {
    dialog.ControlAs<QPushButton>(platform::kIdHelp)->click();
    active = QTest::qWaitFor([&] { return QApplication::activeWindow() == &help; });
    ASSERT_TRUE(help.windowHandle());
    help.windowHandle()->installEventFilter(&keys);
    QTest::keyClick(help.windowHandle(), Qt::Key_Down);
    dialog.ControlAs<QPushButton>(2)->click();
  });
  EXPECT_EQ(dialog.Execute(), 2);
  platform::SetHelpHandler(nullptr);
  EXPECT_TRUE(help.isVisible());
  // The main window takes the help over, so that it stays in front of it.
  EXPECT_EQ(help.windowHandle()->transientParent(), main.windowHandle());
  EXPECT_TRUE(active) << "the help window did not become the active window";
  EXPECT_EQ(keys.presses, 1) << "the dialog blocks the help window";
}

}  // namespace
