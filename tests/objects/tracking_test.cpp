// The tracking driver on a document with synthetic videos: runs to the end and back, single
// steps at the ends, failures, abort, unreadable frames, the enabler and the colour paths.

#include "objects/tracking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

#include "base/defaults.h"
#include "clip_video.h"
#include "common/test_document.h"
#include "objects/docaccess.h"
#include "objects/match.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects_test_util.h"
#include "platform/message_service.h"

namespace {

class ScriptedHost : public TrackingHost {
 public:
  bool PollAbort() override { return abortAt && abortAt(); }
  std::function<bool()> abortAt;
};

struct Tracking : ::testing::Test {
  void SetUp() override {
    defaults.tracking.autoSingleStep = false;
    g_Defaults = &defaults;
  }
  void TearDown() override { g_Defaults = nullptr; }

  ClipVideo* AddClip(int frames, bool colour = false, double noise = 2.0) {
    synth::Scene scene;
    scene.noise = noise;
    scene.bodies = {{synth::Kind::kTexture, 12, 11},
                    {synth::Kind::kTexture, 12, 23},
                    {synth::Kind::kMarker, 3, 0}};
    scene.backgroundAmplitude = 0.05;
    auto* v = new ClipVideo(dir.File("clip.avi"), scene, frames, colour,
                            {{70, 70}, {170, 150}, {250, 90}});
    doc.AddFrameSequence(v);
    return v;
  }
  // Three tracked objects set on their true positions at the current frame.
  std::vector<ResObjectSequence*> SetObjects(ClipVideo* v, int algorithm) {
    std::vector<ResObjectSequence*> out;
    const auto at = v->Truth(doc.CurrentFrame());
    for (int i = 0; i < 3; ++i) {
      ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      s->algorithm = algorithm;
      objdoc::SubsOf(*v).Find(s->number)->AddPoint(doc.CurrentFrame(), at[i].first, at[i].second);
      out.push_back(s);
    }
    return out;
  }
  SubObjectSequence* Sub(ClipVideo* v, const ResObjectSequence* s) {
    return objdoc::SubsOf(*v).Find(s->number);
  }
  double MeanError(ClipVideo* v, const std::vector<ResObjectSequence*>& objects, int first,
                   int last) {
    double sum = 0;
    int n = 0;
    for (int f = first; f <= last; ++f) {
      const auto at = v->Truth(f);
      for (std::size_t i = 0; i < objects.size(); ++i) {
        const ObjectBase* p = PointWithValue(Sub(v, objects[i]), f);
        if (!p) return 1e9;
        sum += std::hypot(p->x - at[i].first, p->y - at[i].second);
        ++n;
      }
    }
    return sum / n;
  }

  DefaultValueStruct defaults;
  TempDir dir{"tracking"};
  TestDocument doc{FileName(dir.File("project.rsc"))};
  platform::RecordingMessageService messages;
  ScriptedHost host;
};

TEST_F(Tracking, RunsToTheEndAndBackAccurately) {
  ClipVideo* v = AddClip(60);
  const auto objects = SetObjects(v, algorithm::kCrossCorrelation);
  EXPECT_TRUE(CeTracking(doc));
  EXPECT_EQ(CmTracking(doc, track::kToEnd, host), 60);
  EXPECT_TRUE(messages.shown.empty());
  // Each frame is read and converted once: the next frame of a step starts the following one.
  EXPECT_EQ(v->reads, 60);
  EXPECT_LT(MeanError(v, objects, 2, 60), 0.1);
  // The world points follow every step.
  EXPECT_NE(PointWithValue(objects[0], 60), nullptr);

  for (auto* s : objects)
    for (int f = 1; f < 60; ++f) Sub(v, s)->RemoveObject(f);
  EXPECT_EQ(CmTracking(doc, track::kToBegin, host), 1);
  EXPECT_LT(MeanError(v, objects, 1, 59), 0.1);
  EXPECT_EQ(*v->asked.begin(), 1);
  EXPECT_EQ(*v->asked.rbegin(), 60);
}

TEST_F(Tracking, ColourVideosTrackInGreyOrInColour) {
  for (bool grey : {true, false}) {
    SCOPED_TRACE(grey ? "grey" : "colour");
    TestDocument colourDoc{FileName(dir.File(grey ? "g.rsc" : "c.rsc"))};
    synth::Scene scene;
    scene.bodies = {{synth::Kind::kTexture, 12, 5}};
    auto* v = new ClipVideo(dir.File("colour.avi"), scene, 20, true, {{120, 100}});
    colourDoc.AddFrameSequence(v);
    defaults.tracking.alwaysTrackGrayscale = grey;
    ResObjectSequence* s = colourDoc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
    s->algorithm = algorithm::kSSD;
    SubObjectSequence* sub = objdoc::SubsOf(*v).Find(s->number);
    EXPECT_EQ(sub->isColor, true);
    sub->AddPoint(1, v->Truth(1)[0].first, v->Truth(1)[0].second);
    EXPECT_EQ(CmTracking(colourDoc, track::kToEnd, host), 20);
    const auto at = v->Truth(20);
    const ObjectBase* p = PointWithValue(sub, 20);
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->x, at[0].first, 0.1);
    EXPECT_NEAR(p->y, at[0].second, 0.1);
  }
}

TEST_F(Tracking, SingleStepsStopAtTheFirstAndTheLastFrame) {
  ClipVideo* v = AddClip(5);
  const auto objects = SetObjects(v, algorithm::kSSD);
  EXPECT_EQ(CmTracking(doc, track::kBack, host), 1);
  doc.EvGoToFrame(5);
  Sub(v, objects[0])->AddPoint(5, 100, 100);
  EXPECT_EQ(CmTracking(doc, track::kNext, host), 5);
  for (int f : v->asked) EXPECT_TRUE(f >= 1 && f <= 5) << f;
  EXPECT_EQ(Sub(v, objects[0])->Count(), 2);  // frames 1 and 5: nothing at 0 or 6
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Tracking, AFailedStepShowsOneMessagePerObjectAndReturnsToItsStart) {
  ClipVideo* v = AddClip(10);
  const auto objects = SetObjects(v, algorithm::kSSD);
  // Two objects on the plain background: no structure to track.
  Sub(v, objects[1])->AddPoint(1, 25, 200);
  Sub(v, objects[2])->AddPoint(1, 40, 215);
  EXPECT_EQ(CmTracking(doc, track::kNext, host), 1);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].caption, "Error in object tracking");
  EXPECT_NE(messages.shown[0].text.find("Inadequate template for object 'Object 1'"),
            std::string::npos);
  EXPECT_NE(messages.shown[1].text.find("'Object 2'"), std::string::npos);
  // The good object's point of the same frame stays.
  EXPECT_NE(PointWithValue(Sub(v, objects[0]), 2), nullptr);
}

TEST_F(Tracking, AbortAndFailureInOneFrameReturnToTheFailedStepsStart) {
  ClipVideo* v = AddClip(20);
  const auto objects = SetObjects(v, algorithm::kSSD);
  // Object 2 lies on the plain background from frame 6 on: its step from 6 fails.
  Sub(v, objects[2])->RemoveObject(1);
  Sub(v, objects[2])->AddPoint(6, 30, 205);
  int polls = 0;
  host.abortAt = [&] { return doc.CurrentFrame() >= 6 && ++polls > 0; };
  EXPECT_EQ(CmTracking(doc, track::kToEnd, host), 6);
  EXPECT_EQ(messages.shown.size(), 1u);

  // Abort alone: the frame being processed is completed and becomes current.
  messages.shown.clear();
  Sub(v, objects[2])->RemoveObject(6);
  host.abortAt = [&] { return doc.CurrentFrame() >= 9; };
  EXPECT_EQ(CmTracking(doc, track::kToEnd, host), 10);
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_NE(PointWithValue(Sub(v, objects[0]), 10), nullptr);
  EXPECT_EQ(PointWithValue(Sub(v, objects[0]), 11), nullptr);
}

TEST_F(Tracking, APolePassingInFrontOfAnObjectStopsTheRunWithItsNameBeforeThePointJumps) {
  synth::Scene scene;
  scene.backgroundAmplitude = 0.05;
  scene.bodies = {{synth::Kind::kTexture, 12, 11}};
  constexpr double kPoleStart = 40, kPoleSpeed = 2;
  scene.poleAt = [](int f) { return kPoleStart + kPoleSpeed * f; };
  auto* v = new ClipVideo(dir.File("pole.avi"), scene, 80, false, {{150, 100}});
  doc.AddFrameSequence(v);
  ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  s->algorithm = algorithm::kSSD;
  SubObjectSequence* sub = Sub(v, s);
  sub->AddPoint(1, v->Truth(1)[0].first, v->Truth(1)[0].second);
  int contact = 1;  // the first frame in which the pole covers part of the template
  while (kPoleStart + kPoleSpeed * contact + scene.pole.width / 2 <
         v->Truth(contact)[0].first - sub->width / 2.0)
    ++contact;

  const int from = CmTracking(doc, track::kToEnd, host);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Can`t find object '" + std::string(s->name) + "'"),
            std::string::npos)
      << messages.shown[0].text;
  // The failed step from `from` led into the pole at most two frames after the contact.
  EXPECT_GE(from + 1, contact);
  EXPECT_LE(from + 1, contact + 2);
  EXPECT_EQ(doc.CurrentFrame(), from);
  EXPECT_EQ(PointWithValue(sub, from + 1), nullptr);
  EXPECT_LT(MeanError(v, {s}, 1, from), 0.1);
  for (int f = 1; f <= from; ++f) {
    const ObjectBase* p = PointWithValue(sub, f);
    EXPECT_LT(std::hypot(p->x - v->Truth(f)[0].first, p->y - v->Truth(f)[0].second), 1.0) << f;
  }
}

TEST_F(Tracking, AFrameThatCannotBeReadStopsTheRunUnmatched) {
  ClipVideo* v = AddClip(12);
  const auto objects = SetObjects(v, algorithm::kSSD);
  v->unreadable = 8;
  EXPECT_EQ(CmTracking(doc, track::kToEnd, host), 7);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("Frame 8 of"), std::string::npos);
  EXPECT_NE(PointWithValue(Sub(v, objects[0]), 7), nullptr);
  EXPECT_EQ(PointWithValue(Sub(v, objects[0]), 8), nullptr);
}

TEST_F(Tracking, TheEnablerNeedsATrackedVisibleObjectWithAPoint) {
  ClipVideo* v = AddClip(5);
  EXPECT_FALSE(CeTracking(doc));
  ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  EXPECT_FALSE(CeTracking(doc));  // no point yet
  Sub(v, s)->AddPoint(1, 70, 70);
  EXPECT_TRUE(CeTracking(doc));
  s->SetFlags(seqflag::kHidden);
  EXPECT_FALSE(CeTracking(doc));
  s->ClearFlags(seqflag::kHidden | seqflag::kTracked);
  EXPECT_FALSE(CeTracking(doc));
  // A manually tracked object is carried along unmatched.
  s->SetFlags(seqflag::kTracked);
  s->algorithm = algorithm::kManual;
  EXPECT_EQ(CmTracking(doc, track::kNext, host), 2);
  EXPECT_EQ(PointWithValue(Sub(v, s), 2), nullptr);
  EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
