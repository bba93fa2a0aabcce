// The document behind the window in front: a tracked video whose "x to t" window has been
// clicked into still plays, steps, takes a typed frame, follows the slider, adds to its clip
// video and closes, all through keys and clicks on the main window. Beside it: a double click on
// the current object opens its dialog, the views of a two-camera document carry their files'
// names in title bars that show the focus, and keys in the docked panels never delete a point.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QTimer>
#include <QToolBar>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "analysis/ui/anlwin.h"
#include "analysis/ui/anlwinlayout.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "app/ui/resourcewindow.h"
#include "base/ui/gadgets.h"
#include "common/disc_frames.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
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
#include "sequences/avisequence.h"
#include "sequences/framesequence.h"
#include "sequences/ui/playercontrols.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 12;

// A grey frame file with a bright disc at (cx, cy) in every frame.
void WriteDiscBld(const fs::path& bld, int cx, int cy) {
  testframes::WriteDiscBld(bld, cx, cy, kWidth, kHeight, kFrames);
}

class ActiveDocument : public ProgramTest {
 protected:
  void Start(const fs::path& file) {
    app_->InitInstance();
    SetAviPropertiesRunner(nullptr);  // the video's properties as the file gives them
    QMainWindow* main = app_->MainWindow();
    main->resize(1200, 800);
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    ASSERT_NE(app_->DocManager()->LoadDocument(FileName(file.string())), nullptr)
        << (messages_.shown.empty() ? "" : messages_.shown[0].text);
    QCoreApplication::processEvents();
    doc_ = app_->GetActiveDocument();
    ASSERT_NE(doc_, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
    view_ = qobject_cast<BildView*>(doc_->Sequence(0)->view.data());
    ASSERT_NE(view_, nullptr);
  }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }
  // Events sent to the main window's native window take the way real input takes: shortcuts,
  // mouse grabs, the focus.
  QWindow* Window() { return app_->MainWindow()->windowHandle(); }
  QPoint InWindow(QWidget* w, QPoint at) { return w->mapTo(app_->MainWindow(), at); }
  void Click(QWidget* w, QPoint at) {
    QTest::mouseClick(Window(), Qt::LeftButton, {}, InWindow(w, at));
    QCoreApplication::processEvents();
  }
  void Click(QWidget* w) { Click(w, w->rect().center()); }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    app_->IdleAction(0);  // the idle pass enables the actions, as between a user's keys
    QTest::keyClick(Window(), key, modifiers);
    QCoreApplication::processEvents();
  }
  QPoint ViewPoint(float x, float y) { return view_->ImageToClient(x, y); }
  // A new object set by Shift+Ins, Ins and a click at (x, y) of the view.
  ResObjectSequence* SetObject(float x, float y) {
    Click(view_->viewport(), ViewPoint(20, 20));
    Key(Qt::Key_Insert, Qt::ShiftModifier);
    Key(Qt::Key_Insert);
    Click(view_->viewport(), ViewPoint(x, y));
    return doc_->ObjectSequences()->GetCurrent();
  }
  const ObjectBase* PointAt(ResObjectSequence* s, int frame) {
    SubObjectSequence* sub = objdoc::SubsOf(*doc_->Sequence(0)).Find(s->number);
    return sub ? sub->ItemAt(frame) : nullptr;
  }
  QMdiSubWindow* ChildOf(QWidget* w) {
    for (; w; w = w->parentWidget())
      if (auto* c = qobject_cast<QMdiSubWindow*>(w)) return c;
    return nullptr;
  }

  platform::RecordingMessageService messages_;
  Resource* doc_ = nullptr;
  BildView* view_ = nullptr;
};

TEST_F(ActiveDocument, AGraphInFrontLeavesEveryDocumentCommandToItsVideo) {
  const fs::path clip = dir_ / "walk.avi";
  // A bright disc moving two pixels a frame to the right on a dark ground.
  const std::string make =
      "ffmpeg -nostdin -loglevel error -y -f lavfi -i "
      "\"nullsrc=s=160x120:r=25,geq=lum='if(lt(hypot(X-(40+2*N),Y-60),6),230,50)':cb=128:cr=128\" "
      "-frames:v " + std::to_string(kFrames) + " -c:v mjpeg -pix_fmt yuvj420p -q:v 2 '" +
      clip.string() + "' 2>/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0) << "ffmpeg makes the test video";
  ASSERT_NO_FATAL_FAILURE(Start(clip));
  ASSERT_EQ(doc_->MinFrameCount(), kFrames);

  // A point set on the first frame and tracked two frames on with F5.
  ResObjectSequence* s = SetObject(40, 60);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(PointAt(s, 1), nullptr);
  ASSERT_TRUE(Enabled(25201)) << "tracking one frame on";
  Key(Qt::Key_F5);
  Key(Qt::Key_F5);
  ASSERT_EQ(doc_->CurrentFrame(), 3);
  ASSERT_NE(PointAt(s, 3), nullptr) << "tracked";
  EXPECT_NEAR(PointAt(s, 3)->x, 44, 1.5);

  // The "x to t" window from its toolbar button, then a click into its graph.
  auto* xt = app_->Toolbar()->findChild<TFlatButtonGadget*>("25301");
  ASSERT_NE(xt, nullptr);
  app_->IdleAction(0);
  Click(xt);
  AnlWinLayout* layout = app_->MDIClient()->ActiveAnalysisLayout();
  ASSERT_NE(layout, nullptr);
  Click(layout->Window2D(), QPoint(layout->Window2D()->width() / 2, 20));
  ASSERT_EQ(app_->MDIClient()->currentSubWindow(), ChildOf(layout));
  EXPECT_EQ(app_->GetActiveDocument(), doc_);
  app_->IdleAction(0);
  for (int id : {25001, 25003, 25004, 25005, 25006, 25095, 24339, 24337, 25101, 25105, 25301})
    EXPECT_TRUE(Enabled(id)) << id << " with the graph in front";

  // Esc belongs to the image view: in the graph it deletes nothing.
  Key(Qt::Key_Escape);
  EXPECT_NE(PointAt(s, 3), nullptr);

  // Play (Ctrl+P) runs on in idle time; Stop (Ctrl+S).
  Key(Qt::Key_P, Qt::ControlModifier);
  EXPECT_TRUE(doc_->playing);
  const int playing = doc_->CurrentFrame();
  app_->IdleAction(0);
  EXPECT_NE(doc_->CurrentFrame(), playing) << "idle time moves on";
  Key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_FALSE(doc_->playing);
  const int stopped = doc_->CurrentFrame();
  app_->IdleAction(0);
  EXPECT_EQ(doc_->CurrentFrame(), stopped);

  // Next (F2) and previous frame (F3).
  Key(Qt::Key_F2);
  EXPECT_EQ(doc_->CurrentFrame(), stopped + 1);
  Key(Qt::Key_F3);
  EXPECT_EQ(doc_->CurrentFrame(), stopped);

  // A frame number typed into the frame field, then Enter.
  FrameEdit* field = app_->FrameField();
  Click(field);
  field->selectAll();
  QTest::keyClicks(field, "7");
  Key(Qt::Key_Return);
  EXPECT_EQ(doc_->CurrentFrame(), 7);
  EXPECT_EQ(field->text(), "7");
  EXPECT_EQ(layout->Window2D()->CurrentFrame(), 7) << "the graph's marker follows";

  // The slider's handle dragged to the right end.
  FrameScrollBar* slider = app_->FrameSlider();
  ASSERT_EQ(slider->maximum(), kFrames);
  const int handle = slider->width() * (7 - 1) / (kFrames - 1);
  const QPoint from = InWindow(slider, QPoint(std::clamp(handle, 14, slider->width() - 14),
                                              slider->height() / 2));
  QTest::mousePress(Window(), Qt::LeftButton, {}, from);
  QTest::mouseMove(Window(), from + QPoint(slider->width() / 2, 0));
  QTest::mouseMove(Window(), from + QPoint(slider->width(), 0));
  QTest::mouseRelease(Window(), Qt::LeftButton, {}, from + QPoint(slider->width(), 0));
  QCoreApplication::processEvents();
  EXPECT_EQ(doc_->CurrentFrame(), kFrames);
  EXPECT_EQ(field->text(), QString::number(kFrames));

  // Add to clip video (F9) writes the frame and moves on to the first.
  Key(Qt::Key_F9);
  EXPECT_EQ(doc_->CurrentFrame(), 1);
  EXPECT_TRUE(fs::exists(dir_ / "walk-clipvideo.bld"));
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;

  // File > Close closes the video and its graph.
  QAction* close = app_->Actions().Get(24339);
  ASSERT_NE(close, nullptr);
  app_->IdleAction(0);
  ASSERT_TRUE(close->isEnabled());
  messages_.answers.push_back(platform::kIdNo);  // the tracked point need not be saved
  close->trigger();
  QCoreApplication::processEvents();
  ASSERT_EQ(messages_.shown.size(), 1u) << "asked about the unsaved object sequence";
  EXPECT_TRUE(QTest::qWaitFor([] { return g_ResourceList.Next(nullptr) == nullptr; }));
  EXPECT_TRUE(app_->MDIClient()->subWindowList().isEmpty());
  EXPECT_EQ(app_->GetActiveDocument(), nullptr);
}

TEST_F(ActiveDocument, DoubleClickOnTheCurrentObjectOpensItsDialog) {
  WriteDiscBld(dir_ / "disc.bld", 80, 60);
  ASSERT_NO_FATAL_FAILURE(Start(dir_ / "disc.bld"));
  ResObjectSequence* s = SetObject(80, 60);
  ASSERT_NE(s, nullptr);
  QString opened;
  QTimer::singleShot(0, [&] {
    if (auto* dialog = qobject_cast<EditObjectSequenceDlg*>(QApplication::activeModalWidget())) {
      opened = dialog->windowTitle();
      dialog->reject();
    }
  });
  QTest::mouseDClick(Window(), Qt::LeftButton, {}, InWindow(view_->viewport(), ViewPoint(80, 60)));
  QCoreApplication::processEvents();
  EXPECT_EQ(opened, "Edit Object Sequence");
  EXPECT_NE(PointAt(s, 1), nullptr);
}

TEST_F(ActiveDocument, TwoCamerasNameTheirViewsAndShowWhichHasTheFocus) {
  WriteDiscBld(dir_ / "left.bld", 50, 60);
  WriteDiscBld(dir_ / "right.bld", 110, 60);
  std::ofstream(dir_ / "two.par") << "CAMERAS: 2\nCAM_1: left.bld\nCAM_2: right.bld\n";
  ASSERT_NO_FATAL_FAILURE(Start(dir_ / "two.par"));
  ASSERT_EQ(doc_->SequenceCount(), 2);
  auto* left = view_;
  auto* right = qobject_cast<BildView*>(doc_->Sequence(1)->view.data());
  ASSERT_NE(right, nullptr);
  for (BildView* v : {left, right}) {
    ASSERT_TRUE(v->Caption()->isVisible());
    EXPECT_EQ(v->Caption()->Title().toStdString(), v->Sequence().fileName.Path());
    // Above the picture, the whole width of the view.
    EXPECT_LE(v->Caption()->geometry().bottom(), v->viewport()->geometry().top());
    EXPECT_GE(v->Caption()->width(), v->viewport()->width());
  }
  // The window was sized for the frames and their title bars: the whole frame shows at 1:1.
  EXPECT_GE(left->viewport()->height(), kHeight);

  Click(left->Caption());
  EXPECT_TRUE(left->hasFocus());
  EXPECT_TRUE(left->Caption()->IsActive());
  EXPECT_FALSE(right->Caption()->IsActive());
  const QPoint rightAt = right->mapTo(app_->MainWindow(), QPoint());
  Click(right->Caption());
  EXPECT_TRUE(right->hasFocus()) << "a click on the title bar gives the view the focus";
  EXPECT_TRUE(right->Caption()->IsActive());
  EXPECT_FALSE(left->Caption()->IsActive());
  EXPECT_EQ(doc_->GetActiveFrameSequence(), doc_->Sequence(1));
  EXPECT_EQ(right->mapTo(app_->MainWindow(), QPoint()), rightAt) << "the view stays in place";

  // The colours tell the two apart in the picture.
  const QImage shot = dynamic_cast<ResourceWindow*>(doc_->Window())->grab().toImage();
  auto colourAt = [&](BildView* v) {
    return shot.pixelColor(v->Caption()->mapTo(dynamic_cast<ResourceWindow*>(doc_->Window()),
                                                QPoint(v->Caption()->width() - 3, 2)));
  };
  EXPECT_NE(colourAt(left), colourAt(right));
  EXPECT_TRUE(shot.save(ZORVAT_BUILD_DIR "/two_cameras_captions.png"));

  // Leaving the picture clears the position shown in the status bar.
  QTest::mouseMove(Window(), InWindow(right->viewport(), ViewPoint(100, 60)));
  QCoreApplication::processEvents();
  EXPECT_FALSE(app_->StatusGadget(2)->text().isEmpty());
  QTest::mouseMove(Window(), InWindow(right->Caption(), right->Caption()->rect().center()));
  QCoreApplication::processEvents();
  EXPECT_TRUE(app_->StatusGadget(2)->text().isEmpty());
}

TEST_F(ActiveDocument, EscAndDeleteInAnyPanelFieldKeepThePointAndGiveTheViewTheKeys) {
  WriteDiscBld(dir_ / "disc.bld", 80, 60);
  ASSERT_NO_FATAL_FAILURE(Start(dir_ / "disc.bld"));
  ResObjectSequence* s = SetObject(80, 60);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(PointAt(s, 1), nullptr);
  auto* window = dynamic_cast<ResourceWindow*>(doc_->Window());
  ASSERT_NE(window, nullptr);

  int fields = 0;
  auto tryPanel = [&](QWidget* panel, const char* name) {
    QCoreApplication::processEvents();
    ASSERT_TRUE(panel->isVisible()) << name;
    // Every field and button the keyboard can reach in the panel.
    QList<QWidget*> inputs;
    for (QWidget* w : panel->findChildren<QWidget*>())
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) &&
          !qobject_cast<QComboBox*>(w->parentWidget()) && w->focusProxy() == nullptr)
        inputs << w;
    ASSERT_FALSE(inputs.isEmpty()) << name;
    for (QWidget* input : inputs) {
      // Enter on a button is its click; in a field it only hands the keys back.
      const bool field = qobject_cast<QLineEdit*>(input) || qobject_cast<QComboBox*>(input);
      for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Delete, Qt::Key_Return}) {
        if (key == Qt::Key_Return && !field) continue;
        input->setFocus(Qt::ShortcutFocusReason);
        ASSERT_TRUE(input->hasFocus()) << name << " " << input->objectName().toStdString();
        Key(key);
        ASSERT_NE(PointAt(s, 1), nullptr)
            << name << " field " << input->objectName().toStdString() << " key " << key;
        ASSERT_NE(doc_->ObjectSequences()->Find(s->number, 0xFFFF), nullptr);
        if (key != Qt::Key_Delete) {
          EXPECT_TRUE(view_->hasFocus())
              << name << " " << input->objectName().toStdString() << " key " << key;
        }
      }
      ++fields;
    }
  };
  tryPanel(window->ObjectPanel(), "object panel");
  doc_->DockObjectTemplateDlg();
  tryPanel(window->TemplatePanel(), "template panel");
  doc_->DockConnectDlg();
  tryPanel(window->ConnectPanel(), "connection panel");
  EXPECT_GE(fields, 5);
  // Esc in the view itself still deletes the point, as it should.
  view_->setFocus();
  Key(Qt::Key_Escape);
  EXPECT_EQ(PointAt(s, 1), nullptr);
}

}  // namespace
