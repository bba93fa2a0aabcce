#include "analysis/curves/curvelists.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis_test_util.h"
#include "objects/stickfigure.h"

namespace {

// One pixel per frame and per unit, frame 0 at x = 0, value 0 at y = 100, growing upwards.
const PlotMapping kMap{0, 100, 1.0f, -1.0f, 0.0f, 0.0f};

TEST(CurveDrawing, GapsBreakThePolyline) {
  TestKurve k({1, 2, 3, M, M, 6, 7, 8});
  RecordingPlotCanvas canvas;
  k.DrawPolyline(canvas, kMap, 8, nullptr);
  const auto lines = canvas.Of("polyline");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].v, (std::vector<int>{1, 99, 2, 98, 3, 97}));
  EXPECT_EQ(lines[1].v, (std::vector<int>{6, 94, 7, 93, 8, 92}));
  // Frames after the last are not drawn.
  RecordingPlotCanvas part;
  k.DrawPolyline(part, kMap, 2, nullptr);
  ASSERT_EQ(part.Of("polyline").size(), 1u);
  EXPECT_EQ(part.Of("polyline")[0].v.size(), 4u);
}

TEST(CurveDrawing, WithoutConnectEachValueIsAPixelADotOrAMarker) {
  RecordingPlotCanvas thin, wide, marked;
  TestKurve(std::vector<float>{1, M, 3}, 1, false).DrawPolyline(thin, kMap, 3, nullptr);
  EXPECT_EQ(thin.Of("pixel").size(), 2u);
  EXPECT_TRUE(thin.Of("polyline").empty());
  TestKurve(std::vector<float>{1, M, 3}, 3, false).DrawPolyline(wide, kMap, 3, nullptr);
  const auto dots = wide.Of("line");
  ASSERT_EQ(dots.size(), 2u);
  EXPECT_EQ(dots[1].v, (std::vector<int>{3, 97, 3, 97}));
  EXPECT_EQ(dots[1].pen.width, 3);

  SequenceDocument d(3);
  ResObjectSequence* s = d.Make({1, 2, 3});
  s->style = kMarkerCircle;
  ResultierendeZeichnen r(s, 1, 0, false);
  r.SetStyle(1, 0, false, true, false);
  r.Compute(0, ResultantMode::kMagnitudeFirst);
  r.SetHighlight(true);
  r.Draw(marked, kMap);
  const auto markers = marked.Of("ellipse");
  ASSERT_EQ(markers.size(), 3u);
  EXPECT_EQ(markers[0].color, kHighlightColor);
}

TEST(CurveDrawing, DenseDataDrawsEachPixelColumnOnce) {
  // 100 000 frames over 1 000 pixels: a saw tooth between 10 and 90.
  const int n = 100000;
  std::vector<float> v(n);
  for (int i = 0; i < n; ++i) v[i] = 10.0f + 80.0f * ((i * 7) % 100) / 99.0f;
  TestKurve k(v);
  RecordingPlotCanvas canvas;
  k.DrawPolyline(canvas, PlotMapping{0, 100, 0.01f, -1.0f, 0.0f, 0.0f}, n, nullptr);
  const auto lines = canvas.Of("polyline");
  ASSERT_EQ(lines.size(), 1u);
  const auto& p = lines[0].v;
  EXPECT_LE(p.size() / 2, 4u * 1001u);
  // Every column still reaches the lowest and the highest value.
  int lo = 1000, hi = -1000;
  for (std::size_t i = 1; i < p.size(); i += 2) lo = std::min(lo, p[i]), hi = std::max(hi, p[i]);
  EXPECT_EQ(lo, 10);
  EXPECT_EQ(hi, 90);
  // Long curves show the wait cursor meanwhile.
  EXPECT_EQ(canvas.calls.front().kind, "busy");
  EXPECT_EQ(canvas.calls.back().kind, "idle");
}

TEST(CurveHitTest, SegmentsAreSampledEverySevenPixels) {
  // Frames 1 and 2 at value 50, 20 pixels apart: sampled at 0, 10 and 20 pixels.
  const float sx = 20.0f, sy = -1.0f;
  TestKurve k({50, 50});
  EXPECT_TRUE(k.HitTest(1.5f, 56.0f, sx, sy, 2));
  EXPECT_FALSE(k.HitTest(1.5f, 58.0f, sx, sy, 2));
  EXPECT_TRUE(k.HitTest(2.0f, 44.0f, sx, sy, 2));
  // Without connect only the values themselves are hit.
  TestKurve dots({50, 50}, 1, false);
  EXPECT_FALSE(dots.HitTest(1.5f, 50.0f, sx, sy, 2));
  EXPECT_TRUE(dots.HitTest(1.0f, 51.0f, sx, sy, 2));
  EXPECT_TRUE(dots.HitTest(2.0f, 51.0f, sx, sy, 2));
  // No scale, no mouse value: nothing is hit.
  EXPECT_FALSE(k.HitTest(1.5f, 50.0f, 0.0f, sy, 2));
  EXPECT_FALSE(k.HitTest(M, 50.0f, sx, sy, 2));
}

TEST(CurveHitTest, EntriesOfYOverXTestLoneValues) {
  SequenceDocument d(5);
  AnlWinObjectSequence e(d.Make({10, 20, M, 40, M}, {1, 2, M, 4, M}), 1, 0, true, false);
  e.GetStatistics(quantity::kYOverX);
  EXPECT_TRUE(e.HitTest(quantity::kYOverX, 40.0f, 4.0f, 1.0f, 1.0f));
  EXPECT_TRUE(e.HitTest(quantity::kYOverX, 15.0f, 1.5f, 1.0f, 1.0f));
  EXPECT_FALSE(e.HitTest(quantity::kYOverX, 30.0f, 3.0f, 1.0f, 1.0f));
  EXPECT_FALSE(e.HitTest(quantity::kX, 4.0f, 40.0f, 1.0f, 1.0f));  // not gathered yet
}

TEST(Crosshair, SnapsToTheNearestValueThenFollowsALevel) {
  TestKurve k({0, 2, 4, 6, 4, 2, 0});
  float t = 3.2f, v = 3.0f;
  k.SnapCrosshair(t, v, 1.0f, 1.0f, 7);
  EXPECT_EQ(k.CrosshairIndex(), 2);
  EXPECT_EQ(t, 3.0f);
  EXPECT_EQ(v, 4.0f);
  // Down to 2: the value 2 at frame 2 lies before the crosshair.
  v = 2.0f;
  k.SnapCrosshair(t, v, 0.0f, 1.0f, 7);
  EXPECT_EQ(k.CrosshairIndex(), 1);
  // At the top a level above it keeps the crosshair there.
  t = 4, v = 6;
  k.SnapCrosshair(t, v, 1.0f, 1.0f, 7);
  ASSERT_EQ(k.CrosshairIndex(), 3);
  v = 9.0f;
  k.SnapCrosshair(t, v, 0.0f, 1.0f, 7);
  EXPECT_EQ(k.CrosshairIndex(), 3);
  EXPECT_EQ(v, 6.0f);
  k.SetHighlight(true);
  EXPECT_EQ(k.CrosshairIndex(), -1);

  SequenceDocument d(6);
  AnlWinObjectSequence e(d.Make({0, 1, 2, 3, 4, 5}, {0, 10, 20, 10, 0, 10}), 1, 0, true, false);
  e.GetStatistics(quantity::kY);
  t = 5.0f, v = 1.0f;
  e.SnapCrosshair(quantity::kY, t, v, 1.0f, 1.0f);
  EXPECT_EQ(e.CrosshairIndex(), 4);
  v = 15.0f;  // between frames 2 and 3, 3 and 4: frame 4 is nearest to the crosshair
  e.SnapCrosshair(quantity::kY, t, v, 0.0f, 1.0f);
  EXPECT_EQ(e.CrosshairIndex(), 3);
  EXPECT_EQ(t, 4.0f);
  EXPECT_EQ(v, 10.0f);
}

TEST(DistanceCurve, SequencesWithoutACommonFrameGiveNoCurve) {
  SequenceDocument d(6);
  DistanzZeichnen c(d.Make({1, 2, M, M, M, M}), d.Make({M, M, M, 4, 5, 6}), 1, 0, true);
  c.Compute(0);
  EXPECT_EQ(c.LastFrame(), -1);
  EXPECT_EQ(c.Values(), nullptr);
  EXPECT_FALSE(c.IsValid());
}

TEST(DistanceCurve, DerivativesAreMissingAtTheEndsAndAroundFramesWithoutAPoint) {
  const int n = 16;
  std::vector<float> a(n), b(n);
  for (int i = 0; i < n; ++i) a[i] = 0.0f, b[i] = 3.0f * i;
  b[8] = M;
  SequenceDocument d(n);
  DistanzZeichnen c(d.Make(a, std::vector<float>(n, 0)), d.Make(b, std::vector<float>(n, 0)), 1, 0,
                    true);
  c.Compute(1);
  ASSERT_TRUE(c.IsValid());
  for (int i = 0; i < n; ++i) {
    const bool missing = i < 2 || i >= n - 2 || std::abs(i - 8) <= 2;
    EXPECT_EQ(c.Values()[i] == M, missing) << i;
    if (!missing) {
      EXPECT_FLOAT_EQ(c.Values()[i], 3.0f) << i;
    }
  }
  const CurveRange r = c.GetRange();
  EXPECT_EQ(r.first, 1.0f);
  EXPECT_EQ(r.last, 16.0f);
  EXPECT_FLOAT_EQ(r.min, 3.0f);
  EXPECT_FLOAT_EQ(r.max, 3.0f);
}

TEST(DistanceCurve, APointWithAMissingCoordinateHasNoDistance) {
  SequenceDocument d(4);
  ResObjectSequence* a = d.Make({0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, M, 0});
  DistanzZeichnen c(a, d.Make({3, 3, 3, 3}, {4, 4, 4, 4}), 1, 0, true);
  c.Compute(0);
  EXPECT_EQ(c.Values()[2], M);
  EXPECT_EQ(c.GetRange().max, 5.0f);
  EXPECT_EQ(c.GetRange().min, 5.0f);
}

TEST(ResultantCurve, VelocityOfAPointMovingAtConstantSpeed) {
  // 3, 4, 0 mm per frame from (30, 40, 0): 5 mm per frame.
  const int n = 12;
  std::vector<float> x(n), y(n);
  for (int i = 0; i < n; ++i) x[i] = 30.0f + 3.0f * i, y[i] = 40.0f + 4.0f * i;
  SequenceDocument d(n);
  ResObjectSequence* s = d.Make(x, y);
  ResultierendeZeichnen absolute(s, 1, 0, true), magnitude(s, 1, 0, true);
  absolute.Compute(1, ResultantMode::kDerivativesFirst);
  magnitude.Compute(1, ResultantMode::kMagnitudeFirst);
  ASSERT_TRUE(absolute.IsValid());
  for (int i = 2; i < n - 2; ++i) {
    EXPECT_NEAR(absolute.Values()[i], 5.0f, 1e-4) << i;
    // The distance from the origin grows by 5 per frame along this line as well.
    EXPECT_NEAR(magnitude.Values()[i], 5.0f, 1e-3) << i;
  }
  EXPECT_EQ(absolute.Values()[1], M);
  EXPECT_EQ(absolute.GetRange().first, 3.0f);
  EXPECT_EQ(absolute.GetColor(), s->color);
}

TEST(ResultantCurve, ResultingVelocityOffTheOriginLineIsTheChangeOfDistance) {
  // Along x at y = 100: the distance from the origin grows slower than the speed.
  const int n = 9;
  std::vector<float> x(n), y(n, 100.0f);
  for (int i = 0; i < n; ++i) x[i] = 10.0f * i;
  SequenceDocument d(n);
  ResultierendeZeichnen c(d.Make(x, y), 1, 0, true);
  c.Compute(1, ResultantMode::kMagnitudeFirst);
  const float expected = (std::hypot(50.0f, 100.0f) - std::hypot(30.0f, 100.0f)) / 2.0f;
  EXPECT_NEAR(c.Values()[4], expected, 0.05f);
}

struct AngleFigure : ::testing::Test {
  // Vertex b; a on the x axis; c turning about b: 90 degrees except where a point has no x.
  void SetUp() override {
    std::vector<float> ax(n, 10), ay(n, 0), bx(n, 0), by(n, 0), cx(n, 0), cy(n, 10);
    ax[5] = M;
    a = d.Make(ax, ay);
    b = d.Make(bx, by);
    c = d.Make(cx, cy);
    StickFigure& f = d.doc.ObjectSequences()->Figure();
    angle = f.CreateAngle(f.Connect(a, b, 1), f.Connect(b, c, 2), std::nullopt);
    ASSERT_NE(angle, nullptr);
  }
  const int n = 14;
  SequenceDocument d{14};
  ResObjectSequence *a, *b, *c;
  AngleSequencePair* angle;
};

TEST_F(AngleFigure, AnUndefinedAngleLeavesItsFrameAndItsDerivativeNeighboursMissing) {
  WinkelZeichnen w(angle, 1, 0, true);
  w.Compute(0, 0);
  ASSERT_TRUE(w.IsValid());
  EXPECT_EQ(w.Values()[5], M);
  // A right angle, measured from either side.
  EXPECT_NEAR(std::fabs(w.Values()[4] - M_PI), M_PI / 2, 1e-5);
  w.Compute(1, 0);
  for (int i = 0; i < n; ++i) {
    const bool missing = i < 2 || i >= n - 2 || std::abs(i - 5) <= 2;
    EXPECT_EQ(w.Values()[i] == M, missing) << i;
    if (!missing) {
      EXPECT_NEAR(w.Values()[i], 0.0f, 1e-5) << i;
    }
  }
}

TEST_F(AngleFigure, ListsMakeComputeRangeAndSelectTheirCurves) {
  const StickFigure& f = d.doc.ObjectSequences()->Figure();
  WinkelListe angles;
  angles.CreateEntries(f, 1, 0, true);
  ASSERT_EQ(angles.Curves().size(), 1u);
  angles.ComputeAll(0, 1);
  EXPECT_TRUE(angles.AnyValid());
  EXPECT_EQ(angles.Select(angle), angles.Curves()[0].get());
  EXPECT_EQ(angles.Curves()[0]->DrawingColor(), kHighlightColor);

  Distanzen distances;
  distances.CreateEntries(f, 1, 0, true);
  ASSERT_EQ(distances.Curves().size(), 2u);
  distances.ComputeAll(0);
  const auto range = distances.RangeOfAll();
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, 1.0f);
  EXPECT_EQ(range->last, 14.0f);
  EXPECT_FLOAT_EQ(range->min, 10.0f);
  EXPECT_TRUE(distances.ColorInUse(1));
  EXPECT_FALSE(distances.ColorInUse(7));
  EXPECT_EQ(distances.Select(b, a), nullptr);
  EXPECT_NE(distances.Select(a, b), nullptr);
  // A hidden sequence hides its distances from range and validity.
  a->flags |= seqflag::kHidden;
  b->flags |= seqflag::kHidden;
  EXPECT_FALSE(distances.AnyValid());

  WinkelListe hiddenAngles;
  hiddenAngles.CreateEntries(f, 1, 0, true);
  EXPECT_TRUE(hiddenAngles.Empty());
  c->flags |= seqflag::kHidden;
  ResultierendenListe resultants;
  resultants.CreateEntries(*d.doc.ObjectSequences(), seqmask::kAll, 1, 0, true);
  EXPECT_TRUE(resultants.Empty());
  EXPECT_FALSE(resultants.AnyValid());
}

TEST(CurveParameters, QuantityCodesChooseListOrderModeAndPlane) {
  using enum CurveKind;
  using enum ResultantMode;
  struct Case {
    int code;
    CurveKind kind;
    int order;
    ResultantMode mode;
    int plane;
  };
  const Case cases[] = {
      {14, kDistance, 0, kMagnitudeFirst, 0},  {16, kDistance, 2, kMagnitudeFirst, 0},
      {10, kResultant, 1, kMagnitudeFirst, 0}, {39, kResultant, 1, kDerivativesFirst, 0},
      {40, kResultant, 2, kMagnitudeFirst, 0}, {13, kResultant, 2, kDerivativesFirst, 0},
      {49, kResultant, 0, kMagnitudeFirst, 0}, {17, kAngle, 0, kMagnitudeFirst, 0},
      {22, kAngle, 2, kMagnitudeFirst, 1},     {24, kAngle, 1, kMagnitudeFirst, 2},
      {28, kAngle, 2, kMagnitudeFirst, 3},
  };
  for (const Case& c : cases) {
    const auto p = CurveParametersOf(c.code);
    ASSERT_TRUE(p) << c.code;
    EXPECT_EQ(p->kind, c.kind) << c.code;
    EXPECT_EQ(p->order, c.order) << c.code;
    EXPECT_EQ(p->mode, c.mode) << c.code;
    EXPECT_EQ(p->plane, c.plane) << c.code;
  }
  for (int code : {0, 9, 29, 42, 58}) EXPECT_FALSE(CurveParametersOf(code)) << code;
}

}  // namespace
