#include "objects/stickfigure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects_test_util.h"

namespace {

constexpr double kPi = std::numbers::pi;

struct Figure : ::testing::Test {
  ResObjectSequences all{nullptr};
  StickFigure& figure = all.Figure();
  ResObjectSequence* Seq(float x, float y, float z = 0) {
    ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
    s->AddPoint(1, x, y, z);
    return s;
  }
};

TEST_F(Figure, ConnectionsAreUnorderedPairsAndTheCursorSkipsDeletedEnds) {
  ResObjectSequence *a = Seq(0, 0), *b = Seq(1, 0), *c = Seq(2, 0);
  ASSERT_NE(figure.Connect(a, b, 1), nullptr);
  EXPECT_EQ(figure.Connect(b, a, 2), nullptr);
  EXPECT_EQ(figure.Connect(a, nullptr, 2), nullptr);
  ASSERT_NE(figure.Connect(b, c, 3), nullptr);  // newest first: (b, c), (a, b)
  all.DeleteSequence(c->number);
  figure.FirstConnection();
  EXPECT_EQ(figure.CurrentConnection(), figure.FindConnection(a, b));
  EXPECT_FALSE(figure.NextConnection());
  all.Restore(c);
  figure.FirstConnection();
  EXPECT_EQ(figure.CurrentFirstSequence(), b);
  EXPECT_EQ(figure.CurrentSecondSequence(), c);
  EXPECT_TRUE(figure.NextConnection());
  EXPECT_EQ(figure.CurrentFirstSequence(), a);

  all.SetModified(false);
  EXPECT_TRUE(figure.Disconnect(b, a));
  EXPECT_TRUE(all.IsModified());
  EXPECT_FALSE(figure.Disconnect(a, b));
  EXPECT_EQ(figure.ConnectionCount(), 1u);
}

TEST_F(Figure, AngleOfAStraightLineIsPiAndSwitchingMeasuresFromTheOtherSide) {
  ResObjectSequence *a = Seq(0, 0), *b = Seq(10, 0), *c = Seq(20, 0), *d = Seq(10, 10);
  SequencePair* ab = figure.Connect(a, b, 0);
  SequencePair* bc = figure.Connect(b, c, 0);
  SequencePair* bd = figure.Connect(b, d, 0);
  AngleSequencePair* straight = figure.CreateAngle(ab, bc, std::nullopt);
  ASSERT_NE(straight, nullptr);
  EXPECT_EQ(straight->Sequence2(), b);
  EXPECT_EQ(straight->Sequence3(), b);
  EXPECT_NEAR(straight->Angle(1, 0, nullptr), kPi, 1e-9);
  EXPECT_EQ(figure.CreateAngle(bc, ab, std::nullopt), nullptr);
  EXPECT_EQ(figure.CreateAngle(ab, ab, std::nullopt), nullptr);

  AngleSequencePair* right = figure.CreateAngle(ab, bd, std::string("knee"));
  const double theta = right->Angle(1, 1, nullptr);
  EXPECT_NEAR(std::min(theta, 2 * kPi - theta), kPi / 2, 1e-9);
  all.SetModified(false);
  right->Switch();
  EXPECT_TRUE(all.IsModified());
  EXPECT_NEAR(right->Angle(1, 1, nullptr), 2 * kPi - theta, 1e-9);
  EXPECT_EQ(*right->name, "knee");

  // Disconnecting a connection takes its angles along.
  EXPECT_TRUE(figure.Disconnect(a, b));
  EXPECT_EQ(figure.AngleCount(), 0u);
}

TEST_F(Figure, UndefinedAnglesInsteadOfDividingByZero) {
  ResObjectSequence *a = Seq(5, 5), *b = Seq(5, 5), *c = Seq(20, 0);
  ResObjectSequence* noPoint = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* missing = Seq(kMissingCoordinate, 3);
  AngleSequencePair* coincident =
      figure.CreateAngle(figure.Connect(a, b, 0), figure.Connect(b, c, 0), std::nullopt);
  EXPECT_EQ(coincident->Angle(1, 0, nullptr), kUndefinedAngle);
  EXPECT_EQ(coincident->Angle(0, 0, nullptr), kUndefinedAngle);
  AngleSequencePair* gap =
      figure.CreateAngle(figure.FindConnection(b, c), figure.Connect(c, noPoint, 0), std::nullopt);
  EXPECT_EQ(gap->Angle(1, 0, nullptr), kUndefinedAngle);
  AngleSequencePair* unknown =
      figure.CreateAngle(figure.FindConnection(b, c), figure.Connect(c, missing, 0), std::nullopt);
  EXPECT_EQ(unknown->Angle(1, 0, nullptr), kUndefinedAngle);
  // In the XY plane a connection along z has no length either.
  ResObjectSequence *p = Seq(0, 0, 0), *q = Seq(0, 0, 50), *r = Seq(9, 0, 0);
  AngleSequencePair* vertical =
      figure.CreateAngle(figure.Connect(q, p, 0), figure.Connect(p, r, 0), std::nullopt);
  EXPECT_EQ(vertical->Angle(1, 1, nullptr), kUndefinedAngle);
  // In the XZ plane the one non-zero normal component, -y, turns the angle over.
  EXPECT_NEAR(vertical->Angle(1, 2, nullptr), 1.5 * kPi, 1e-9);
}

TEST_F(Figure, GeneratedNamesHaveNoLengthLimit) {
  std::vector<ResObjectSequence*> s;
  for (int i = 0; i < 1234; ++i) s.push_back(all.NewSequence(seqflag::kNewSequence));
  s[1000]->AddPoint(1, 0, 0);
  s[1001]->AddPoint(1, 10, 0);
  s[1233]->AddPoint(1, 20, 5);
  AngleSequencePair* angle = figure.CreateAngle(figure.Connect(s[1000], s[1001], 0),
                                                figure.Connect(s[1001], s[1233], 0), std::nullopt);
  EXPECT_EQ(*angle->name, "Angle1000100110011233");
  all.SetModified(false);
  angle->SetName(std::string("hip"));
  EXPECT_TRUE(all.IsModified());
}

TEST_F(Figure, WithoutACommonSequenceTheVertexIsTheIntersectionAndSwitchCyclesEightStates) {
  ResObjectSequence *a = Seq(0, 0), *b = Seq(10, 0), *c = Seq(20, 5), *d = Seq(20, 30);
  SequencePair* p = figure.Connect(a, b, 0);
  SequencePair* q = figure.Connect(c, d, 0);
  AngleSequencePair* angle = figure.CreateAngle(p, q, std::nullopt);
  float v[3];
  ASSERT_TRUE(angle->Vertex(v, 1, nullptr));
  EXPECT_FLOAT_EQ(v[0], 20);
  EXPECT_FLOAT_EQ(v[1], 0);
  // The ends nearest the intersection, b and c, are on the vertex side.
  EXPECT_EQ(angle->Sequence2(), b);
  EXPECT_EQ(angle->Sequence3(), c);
  EXPECT_FALSE(angle->autoOrient);

  angle->swap1 = angle->swap2 = false;
  struct State {
    SequencePair *first, *second;
    bool s1, s2;
  };
  const State states[] = {{q, p, 0, 1}, {p, q, 1, 1}, {q, p, 1, 0}, {q, p, 0, 0},
                          {p, q, 0, 1}, {q, p, 1, 1}, {p, q, 1, 0}, {p, q, 0, 0}};
  for (const State& s : states) {
    angle->Switch();
    EXPECT_EQ(angle->pair1, s.first);
    EXPECT_EQ(angle->swap1, s.s1);
    EXPECT_EQ(angle->swap2, s.s2);
  }

  // Parallel lines have no vertex.
  ResObjectSequence *e = Seq(0, 10), *f = Seq(10, 10);
  AngleSequencePair* parallel = figure.CreateAngle(p, figure.Connect(e, f, 0), std::nullopt);
  EXPECT_FALSE(parallel->Vertex(v, 1, nullptr));
}

TEST_F(Figure, DeletedSequencesHideTheirAnglesAndRemovalDropsThem) {
  ResObjectSequence *a = Seq(0, 0), *b = Seq(10, 0), *c = Seq(20, 0);
  AngleSequencePair* angle =
      figure.CreateAngle(figure.Connect(a, b, 0), figure.Connect(b, c, 0), std::nullopt);
  all.DeleteSequence(c->number);
  EXPECT_EQ(figure.NextAngle(nullptr, false), nullptr);
  EXPECT_EQ(figure.NextAngle(nullptr, true), angle);
  all.Restore(c);
  EXPECT_EQ(figure.NextAngle(nullptr, false), angle);
  all.RemoveSequence(c);
  EXPECT_EQ(figure.AngleCount(), 0u);
  EXPECT_EQ(figure.ConnectionCount(), 1u);
}

TEST_F(Figure, DrawsLinesAndAnglesOfVisiblePoints) {
  ResObjectSequence *a = Seq(0, 0), *b = Seq(10, 0), *c = Seq(10, 10);
  SequencePair* ab = figure.Connect(a, b, Rgb(1, 2, 3));
  SequencePair* bc = figure.Connect(b, c, Rgb(4, 5, 6));  // drawn first: newest first
  figure.CreateAngle(ab, bc, std::nullopt);
  RecordingCanvas canvas;
  const ViewMapping map{100, 200, 2, 2};
  figure.DrawConnections(nullptr, canvas, map, 1, 3, kPenDash);
  ASSERT_EQ(canvas.calls.size(), 2u);
  EXPECT_EQ(canvas.calls[0], (DrawCall{"line", {120, 200, 120, 220}, Rgb(4, 5, 6)}));
  EXPECT_EQ(canvas.pens[0], (Pen{Rgb(4, 5, 6), 3, kPenDash}));
  canvas.calls.clear();
  figure.DrawAngles(nullptr, canvas, map, 1, 1, kPenSolid);
  ASSERT_EQ(canvas.calls.size(), 5u);
  EXPECT_EQ(canvas.calls[4].kind, "arc");
  EXPECT_EQ(canvas.calls[4].v[0], 100);  // vertex (10, 0), radius 10: (0, -10) to (20, 10)
  EXPECT_EQ(canvas.calls[4].v[3], 220);
  EXPECT_EQ(canvas.calls[4].color, b->color);
  canvas.calls.clear();
  b->SetFlags(seqflag::kHidden);
  figure.DrawConnections(nullptr, canvas, map, 1, 1, kPenSolid);
  figure.DrawAngles(nullptr, canvas, map, 1, 1, kPenSolid);
  EXPECT_TRUE(canvas.calls.empty());
}

}  // namespace
