// Analysis windows on the road a user takes: a video with two tracked objects opens an "x to t"
// and a "y'' to t" window, the frame marker follows the document's frame, smoothing changes the
// points (the image view shows them moved), and Smart Tile places the windows side by side
// beside the video. A picture of the program goes into the build folder.

#include <QCoreApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "analysis/ui/anlwin.h"
#include "analysis/ui/anlwinlayout.h"
#include "analysis/ui/valuepanes.h"
#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "common/program_fixture.h"
#include "common/temp_dir.h"
#include "objects/docaccess.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "sequences/framesequence.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 160, kHeight = 120, kFrames = 40;

void WriteGreyBld(const fs::path& bld) {
  std::ofstream out(bld, std::ios::binary);
  for (int k = 0; k < kFrames; ++k)
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) out.put(static_cast<char>(60 + (x + y + k) % 40));
  fs::path dsc = bld;
  dsc.replace_extension(".dsc");
  std::ofstream(dsc) << "SEQUENCENAME:walk\nRESOLUTION:" << kWidth << "x" << kHeight
                     << "\nFRAMES/S:25\nFRAMES:" << kFrames << "\nCOLORSPACE:GREY\n";
}

// The image point of object n at frame f: a wavy path with a zigzag to smooth away.
float PathX(int n, int f) { return 20.0f + 3.0f * f + ((f % 2) ? 2.0f : -2.0f) + 10.0f * n; }
float PathY(int n, int f) { return 40.0f + 30.0f * n + (15.0f + 6.0f * n) * std::sin(f / 5.0f); }

class AnalysisRoad : public ProgramTest {
 protected:
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }
  void Shot(const char* name) {
    QCoreApplication::processEvents();
    const fs::path file = fs::path(ZORVAT_BUILD_DIR) / name;
    EXPECT_TRUE(app_->MainWindow()->grab().save(QString::fromStdString(file.string())));
  }
  // Two tracked objects with an image point at every frame, their world points computed.
  void Track(Resource& doc) {
    for (int n = 0; n < 2; ++n) {
      ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      SubObjectSequences& subs = objdoc::SubsOf(*doc.Sequence(0));
      SubObjectSequence* sub = subs.Find(s->number) ? subs.Find(s->number) : subs.Add(s->number);
      for (int f = 1; f <= kFrames; ++f) sub->AddPoint(f, PathX(n, f), PathY(n, f));
      doc.UpdateAnalysisWindows(s);
    }
    doc.RecalcObjectSequences(0);
    doc.UpdateViews();
  }
  QMdiSubWindow* ChildOf(QWidget* w) {
    for (; w; w = w->parentWidget())
      if (auto* c = qobject_cast<QMdiSubWindow*>(w)) return c;
    return nullptr;
  }

  platform::RecordingMessageService messages_;
};

TEST_F(AnalysisRoad, TwoWindowsFollowTheFrameSmoothAndTileBesideTheVideo) {
  WriteGreyBld(dir_ / "walk.bld");
  app_->InitInstance();
  app_->MainWindow()->resize(1400, 900);
  QCoreApplication::processEvents();
  Resource* doc = app_->DocManager()->LoadDocument(FileName((dir_ / "walk.bld").string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  EXPECT_FALSE(Enabled(25301)) << "no tracked object yet";
  Track(*doc);
  ASSERT_TRUE(Enabled(25301));
  EXPECT_FALSE(Enabled(25330)) << "no object model";
  EXPECT_TRUE(Enabled(25360)) << "the 3D window";

  ZorvatrackMDIClient* mdi = app_->MDIClient();
  ASSERT_TRUE(Command(25301));
  AnlWinLayout* xt = mdi->ActiveAnalysisLayout();
  ASSERT_NE(xt, nullptr);
  ASSERT_TRUE(Enabled(25306)) << "the active analysis window's document counts";
  ASSERT_TRUE(Command(25306));
  AnlWinLayout* yt = mdi->ActiveAnalysisLayout();
  ASSERT_NE(yt, nullptr);
  ASSERT_NE(xt, yt);
  const std::string tail = " / " + doc->Caption();
  EXPECT_EQ(ChildOf(xt)->windowTitle().toStdString(), "1. Analysis" + tail);
  EXPECT_EQ(ChildOf(yt)->windowTitle().toStdString(), "2. Analysis" + tail);

  AnlWin* x = xt->Window2D();
  AnlWin* y = yt->Window2D();
  ASSERT_EQ(x->Entries().size(), 2u);
  ASSERT_EQ(y->Entries().size(), 2u);
  EXPECT_EQ(y->Kind(), 5);
  // The x window spans all frames and the objects' x values in millimetres (one pixel is 1 mm
  // in an uncalibrated video).
  EXPECT_EQ(x->Axes().xMin, 1);
  EXPECT_EQ(x->Axes().xMax, kFrames);
  EXPECT_GT(x->Axes().yMax, x->Axes().yMin);
  EXPECT_EQ(x->Units().OrdinateUnitCaption().rfind("x", 0), 0u);

  // The marker: shown by the frame-number command, it follows the document's frame; moving it
  // draws no new plot.
  ASSERT_TRUE(Command(25384));
  EXPECT_TRUE(y->MarkerShown());
  ASSERT_NE(yt->FramePane(), nullptr);
  EXPECT_TRUE(yt->FramePane()->isVisible());
  QCoreApplication::processEvents();
  y->grab();
  const int builds = y->PlotBuilds();
  doc->EvGoToFrame(20);
  EXPECT_EQ(y->CurrentFrame(), 20);
  EXPECT_EQ(x->CurrentFrame(), 20);
  ASSERT_TRUE(y->MarkerX().has_value());
  EXPECT_EQ(*y->MarkerX(), static_cast<int>(y->Axes().ValueToPixelX(20)));
  const QImage withMarker = y->grab().toImage();
  EXPECT_EQ(y->PlotBuilds(), builds);
  EXPECT_EQ(withMarker.pixelColor(*y->MarkerX(), y->height() / 2), QColor(128, 128, 128));
  EXPECT_FALSE(x->MarkerX().has_value()) << "the x window shows no marker";

  // Smoothing in the x window moves the points, in the sequence and in the image view.
  mdi->setActiveSubWindow(ChildOf(xt));
  ASSERT_EQ(mdi->ActiveAnalysisLayout(), xt);
  ResObjectSequence* first = x->Entries()[0]->Sequence();
  SubObjectSequence* image = objdoc::SubsOf(*doc->Sequence(0)).Find(first->number);
  const float worldBefore = first->ItemAt(10)->x, imageBefore = image->ItemAt(10)->x;
  doc->EvGoToFrame(10);
  auto* view = qobject_cast<BildView*>(doc->Sequence(0)->view.data());
  ASSERT_NE(view, nullptr);
  const QImage viewBefore = view->grab().toImage();
  ASSERT_TRUE(Enabled(25372));
  ASSERT_TRUE(Command(25372));
  QCoreApplication::processEvents();
  EXPECT_NE(first->ItemAt(10)->x, worldBefore);
  EXPECT_NEAR(image->ItemAt(10)->x, 20.0f + 3.0f * 10, 1.0f) << "the zigzag is smoothed away";
  EXPECT_NE(image->ItemAt(10)->x, imageBefore);
  EXPECT_NE(view->grab().toImage(), viewBefore) << "the view shows the moved point";
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;

  // The stick figure opens in a 3D layout with its angle panel beside it; then it is closed.
  ASSERT_TRUE(Command(25360));
  AnlWinLayout* stick = mdi->ActiveAnalysisLayout();
  ASSERT_NE(stick, nullptr);
  EXPECT_TRUE(stick->Is3D());
  EXPECT_EQ(stick->Window2D(), nullptr);
  ASSERT_NE(stick->ShownPane(), nullptr);
  EXPECT_TRUE(stick->ShownPane()->isVisible());
  EXPECT_EQ(ChildOf(stick)->windowTitle().toStdString(), "3. Analysis" + tail);
  EXPECT_FALSE(Enabled(25372)) << "no smoothing in a 3D window";
  EXPECT_TRUE(Enabled(25385));
  ChildOf(stick)->close();
  QCoreApplication::processEvents();
  mdi->setActiveSubWindow(ChildOf(xt));

  // The new windows open beside the video, one over the other: the user moves them apart
  // (the video at the left, the windows right of it, one above the other), then Smart Tile lets
  // them share the client without overlapping.
  QMdiSubWindow* video = ChildOf(qobject_cast<QWidget*>(doc->WindowObject()));
  ASSERT_NE(video, nullptr);
  const int w = mdi->viewport()->width(), h = mdi->viewport()->height();
  video->setGeometry(10, 10, w / 3, h / 2);
  ChildOf(xt)->setGeometry(w / 3 + 40, 10, w / 2, h / 3);
  ChildOf(yt)->setGeometry(w / 3 + 40, h / 2, w / 2, h / 3);
  ASSERT_TRUE(Enabled(24367));
  ASSERT_TRUE(Command(24367));
  QCoreApplication::processEvents();
  const QList<QMdiSubWindow*> children = mdi->subWindowList();
  ASSERT_EQ(children.size(), 3);
  for (QMdiSubWindow* a : children)
    for (QMdiSubWindow* b : children)
      if (a != b) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << a->windowTitle().toStdString() << " / " << b->windowTitle().toStdString();
      }
  EXPECT_EQ(ChildOf(yt)->geometry().bottom(), mdi->viewport()->height() - 3);
  EXPECT_EQ(ChildOf(xt)->geometry().bottom() + 1, ChildOf(yt)->geometry().top());
  EXPECT_EQ(video->geometry().right() + 1, ChildOf(xt)->geometry().left());
  doc->EvGoToFrame(25);
  // On a real display the picture gets a name of its own.
  Shot(QGuiApplication::platformName() == "xcb" ? "analysis_windows_display.png"
                                                : "analysis_windows.png");
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

}  // namespace
