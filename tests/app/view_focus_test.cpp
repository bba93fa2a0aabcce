// Two cameras, the user working in one of them: whatever hands the keyboard back to the views
// (the panels' page buttons, Enter and Esc in a panel field, a dialog opened from the view,
// leaving the calibration window) hands it to that camera's view, and Del acts on that camera's
// point. And the Window menu lists the open windows and brings the chosen one to the front.

#include <QApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "analysis/ui/anlwinlayout.h"
#include "app/mydocmanager.h"
#include "app/zorvatrackapp.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "app/ui/resourcewindow.h"
#include "app/ui/windowlistmenu.h"
#include "calibration/ui/calibrationwindow.h"
#include "common/disc_frames.h"
#include "common/program_fixture.h"
#include "common/real_input.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "objects/ui/connectdlg.h"
#include "objects/ui/editobjseqdlg.h"
#include "objects/ui/objectpanels.h"
#include "objects/ui/viewcaption.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "platform/ui/actions.h"
#include "sequences/framesequence.h"
#include "sequences/ui/filterdlg.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 4;
constexpr int kObjectsPage = 25510, kTemplatesPage = 25515, kConnectionsPage = 25520;
constexpr int kPositionPage = 25525, kClosePage = 25505;
constexpr int kNameField = 20403, kHorizontalField = 20406;
constexpr int kShowDialogs = 25076, kEditObjectSequence = 25108, kCalibration = 25012;
constexpr int kFilter = 25010;

class ViewFocus : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const char* names[2] = {"left", "right"};
    std::ofstream model(dir_ / "grid.cmo");  // 4 x 3 points on a plane
    for (int i = 0; i < 12; ++i) model << (i % 4) * 100 << " " << (i / 4) * 100 << " 0\n";
    model.close();
    for (int k = 0; k < 2; ++k) {
      testframes::WriteDiscBld(dir_ / (std::string(names[k]) + ".bld"), 50 + 60 * k, 60, kWidth,
                               kHeight, kFrames);
      std::ofstream(dir_ / (std::string(names[k]) + ".cam"))
          << "Ncx: " << kWidth << "\nNfx: " << kWidth << "\ndx: 0.02\ndy: 0.02\n";
    }
    std::ofstream(dir_ / "two.par") << "CAMERAS: 2\nCAM_1: left.bld\nCAM_2: right.bld\n";
    app_->InitInstance();
    QMainWindow* main = app_->MainWindow();
    main->showNormal();
    main->setGeometry(40, 40, 1200, 760);
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    doc_ = app_->DocManager()->LoadDocument(FileName((dir_ / "two.par").string()));
    ASSERT_NE(doc_, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
    ASSERT_EQ(doc_->SequenceCount(), 2);
    QCoreApplication::processEvents();
    for (int k = 0; k < 2; ++k) {
      const std::string base = (dir_ / names[k]).string();
      FrameSequence& s = *doc_->Sequence(k);
      s.SetCalibrationFile(base + ".cdc");
      s.SetCameraFile(base + ".cam");
      s.SetCalibrationImage(base + ".bld");
      s.SetModelFile((dir_ / "grid.cmo").string());
    }
    object_ = objcmd::NewObjectSequence(*doc_);
    ASSERT_NE(object_, nullptr);
  }

  ResourceWindow* Window() { return dynamic_cast<ResourceWindow*>(doc_->Window()); }
  BildView* View(int k) { return qobject_cast<BildView*>(doc_->Sequence(k)->view.data()); }
  SubObjectSequence* Sub(int k) {
    return objdoc::SubsOf(*doc_->Sequence(k)).Find(object_->number);
  }
  bool HasPoint(int k) { return Sub(k) && Sub(k)->ItemAt(doc_->CurrentFrame()) != nullptr; }
  // The current object at the current frame in both cameras.
  void PlaceInBoth() {
    for (int k = 0; k < 2; ++k)
      if (!HasPoint(k))
        Sub(k)->AddObject(std::make_unique<ObjectBase>(doc_->CurrentFrame(), 50.0f + 60 * k,
                                                       60.0f, 0.0f));
    doc_->UpdateViews();
  }
  // A click on the view's title bar, as a user picks the camera to work in.
  void WorkIn(int k) {
    real_input::Click(View(k)->Caption());
    real_input::Settle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return View(k)->hasFocus(); })) << "camera " << k + 1;
    ASSERT_EQ(doc_->GetActiveFrameSequence(), doc_->Sequence(k));
  }
  void Type(const char* xkeysym, Qt::Key key) {
    app_->IdleAction(0);  // the idle pass enables the actions, as between a user's keys
    real_input::Type(app_->MainWindow(), xkeysym, key);
    real_input::Settle();
  }
  QWidget* DockedPanel() {
    QWidget* const panels[] = {Window()->ObjectPanel(), Window()->TemplatePanel(),
                               Window()->ConnectPanel()};
    for (QWidget* p : panels)
      if (p->isVisible()) return p;
    return nullptr;
  }
  void ClickPanelButton(int id) {
    QWidget* panel = DockedPanel();
    ASSERT_NE(panel, nullptr);
    QWidget* button = panel->findChild<QWidget*>(QString::number(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << id;
    real_input::Click(button);
    real_input::Settle();
  }
  void KeyInPanelField(int field, const char* xkeysym, Qt::Key key) {
    if (!Window()->ObjectPanel()->isVisible()) ClickPanelButton(kObjectsPage);
    QWidget* edit = Window()->ObjectPanel()->findChild<QWidget*>(QString::number(field));
    ASSERT_NE(edit, nullptr);
    real_input::Click(edit);
    real_input::Settle();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit->hasFocus(); })) << "the field has the keys";
    Type(xkeysym, key);
  }
  void Trigger(int id) {
    app_->IdleAction(0);
    QAction* action = app_->Actions().Get(id);
    ASSERT_NE(action, nullptr) << id;
    ASSERT_TRUE(action->isEnabled()) << id;
    action->trigger();
    QCoreApplication::processEvents();
  }
  // "Edit Object Sequence" from the view, left with Cancel.
  void EditAndCancel() {
    bool opened = false;
    QTimer::singleShot(0, [&] {
      if (auto* dialog = qobject_cast<EditObjectSequenceDlg*>(QApplication::activeModalWidget())) {
        opened = true;
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        dialog->reject();
      }
    });
    Trigger(kEditObjectSequence);
    EXPECT_TRUE(opened);
    BackToMainWindow();
  }
  // The filter dialog from the view, left open a moment and closed with its OK.
  void FilterAndClose() {
    Trigger(kFilter);
    FilterDlg* dialog = nullptr;
    for (int k = 0; k < 2 && !dialog; ++k) dialog = View(k)->findChild<FilterDlg*>();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
    dialog->accept();
    BackToMainWindow();
  }
  // Once a window over the main window has gone, the window manager activates the main window
  // again; the offscreen platform has none, so the test does it there.
  void BackToMainWindow() {
    if (!real_input::OnRealDisplay()) app_->MainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(app_->MainWindow()));
    real_input::Settle();
  }
  // The calibration window, shown at camera `shown` (1-based), then left with its Exit.
  void Calibrate(int shown) {
    bool left = false;
    QTimer::singleShot(0, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CalibrationWindow*>(w); window && window->isVisible()) {
          // As a user, who sees the window before leaving it.
          EXPECT_TRUE(QTest::qWaitForWindowActive(window));
          while (window->Camera() < shown) window->Command(CalibrationWindow::kNextCamera);
          while (window->Camera() > shown) window->Command(CalibrationWindow::kPreviousCamera);
          window->Command(CalibrationWindow::kExit);
          left = true;
        }
    });
    Trigger(kCalibration);
    EXPECT_TRUE(left);
    BackToMainWindow();
  }

  platform::RecordingMessageService messages_;
  Resource* doc_ = nullptr;
  ResObjectSequence* object_ = nullptr;
};

TEST_F(ViewFocus, EverythingThatHandsTheKeysBackHandsThemToTheViewTheUserWorksIn) {
  struct Step {
    const char* name;
    std::function<void()> run;
  };
  const Step steps[] = {
      {"Templates button", [this] { ClickPanelButton(kTemplatesPage); }},
      {"Verbindungen button", [this] { ClickPanelButton(kConnectionsPage); }},
      {"Objekte button", [this] { ClickPanelButton(kObjectsPage); }},
      {"Position button", [this] { ClickPanelButton(kPositionPage); }},
      {"Schließen button", [this] { ClickPanelButton(kClosePage); }},
      {"Show Dialogs", [this] { Trigger(kShowDialogs); }},
      {"Enter in the name field",
       [this] { KeyInPanelField(kNameField, "Return", Qt::Key_Return); }},
      {"Esc in a limit field",
       [this] { KeyInPanelField(kHorizontalField, "Escape", Qt::Key_Escape); }},
      {"Edit Object Sequence, cancelled", [this] { EditAndCancel(); }},
      {"Filter dialog, closed", [this] { FilterAndClose(); }},
      {"calibration window at camera 1", [this] { Calibrate(1); }},
      {"calibration window at camera 2", [this] { Calibrate(2); }},
  };
  for (int camera : {1, 0}) {
    const int other = 1 - camera;
    for (const Step& step : steps) {
      SCOPED_TRACE(std::string(step.name) + ", working in camera " + std::to_string(camera + 1));
      PlaceInBoth();
      ASSERT_NO_FATAL_FAILURE(WorkIn(camera));
      ASSERT_NO_FATAL_FAILURE(step.run());
      EXPECT_TRUE(QTest::qWaitFor([&] { return View(camera)->hasFocus(); }));
      EXPECT_EQ(doc_->GetActiveFrameSequence(), doc_->Sequence(camera));
      EXPECT_TRUE(View(camera)->Caption()->IsActive());
      EXPECT_FALSE(View(other)->Caption()->IsActive());
      // Del deletes the point of the camera whose title bar is highlighted, and only that one.
      Type("Delete", Qt::Key_Delete);
      EXPECT_FALSE(HasPoint(camera)) << "Del acts on camera " << camera + 1;
      EXPECT_TRUE(HasPoint(other)) << "Del leaves camera " << other + 1 << " alone";
    }
  }
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

TEST_F(ViewFocus, TheWindowMenuListsTheOpenWindowsAndBringsTheChosenOneToTheFront) {
  testframes::WriteDiscBld(dir_ / "single & alone.bld", 80, 60, kWidth, kHeight, kFrames);
  Resource* second =
      app_->DocManager()->LoadDocument(FileName((dir_ / "single & alone.bld").string()));
  ASSERT_NE(second, nullptr);
  // Graphs of a point the single camera sees on two frames.
  ResObjectSequence* point = objcmd::NewObjectSequence(*second);
  ASSERT_NE(point, nullptr);
  SubObjectSequence* sub = objdoc::SubsOf(*second->Sequence(0)).Find(point->number);
  for (int frame : {1, 2})
    sub->AddObject(std::make_unique<ObjectBase>(frame, 80.0f + frame, 60.0f, 0.0f));
  second->RecalcObjectSequences(0);
  ZorvatrackMDIClient* area = app_->MDIClient();
  ASSERT_EQ(app_->GetActiveDocument(), second);
  ASSERT_NE(area->OpenAnalysisWindow(25301), nullptr) << "x to t";
  ASSERT_NE(area->OpenAnalysisWindow(25360), nullptr) << "the 3D window";
  QCoreApplication::processEvents();
  const QList<QMdiSubWindow*> open = area->subWindowList(QMdiArea::CreationOrder);
  ASSERT_EQ(open.size(), 4);
  // The two-camera document out of sight.
  Window()->SubWindow()->showMinimized();
  QCoreApplication::processEvents();

  // The menu bar's "Window", opened with the mouse.
  WindowListMenu* list = app_->WindowList();
  ASSERT_NE(list, nullptr);
  QMenu* menu = list->Menu();
  QMenuBar* bar = app_->MainWindow()->menuBar();
  real_input::ClickAt(bar, bar->actionGeometry(menu->menuAction()).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return menu->isVisible(); }));
  real_input::Settle();

  const QList<QAction*>& entries = list->Entries();
  ASSERT_EQ(entries.size(), open.size());
  QMdiSubWindow* current = area->currentSubWindow();
  for (int i = 0; i < open.size(); ++i) {
    SCOPED_TRACE(open[i]->windowTitle().toStdString());
    QString title = open[i]->windowTitle();
    EXPECT_EQ(entries[i]->text(), "&" + QString::number(i + 1) + " " + title.replace("&", "&&"));
    EXPECT_EQ(entries[i]->isChecked(), open[i] == current);
    EXPECT_TRUE(menu->actions().contains(entries[i]));
  }
  ASSERT_NE(current, nullptr);
  const int separator = menu->actions().indexOf(entries[0]) - 1;
  ASSERT_GE(separator, 0);
  EXPECT_TRUE(menu->actions()[separator]->isSeparator());
  EXPECT_EQ(menu->actions().indexOf(entries.back()), menu->actions().size() - 1)
      << "the list ends the menu";
  const QImage shot = real_input::OnRealDisplay()
                          ? QGuiApplication::primaryScreen()->grabWindow(0).toImage()
                          : menu->grab().toImage();
  EXPECT_TRUE(shot.save(real_input::OnRealDisplay() ? ZORVAT_BUILD_DIR "/window_menu_display.png"
                                                    : ZORVAT_BUILD_DIR "/window_menu.png"));

  // The minimised document, chosen from the list, comes back in front.
  real_input::ClickAt(menu, menu->actionGeometry(entries[0]).center());
  EXPECT_TRUE(QTest::qWaitFor([&] { return !menu->isVisible(); }));
  real_input::Settle();
  EXPECT_EQ(area->currentSubWindow(), open[0]);
  EXPECT_FALSE(open[0]->isMinimized());
  EXPECT_EQ(app_->GetActiveDocument(), doc_);

  // A closed window leaves the list.
  open[2]->close();
  QCoreApplication::processEvents();
  list->Rebuild();
  ASSERT_EQ(list->Entries().size(), 3);
  EXPECT_EQ(list->Entries()[2]->text(), "&3 " + open[3]->windowTitle().replace("&", "&&"));
  list->Entries()[2]->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(area->currentSubWindow(), open[3]);
  // With the windows maximised, the list is the way to another one.
  open[3]->showMaximized();
  QCoreApplication::processEvents();
  list->Rebuild();
  list->Entries()[1]->trigger();
  QCoreApplication::processEvents();
  EXPECT_EQ(area->currentSubWindow(), open[1]);
  EXPECT_EQ(app_->GetActiveDocument(), second);
  EXPECT_TRUE(open[1]->isVisible());
  EXPECT_FALSE(open[1]->isMinimized());
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

}  // namespace
