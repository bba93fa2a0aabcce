// The program shell with its windows on the offscreen platform: start-up and shutdown order,
// the enabler pass, the Enter and Delete keys of the frame field, context help, the About box
// and a picture of the main window.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ui/aboutdlg.h"
#include "app/ui/documentchild.h"
#include "app/ui/helpwindow.h"
#include "app/ui/mdiclient.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "base/defaults.h"
#include "base/profile.h"
#include "base/ui/colorbox.h"
#include "base/unitsorigin.h"
#include "common/real_input.h"
#include "platform/events.h"
#include "platform/ui/choosers.h"
#include "platform/version.h"
#include "sequences/ui/playercontrols.h"

namespace {

namespace fs = std::filesystem;

// A document that records the frames it is sent and counts Delete Object commands.
class StandInDocument : public QWidget, public DocumentChild {
 public:
  explicit StandInDocument(int frames) : frames_(frames) {}
  Resource* GetResource() override { return nullptr; }
  int MinFrameCount() const override { return frames_; }
  bool CanClose() override { return true; }
  const platform::CommandTable& Commands() const override {
    static const platform::CommandEntry entries[] = {
        platform::Command<&StandInDocument::CmDeleteObject>(cmd::kDeleteObject),
        platform::Command<&StandInDocument::CmZoomIn>(cmd::kZoomIn),
        platform::Command<&StandInDocument::CmZoomOut>(cmd::kZoomOut)};
    static const platform::CommandTable table{entries};
    return table;
  }
  void CmDeleteObject() { ++deletes; }
  void CmZoomIn() { ++zoom; }
  void CmZoomOut() { --zoom; }
  bool event(QEvent* e) override {
    if (auto* m = platform::AsMessage(e); m && m->message == ids::kMsgGoToFrame) {
      frames.push_back(static_cast<int>(m->wParam));
      return true;
    }
    return QWidget::event(e);
  }

  std::vector<int> frames;
  int deletes = 0;
  int zoom = 0;

 private:
  int frames_;
};

// A fresh settings folder for one test.
class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("zorvat-shell-" + std::to_string(::getpid()) + "-" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    const char* old = std::getenv("XDG_CONFIG_HOME");
    oldConfig_ = old ? old : "";
    setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    savedUnits_ = g_UnitsOrigin;
  }
  void TearDown() override {
    g_UnitsOrigin = savedUnits_;
    if (oldConfig_.empty())
      unsetenv("XDG_CONFIG_HOME");
    else
      setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
    fs::remove_all(dir_);
  }
  fs::path SettingsFile() const { return dir_ / "Harvelund/Zorvatrack/Zorvat-Player.INI"; }

  fs::path dir_;
  std::string oldConfig_;
  UnitsOrigin savedUnits_;
};

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_F(ShellTest, SettingsAreReadBeforeTheWindowAndWrittenAtExit) {
  fs::create_directories(SettingsFile().parent_path());
  std::ofstream(SettingsFile()) << "[Zorvatrack]\nSpaceUnits=cm\n";
  std::string longName = "/" + std::string(300, 'v') + "/clip.bld";  // beyond any fixed field
  char arg0[] = "zorvat";
  char* argv[] = {arg0, longName.data(), nullptr};

  bool ran = false;
  int result = ProgramMain(2, argv, [&](ZorvatrackApp& app) {
    ran = true;
    EXPECT_EQ(g_App, &app);
    EXPECT_NE(g_Profile, nullptr);
    EXPECT_NE(g_Defaults, nullptr);
    EXPECT_EQ(g_UnitsOrigin.spaceUnit, unit::kCm);  // read before any window exists
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(app.PendingFileName(), longName);
    app.InitInstance();
    EXPECT_NE(app.MainWindow(), nullptr);
    EXPECT_TRUE(app.MainWindow()->isVisible());
    g_UnitsOrigin.spaceUnit = unit::kM;
    return 7;
  });
  EXPECT_TRUE(ran);
  EXPECT_EQ(result, 7);
  EXPECT_EQ(g_App, nullptr);
  EXPECT_EQ(g_Profile, nullptr);
  EXPECT_EQ(g_Defaults, nullptr);
  std::string ini = ReadAll(SettingsFile());
  EXPECT_NE(ini.find("SpaceUnits=m\n"), std::string::npos) << ini;  // units written at exit
  EXPECT_NE(ini.find("MarkWidth=7"), std::string::npos) << ini;     // defaults saved at exit
}

// An application with its main window, for the tests below.
class AppTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    app_ = std::make_unique<ZorvatrackApp>();
    g_App = app_.get();
    app_->InitMainWindow();
    app_->MainWindow()->resize(1100, 400);
    app_->MainWindow()->show();
    app_->MainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app_->MainWindow()));
  }
  void TearDown() override {
    app_.reset();
    ShellTest::TearDown();
  }
  QAction* Action(int id) { return app_->Actions().Get(id); }
  StandInDocument* OpenDocument(int frames) {
    auto* doc = new StandInDocument(frames);
    QMdiSubWindow* child = app_->MDIClient()->addSubWindow(doc);
    child->show();
    app_->MDIClient()->setActiveSubWindow(child);
    return doc;
  }

  std::unique_ptr<ZorvatrackApp> app_;
};

TEST_F(AppTest, EnablersGreyCommandsWithoutHandler) {
  app_->Actions().UpdateAll();
  for (int id : {cmd::kPlay, cmd::kClose, cmd::kTrackToEnd, cmd::kAnalyzeXt, cmd::kCascade,
                 cmd::kDeleteObject, cmd::kPrint, cmd::kLoadConfiguration})
    EXPECT_FALSE(Action(id)->isEnabled()) << id;
  for (int id : {cmd::kHelpContents, cmd::kHowToUse, cmd::kContextHelp, cmd::kAbout, cmd::kExit,
                 cmd::kSmartObjectPosition, cmd::kLoadImageSequence})
    EXPECT_TRUE(Action(id)->isEnabled()) << id;

  QAction* smart = Action(cmd::kSmartObjectPosition);
  EXPECT_TRUE(smart->isCheckable());
  EXPECT_FALSE(smart->isChecked());
  smart->trigger();
  app_->Actions().UpdateAll();
  EXPECT_TRUE(app_->SmartObjectPosition());
  EXPECT_TRUE(smart->isChecked());

  // A document that handles Delete Object enables it and its key.
  OpenDocument(10);
  app_->Actions().UpdateAll();
  EXPECT_TRUE(Action(cmd::kDeleteObject)->isEnabled());
}

TEST_F(AppTest, EnterSendsTheClampedFrameToTheActiveDocument) {
  FrameEdit* field = app_->FrameField();
  field->setText("5");
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(field->text(), "");  // no document: the field is emptied

  StandInDocument* doc = OpenDocument(250);
  for (auto [typed, frame] : {std::pair{"0", 1}, {"99999", 250}, {"42", 42}}) {
    field->setText(typed);
    QTest::keyClick(app_->MDIClient(), Qt::Key_Enter);  // Enter in any window counts
    ASSERT_FALSE(doc->frames.empty()) << typed;
    EXPECT_EQ(doc->frames.back(), frame) << typed;
    EXPECT_EQ(field->text(), QString::number(frame));
  }
  EXPECT_EQ(doc->frames.size(), 3u);
}

TEST_F(AppTest, FrameFieldTakesDigitsAndDeleteOnlyEditsIt) {
  StandInDocument* doc = OpenDocument(250);
  app_->Actions().UpdateAll();
  ASSERT_TRUE(Action(cmd::kDeleteObject)->isEnabled());

  FrameEdit* field = app_->FrameField();
  field->clear();
  field->setFocus();
  QApplication::processEvents();
  ASSERT_EQ(QApplication::focusWidget(), field);
  QTest::keyClicks(field, "12ab3");
  EXPECT_EQ(field->text(), "123");
  field->setCursorPosition(0);
  QTest::keyClick(field, Qt::Key_Delete);
  EXPECT_EQ(field->text(), "23");
  EXPECT_EQ(doc->deletes, 0);  // the recorded point stays

  // Elsewhere Delete is the Delete Object accelerator.
  doc->setFocus();
  QApplication::processEvents();
  QTest::keyClick(doc, Qt::Key_Delete);
  EXPECT_EQ(doc->deletes, 1);
}

TEST_F(AppTest, ContextHelpShowsTheChosenCommandsPage) {
  QTest::keyClick(app_->MainWindow(), Qt::Key_F1);
  ASSERT_NE(app_->Help(), nullptr);
  EXPECT_TRUE(app_->Help()->isVisible());
  EXPECT_TRUE(app_->Help()->CurrentPage().endsWith("index.html"))
      << app_->Help()->CurrentPage().toStdString();
  EXPECT_FALSE(app_->ContextHelpMode());

  app_->MainWindow()->activateWindow();
  QTest::keyClick(app_->MainWindow(), Qt::Key_F1, Qt::ShiftModifier);
  ASSERT_TRUE(app_->ContextHelpMode());
  EXPECT_TRUE(Action(cmd::kPlay)->isEnabled());  // any command may be asked about
  Action(cmd::kSmartObjectPosition)->trigger();
  EXPECT_FALSE(app_->SmartObjectPosition());  // not run
  EXPECT_FALSE(app_->ContextHelpMode());
  EXPECT_TRUE(app_->Help()->CurrentPage().endsWith("objects.html#c25107"))
      << app_->Help()->CurrentPage().toStdString();
  EXPECT_FALSE(Action(cmd::kPlay)->isEnabled());  // greyed again

  app_->Actions().Execute(cmd::kContextHelp);
  ASSERT_TRUE(app_->ContextHelpMode());
  QTest::keyClick(app_->MainWindow(), Qt::Key_Escape);
  EXPECT_FALSE(app_->ContextHelpMode());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  Action(cmd::kSmartObjectPosition)->trigger();
  EXPECT_TRUE(app_->SmartObjectPosition());  // runs again
}

TEST_F(AppTest, ShowFrameFillsStatusFieldAndSlider) {
  app_->ShowFrame(7, 1, 120);
  EXPECT_EQ(app_->StatusGadget(ids::kStatusFrame)->text(), "Frame: 7");
  EXPECT_EQ(app_->FrameField()->text(), "7");
  EXPECT_EQ(app_->FrameSlider()->maximum(), 120);
  EXPECT_EQ(app_->FrameSlider()->value(), 7);
  app_->ShowFrame(9, 1, -1);  // range untouched
  EXPECT_EQ(app_->FrameSlider()->maximum(), 120);
  EXPECT_EQ(app_->FrameSlider()->value(), 9);
}

TEST_F(AppTest, StatusFieldsShowTheirTextsWhole) {
  QLabel* frame = app_->StatusGadget(ids::kStatusFrame);
  QLabel* position = app_->StatusGadget(ids::kStatusText2);
  for (int number : {1080, 99999, 9999999}) {
    app_->ShowFrame(number, 1, -1);
    EXPECT_LE(frame->sizeHint().width(), frame->width()) << frame->text().toStdString();
  }
  for (const char* text : {"Pos: 1919.500/1079.500 pixel", "Pos: -12345.678/-12345.678 inch"}) {
    app_->SetStatusText2(text);
    EXPECT_LE(position->sizeHint().width(), position->width()) << text;
  }
  const int wide = position->width();
  app_->SetStatusText2("Pos: 1/1 mm");
  EXPECT_EQ(position->width(), wide);  // fields do not jump back and forth
}

TEST_F(AppTest, SliderSendsFrameChangesToTheDocument) {
  StandInDocument* doc = OpenDocument(50);
  app_->ShowFrame(1, 1, 50);
  app_->FrameSlider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  ASSERT_EQ(doc->frames.size(), 1u);
  EXPECT_EQ(doc->frames.back(), 2);
  app_->FrameSlider()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(doc->frames.back(), 50);
  app_->FrameSlider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);  // no move
  EXPECT_EQ(doc->frames.size(), 2u);
}

TEST_F(AppTest, AboutBoxShowsTheVersion) {
  ZorvatrackAboutDlg dialog(app_->MainWindow());
  auto text = [&](int id) { return dialog.ControlAs<QLabel>(id)->text().toStdString(); };
  EXPECT_EQ(text(ids::kAboutVersion),
            std::string("Zorvatrack PLAYER Version ") + platform::kProductVersion);
  EXPECT_EQ(text(ids::kAboutFileVersion), platform::kProductVersion);
  EXPECT_EQ(text(ids::kAboutSpecialBuild), "");
  EXPECT_FALSE(dialog.ControlAs<QLabel>(ids::kAboutPicture1)->pixmap().isNull());
}

TEST_F(AppTest, AbortGadgetStopsOnEscAndIgnoresOtherButtons) {
  AbortGadget abort(app_->Toolbar(), app_->MainWindow());
  EXPECT_FALSE(abort.PumpMessages());
  // A click on another toolbar button is held back while the work runs.
  int helpCalls = 0;
  QObject::connect(Action(cmd::kHelpContents), &QAction::triggered, [&] { ++helpCalls; });
  QWidget* help = app_->Toolbar()->findChild<QWidget*>(QString::number(cmd::kHelpContents));
  ASSERT_NE(help, nullptr);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), help->mapToGlobal(QPointF(5, 5)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), help->mapToGlobal(QPointF(5, 5)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::postEvent(help, press.clone());
  QCoreApplication::postEvent(help, release.clone());
  EXPECT_FALSE(abort.PumpMessages());
  EXPECT_EQ(helpCalls, 0);
  QCoreApplication::postEvent(app_->MainWindow(),
                              new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
  EXPECT_TRUE(abort.PumpMessages());
}

// Runs on a real X display too, where the keypad keys once never reached their accelerators.
TEST_F(AppTest, KeypadPlusAndMinusZoomTheActiveDocument) {
  StandInDocument* doc = OpenDocument(10);
  doc->setFocus();
  app_->Actions().UpdateAll();
  ASSERT_TRUE(Action(cmd::kZoomIn)->isEnabled());
  QMainWindow* main = app_->MainWindow();
  real_input::Type(main, "KP_Add", Qt::Key_Plus, Qt::KeypadModifier);
  real_input::Type(main, "KP_Add", Qt::Key_Plus, Qt::KeypadModifier);
  real_input::Settle();
  EXPECT_EQ(doc->zoom, 2);
  real_input::Type(main, "KP_Subtract", Qt::Key_Minus, Qt::KeypadModifier);
  real_input::Settle();
  EXPECT_EQ(doc->zoom, 1);
  // The keys of the main keyboard are not the accelerators.
  real_input::Type(main, "minus", Qt::Key_Minus);
  real_input::Settle();
  EXPECT_EQ(doc->zoom, 1);
  EXPECT_EQ(Action(cmd::kZoomIn)->shortcut().toString(QKeySequence::NativeText), "Num++");
}

TEST(ColorBox, KeepsItsColourWhenTheChoiceIsCancelled) {
  platform::ScriptedChoosers choosers;
  ColorBox box(nullptr, 20473);
  box.SetColorValue(QColor(10, 20, 30));
  choosers.colorAnswers.push_back(std::nullopt);
  EXPECT_FALSE(box.SetColor(nullptr));
  EXPECT_EQ(box.Color(), QColor(10, 20, 30));
  choosers.colorAnswers.push_back(QColor(200, 100, 0));
  EXPECT_TRUE(box.SetColor(nullptr));
  EXPECT_EQ(box.Color(), QColor(200, 100, 0));
}

TEST_F(AppTest, MainWindowPictureShowsToolbarAndStatusBar) {
  QToolBar* bar = app_->Toolbar();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->actions().size(), 30);  // the gadgets of the toolbar
  EXPECT_EQ(bar->windowTitle(), "Zorvatrack Toolbar");
  QStatusBar* status = app_->MainWindow()->statusBar();
  EXPECT_TRUE(status->isVisible());
  EXPECT_TRUE(app_->StatusGadget(ids::kStatusFrame)->isVisible());
  EXPECT_TRUE(app_->StatusGadget(ids::kStatusText2)->isVisible());
  app_->Actions().UpdateAll();
  QApplication::processEvents();

  QImage shot = app_->MainWindow()->grab().toImage();
  QString file = QString(ZORVAT_BUILD_DIR) + "/shell_main_window.png";
  EXPECT_TRUE(shot.save(file));

  // The enabled help button is painted in its blue; the toolbar sits above the status bar.
  QWidget* help = bar->findChild<QWidget*>(QString::number(cmd::kHelpContents));
  ASSERT_NE(help, nullptr);
  // Left of the question mark, inside the blue disc.
  QPoint centre = help->mapTo(app_->MainWindow(), help->rect().center() - QPoint(5, 0));
  QColor c = shot.pixelColor(centre * shot.devicePixelRatio());
  EXPECT_GT(c.blue(), c.red() + 60) << c.name().toStdString();
  EXPECT_LT(bar->mapTo(app_->MainWindow(), QPoint(0, 0)).y(),
            status->mapTo(app_->MainWindow(), QPoint(0, 0)).y());
}

}  // namespace
