// The object model inside a document with videos: sub-sequences, hit tests and painting, world
// points from one and from several calibrated cameras, and the body-model defaults.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/application.h"
#include "base/defaults.h"
#include "base/unitsorigin.h"
#include "common/test_document.h"
#include "objects/bodymodel.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "objects_test_util.h"
#include "platform/library.h"
#include "platform/message_service.h"

extern "C" using FakeStoredFn = void(*)(double*, double*, std::int32_t*);

namespace {

struct DocumentObjects : ::testing::Test {
  TempDir dir{"document"};
  TestDocument doc{FileName(dir.File("project.rsc"))};
  TestVideo* AddVideo(const std::string& name, int width = 640, int height = 480, int frames = 50,
                      bool colour = false) {
    auto* v = new TestVideo(dir.File(name), width, height, frames, colour);
    doc.AddFrameSequence(v);
    return v;
  }
  ResObjectSequences& All() { return *doc.ObjectSequences(); }
  SubObjectSequences& Subs(FrameSequence* v) { return objdoc::SubsOf(*v); }
};

TEST_F(DocumentObjects, EveryVideoGetsASubSequenceThatForwardsToTheProjectSequence) {
  TestVideo* grey = AddVideo("a.avi", 320, 200, 40);
  TestVideo* colour = AddVideo("b.avi", 640, 480, 60, true);
  ASSERT_NE(doc.ObjectSequences(), nullptr);
  ResObjectSequence* s = All().NewSequence(seqflag::kNewSequence);
  EXPECT_EQ(s->Size(), 60);
  SubObjectSequence* sa = Subs(grey).Find(s->number);
  SubObjectSequence* sb = Subs(colour).Find(s->number);
  ASSERT_TRUE(sa && sb);
  EXPECT_EQ(sa->Size(), 40);
  EXPECT_FALSE(sa->isColor);
  EXPECT_TRUE(sb->isColor);
  EXPECT_EQ(Subs(grey).Add(s->number), nullptr);
  EXPECT_EQ(Subs(grey).Count(), 1);

  sa->SetFlags(seqflag::kHidden);
  EXPECT_TRUE(s->IsHidden());
  EXPECT_EQ(sa->HorizontalLimit(), s->horizontalLimit);
  sa->AddPoint(3, 10, 10);
  All().SetModified(false);
  sa->RemoveObject(3);
  EXPECT_TRUE(All().IsModified());
  EXPECT_EQ(Subs(grey).CountAtFrame(0), 1);
  EXPECT_EQ(Subs(grey).CountAtFrame(3), 0);

  All().RemoveSequence(s);
  EXPECT_EQ(Subs(grey).Count(), 0);
  EXPECT_EQ(Subs(colour).Count(), 0);
}

TEST_F(DocumentObjects, HitTestTakesTheFirstVisibleMarkerAndSkipsMissingValues) {
  TestVideo* v = AddVideo("a.avi");
  ResObjectSequence* hidden = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* unknown = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* near = All().NewSequence(seqflag::kNewSequence);
  for (ResObjectSequence* s : {hidden, unknown, near}) {
    s->markerWidth = s->markerHeight = 6;  // radius 4.24
  }
  hidden->SetFlags(seqflag::kHidden);
  Subs(v).Find(hidden->number)->AddPoint(1, 100, 100);
  Subs(v).Find(unknown->number)->AddPoint(1, kMissingCoordinate, 100);
  Subs(v).Find(near->number)->AddPoint(1, 103, 102);
  EXPECT_EQ(Subs(v).FindAt(100, 100, 1.0), near);
  EXPECT_EQ(Subs(v).FindAt(100, 100, 2.0), nullptr);  // zoomed in: radius / 2
  EXPECT_TRUE(Subs(v).SelectAt(104, 103, 1.0));
  EXPECT_EQ(All().CurrentNumber(), near->number);
  EXPECT_TRUE(Subs(v).IsCurrentAt(104, 103, 1.0));
  EXPECT_FALSE(Subs(v).SelectAt(0, 0, 1.0));
}

TEST_F(DocumentObjects, PaintsTrackCurrentMarkerAndTemplate) {
  TestVideo* v = AddVideo("a.avi");
  ResObjectSequence* s = All().NewSequence(seqflag::kNewSequence);
  *static_cast<ColorDescr*>(s) = ColorDescr(Rgb(9, 9, 9), 4, 4, kMarkerCross);
  SubObjectSequence* sub = Subs(v).Find(s->number);
  sub->AddPoint(1, 10, 20);
  sub->AddPoint(2, 30, 40);
  sub->AddPoint(3, kMissingCoordinate, 40);
  sub->SetSize(5, 7);
  RecordingCanvas c;
  Subs(v).Paint(c, ViewMapping{}, kPaintTrack | kPaintTemplate);
  // Frame 1 (current): the full cross; frame 2: a 3 x 3 cross; frame 3 is not drawn; then the
  // template frame around the current point: (10 - 2.5, 20 - 3.5) -> (7, 16), 5 x 7.
  ASSERT_EQ(c.calls.size(), 5u);
  EXPECT_EQ(c.calls[0], (DrawCall{"line", {10, 18, 10, 22}, Rgb(9, 9, 9)}));
  EXPECT_EQ(c.calls[2], (DrawCall{"line", {30, 39, 30, 42}, Rgb(9, 9, 9)}));
  EXPECT_EQ(c.calls[4], (DrawCall{"frame", {7, 16, 12, 23}, Rgb(9, 9, 9)}));

  // A manually tracked point takes its template offsets when drawn.
  s->algorithm = algorithm::kManual;
  sub->xOffset = 5;
  sub->yOffset = -2;
  c.calls.clear();
  Subs(v).Paint(c, ViewMapping{}, kPaintCurrentFrame);
  EXPECT_FLOAT_EQ(sub->ItemAt(1)->x, 15);
  EXPECT_FLOAT_EQ(sub->ItemAt(1)->y, 18);
  EXPECT_EQ(sub->xOffset, 0);
  // A hidden sequence is one pixel; centre-of-mass sequences only with 0x80.
  s->SetFlags(seqflag::kHidden);
  ResObjectSequence* cm = All().NewSequence(0x208);
  *static_cast<ColorDescr*>(cm) = ColorDescr(Rgb(1, 1, 1), 3, 3, kMarkerFilledRectangle);
  Subs(v).Find(cm->number)->AddPoint(1, 50, 60);
  c.calls.clear();
  Subs(v).Paint(c, ViewMapping{}, kPaintCurrentFrame);
  EXPECT_EQ(c.calls, (std::vector<DrawCall>{{"pixel", {15, 18}, Rgb(9, 9, 9)}}));
  c.calls.clear();
  Subs(v).Paint(c, ViewMapping{}, kPaintCurrentFrame | kPaintHiddenToo);
  EXPECT_EQ(c.calls, (std::vector<DrawCall>{{"pixel", {15, 18}, Rgb(9, 9, 9)},
                                            {"fill", {49, 59, 52, 62}, Rgb(1, 1, 1)}}));
}

TEST_F(DocumentObjects, WorldPointOfOneUncalibratedVideoIsScaledLinearly) {
  TestVideo* v = AddVideo("a.avi");
  v->SetImageSize(0.5, 2.0, 640, 480);
  ResObjectSequence* s = All().NewSequence(seqflag::kNewSequence);
  Subs(v).Find(s->number)->AddPoint(4, 10, 30);
  All().CollectModelCoords(*s, 4);
  ASSERT_NE(s->ItemAt(4), nullptr);
  float expected[3];
  v->ImageToWorld(expected, 10, 30);
  EXPECT_FLOAT_EQ(s->ItemAt(4)->x, expected[0]);
  EXPECT_FLOAT_EQ(s->ItemAt(4)->y, expected[1]);
  EXPECT_FLOAT_EQ(expected[0], 10 * 0.5f * 2.0f * 10);
  Subs(v).Find(s->number)->RemoveObject(4);
  All().CollectModelCoords(*s, 4);
  EXPECT_EQ(s->ItemAt(4), nullptr);
}

void See(SubObjectSequence& sub, const TestVideo& v, int frame, const double w[3]) {
  double x, y;
  ASSERT_TRUE(WorldToImageCoord(w[0], w[1], w[2], v.camera, v.result, x, y));
  sub.AddPoint(frame, static_cast<float>(x), static_cast<float>(y));
}

TEST_F(DocumentObjects, WorldPointsFromTwoAndThreeCalibratedCameras) {
  TestVideo* a = AddVideo("a.avi");
  TestVideo* b = AddVideo("b.avi");
  TestVideo* c = AddVideo("c.avi");
  Calibrate(*a, 0, 0, 0, 0, 0, 1000);
  Calibrate(*b, 0, 0.6, 0.1, 20, 0, 1100);
  Calibrate(*c, -0.4, 0, 0, 10, -20, 1200);
  ASSERT_TRUE(doc.CanReconstruct());
  ResObjectSequence* s = All().NewSequence(seqflag::kNewSequence);
  const double w[3] = {30, -20, 40};
  See(*Subs(a).Find(s->number), *a, 1, w);
  See(*Subs(b).Find(s->number), *b, 1, w);
  All().CollectModelCoords(*s, 1);
  ASSERT_NE(s->ItemAt(1), nullptr);
  EXPECT_NEAR(s->ItemAt(1)->x, 30, 0.01);
  EXPECT_NEAR(s->ItemAt(1)->y, -20, 0.01);
  EXPECT_NEAR(s->ItemAt(1)->z, 40, 0.01);

  const double w2[3] = {-55, 12, -8};
  for (TestVideo* v : {a, b, c}) See(*Subs(v).Find(s->number), *v, 2, w2);
  All().CollectModelCoords(*s, 2);
  ASSERT_NE(s->ItemAt(2), nullptr);
  EXPECT_NEAR(s->ItemAt(2)->x, -55, 0.01);
  EXPECT_NEAR(s->ItemAt(2)->y, 12, 0.01);
  EXPECT_NEAR(s->ItemAt(2)->z, -8, 0.01);

  // One camera alone cannot place a point in space: the world point goes.
  Subs(b).Find(s->number)->RemoveObject(1);
  All().CollectModelCoords(*s, 1);
  EXPECT_EQ(s->ItemAt(1), nullptr);

  // And back: a result sequence's world point is seen by every calibrated camera.
  ResObjectSequence* result = All().NewSequence(0x208);
  result->AddPoint(5, static_cast<float>(w[0]), static_cast<float>(w[1]), static_cast<float>(w[2]));
  All().PlaceModelPoints(*result, 5);
  const ObjectBase* seen = Subs(c).Find(result->number)->ItemAt(5);
  ASSERT_NE(seen, nullptr);
  double x, y;
  WorldToImageCoord(w[0], w[1], w[2], c->camera, c->result, x, y);
  EXPECT_NEAR(seen->x, x, 1e-3);
  EXPECT_NEAR(seen->y, y, 1e-3);
}

TEST_F(DocumentObjects, OriginCornerTurnsWorldAnglesOfAPlanarDocumentOnly) {
  TestVideo* v = AddVideo("a.avi");
  doc.planar = true;  // one uncalibrated video
  ResObjectSequence* s[3];
  const float xy[3][2] = {{0, 0}, {10, 0}, {10, 10}};
  for (int i = 0; i < 3; ++i) {
    s[i] = All().NewSequence(seqflag::kNewSequence);
    s[i]->AddPoint(1, xy[i][0], xy[i][1]);
    Subs(v).Find(s[i]->number)->AddPoint(1, xy[i][0], xy[i][1]);
  }
  StickFigure& figure = All().Figure();
  SequencePair* p = figure.Connect(s[0], s[1], 0);
  SequencePair* q = figure.Connect(s[1], s[2], 0);
  AngleSequencePair* angle = figure.CreateAngle(p, q, std::nullopt);
  const int saved = g_UnitsOrigin.origin;
  g_UnitsOrigin.origin = kOriginLeftTop;
  const double world = angle->Angle(1, 1, nullptr);
  const double image = angle->Angle(1, 1, &Subs(v));
  g_UnitsOrigin.origin = kOriginLeftBottom;
  EXPECT_NEAR(angle->Angle(1, 1, nullptr), 2 * std::numbers::pi - world, 1e-9);
  EXPECT_NEAR(angle->Angle(1, 1, &Subs(v)), image, 1e-9);
  g_UnitsOrigin.origin = saved;
  EXPECT_NEAR(world, image, 1e-9);
}

TEST_F(DocumentObjects, BodyModelDefaultsGoBothWaysThroughTheLibrary) {
  TestVideo* v = AddVideo("a.avi", 640, 480);
  ResObjectSequence* hip = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* knee = All().NewSequence(seqflag::kNewSequence);
  ResObjectSequence* other = All().NewSequence(seqflag::kNewSequence);
  All().NewSequence(0);
  All().NewSequence(0);
  ResObjectSequence* cm = All().NewSequence(0x208);  // number 5, a result the model knows
  All().Figure().Connect(hip, knee, 0);

  platform::Library lib(ZORVAT_FAKE_BODYMODEL);
  ASSERT_TRUE(lib.IsLoaded()) << lib.Error();
  SetObjectModelLibrary(&lib);
  EXPECT_FALSE(hip->GetModelDefaultCoord());  // no model loaded yet
  doc.modelId = 7;
  const BodyModel model = BodyModel::Of(&doc);
  EXPECT_TRUE(hip->GetModelDefaultCoord());
  EXPECT_FALSE(other->GetModelDefaultCoord());
  EXPECT_TRUE(cm->GetModelDefaultCoord());

  All().ApplyModelDefaults(model, nullptr);
  EXPECT_EQ(hip->name, "Hip");
  EXPECT_EQ(knee->name, "Knee");
  EXPECT_EQ(other->name, "Object 2");
  EXPECT_EQ(hip->color, 0x0000FFu);
  EXPECT_EQ(hip->style, 4);
  EXPECT_EQ(hip->markerWidth, 9);
  EXPECT_EQ(hip->algorithm, static_cast<std::uint32_t>(algorithm::kTextureTracking));
  EXPECT_EQ(hip->horizontalLimit, 21);
  SubObjectSequence* sub = Subs(v).Find(hip->number);
  EXPECT_EQ(sub->width, 15);
  EXPECT_EQ(sub->height, 17);
  EXPECT_EQ(sub->yOffset, -3);
  EXPECT_EQ(sub->shape, 1);
  ASSERT_NE(sub->ItemAt(1), nullptr);
  EXPECT_FLOAT_EQ(sub->ItemAt(1)->x, 320);
  EXPECT_FLOAT_EQ(sub->ItemAt(1)->y, 120);
  EXPECT_EQ(cm->name, "Centre of mass");
  EXPECT_EQ(cm->markerWidth, 13);
  EXPECT_EQ(All().Figure().FindConnection(hip, knee)->color.color, 0x123456u);

  // Back to the library: the hip moved; the knee has no point at the current frame.
  sub->AddPoint(1, 160, 240);
  Subs(v).Find(knee->number)->RemoveObject(1);
  platform::RecordingMessageService messages;
  Subs(v).StoreModelDefaults(model);
  auto stored = lib.Function<FakeStoredFn>("FakeBM_Stored");
  ASSERT_NE(stored, nullptr);
  double x, y;
  std::int32_t values[12];
  stored(&x, &y, values);
  EXPECT_DOUBLE_EQ(x, 2500);
  EXPECT_DOUBLE_EQ(y, 5000);
  EXPECT_EQ(values[ModelObjectDefaults::kAlgorithm], 1);  // TextureTracking
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Object Model Warning");
  SetObjectModelLibrary(nullptr);
}

}  // namespace
