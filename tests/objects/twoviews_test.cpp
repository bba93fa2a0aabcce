// The image views of a two-camera document in the running program, driven by mouse and key
// events through the main window: each point goes into the view that was clicked.

#include <QCoreApplication>
#include <QImage>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/resource.h"
#include "app/ui/resourcewindow.h"
#include "common/program_fixture.h"
#include "common/disc_frames.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/osfile.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "objects/viewmsgs.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 80;

// A grey frame file with a bright disc of radius 6 centred at (cx, cy) in every frame.
void WriteDiscBld(const fs::path& bld, int cx, int cy) {
  testframes::WriteDiscBld(bld, cx, cy, kWidth, kHeight, kFrames);
}

class TwoViews : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    WriteDiscBld(dir_ / "left.bld", 50, 60);
    WriteDiscBld(dir_ / "right.bld", 110, 60);
    std::ofstream(dir_ / "two.par") << "CAMERAS: 2\nCAM_1: left.bld\nCAM_2: right.bld\n";
    app_->SetPendingFileName((dir_ / "two.par").string());
    app_->InitInstance();
    QMainWindow* main = app_->MainWindow();
    main->resize(900, 600);
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    doc_ = app_->GetActiveDocument();
    ASSERT_NE(doc_, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
    ASSERT_EQ(doc_->SequenceCount(), 2);
    left_ = qobject_cast<BildView*>(doc_->Sequence(0)->view.data());
    right_ = qobject_cast<BildView*>(doc_->Sequence(1)->view.data());
    ASSERT_TRUE(left_ && right_);
    QCoreApplication::processEvents();
    // Two views side by side inside the main window, over two screen pixels an image pixel.
    auto* window = dynamic_cast<ResourceWindow*>(doc_->Window());
    ASSERT_NE(window, nullptr);
    window->UndockPanel();  // the two views alone share the window
    window->SubWindow()->resize(780, 330);
    QCoreApplication::processEvents();
    ASSERT_LT(left_->mapTo(main, QPoint(0, 0)).x(), right_->mapTo(main, QPoint(0, 0)).x());
    ASSERT_GT(left_->ZoomX(), 2.0);
  }

  // The main window's native window: events sent to it take the way real input takes, so they
  // meet the same mouse grabs and shortcuts.
  QWindow* Window() { return app_->MainWindow()->windowHandle(); }
  QPoint InWindow(BildView* view, float x, float y) {
    return view->viewport()->mapTo(app_->MainWindow(), view->ImageToClient(x, y));
  }
  void Click(BildView* view, float x, float y) {
    QTest::mouseClick(Window(), Qt::LeftButton, {}, InWindow(view, x, y));
    QCoreApplication::processEvents();
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    QCoreApplication::processEvents();  // the idle pass enables the actions
    QTest::keyClick(Window(), key, modifiers);
    QCoreApplication::processEvents();
  }
  SubObjectSequence* Sub(BildView* view, int number) {
    return objdoc::SubsOf(view->Sequence()).Find(number);
  }
  // Whether the pixel of the view at the image position is the markers' red.
  bool Red(BildView* view, QPointF image) {
    const QColor c = view->viewport()->grab().toImage().pixelColor(
        view->ImageToClient(static_cast<float>(image.x()), static_cast<float>(image.y())));
    return c.red() > 200 && c.green() < 80 && c.blue() < 80;
  }
  void MoveAndReload(bool fromTheRightView);
  const ObjectBase* PointIn(BildView* view, int number) {
    const SubObjectSequence* sub = Sub(view, number);
    return sub ? sub->ItemAt(doc_->CurrentFrame()) : nullptr;
  }

  platform::RecordingMessageService messages_;
  Resource* doc_ = nullptr;
  BildView* left_ = nullptr;
  BildView* right_ = nullptr;
};

TEST_F(TwoViews, SetObjectAfterAPointInTheRightViewPutsTheClickIntoTheLeftView) {
  Click(right_, 5, 5);  // off every object: only the focus moves
  ASSERT_TRUE(right_->hasFocus());
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  ResObjectSequence* s = doc_->ObjectSequences()->GetCurrent();
  ASSERT_NE(s, nullptr);
  Key(Qt::Key_Insert);
  ASSERT_EQ(right_->Pending(), view::kSetObject);
  Click(right_, 110, 60);
  ASSERT_EQ(right_->Pending(), view::kIdle);
  const ObjectBase* r = PointIn(right_, s->number);
  ASSERT_NE(r, nullptr);
  const float rx = r->x, ry = r->y;
  EXPECT_NEAR(rx, 110, 1.0);
  EXPECT_NEAR(ry, 60, 1.0);

  // Ins goes to the right view, which has the focus; the click lands in the left one.
  Key(Qt::Key_Insert);
  ASSERT_EQ(right_->Pending(), view::kSetObject);
  Click(left_, 50, 60);
  EXPECT_EQ(right_->Pending(), view::kIdle);
  EXPECT_EQ(left_->Pending(), view::kIdle);
  r = PointIn(right_, s->number);
  ASSERT_NE(r, nullptr) << "the right view lost its point";
  EXPECT_EQ(r->x, rx);
  EXPECT_EQ(r->y, ry);
  const ObjectBase* l = PointIn(left_, s->number);
  ASSERT_NE(l, nullptr) << "the left view got nothing";
  EXPECT_NEAR(l->x, 50, 1.0);
  EXPECT_NEAR(l->y, 60, 1.0);
  EXPECT_EQ(doc_->GetActiveFrameSequence(), &left_->Sequence());
  EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

// Moves the left view's point of frame 70 while the markers of every frame are shown, and checks
// it where it was dropped: in memory, painted, in the stored file and after loading that file.
void TwoViews::MoveAndReload(bool fromTheRightView) {
  Click(left_, 5, 5);
  Key(Qt::Key_Insert, Qt::ShiftModifier);
  ResObjectSequence* s = doc_->ObjectSequences()->GetCurrent();
  ASSERT_NE(s, nullptr);
  *static_cast<ColorDescr*>(s) = ColorDescr(Rgb(255, 0, 0), 5, 5, kMarkerFilledRectangle);
  const int number = s->number;
  // A track along a row, two pixels a frame, in both views.
  for (BildView* v : {left_, right_})
    for (int f = 1; f <= kFrames; ++f) Sub(v, number)->AddPoint(f, 2 * f - 1, 30);
  doc_->EvGoToFrame(70);
  for (BildView* v : {left_, right_}) {
    v->setFocus();
    ASSERT_TRUE(platform::RouteCommand(app_->Chain(), view::kObjectsAllFrames));
    ASSERT_TRUE(v->DisplayFlags() & kPaintTrack);
  }
  const QPointF from(139, 30), to(139, 100), neighbour(137, 30);
  ASSERT_TRUE(Red(left_, from));
  if (fromTheRightView) {
    Click(right_, 5, 5);
    Key(Qt::Key_Insert);
    ASSERT_EQ(right_->Pending(), view::kSetObject);
    Click(left_, to.x(), to.y());
  } else {
    QTest::mousePress(Window(), Qt::LeftButton, {}, InWindow(left_, from.x(), from.y()));
    // Held on the marker: it moves.
    ASSERT_TRUE(QTest::qWaitFor([&] { return left_->Pending() == view::kSetObject; }, 3000));
    QTest::mouseMove(Window(), InWindow(left_, to.x(), to.y()));
    QTest::mouseRelease(Window(), Qt::LeftButton, {}, InWindow(left_, to.x(), to.y()));
    QCoreApplication::processEvents();
  }
  ASSERT_EQ(left_->Pending(), view::kIdle);
  ASSERT_EQ(right_->Pending(), view::kIdle);

  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    const ObjectBase* moved = Sub(left_, number)->ItemAt(70);
    ASSERT_NE(moved, nullptr);
    EXPECT_NEAR(moved->x, to.x(), 1.0);
    EXPECT_NEAR(moved->y, to.y(), 1.0);
    const ObjectBase* other = Sub(right_, number)->ItemAt(70);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->x, 139);
    EXPECT_EQ(other->y, 30);
    EXPECT_TRUE(Red(left_, to));
    EXPECT_FALSE(Red(left_, from));
    EXPECT_TRUE(Red(left_, neighbour));  // the rest of the track is still drawn
    EXPECT_TRUE(Red(right_, from));
  };
  check("moved");
  const QString shot = QString(ZORVAT_BUILD_DIR "/moved_point_%1.png").arg(fromTheRightView);
  EXPECT_TRUE(dynamic_cast<QWidget*>(doc_->Window())->grab().save(shot));

  ASSERT_TRUE(platform::RouteCommand(app_->Chain(), objcmd::kSave));
  for (BildView* v : {left_, right_}) {
    std::string bytes;
    ASSERT_TRUE(
        platform::ReadWholeFile(osfile::FileNameOf(v->Sequence().fileName, 0).Path(), bytes));
    const std::optional<osfile::FileRecord> file = osfile::Decode(bytes);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->sequences.size(), 1u);
    const auto& points = file->sequences[0].points;
    auto at70 = std::find_if(points.begin(), points.end(),
                             [](const osfile::Point& p) { return p.frame == 70; });
    ASSERT_NE(at70, points.end());
    const QPointF stored(at70->x, at70->y);
    const QPointF expected = v == left_ ? to : from;
    EXPECT_NEAR(stored.x(), expected.x(), 1.0);
    EXPECT_NEAR(stored.y(), expected.y(), 1.0);
  }
  ASSERT_TRUE(platform::RouteCommand(app_->Chain(), objcmd::kLoad));
  QCoreApplication::processEvents();
  check("loaded");
}

TEST_F(TwoViews, APointHeldAndDraggedIsDrawnStoredAndLoadedWhereItWasDropped) {
  MoveAndReload(false);
}

TEST_F(TwoViews, APointSetFromTheOtherViewIsDrawnStoredAndLoadedWhereItWasDropped) {
  MoveAndReload(true);
}

}  // namespace
