// Stopping a tracking run: Esc and a click on the abort button end it within a frame, other
// toolbar buttons do nothing while it runs, and every point tracked until then stays. The keys
// and clicks travel as a user's do, offscreen and on a real X display.

#include <QMainWindow>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "app/mydocmanager.h"
#include "app/resource.h"
#include "app/zorvatrackapp.h"
#include "base/app_ids.h"
#include "common/program_fixture.h"
#include "common/real_input.h"
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

constexpr int kFrames = 400;
constexpr double kX = 160, kY = 120;
// The X server hands input to the program on its own time, so a key typed while frame n is
// tracked may be seen one frame later; it must never take longer.
constexpr int kLatestStop = 2;

class AbortRun : public ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    const fs::path video = dir_ / "long.avi";
    if (!MakeVideo(video)) GTEST_SKIP() << "no ffmpeg with ffv1";
    app_->InitInstance();
    QMainWindow* main = app_->MainWindow();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main));
    SetAviPropertiesRunner(nullptr);
    doc_ = app_->DocManager()->LoadDocument(FileName(video.string()));
    ASSERT_NE(doc_, nullptr);
    QCoreApplication::processEvents();
    auto* view = qobject_cast<BildView*>(doc_->Sequence(0)->view.data());
    ASSERT_NE(view, nullptr);
    view->setFocus();
    doc_->SetActiveFrameSequence(doc_->Sequence(0));
    ASSERT_TRUE(Command(25101));
    ASSERT_TRUE(Command(25105));
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, view->ImageToClient(kX, kY));
    ASSERT_TRUE(Enabled(25200));
  }

  // A still textured disc: every step matches, so only the user ends the run.
  bool MakeVideo(const fs::path& video) {
    synth::Scene scene;
    scene.bodies = {{synth::Kind::kTexture, 14, 7}};
    const auto still = scene.Render(1, {{kX, kY}}, 1);
    return synth::WriteLosslessVideo(video, scene, kFrames, [&](int) { return still; });
  }

  bool Command(int id) { return platform::RouteCommand(app_->Chain(), id); }
  bool Enabled(int id) { return platform::QueryCommand(app_->Chain(), id).enabled; }

  // Tracks to the end while acting once the run has reached each given frame; the actions run
  // from the event loop the run itself pumps. Returns the frames the actions happened at.
  std::vector<int> TrackActingAt(std::vector<std::pair<int, std::function<void()>>> acts) {
    std::vector<int> actedAt;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (actedAt.size() < acts.size() && doc_->CurrentFrame() >= acts[actedAt.size()].first) {
        actedAt.push_back(doc_->CurrentFrame());
        acts[actedAt.size() - 1].second();
      }
    });
    watch.start();
    EXPECT_TRUE(Command(25200));
    return actedAt;
  }

  QToolButton* ToolbarButton(int command) {
    for (auto* button : app_->Toolbar()->findChildren<QToolButton*>()) {
      if (!button->isVisible()) continue;
      if (button->objectName() == QString::number(command)) return button;
      if (button->defaultAction() && button->defaultAction()->data().toInt() == command)
        return button;
    }
    return nullptr;
  }

  // Every frame from the first up to the last one the run reached holds a point.
  int TrackedUpTo() {
    const ResObjectSequence* s = doc_->ObjectSequences()->GetCurrent();
    const SubObjectSequence* sub = objdoc::SubsOf(*doc_->Sequence(0)).Find(s->number);
    int f = 1;
    while (f <= kFrames && PointWithValue(sub, f)) ++f;
    return f - 1;
  }

  Resource* doc_ = nullptr;
  platform::RecordingMessageService messages_;
};

TEST_F(AbortRun, EscapeEndsTheRunWithinAFrame) {
  const std::vector<int> at = TrackActingAt(
      {{40, [this] { real_input::Type(app_->MainWindow(), "Escape", Qt::Key_Escape); }}});
  ASSERT_EQ(at.size(), 1u);
  EXPECT_GT(doc_->CurrentFrame(), at[0]);
  EXPECT_LE(doc_->CurrentFrame(), at[0] + kLatestStop);
  EXPECT_EQ(TrackedUpTo(), doc_->CurrentFrame());
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(ToolbarButton(cmd::kCancel), nullptr);  // the abort button leaves with the run
  EXPECT_TRUE(app_->MainWindow()->isVisible());
}

TEST_F(AbortRun, OnlyTheAbortButtonAnswersClicks) {
  QToolButton* abort = nullptr;
  const std::vector<int> at = TrackActingAt({
      {20, [&] { real_input::Click(ToolbarButton(cmd::kLastFrame)); }},
      {30, [&] { real_input::Click(abort = ToolbarButton(cmd::kCancel)); }},
  });
  ASSERT_EQ(at.size(), 2u);
  ASSERT_NE(abort, nullptr);
  // The click on "last frame" did not move the run; the abort button ended it.
  EXPECT_GT(doc_->CurrentFrame(), at[1]);
  EXPECT_LE(doc_->CurrentFrame(), at[1] + kLatestStop);
  EXPECT_EQ(TrackedUpTo(), doc_->CurrentFrame());
}

}  // namespace
