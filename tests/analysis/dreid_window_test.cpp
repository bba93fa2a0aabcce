// The 3D window and its angle panel on the offscreen platform: a walking stick figure turned by
// typed angles, the scroll bars, "Original", "Single Frame", frame changes, the drags, the
// too-small message, and a printout.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "analysis/dreid/dreid_ids.h"
#include "analysis/ui/dreidanlwin.h"
#include "analysis/ui/winkelangebendb.h"
#include "common/dialog_check.h"
#include "platform/message_service.h"
#include "stick_figures.h"

namespace {

using namespace dreid_ids;

// Pixels of the walker's four connection colours.
int FigurePixels(const QImage& image) {
  const QRgb colours[] = {qRgb(0, 0, 200), qRgb(200, 0, 0), qRgb(0, 150, 0), qRgb(200, 120, 0)};
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      for (QRgb c : colours) n += image.pixel(x, y) == c;
  return n;
}

// Pixels of the highlight of a grabbed edge.
int RedPixels(const QImage& image) {
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == qRgb(255, 0, 0);
  return n;
}

void Save(QWidget& w, const char* name) {
  ASSERT_TRUE(w.grab().save(QString(ZORVAT_BUILD_DIR) + "/" + name));
}

// The window and its panel side by side, as the analysis layout frames them.
struct Window3D {
  Window3D() : d(60) {
    MakeWalker(d);
    d.doc.currentFrame = 10;
    frame.resize(560, 420);
    auto* layout = new QHBoxLayout(&frame);
    layout->setContentsMargins(0, 0, 0, 0);
    win = new DreiDAnlWin(&frame, "1. Analysis / walk", 10, &d.doc);
    dialog = new WinkelAngebenDB(&frame);
    win->SetAngleDialog(dialog);
    dialog->SetWindow3D(win);
    layout->addWidget(win, 1);
    layout->addWidget(dialog, 0);
    frame.show();
    QApplication::processEvents();
  }
  QLineEdit* Edit(int id) const { return dialog->ControlAs<QLineEdit>(id); }
  QScrollBar* Bar(int id) const { return dialog->ControlAs<QScrollBar>(id); }
  // Enters the edit, types the text and presses Enter.
  void Type(int id, const QString& text) {
    QFocusEvent in(QEvent::FocusIn);
    QApplication::sendEvent(Edit(id), &in);
    Edit(id)->setText(text);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(Edit(id), &enter);
  }
  void Mouse(QEvent::Type type, QPoint p) {
    QMouseEvent e(type, QPointF(p), win->mapToGlobal(QPointF(p)), Qt::LeftButton,
                  type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                  Qt::NoModifier);
    QApplication::sendEvent(win, &e);
  }

  platform::RecordingMessageService messages;
  StickFigureDocument d;
  QWidget frame;
  DreiDAnlWin* win;
  WinkelAngebenDB* dialog;
};

TEST(DreiDAnlWin, TypedAnglesTurnTheFigureAndScrollBarsWrap) {
  Window3D w;
  ASSERT_FALSE(w.win->Scene().CannotDraw());
  EXPECT_TRUE(w.messages.shown.empty());
  const QImage front = w.win->Picture().copy();
  EXPECT_GT(FigurePixels(front), 200);
  EXPECT_TRUE(dialogcheck::LayoutFaults(w.dialog).empty());
  EXPECT_TRUE(w.dialog->ControlAs<QCheckBox>(kSingleFrame)->isChecked());

  w.Type(kEditX, "-90");
  EXPECT_EQ(w.Edit(kEditX)->text(), "270");
  EXPECT_EQ(w.win->AngleStrings().Text(1), "270");
  EXPECT_EQ(w.Bar(kScrollX)->value(), 270);
  const QImage fromAbove = w.win->Picture().copy();
  EXPECT_NE(fromAbove, front);
  EXPECT_GT(FigurePixels(fromAbove), 100);

  // Y after X: entering Y clears X, Y becomes the axis, the X turn stays underneath.
  w.Type(kEditY, "30");
  EXPECT_EQ(w.Edit(kEditX)->text(), "0");
  EXPECT_EQ(w.win->AngleStrings().CurrentAxis(), 2);
  EXPECT_EQ(w.win->Scene().Chain().size(), 2u);
  Save(w.frame, "dreid_window_turned.png");

  // The Z bar wraps from 0 to 359 and back.
  w.Bar(kScrollZ)->triggerAction(QAbstractSlider::SliderSingleStepSub);
  EXPECT_EQ(w.Bar(kScrollZ)->value(), 359);
  EXPECT_EQ(w.Edit(kEditZ)->text(), "359");
  EXPECT_EQ(w.Edit(kEditY)->text(), "0");
  w.Bar(kScrollZ)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(w.Edit(kEditZ)->text(), "0");

  w.dialog->ControlAs<QPushButton>(kOriginal)->click();
  for (int id : {kEditX, kEditY, kEditZ}) EXPECT_EQ(w.Edit(id)->text(), "0");
  EXPECT_EQ(w.win->Picture(), front);
}

TEST(DreiDAnlWin, FollowsTheFrameAndKeepsFiguresWithoutSingleFrame) {
  Window3D w;
  const QImage at10 = w.win->Picture().copy();
  EXPECT_FALSE(w.win->GotoFrame(10));
  EXPECT_TRUE(w.win->GotoFrame(20));
  EXPECT_NE(w.win->Picture(), at10);
  EXPECT_EQ(w.win->ShownFrames(), std::vector<std::uint32_t>{20});
  const int single = FigurePixels(w.win->Picture());

  w.dialog->ControlAs<QCheckBox>(kSingleFrame)->click();
  EXPECT_TRUE(w.win->Accumulate());
  EXPECT_FALSE(w.dialog->ControlAs<QCheckBox>(kSingleFrame)->isChecked());
  for (int f : {25, 30, 35}) w.win->GotoFrame(f);
  EXPECT_EQ(w.win->ShownFrames(), (std::vector<std::uint32_t>{20, 25, 30, 35}));
  EXPECT_GT(FigurePixels(w.win->Picture()), 2 * single);
  Save(w.frame, "dreid_window_frames.png");

  // A printout shows every kept figure, drawn afresh at the page's size.
  QImage page(1200, 900, QImage::Format_RGB32);
  page.fill(Qt::white);
  {
    QPainter painter(&page);
    w.win->PaintTo(painter, QRect(100, 50, 1000, 800), true);
  }
  ASSERT_TRUE(page.save(QString(ZORVAT_BUILD_DIR) + "/dreid_window_print.png"));
  EXPECT_GT(FigurePixels(page), 2 * FigurePixels(w.win->Picture()));
  EXPECT_EQ(page.pixel(50, 25), qRgb(255, 255, 255));  // nothing outside the target

  // A turn clears the kept figures.
  w.Type(kEditZ, "20");
  EXPECT_EQ(w.win->ShownFrames(), std::vector<std::uint32_t>{35});
}

TEST(DreiDAnlWin, AMinimisedWindowCatchesUpWhenShownAgain) {
  Window3D w;
  const QImage at10 = w.win->Picture().copy();
  w.frame.showMinimized();
  ASSERT_TRUE(w.frame.isMinimized());
  EXPECT_TRUE(w.win->GotoFrame(20));
  EXPECT_EQ(w.win->Picture(), at10);
  w.frame.showNormal();
  QApplication::processEvents();
  w.win->repaint();
  EXPECT_EQ(w.win->ShownFrames(), std::vector<std::uint32_t>{20});
  EXPECT_NE(w.win->Picture(), at10);
  EXPECT_GT(FigurePixels(w.win->Picture()), 200);
}

TEST(DreiDAnlWin, DragsTurnAnAxisOrMovePlaneAndEye) {
  Window3D w;
  DreiDScene& scene = w.win->Scene();
  const float plane = scene.Plane();
  // Off every edge: dragging up brings plane and eye nearer.
  w.Mouse(QEvent::MouseButtonPress, QPoint(3, 3));
  w.Mouse(QEvent::MouseMove, QPoint(3, 2));
  w.Mouse(QEvent::MouseButtonRelease, QPoint(3, 2));
  EXPECT_LT(scene.Plane(), plane);

  const ZweiDVektor x = scene.DrawnBox()[0];
  ASSERT_EQ(scene.BoxWorking()[x.source].label, 'x');
  const QPoint onEdge(static_cast<int>((x.x1 + x.x2) / 2), static_cast<int>((x.y1 + x.y2) / 2));
  const int redBefore = RedPixels(w.win->Picture());
  w.Mouse(QEvent::MouseButtonPress, onEdge);
  EXPECT_EQ(scene.PickedEdge(), x.source);
  // The grabbed edge is drawn red, on the window too, while it is dragged.
  const int pickedRed = RedPixels(w.win->Picture());
  EXPECT_GT(pickedRed, redBefore + 20);
  EXPECT_GT(RedPixels(w.win->grab().toImage()), redBefore + 20);
  w.Mouse(QEvent::MouseMove, onEdge + QPoint(0, -60));
  EXPECT_GT(RedPixels(w.win->Picture()), redBefore + 10);
  EXPECT_GT(RedPixels(w.win->grab().toImage()), redBefore + 10);
  const int angle = w.win->AngleStrings().Value(1);
  EXPECT_NE(angle, 0);
  EXPECT_EQ(w.Edit(kEditX)->text(), QString::number(angle));
  w.Mouse(QEvent::MouseButtonRelease, onEdge + QPoint(0, -60));
  EXPECT_FALSE(scene.PickedEdge());
  EXPECT_EQ(RedPixels(w.win->Picture()), redBefore);
  EXPECT_EQ(scene.BoxWorking()[x.source].colour, scene.BoxWorking()[1].colour);
}

TEST(DreiDAnlWin, TooNarrowWindowSaysSoOnceAndDrawsAgainWhenWidened) {
  Window3D w;
  w.win->setMinimumWidth(0);
  w.frame.resize(w.dialog->width() + 40, 420);
  QApplication::processEvents();
  ASSERT_EQ(w.messages.shown.size(), 1u);
  EXPECT_EQ(w.messages.shown[0].caption, "Failure in display of analysis");
  EXPECT_NE(
      w.messages.shown[0].text.find("1. Analysis / walk\nThe width of the window is too small"),
      std::string::npos);
  EXPECT_EQ(FigurePixels(w.win->Picture()), 0);
  w.frame.resize(w.dialog->width() + 30, 420);
  QApplication::processEvents();
  EXPECT_EQ(w.messages.shown.size(), 1u);
  w.frame.resize(560, 420);
  QApplication::processEvents();
  EXPECT_GT(FigurePixels(w.win->Picture()), 200);
  EXPECT_EQ(w.messages.shown.size(), 1u);
}

}  // namespace
