// Numbers typed into dialog fields, as a German user types them and as anyone else does: every
// field of every dialog of the program that the decimal rule governs takes "1,5" as 1.5 (or,
// where the dialog has its own refusal, refuses it with that message), typed key by key; the
// AVI rate and the scale dialog's length take what is typed; a text that is no number is
// refused with a message naming the field, and the files the dialogs write keep the point.
// Each test runs under de_DE.UTF-8 (the numeric locale put back to C, as the program does at
// start) and under C.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cxxabi.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/anlwindialogs.h"
#include "app/calibrationhost.h"
#include "app/printersettings.h"
#include "app/resource.h"
#include "app/ui/dialogcatalog.h"
#include "base/defaults.h"
#include "base/ui/decimalfield.h"
#include "base/unitsorigin.h"
#include "calibration/calibrat.h"
#include "calibration/ui/calibfilesdlg.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/scaledialog.h"
#include "common/settings_fixture.h"
#include "common/temp_dir.h"
#include "fake_sequence.h"
#include "objects/resobjseq.h"
#include "platform/message_service.h"
#include "platform/numeric_locale.h"
#include "sequences/avi_ids.h"
#include "sequences/avisequence.h"
#include "sequences/dib.h"
#include "sequences/ui/avidlg.h"

namespace {

constexpr int kOk = 1;

class DecimalFields : public TempSettings, public testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    TempSettings::SetUp();
    oldLocale_ = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, GetParam()))
        << GetParam() << " is not installed (scripts/install-deps.sh makes it)";
    platform::UseCNumericLocale();
    QLocale::setDefault(QLocale(QString::fromLatin1(GetParam()).section('.', 0, 0)));
  }
  void TearDown() override {
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, oldLocale_.c_str());
    TempSettings::TearDown();
  }

  platform::RecordingMessageService messages_;

 private:
  std::string oldLocale_;
};

// Shows the window, makes it the active one and gives the field the focus, as a click would.
void Focus(QWidget& window, QLineEdit& edit) {
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  edit.setFocus();
  ASSERT_TRUE(edit.hasFocus());
}

// Types text over the field's contents key by key; Return ends the typing, as it does for a
// user: it presses the default button of a dialog, the page-setup panel reads the field, and
// the calibration panels hand the focus to the picture, which reads the field it leaves.
void TypeAndReturn(QLineEdit& edit, const QString& text, const char* picture = nullptr) {
  edit.selectAll();
  QTest::keyClick(&edit, Qt::Key_Backspace);
  QTest::keyClicks(&edit, text);
  EXPECT_EQ(edit.text(), text) << "a key was dropped";
  if (picture) {
    EXPECT_TRUE(edit.window()->grab().save(QString(ZORVAT_BUILD_DIR "/") + picture));
  }
  QTest::keyClick(&edit, Qt::Key_Return);
  QApplication::processEvents();
}

std::vector<QLineEdit*> DecimalFieldsOf(QWidget& window) {
  std::vector<QLineEdit*> fields;
  for (QLineEdit* edit : window.findChildren<QLineEdit*>())
    if (DecimalField::Of(edit) && edit->isVisibleTo(&window) && edit->isEnabled())
      fields.push_back(edit);
  return fields;
}

// The classes of a governed field's widget and of every widget around it (a panel inside its
// window, say), as the sources name them.
void AddClassesAround(QWidget* edit, std::set<std::string>& classes) {
  for (QWidget* w = edit; w; w = w->parentWidget()) {
    int status = 0;
    char* name = abi::__cxa_demangle(typeid(*w).name(), nullptr, nullptr, &status);
    if (status == 0 && name) classes.insert(name);
    std::free(name);
  }
}

// The program's sources that put the decimal rule on a field.
std::vector<std::filesystem::path> SourcesGoverningFields() {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path root = ZORVAT_SOURCE_DIR;
  for (const char* floor :
       {"platform", "base", "calibration", "sequences", "objects", "analysis", "app"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / floor)) {
      if (entry.path().extension() != ".cpp" || entry.path().filename() == "decimalfield.cpp")
        continue;
      std::ifstream in(entry.path());
      std::stringstream text;
      text << in.rdbuf();
      if (text.str().find("DecimalField::Govern(") != std::string::npos)
        files.push_back(entry.path());
    }
  }
  return files;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// What the dialogs of the program open on: one camera of a document with an object sequence.
struct Subjects {
  Subjects() {
    document.AddFrameSequence(new FakeSequence("/data/gait/left.bld", 250, 200.0f, 640, 480));
    FrameSequence& camera = *document.Sequence(0);
    camera.SetCameraFile(folder.File("left.cam"), false);
    camera.SetFlag(kFlagLinearSizing, true);
    // The custom relation 1.25, so that its fields apply when left.
    camera.SetImageSize(1.0, 1.25, 640, 480);
    camera.sizingPoint1 = {50, 100};
    camera.sizingPoint2 = {250, 100};
    document.ObjectSequences()->NewSequence(0x101)->name = "Hip";
    videoData.framesPerSecond = 25.0f;
    videoData.frames = 120;
    videoData.width = 720;
    videoData.height = 576;
    defaults.Load();
    page.FromPrinter({4960, 7015, 600, 600, 210, 297}, std::nullopt);
    displayStyle.verticalFactor = "2.5";
    displayStyle.horizontalFactor = "1.0";
    displayStyle.fit = false;  // the sizing fields take input
  }

  testutil::TempDir folder;
  Resource document{FileName("/data/gait/run.par"), true};
  ResourceCalibrationHost calibrationHost{document};
  FS_Data videoData;
  AviFrameSequence video{"/data/videos/jump.avi", nullptr};
  AviPropertiesModel aviModel{videoData, 25.0, 24};
  DefaultValueStruct defaults;
  UnitsOrigin units;
  PrinterSettings page;
  CDIB dib;
  float rate = 25.0f;
  CoordinateTransfer coordinates;
  DisplayStyleTransfer displayStyle;
  DialogSubjects all{document, calibrationHost, video,       aviModel, defaults, units, page, dib,
                     rate,     coordinates,     displayStyle};
};

TEST_P(DecimalFields, EveryGovernedFieldOfEveryDialogTakesACommaAsThePoint) {
  Subjects subjects;
  g_PageSetupInInches = false;
  int dialogs = 0, fields = 0;
  std::set<std::string> walked;  // classes around the fields the walk reached
  for (const DialogOpening& opening : ProgramDialogs()) {
    std::unique_ptr<QWidget> probe = opening.open(subjects.all);
    if (!probe) continue;
    probe->show();
    const std::vector<QLineEdit*> found = DecimalFieldsOf(*probe);
    std::vector<QString> names;
    for (QLineEdit* edit : found) {
      names.push_back(edit->objectName());
      AddClassesAround(edit, walked);
    }
    probe.reset();
    dialogs += !names.empty();
    // Each field in a dialog of its own, so that a refusal in one cannot hide another.
    for (const QString& name : names) {
      SCOPED_TRACE(std::string(opening.name) + " field " + name.toStdString());
      ++fields;
      messages_.shown.clear();
      std::unique_ptr<QWidget> window = opening.open(subjects.all);
      auto* edit = window->findChild<QLineEdit*>(name);
      ASSERT_NE(edit, nullptr);
      Focus(*window, *edit);
      const QString before = edit->text();
      auto* ok = window->findChild<QPushButton*>(QString::number(kOk));
      TypeAndReturn(*edit, "1,5");
      DecimalField* rule = DecimalField::Of(edit);
      if (rule->Taken()) {
        EXPECT_EQ(*rule->Taken(), 1.5);
        EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
        // A dialog ends with OK; a panel stays.
        if (auto* dialog = qobject_cast<QDialog*>(window.get()); dialog && ok) {
          EXPECT_EQ(dialog->result(), kOk);
        }
      } else {
        // Only a dialog with its own refusal refuses the comma, with its message; it stays
        // open and its field shows the value it had.
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].text, "Enter a real number. Use a dot as hyphen.");
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(edit->text(), before);
      }
    }
  }
  // Every source that puts the rule on a field belongs to a dialog the walk reached: a dialog
  // missing from the program's list of dialogs cannot escape the check.
  const std::vector<std::filesystem::path> governing = SourcesGoverningFields();
  EXPECT_EQ(governing.size(), 7u);
  for (const std::filesystem::path& file : governing) {
    const std::string text = ReadAll(file.string());
    bool reached = false;
    for (const std::string& cls : walked)
      reached = reached || text.find(cls + "::") != std::string::npos;
    EXPECT_TRUE(reached) << file << " governs a field of a dialog the walk did not open";
  }
  // AVI rate, frame rate, presettings, camera parameters, page setup, scale and display style.
  EXPECT_EQ(dialogs, 7);
  EXPECT_EQ(fields, 1 + 1 + 1 + 9 + 8 + 3 + 2);
  // The dialogs took what was typed: the documents' rate and the display style's record.
  EXPECT_EQ(subjects.rate, 1.5f);
  EXPECT_EQ(subjects.aviModel.Rate(), 1.5f);
  EXPECT_EQ(subjects.defaults.tracking.thresholdCross, 1.5);
  // The camera-parameter file holds all nine as typed (the scale dialog, later, derives the
  // camera's own from its scale again).
  Calibration written;
  written.SetImageSize(1.0, 1.0, 640, 480);
  ASSERT_TRUE(written.SetCameraFile(subjects.folder.File("left.cam")));
  const CameraParameters& camera = written.camera;
  for (double value : {camera.Ncx, camera.Nfx, camera.dx, camera.dy, camera.dpx, camera.dpy,
                       camera.Cx, camera.Cy, camera.sx})
    EXPECT_EQ(value, 1.5);
  // "1,5" : 1 and then 1.5 : "1,5".
  EXPECT_EQ(subjects.document.Sequence(0)->aspect, 1.0);
  // 1.5 mm of margin on every side and the print area's start; its size keeps 10 mm at least.
  const PrinterSettings& page = subjects.page;
  for (std::int32_t hundredths : {page.MarginLeft, page.MarginRight, page.MarginTop,
                                  page.MarginBottom, page.AreaLeft, page.AreaTop})
    EXPECT_EQ(hundredths, 150);
  EXPECT_EQ(subjects.displayStyle.verticalFactor, "2.5");
}

TEST_P(DecimalFields, AviRateTakes2997) {
  FS_Data data;
  data.framesPerSecond = 25.0f;
  data.frames = 120;
  AviPropertiesModel model(data, 25.0, 24);
  AviFrameSequence video("/data/videos/jump.avi", nullptr);
  AviPropertiesDlg properties(nullptr, video, model);
  bool typed = false;
  QTimer::singleShot(0, &properties, [&] {
    auto* rate = qobject_cast<AVIfpsDlg*>(QApplication::activeModalWidget());
    ASSERT_NE(rate, nullptr);
    auto* edit = rate->ControlAs<QLineEdit>(aviid::kRateEdit);
    Focus(*rate, *edit);
    TypeAndReturn(*edit, "29,97", "typed_avi_rate.png");
    typed = !rate->isVisible();
    if (!typed) rate->done(2);
  });
  properties.ControlAs<QPushButton>(aviid::kChangeRate)->click();
  EXPECT_TRUE(typed);
  EXPECT_EQ(model.Rate(), 29.97f);
  EXPECT_EQ(properties.ControlAs<QLabel>(aviid::kRate)->text(), "29.970000");
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_P(DecimalFields, ScaleLengthTakes15) {
  Subjects subjects;
  CalibrationWindow window(subjects.calibrationHost, 1, nullptr);
  ASSERT_EQ(window.Layout(), CalibrationWindow::kScaleLayout);
  auto* length = window.Scale()->ControlAs<QLineEdit>(20653);
  Focus(window, *length);
  TypeAndReturn(*length, "1,5");
  EXPECT_EQ(length->text(), "1.5");
  // 1.5 mm over the 250 pixels the two points lie apart (at the relation 1.25).
  const Calibration& camera = *subjects.document.Sequence(0);
  EXPECT_NEAR(camera.lengthScale, 0.1 * 1.5 / 250.0, 1e-9);
  window.Scale()->UpdateValues();
  EXPECT_EQ(length->text(), "1.500000");
  EXPECT_TRUE(messages_.shown.empty());
}

// A text that is still no number is refused with a message that names the field and what was
// typed; the dialog stays open, the field shows the value it had, and nothing changes.
TEST_P(DecimalFields, TextThatIsNoNumberIsRefusedNamingTheField) {
  testutil::TempDir dir;
  FakeSequence camera("/data/left.bld", 10, 25.0f);
  const std::string cam = (dir.Path() / "left.cam").string();
  camera.SetCameraFile(cam, false);
  camera.camera.dx = 0.0083;
  for (const char* typed : {"1,2,3", "1.2.3", "12a", ""}) {
    SCOPED_TRACE(typed);
    messages_.shown.clear();
    EditCameraParaDlg dialog(nullptr, camera);
    auto* dx = dialog.ControlAs<QLineEdit>(20686);
    Focus(dialog, *dx);
    TypeAndReturn(*dx, typed);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dx->text(), "0.0083");
    EXPECT_TRUE(dx->hasFocus());
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_EQ(messages_.shown[0].caption, "Not a number");
    EXPECT_NE(messages_.shown[0].text.find("\"dx (Sensor Element Size horiz.) [mm/sel]\" holds \"" +
                                           std::string(typed) + "\""),
              std::string::npos)
        << messages_.shown[0].text;
    EXPECT_EQ(camera.camera.dx, 0.0083);
    EXPECT_FALSE(std::filesystem::exists(cam));
  }
}

// Numbers typed with a comma reach the files with a point.
TEST_P(DecimalFields, FilesKeepThePoint) {
  testutil::TempDir dir;
  FakeSequence camera("/data/left.bld", 10, 25.0f);
  const std::string cam = (dir.Path() / "left.cam").string();
  camera.SetCameraFile(cam, false);
  EditCameraParaDlg dialog(nullptr, camera);
  auto* dx = dialog.ControlAs<QLineEdit>(20686);
  Focus(dialog, *dx);
  TypeAndReturn(*dx, "0,0083");
  EXPECT_EQ(dialog.result(), kOk);
  EXPECT_EQ(camera.camera.dx, 0.0083);
  const std::string written = ReadAll(cam);
  EXPECT_NE(written.find("0.0083"), std::string::npos) << written;
  EXPECT_EQ(written.find("0,0083"), std::string::npos) << written;
}

INSTANTIATE_TEST_SUITE_P(Locales, DecimalFields, testing::Values("de_DE.UTF-8", "C"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param[0] == 'C' ? "C" : "German");
                         });

}  // namespace
