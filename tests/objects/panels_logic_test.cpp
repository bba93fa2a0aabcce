// The logic of the object panels without widgets: the template rectangle's zones, sizes and
// drags, the connection panel's select/propose/keep state machine and read-outs, the object
// editor's check states, and that every change a user makes there is one the project saves.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "base/unitsorigin.h"
#include "common/test_document.h"
#include "objects/connectpanel.h"
#include "objects/docaccess.h"
#include "objects/objeditstate.h"
#include "objects/objpanel.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "objects/templatedrag.h"
#include "objects_test_util.h"

namespace {

// --- Template rectangle ---------------------------------------------------------------------

struct ZoneCase {
  float x, y;
  int zone;
};

TEST(TemplateDrag, ZonesAroundARectangle) {
  // 21 x 11 around (100, 50): edges 89.5 .. 110.5 and 44.5 .. 55.5, tolerances 2.1 and 1.1.
  const tpl::Rect r = tpl::RectAround(std::make_pair(100.0f, 50.0f), 21, 11, 0, 0);
  const ZoneCase cases[] = {
      {100, 50, tpl::kMove},     {100, 44, tpl::kTop},   {100, 56, tpl::kBottom},
      {111, 44, tpl::kTopRight}, {111, 50, tpl::kRight}, {111, 56, tpl::kBottomRight},
      {89, 44, tpl::kTopLeft},   {89, 50, tpl::kLeft},   {89, 56, tpl::kBottomLeft},
      {115, 50, tpl::kNone},     {100, 58, tpl::kNone},  {85.3f, 50, tpl::kLeft},
  };
  for (const ZoneCase& c : cases)
    EXPECT_EQ(tpl::HoverZone(r, 21, 11, c.x, c.y), c.zone) << c.x << "," << c.y;
  EXPECT_EQ(tpl::HoverZone(tpl::RectAround(std::nullopt, 21, 11, 0, 0), 21, 11, 100, 50),
            tpl::kNone);
  EXPECT_EQ(tpl::CursorOf(tpl::kTopRight), tpl::CursorOf(tpl::kBottomLeft));
  EXPECT_EQ(tpl::CursorOf(tpl::kNone), tpl::Cursor::kArrow);
}

TEST(TemplateDrag, SizesEndOddAtLeastThreeAndWithinTheFrame) {
  const std::pair<long long, int> cases[][1] = {{{8, 9}}, {{1, 3}},      {{0, 3}},
                                                {{9, 9}}, {{5000, 639}}, {{-7, 3}}};
  for (auto& c : cases) EXPECT_EQ(tpl::OddSize(c[0].first, 640), c[0].second) << c[0].first;
  EXPECT_EQ(tpl::OddSize(1000, 481), 481);
}

TEST(TemplateDrag, DraggingKeepsThreePixelsAndMovesTheOffsets) {
  tpl::Geometry g{21,  11, 0, 0, tpl::RectAround(std::make_pair(100.0f, 50.0f), 21, 11, 0, 0),
                  100, 50};
  float last[2] = {0, 0};
  tpl::DragTo(g, tpl::kRight, 0, 0, last, 640, 480);  // far across the left edge
  EXPECT_EQ(g.width, 3);
  EXPECT_FLOAT_EQ(g.rect.right - g.rect.left, 3.0f);
  tpl::DragTo(g, tpl::kBottom, 0, 60.2f, last, 640, 480);
  EXPECT_EQ(g.height, 17) << "ceil(60.2 - 44.5) = 16, made odd";
  EXPECT_EQ(g.yOffset, static_cast<int>(44.5f - 50 + 17 * 0.5f));
  last[0] = 100;
  last[1] = 50;
  const float left = g.rect.left;
  tpl::DragTo(g, tpl::kMove, 110.7f, 50.4f, last, 640, 480);
  EXPECT_FLOAT_EQ(g.rect.left, left + 10);
  EXPECT_EQ(g.xOffset, static_cast<int>(g.rect.left - 100 + 3 * 0.5f));
  EXPECT_FLOAT_EQ(last[1], 50.4f) << "a move of (10, 0) still follows the mouse";
}

// --- A document with three points in one video ------------------------------------------

struct Figure : testing::Test {
  TestDocument doc;
  FrameSequence* video = doc.AddFrameSequence(new TestVideo("/tmp/fig.avi", 640, 480, 10));
  ResObjectSequences& all = *doc.ObjectSequences();
  ResObjectSequence* a = Point(100, 100);
  ResObjectSequence* b = Point(200, 100);
  ResObjectSequence* c = Point(300, 100);
  connect::ConnectPanelLogic panel{doc};

  ResObjectSequence* Point(float x, float y) {
    ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
    objdoc::SubsOf(*video).Find(s->number)->AddPoint(1, x, y);
    s->AddPoint(1, x, y, 0);
    return s;
  }
  void Drag(ResObjectSequence* from, float x, float y) {
    from->MakeCurrent();
    ASSERT_TRUE(panel.BeginAtCurrentObject());
    panel.MouseMove(x, y, 1.0);
    ASSERT_TRUE(panel.MouseUp());
  }
};

TEST_F(Figure, DraggingConnectsOnlyOverAnotherPointAndReplacesAConnection) {
  a->MakeCurrent();
  ASSERT_TRUE(panel.BeginAtCurrentObject());
  EXPECT_FALSE(panel.BeginAtCurrentObject()) << "one drag at a time";
  panel.MouseMove(101, 101, 1.0);  // over its own start
  EXPECT_FALSE(panel.MouseUp());
  panel.MouseMove(150, 300, 1.0);  // over nothing
  EXPECT_FALSE(panel.MouseUp());
  EXPECT_TRUE(panel.Dragging());
  EXPECT_TRUE(panel.CancelDrag());
  EXPECT_FALSE(panel.CancelDrag());
  EXPECT_EQ(all.Figure().ConnectionCount(), 0u);

  Drag(a, 199, 101);
  ASSERT_NE(panel.SelectedConnection(), nullptr);
  EXPECT_TRUE(panel.SelectedConnection()->Joins(a, b));
  panel.SetCurrentColor(Rgb(0, 255, 0));
  Drag(b, 100, 100);  // again, from the other end
  EXPECT_EQ(all.Figure().ConnectionCount(), 1u);
  EXPECT_EQ(all.Figure().AllConnections().front()->color.color, Rgb(0, 255, 0));
}

TEST_F(Figure, NeedsTwoPointsAtTheFrameToStart) {
  objdoc::SubsOf(*video).Find(b->number)->RemoveObject(1);
  objdoc::SubsOf(*video).Find(c->number)->RemoveObject(1);
  a->MakeCurrent();
  EXPECT_FALSE(panel.BeginAtCurrentObject());
}

TEST_F(Figure, ClicksSelectProposeKeepAndDropAngles) {
  g_UnitsOrigin.angleUnit = unit::kDegree;
  Drag(a, 200, 100);
  Drag(b, 300, 100);
  SequencePair* ab = all.Figure().FindConnection(a, b);
  SequencePair* bc = all.Figure().FindConnection(b, c);
  panel.MouseDown(50, 300, 1.0, true);  // empty: nothing selected
  EXPECT_EQ(panel.SelectedConnection(), nullptr);

  // Within 4 pixels of the line but beyond its end: no hit.
  EXPECT_FALSE(panel.HitConnection(98, 102, 1.0, true));
  panel.MouseDown(150, 103, 1.0, true);
  EXPECT_EQ(panel.SelectedConnection(), ab);
  panel.MouseDown(250, 97, 1.0, true);  // a second connection proposes the angle
  ASSERT_NE(panel.SelectedAngle(), nullptr);
  EXPECT_FALSE(panel.SelectedAngle()->confirmed);
  connect::Readouts r = panel.UpdateReadouts();
  EXPECT_TRUE(r.hasAngle);
  EXPECT_FALSE(r.confirmed);
  EXPECT_EQ(r.angle2D, "180.000 " + g_UnitsOrigin.UnitName(unit::kDegree));
  EXPECT_EQ(r.swatches[1], b);
  EXPECT_EQ(r.length2D, "100.000 " + g_UnitsOrigin.UnitName(unit::kMm));

  panel.MouseDown(50, 300, 1.0, true);  // an empty click drops the proposal
  EXPECT_EQ(all.Figure().AngleCount(), 0u);

  panel.MouseDown(150, 100, 1.0, true);
  panel.MouseDown(250, 100, 1.0, true);
  all.SetModified(false);
  panel.CreateAngle();
  EXPECT_TRUE(all.IsModified()) << "keeping the angle is a change to save";
  panel.SwitchAngle();
  EXPECT_EQ(panel.UpdateReadouts().angle2D, "180.000 " + g_UnitsOrigin.UnitName(unit::kDegree));
  all.SetModified(false);
  panel.RenameAngle("knee");
  EXPECT_TRUE(all.IsModified()) << "renaming an angle is a change to save";
  panel.MouseDown(50, 300, 1.0, true);
  EXPECT_EQ(all.Figure().AngleCount(), 1u) << "a kept angle stays";
  EXPECT_EQ(*all.Figure().AllAngles().front()->name, "knee");

  // Hidden panel: clicks only select.
  panel.MouseDown(150, 100, 1.0, false);
  panel.MouseDown(250, 100, 1.0, false);
  EXPECT_EQ(panel.SelectedConnection(), bc);
  EXPECT_EQ(panel.SelectedAngle(), nullptr);
  panel.DeleteConnection();
  EXPECT_EQ(all.Figure().ConnectionCount(), 1u);
  EXPECT_EQ(all.Figure().AngleCount(), 0u) << "the angle goes with its connection";

  // Closing the panel drops a proposal and the selection.
  Drag(b, 300, 100);
  panel.MouseDown(150, 100, 1.0, true);
  panel.MouseDown(250, 100, 1.0, true);
  ASSERT_EQ(all.Figure().AngleCount(), 1u);
  panel.Reset();
  EXPECT_EQ(all.Figure().AngleCount(), 0u);
  EXPECT_EQ(panel.SelectedConnection(), nullptr);
  EXPECT_FALSE(panel.Dragging());
}

TEST_F(Figure, CoincidentPointsShowZeroLengthAndAnUndefinedAngle) {
  // c lies on b in the image: the b-c connection has no length and the angle no value.
  objdoc::SubsOf(*video).Find(c->number)->AddPoint(1, 200, 100);
  c->AddPoint(1, 200, 100, 0);
  Drag(a, 200, 100);
  SequencePair* bc = all.Figure().Connect(b, c, 0);
  EXPECT_FALSE(panel.HitConnection(200, 100, 1.0, true)) << "a point-long line is unhittable";
  panel.ProposeAngle(bc, all.Figure().FindConnection(a, b));
  ASSERT_NE(panel.SelectedAngle(), nullptr);
  const connect::Readouts r = panel.UpdateReadouts();
  EXPECT_EQ(r.angle2D, "undef");
  EXPECT_EQ(r.length2D, "0.000 " + g_UnitsOrigin.UnitName(unit::kMm));
  EXPECT_EQ(r.length3D, "0.000 " + g_UnitsOrigin.UnitName(unit::kMm));
}

TEST(ConnectColor, ParsesThreeNumbersElseBlue) {
  EXPECT_EQ(connect::ParseColor("10 20 30"), Rgb(10, 20, 30));
  EXPECT_EQ(connect::ParseColor("10 20"), connect::kDefaultColor);
  EXPECT_EQ(connect::ParseColor(""), Rgb(0, 0, 255));
  EXPECT_EQ(connect::ColorText(Rgb(1, 2, 3)), "1 2 3");
}

// --- Object editor ------------------------------------------------------------------------

struct Editor : testing::Test {
  TestDocument doc;
  FrameSequence* video = doc.AddFrameSequence(new TestVideo("/tmp/ed.avi", 640, 480, 10));
  ResObjectSequences& all = *doc.ObjectSequences();
};

TEST_F(Editor, BoxesFollowFlagsAndEverySwitchIsSaved) {
  ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
  s->SetFlags(seqflag::kHidden);
  EXPECT_EQ(objedit::CheckState(objedit::kTracking, *s), objedit::kGrey);
  EXPECT_EQ(objedit::CheckState(objedit::kDisplay, *s), objedit::kClear);
  all.SetModified(false);
  EXPECT_EQ(objedit::Toggle(objedit::kTracking, *s), objedit::kClear) << "grey counts as ticked";
  EXPECT_TRUE(all.IsModified()) << "untracking must be saved";
  all.SetModified(false);
  EXPECT_EQ(objedit::Toggle(objedit::kDisplay, *s), objedit::kTicked);
  EXPECT_TRUE(all.IsModified()) << "unhiding must be saved";
  EXPECT_EQ(objedit::Toggle(objedit::kTracking, *s), objedit::kTicked);
  EXPECT_EQ(objedit::Toggle(objedit::kEdit, *s), objedit::kTicked);
  EXPECT_EQ(s->editable, 1u);
}

TEST_F(Editor, AllOnAndOffSwitchTrackingAndDisplayInEveryMode) {
  ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* t = all.NewSequence(seqflag::kNewSequence);
  objedit::EnterMode(doc, objedit::kEdit);
  objedit::AllOff(doc);
  for (auto* x : {s, t}) EXPECT_EQ(x->flags & 0x3, seqflag::kHidden);
  EXPECT_EQ(s->editable, 0u) << "the edit choice is not switched";
  objedit::AllOn(doc);
  for (auto* x : {s, t}) EXPECT_EQ(x->flags & 0x3, seqflag::kTracked);
}

TEST_F(Editor, CommonEditCopiesFlagsLimitsAndMarkerButNotTheColour) {
  ResObjectSequence* model = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* other = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* untouched = all.NewSequence(seqflag::kNewSequence);
  objedit::EnterMode(doc, objedit::kEdit);
  EXPECT_FALSE(objedit::AnyChosen(doc));
  model->editable = other->editable = 1;
  ASSERT_EQ(objedit::FirstChosen(doc), model);
  model->ClearFlags(seqflag::kTracked);
  model->horizontalLimit = 41;
  model->style = kMarkerStar;
  model->markerWidth = 13;
  const ColorValue colour = other->color;
  objedit::ApplyToChosen(doc, *model);
  EXPECT_EQ(other->flags & seqflag::kTracked, 0u);
  EXPECT_EQ(other->horizontalLimit, 41);
  EXPECT_EQ(other->style, kMarkerStar);
  EXPECT_EQ(other->markerWidth, 13);
  EXPECT_EQ(other->color, colour);
  EXPECT_NE(untouched->horizontalLimit, 41);
}

TEST(EditorRows, SelectionAndTopRowAfterADelete) {
  struct Case {
    int deleted, count, top, selected, newTop;
  } cases[] = {{2, 5, 0, 2, 0}, {4, 4, 0, 3, 0},  {0, 0, 0, -1, 0},
               {9, 9, 3, 8, 1}, {3, 12, 2, 3, 2}, {11, 11, 4, 10, 3}};
  for (const Case& c : cases) {
    auto r = objedit::AfterDelete(c.deleted, c.count, c.top);
    EXPECT_EQ(r.selected, c.selected) << c.deleted << "/" << c.count;
    EXPECT_EQ(r.top, c.newTop) << c.deleted << "/" << c.count;
  }
}

TEST_F(Editor, RecoversSeveralDeletedSequencesWhateverTheOrderChosen) {
  for (int i = 0; i < 4; ++i) all.NewSequence(seqflag::kNewSequence);
  for (int n : {0, 1, 3}) all.DeleteSequence(n);
  ASSERT_EQ(objedit::DeletedSequences(doc).size(), 3u);
  objedit::RestoreRows(doc, {0, 2});  // numbers 0 and 3
  EXPECT_NE(all.Find(0, seqmask::kOrdinary), nullptr);
  EXPECT_NE(all.Find(3, seqmask::kOrdinary), nullptr);
  EXPECT_EQ(all.Find(1, seqmask::kOrdinary), nullptr);
  EXPECT_EQ(objedit::SequenceAtRow(doc, 2)->number, 3);
  EXPECT_EQ(objedit::SequenceAtRow(doc, 3), nullptr);
}

// --- Object panel edits -----------------------------------------------------------------

TEST_F(Editor, PanelEditsAreBoundedAndSaved) {
  ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
  SubObjectSequence& sub = *objdoc::SubsOf(*video).Find(s->number);
  all.SetModified(false);
  EXPECT_FALSE(objpanel::SetName(*s, ""));
  EXPECT_FALSE(all.IsModified());
  EXPECT_TRUE(objpanel::SetLimits(*s, 5000, -2));
  EXPECT_EQ(s->horizontalLimit, objpanel::kMaxLimit);
  EXPECT_EQ(s->verticalLimit, 0);
  EXPECT_TRUE(all.IsModified());

  objpanel::TemplateFields f{8, 100000, 3, -4};
  all.SetModified(false);
  EXPECT_TRUE(objpanel::ApplyTemplateFields(sub, f, 640, 480));
  EXPECT_EQ(f.width, 9);
  EXPECT_EQ(f.height, 479) << "no wider than the frame";
  EXPECT_EQ(sub.height, 479);
  EXPECT_TRUE(all.IsModified());
  EXPECT_FALSE(objpanel::ApplyTemplateFields(sub, f, 640, 480));
  EXPECT_TRUE(objpanel::CentreTemplate(sub));
  EXPECT_FALSE(objpanel::CentreTemplate(sub));
  EXPECT_EQ(objpanel::AlgorithmIndex(25208), 3);
  EXPECT_EQ(objpanel::AlgorithmIndex(12), 0);
}

TEST_F(Editor, PositionsFollowTheOriginCorner) {
  ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
  SubObjectSequence& sub = *objdoc::SubsOf(*video).Find(s->number);
  EXPECT_EQ(objpanel::Position2D(doc, *video, sub), "");
  sub.AddPoint(1, 10, 20);
  const UnitsOrigin saved = g_UnitsOrigin;
  g_UnitsOrigin.imageViewUnit = unit::kPixel;
  g_UnitsOrigin.origin = kOriginLeftBottom;
  EXPECT_EQ(objpanel::Position2D(doc, *video, sub), "10.00/460.00");
  g_UnitsOrigin.origin = kOriginRightTop;
  EXPECT_EQ(objpanel::Position2D(doc, *video, sub), "630.00/20.00");
  g_UnitsOrigin = saved;
  s->AddPoint(1, 1, 2, 3);
  EXPECT_EQ(objpanel::Position3D(doc, *s), "1.00/2.00/3.00");
}

}  // namespace
