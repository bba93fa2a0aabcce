#include "app/resource.h"

#include <gtest/gtest.h>

#include "app/documentwindow.h"
#include "base/analysislinks.h"
#include "fake_sequence.h"
#include "platform/message_service.h"

namespace {

class RecordingWindow : public DocumentWindow {
 public:
  bool IsMinimised() const override { return minimised; }
  bool IsLayoutZoomed() const override { return zoomed; }
  void ToggleZoom() override { ++zoomToggles; }
  void SetCaption(const std::string& c) override { caption = c; }
  void ShowFrame(int frame, int first, int last) override { shown.push_back({frame, first, last}); }
  void UpdatePanels() override { ++panelUpdates; }
  int PanelNotify(int code, const float*) override { return code == DN_PANELSVISIBLE ? 1 : 0; }
  void AskFrameRate(float* rate, float) override { *rate = chosenRate; }

  bool minimised = false;
  bool zoomed = false;
  int zoomToggles = 0;
  int panelUpdates = 0;
  float chosenRate = 27.5f;
  std::string caption;
  std::vector<std::array<int, 3>> shown;
};

class RecordingLink : public AnalysisLink {
 public:
  explicit RecordingLink(unsigned serial) : serial_(serial) { RegisterAnalysisLink(this); }
  ~RecordingLink() override { UnregisterAnalysisLink(this); }
  unsigned DocumentSerial() const override { return serial_; }
  void GoToFrame(int frame) override { frames.push_back(frame); }
  void RebuildCurves(int, unsigned) override {}
  void AddObjectSequence(ResObjectSequence*) override {}
  void RemoveObjectSequence(ResObjectSequence*) override {}
  void CloseWindow() override { closed = true; }
  std::vector<int> frames;
  bool closed = false;

 private:
  unsigned serial_;
};

struct TwoCameras {
  TwoCameras() : doc(FileName("/data/run.avi"), false) {
    doc.SetWindow(&window);
    left = new FakeSequence("/data/left.avi", 50, 25.0f);
    right = new FakeSequence("/data/right.avi", 40, 30.0f);
    doc.AddFrameSequence(left);
    doc.AddFrameSequence(right);
  }
  Resource doc;
  RecordingWindow window;
  FakeSequence* left;
  FakeSequence* right;
};

TEST(Resource, NamesNumbersAndQueries) {
  TwoCameras t;
  EXPECT_EQ(t.doc.DocumentName().Path(), "/data/run.RSC");
  EXPECT_EQ(t.doc.ModelFileName().Path(), "/data/run.abm");
  EXPECT_EQ(t.doc.Caption(), "run");
  EXPECT_EQ(t.right->number, 2);
  EXPECT_EQ(t.right->document, &t.doc);
  EXPECT_EQ(t.doc.MinFrameCount(), 40);
  EXPECT_EQ(t.doc.MaxFrameCount(), 50);
  EXPECT_EQ(t.doc.GetActiveFrameSequence(), t.left);
  EXPECT_FALSE(t.doc.IsPlanar());  // two sequences, neither calibrated
  EXPECT_FALSE(t.doc.CanReconstruct());
  Resource single(FileName("/data/one.bld"), false);
  single.AddFrameSequence(new FakeSequence("/data/one.bld", 10, 25.0f));
  EXPECT_TRUE(single.IsPlanar());
  EXPECT_TRUE(single.CanReconstruct());
  EXPECT_EQ(single.FirstIncompleteCalibration(), 0);
  EXPECT_EQ(t.doc.FirstIncompleteCalibration(), 1);
  EXPECT_GT(single.Serial(), t.doc.Serial());
}

TEST(Resource, FrameChangesAreClampedAndForwarded) {
  TwoCameras t;
  RecordingLink link(t.doc.Serial());
  RecordingLink other(t.doc.Serial() + 1000);
  t.doc.EvGoToFrame(0);  // frame 1 already: nothing read
  EXPECT_TRUE(t.left->recorder->notifications.empty());
  EXPECT_EQ(link.frames, std::vector<int>{1});
  t.doc.EvGoToFrame(45);
  EXPECT_EQ(t.doc.CurrentFrame(), 40);
  ASSERT_FALSE(t.right->recorder->notifications.empty());
  EXPECT_EQ(t.right->recorder->notifications.front(), std::make_pair(vnShowFrame, 40));
  EXPECT_EQ(t.window.shown.back(), (std::array<int, 3>{40, 1, -1}));
  t.doc.EvGoToFrame(-5);
  EXPECT_EQ(t.doc.CurrentFrame(), 40);
  EXPECT_EQ(link.frames, (std::vector<int>{1, 40, 40}));
  EXPECT_TRUE(other.frames.empty());

  t.window.minimised = true;  // the frame moves, nothing is read
  t.left->recorder->notifications.clear();
  t.doc.EvGoToFrame(12);
  EXPECT_EQ(t.doc.CurrentFrame(), 12);
  EXPECT_TRUE(t.left->recorder->notifications.empty());
  EXPECT_EQ(t.window.shown.back()[0], 12);

  t.window.minimised = false;
  t.window.zoomed = true;  // only the active view follows
  t.right->recorder->notifications.clear();
  t.doc.EvGoToFrame(13);
  EXPECT_FALSE(t.left->recorder->notifications.empty());
  EXPECT_TRUE(t.right->recorder->notifications.empty());
}

TEST(Resource, DifferentRatesAskForOne) {
  platform::RecordingMessageService messages;
  {
    TwoCameras t;
    EXPECT_EQ(t.doc.GetFramesPerSecond(), 1.0f);  // before set-up
    messages.answers = {platform::kIdNo};
    t.doc.SetupRate();
    EXPECT_EQ(t.doc.GetFramesPerSecond(), 25.0f);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Ambigous parameters");
    EXPECT_EQ(messages.shown[0].text,
              "The values for 'Frames/s' vary in different frame sequences from 25.000000 to "
              "30.000000.\nDo you want to input a consisting value?");
  }
  TwoCameras t;
  messages.answers = {platform::kIdYes};
  t.doc.SetupRate();
  EXPECT_EQ(t.doc.GetFramesPerSecond(), 27.5f);
}

TEST(Resource, ViewNotificationsReachTheirTargets) {
  TwoCameras t;
  EXPECT_EQ(t.doc.EvViewNotify(DN_ACTIVEVIEW, nullptr, t.right), 1);
  EXPECT_EQ(t.doc.GetActiveFrameSequence(), t.right);
  EXPECT_EQ(t.doc.EvViewNotify(DN_TOGGLEZOOM, nullptr), 1);
  EXPECT_EQ(t.window.zoomToggles, 1);
  EXPECT_EQ(t.doc.EvViewNotify(DN_PANELSVISIBLE, nullptr), 1);
  EXPECT_EQ(t.doc.EvViewNotify(12345, nullptr), 0);
}

TEST(Resource, ListKeepsTheNewestFirstAndDestructionClosesAnalysisWindows) {
  ResourceList list;
  EXPECT_EQ(list.Next(nullptr), nullptr);
  auto a = std::make_unique<Resource>(FileName("/d/a.bld"), false);
  auto b = std::make_unique<Resource>(FileName("/d/b.bld"), false);
  list.Add(a.get());
  list.Add(b.get());
  EXPECT_EQ(list.Next(nullptr), b.get());
  EXPECT_EQ(list.Next(b.get()), a.get());
  EXPECT_EQ(list.Next(a.get()), nullptr);
  list.Detach(b.get());
  EXPECT_EQ(list.Next(nullptr), a.get());

  RecordingLink link(a->Serial());
  g_ResourceList.Add(a.get());
  a.reset();
  EXPECT_TRUE(link.closed);
  EXPECT_EQ(g_ResourceList.Next(nullptr), nullptr);
}

}  // namespace
