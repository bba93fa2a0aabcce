// The 3D stick-figure window on the road a user takes: a video with a tracked leg of four points
// and three connections opens the window from the Analyze menu, beside the video with its angle
// panel; it follows the document's frame, turns by a typed angle, and draws the figure anew
// when a point is moved. A picture of the program goes into the build folder.

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiSubWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "analysis/dreid/dreid_ids.h"
#include "analysis/ui/anlwinlayout.h"
#include "analysis/ui/dreidanlwin.h"
#include "analysis/ui/winkelangebendb.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSide = 160, kLegFrames = 30, kJoints = 4;

// A dark video with a lighter band moving down it.
void WriteLegBld(const fs::path& bld) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 0; k < kLegFrames; ++k)
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        out.put(static_cast<char>(std::abs(y - 4 * k) < 6 ? 120 : 50 + x % 20));
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:leg\nRESOLUTION:" << kSide << "x" << kSide
                     << "\nFRAMES/S:25\nFRAMES:" << kLegFrames << "\nCOLORSPACE:GREY\n";
}

// Hip, knee, ankle and toe of a leg swinging with the frame, in image pixels.
float JointX(int joint, int f) {
  const float swing = 0.6f * std::sin(f / 4.0f);
  return 80.0f + 35.0f * joint * std::sin(swing) + (joint == 3 ? 20.0f : 0.0f);
}
float JointY(int joint, int f) {
  const float swing = 0.6f * std::sin(f / 4.0f);
  return 20.0f + 35.0f * std::min(joint, 2) * std::cos(swing) + (joint == 3 ? 35.0f : 0.0f);
}

class StickFigureRoad : public ProgramTest {
 protected:
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  QMdiSubWindow* ChildOf(QWidget* w) {
    for (; w; w = w->parentWidget())
      if (auto* c = qobject_cast<QMdiSubWindow*>(w)) return c;
    return nullptr;
  }
  // The four joints tracked through every frame and joined hip to toe.
  void TrackLeg(Resource& doc) {
    SubObjectSequences& subs = objdoc::SubsOf(*doc.Sequence(0));
    std::vector<ResObjectSequence*> joints;
    for (int n = 0; n < kJoints; ++n) {
      ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      SubObjectSequence* sub = subs.Find(s->number) ? subs.Find(s->number) : subs.Add(s->number);
      for (int f = 1; f <= kLegFrames; ++f) sub->AddPoint(f, JointX(n, f), JointY(n, f));
      joints.push_back(s);
    }
    const ColorValue colours[] = {Rgb(200, 0, 0), Rgb(0, 150, 0), Rgb(0, 0, 200)};
    for (int n = 0; n + 1 < kJoints; ++n)
      doc.ObjectSequences()->Figure().Connect(joints[n], joints[n + 1], colours[n]);
    doc.RecalcObjectSequences(0);
    doc.UpdateViews();
  }

  platform::RecordingMessageService messages_;
};

TEST_F(StickFigureRoad, OpensBesideTheVideoFollowsTheFrameAndTurns) {
  WriteLegBld(dir_ / "leg.bld");
  app_->InitInstance();
  app_->MainWindow()->resize(1200, 800);
  QCoreApplication::processEvents();
  Resource* doc = app_->DocManager()->LoadDocument(FileName((dir_ / "leg.bld").string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  TrackLeg(*doc);

  ZorvatrackMDIClient* mdi = app_->MDIClient();
  ASSERT_TRUE(Command(25360));
  QCoreApplication::processEvents();
  AnlWinLayout* layout = mdi->ActiveAnalysisLayout();
  ASSERT_NE(layout, nullptr);
  auto* win = layout->findChild<DreiDAnlWin*>();
  auto* panel = layout->findChild<WinkelAngebenDB*>();
  ASSERT_NE(win, nullptr);
  ASSERT_NE(panel, nullptr);
  EXPECT_TRUE(win->isVisible() && panel->isVisible());
  EXPECT_FALSE(win->Scene().CannotDraw());
  EXPECT_EQ(win->Scene().FigureWorking().size(), 3u);
  EXPECT_GE(panel->mapTo(layout, QPoint()).x(), win->mapTo(layout, QPoint()).x() + win->width())
      << "the angle panel stands right of the window";

  // The video at the left, the 3D window right of it.
  QMdiSubWindow* video = ChildOf(qobject_cast<QWidget*>(doc->WindowObject()));
  QMdiSubWindow* stick = ChildOf(layout);
  ASSERT_NE(video, nullptr);
  ASSERT_NE(stick, nullptr);
  const int w = mdi->viewport()->width(), h = mdi->viewport()->height();
  video->setGeometry(0, 0, w * 2 / 5, h * 3 / 5);
  stick->setGeometry(w * 2 / 5 + 4, 0, w - w * 2 / 5 - 8, h * 3 / 5);
  QCoreApplication::processEvents();
  EXPECT_FALSE(video->geometry().intersects(stick->geometry()));

  // Stepping the video moves the figure.
  const QImage atFirst = win->Picture().copy();
  doc->EvGoToFrame(12);
  QCoreApplication::processEvents();
  EXPECT_EQ(win->Scene().CurrentFrame(), 12u);
  EXPECT_EQ(win->ShownFrames(), std::vector<std::uint32_t>{12});
  EXPECT_NE(win->Picture(), atFirst);

  // A typed angle turns it.
  auto* y = panel->findChild<QLineEdit*>(QString::number(dreid_ids::kEditY));
  ASSERT_NE(y, nullptr);
  QFocusEvent in(QEvent::FocusIn);
  QCoreApplication::sendEvent(y, &in);
  y->setText("-40");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(y, &enter);
  EXPECT_EQ(y->text(), "320");
  const QImage turned = win->Picture().copy();

  // A moved point reaches the window through the document's rebuild.
  SubObjectSequences& subs = objdoc::SubsOf(*doc->Sequence(0));
  const int toe = doc->ObjectSequences()->Sequences().back()->number;
  subs.Find(toe)->AddPoint(12, 150, 150);
  doc->RecalcObjectSequences(12);
  doc->UpdateViews();
  QCoreApplication::processEvents();
  EXPECT_NE(win->Picture(), turned);
  EXPECT_EQ(win->AngleStrings().Text(2), "320") << "a rebuild keeps the turn";

  app_->MainWindow()->grab().save(
      QString::fromStdString((fs::path(ZORVAT_BUILD_DIR) / "stickfigure_window.png").string()));
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

}  // namespace
