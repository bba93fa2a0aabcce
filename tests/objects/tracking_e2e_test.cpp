// The main road in the running program: a lossless video opens, three objects are set in its
// image view, tracked to the end, saved, and loaded again after the document was reopened.

#include <QCoreApplication>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QtTest/QTest>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/ui/mdiclient.h"
#include "app/zorvatrackapp.h"
#include "base/defaults.h"
#include "base/profile.h"
#include "common/program_fixture.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/ui/bildview.h"
#include "platform/commands.h"
#include "platform/message_service.h"
#include "sequences/avisequence.h"
#include "sequences/framesequence.h"
#include "synthetic_clip.h"

namespace fs = std::filesystem;

namespace {

constexpr int kFrames = 80;
constexpr double kVx = 0.43, kVy = 0.21;
const std::vector<std::pair<double, double>> kStarts = {{70, 70}, {200, 120}, {120, 180}};

std::vector<std::pair<double, double>> Truth(int frame) {
  std::vector<std::pair<double, double>> at;
  for (auto [x, y] : kStarts) at.push_back(synth::PathAt(frame, x, y, kVx, kVy));
  return at;
}

class MainRoad : public ProgramTest {
 protected:
  // A lossless grey video of textured discs and a marker moving by sub-pixel steps.
  bool MakeVideo(const fs::path& video) {
    synth::Scene scene;
    scene.bodies = {{synth::Kind::kTexture, 12, 11},
                    {synth::Kind::kTexture, 12, 23},
                    {synth::Kind::kMarker, 3, 0}};
    scene.backgroundAmplitude = 0.05;
    return synth::WriteLosslessVideo(video, scene, kFrames,
                                     [&](int f) { return scene.Render(f, Truth(f), f); });
  }
  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }
  BildView* ViewOf(Resource* doc) { return qobject_cast<BildView*>(doc->Sequence(0)->view.data()); }

  platform::RecordingMessageService messages_;
};

TEST_F(MainRoad, SetTrackSaveReopenAndLoad) {
  const fs::path video = dir_ / "walk.avi";
  if (!MakeVideo(video)) GTEST_SKIP() << "no ffmpeg with ffv1";
  app_->InitInstance();
  app_->MainWindow()->resize(900, 700);
  SetAviPropertiesRunner(nullptr);  // keep the properties as the file gives them
  Resource* doc = app_->DocManager()->LoadDocument(FileName(video.string()));
  ASSERT_NE(doc, nullptr) << (messages_.shown.empty() ? "" : messages_.shown[0].text);
  ASSERT_EQ(doc->MinFrameCount(), kFrames);
  QCoreApplication::processEvents();
  BildView* view = ViewOf(doc);
  ASSERT_NE(view, nullptr);
  view->setFocus();
  doc->SetActiveFrameSequence(doc->Sequence(0));

  EXPECT_FALSE(Enabled(25200));
  EXPECT_FALSE(Enabled(25112));  // nothing stored yet
  for (const auto& [x, y] : Truth(1)) {
    ASSERT_TRUE(Command(25101));
    ResObjectSequence* s = doc->ObjectSequences()->GetCurrent();
    ASSERT_NE(s, nullptr);
    s->algorithm = algorithm::kTextureTracking;
    ASSERT_TRUE(Enabled(25105));
    ASSERT_TRUE(Command(25105));
    ASSERT_EQ(view->Pending(), 25105);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->ImageToClient(x, y));
    ASSERT_EQ(view->Pending(), 25120);
  }
  ASSERT_TRUE(Enabled(25200));
  ASSERT_TRUE(Command(25200));
  EXPECT_EQ(doc->CurrentFrame(), kFrames);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;

  // Each object followed its path from where the click set it.
  std::vector<std::vector<ObjectBase>> tracked;
  for (const auto& s : doc->ObjectSequences()->Sequences()) {
    const SubObjectSequence* sub = objdoc::SubsOf(*doc->Sequence(0)).Find(s->number);
    ASSERT_NE(sub, nullptr);
    std::vector<ObjectBase> points;
    for (int f = 1; f <= kFrames; ++f) {
      const ObjectBase* p = PointWithValue(sub, f);
      ASSERT_NE(p, nullptr) << "frame " << f;
      points.push_back(*p);
    }
    tracked.push_back(points);
  }
  ASSERT_EQ(tracked.size(), 3u);
  double error = 0;
  for (int f = 1; f <= kFrames; ++f)
    for (int i = 0; i < 3; ++i) {
      const double dx =
          (tracked[i][f - 1].x - tracked[i][0].x) - (Truth(f)[i].first - Truth(1)[i].first);
      const double dy =
          (tracked[i][f - 1].y - tracked[i][0].y) - (Truth(f)[i].second - Truth(1)[i].second);
      error += std::hypot(dx, dy) / (3 * kFrames);
    }
  EXPECT_LT(error, 0.1);

  ASSERT_TRUE(Enabled(25110));
  ASSERT_TRUE(Command(25110));
  EXPECT_FALSE(doc->ObjectSequences()->IsModified());
  app_->MDIClient()->closeAllSubWindows();
  QCoreApplication::processEvents();

  Resource* again = app_->DocManager()->LoadDocument(FileName(video.string()));
  ASSERT_NE(again, nullptr);
  QCoreApplication::processEvents();
  EXPECT_EQ(again->ObjectSequences()->Count(), 0);
  ASSERT_TRUE(Enabled(25112));
  ASSERT_TRUE(Command(25112));
  ASSERT_EQ(again->ObjectSequences()->Count(), 3);
  int i = 0;
  for (const auto& s : again->ObjectSequences()->Sequences()) {
    const SubObjectSequence* sub = objdoc::SubsOf(*again->Sequence(0)).Find(s->number);
    ASSERT_NE(sub, nullptr);
    for (int f = 1; f <= kFrames; ++f) {
      const ObjectBase* p = PointWithValue(sub, f);
      ASSERT_NE(p, nullptr) << "frame " << f;
      EXPECT_EQ(p->x, tracked[i][f - 1].x);
      EXPECT_EQ(p->y, tracked[i][f - 1].y);
    }
    ++i;
  }
}

}  // namespace
