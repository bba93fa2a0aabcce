#include "analysis/series/anlwinobjseq.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/quantity.h"
#include "analysis_test_util.h"

namespace {

using namespace quantity;

TEST(AnalysisSeries, ASequenceOfFramesThreeToSevenHasADerivativeAtFrameFiveOnly) {
  SequenceDocument d(10);
  AnlWinObjectSequence e(d.Make({M, M, 1, 2, 3, 4, 5, M, M, M}), 1, 0, true, false);
  const AnalysisRange r = e.GetStatistics(kX);
  EXPECT_EQ(r.frames[0], 3);
  EXPECT_EQ(r.frames[1], 7);
  EXPECT_EQ(r.position[0][0], 1.0f);
  EXPECT_EQ(r.position[0][1], 5.0f);

  const AnalysisRange d1 = e.GetStatistics(kX1);
  const int slot = AnalysisRange::DerivativeSlot(0, 1);
  EXPECT_EQ(d1.derivativeFrames[slot][0], 5);
  EXPECT_EQ(d1.derivativeFrames[slot][1], 5);
  const auto x1 = Series(e, kX1);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(x1[i] != M, i == 4) << i;
  EXPECT_FLOAT_EQ(x1[4], 1.0f);
  EXPECT_TRUE(e.IsDerivativeValid(kX1));
  EXPECT_EQ(e.SingleValue(kX1), (std::pair{1, 4}));
  EXPECT_FALSE(e.HasTwoValues(kX1));
  EXPECT_TRUE(e.HasTwoValues(kX));
}

TEST(AnalysisSeries, FirstDerivativeOfARampIsOnePerFrameAndIsReusedOnTheNextRequest) {
  SequenceDocument d(7);
  AnlWinObjectSequence e(d.Make({0, 1, 2, 3, 4, 5, 6}), 1, 0, true, false);
  e.GetStatistics(kX1);
  const float* first = e.SelectArray(kX1);
  const auto x1 = Series(e, kX1);
  EXPECT_EQ(x1, (std::vector<float>{M, M, 1, 1, 1, M, M}));
  // Centre-of-mass code 30 is the same series.
  e.GetStatistics(30);
  EXPECT_EQ(e.SelectArray(30), first);
  EXPECT_TRUE(e.IsDerivativeValid(kX1));
}

TEST(AnalysisSeries, TooShortSequencesHaveNoDerivative) {
  for (auto [frames, code] : {std::pair{1, kY1}, {3, kZ2}, {1, kZ2}}) {
    SequenceDocument d(frames);
    AnlWinObjectSequence e(d.Make(std::vector<float>(frames, 3.0f)), 1, 0, true, false);
    const AnalysisRange r = e.GetStatistics(code);
    const auto slot = *SeriesSlotOf(code);
    const int s = AnalysisRange::DerivativeSlot(slot.coordinate, slot.order);
    EXPECT_EQ(r.derivativeFrames[s][0], frames + 1);
    EXPECT_EQ(r.derivativeFrames[s][1], frames + 1);
    EXPECT_FALSE(e.IsDerivativeValid(code));
    for (float v : Series(e, code)) EXPECT_EQ(v, M);
  }
}

TEST(AnalysisSeries, APointWithAMissingCoordinateSpoilsItsNeighboursDerivatives) {
  // y rises 0.8 per frame; frame 10's point has no y.
  SequenceDocument d(20);
  std::vector<float> x(20), y(20);
  for (int i = 0; i < 20; ++i) x[i] = 1.0f, y[i] = 0.8f * i + 5;
  y[9] = M;
  AnlWinObjectSequence e(d.Make(x, y), 1, 0, true, false);
  e.GetStatistics(kY);
  e.GetStatistics(kY1);
  e.GetStatistics(kY2);
  const auto y1 = Series(e, kY1);
  for (int i = 0; i < 20; ++i) {
    if (std::abs(i - 9) <= 2) {
      EXPECT_EQ(y1[i], M) << i;
    } else if (y1[i] != M) {
      EXPECT_NEAR(y1[i], 0.8f, 1e-4) << i;
    }
  }
  for (float v : Series(e, kY2)) {
    if (v != M) {
      EXPECT_NEAR(v, 0.0f, 1e-4);
    }
  }
  EXPECT_EQ(Series(e, kY2)[5], M);  // within 4 of frame 10
}

TEST(AnalysisSeries, YOverXTakesTheAbscissaRangeFromTheXValuesAlone) {
  SequenceDocument d(6);
  AnlWinObjectSequence e(d.Make({M, 100, 150, 200, M, M}, {M, -5, -3, -1, M, M}), 1, 0, true,
                         false);
  const AnalysisRange r = e.GetStatistics(kYOverX);
  EXPECT_EQ(r.position[0], (AnalysisRange::FloatPair{100, 200}));
  EXPECT_EQ(r.position[1], (AnalysisRange::FloatPair{-5, -1}));
  EXPECT_EQ(r.frames, (AnalysisRange::FramePair{2, 4}));
}

TEST(AnalysisSeries, ASequenceThatGrowsAfterItsSeriesWereReadKeepsTheirLength) {
  SequenceDocument d(10);
  ResObjectSequence* s = d.Make({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  AnlWinObjectSequence e(s, 1, 0, true, false);
  e.GetStatistics(kX);
  s->AddPoint(25, 1, 1);  // the point array grows to 30 frames
  ASSERT_EQ(s->Size(), 30);
  EXPECT_EQ(e.FrameCount(), 10);
  const AnalysisRange r = e.GetStatistics(kY2);
  EXPECT_EQ(r.derivativeFrames[AnalysisRange::DerivativeSlot(1, 2)][1], 6);
  EXPECT_TRUE(e.HasTwoValues(kY2));
}

TEST(AnalysisSeries, StatisticsOfOtherCodesAndHiddenSequences) {
  SequenceDocument d(8);
  ResObjectSequence* s = d.Make({1, 2, 3, 4, 5, 6, 7, 8});
  AnlWinObjectSequence e(s, 1, 0, true, false);
  e.GetStatistics(kX);
  const AnalysisRange before = e.Range();
  const AnalysisRange r = e.GetStatistics(kDistance);
  EXPECT_EQ(r.position, before.position);
  EXPECT_EQ(e.SelectArray(kDistance), nullptr);
  EXPECT_TRUE(e.IsDerivativeValid(kX));
  s->flags |= seqflag::kHidden;
  EXPECT_FALSE(e.IsDerivativeValid(kX));
}

TEST(AnalysisSeries, RangesMergeFirstWordsByMinimumAndSecondWordsByMaximum) {
  AnalysisRange a, b;
  a.position[0] = {1, 5};
  b.position[0] = {-2, 3};
  a.frames = {4, 9};
  b.frames = {2, 7};
  a.MergeMin(b);
  a.MergeMax(b);
  EXPECT_EQ(a.position[0], (AnalysisRange::FloatPair{-2, 5}));
  EXPECT_EQ(a.frames, (AnalysisRange::FramePair{2, 9}));
}

TEST(AnalysisSeries, StyleFollowsTheWindowUntilTheUserSetsItAndHighlightColours) {
  SequenceDocument d(4);
  ResObjectSequence* s = d.Make({1, 2, 3, 4});
  AnlWinObjectSequence e(s, 1, 0, true, false);
  e.SetStyle(3, 1, false, true, true);
  EXPECT_EQ(e.PenWidth(), 3u);
  e.SetStyle(2, 0, true, false, false);
  EXPECT_FALSE(e.IsAutomaticStyle());
  e.SetStyle(4, 4, false, false, true);
  EXPECT_EQ(e.PenWidth(), 2u);
  e.SetHighlight(true);
  EXPECT_EQ(e.DrawingColor(), kHighlightColor);
  e.SetHighlight(false);
  EXPECT_EQ(e.DrawingColor(), s->color);
  const AnlWinObjectSequence copy(e);
  EXPECT_TRUE(copy == e);
  EXPECT_EQ(copy.SelectArray(kX), nullptr);
}

// Winter's walking trial: 8 markers over 106 frames in cm, without gaps.
TEST(AnalysisSeries, WinterWalkingTrialGainsNoMissingValueThroughSeriesSmoothingAndDerivatives) {
  const auto rows = ReadNumberRows("kinematics/WinterTableA1.txt");
  ASSERT_EQ(rows.size(), 106u);
  const int n = 106;
  SequenceDocument d(n);
  for (int marker = 0; marker < 8; ++marker) {
    std::vector<float> x(n), y(n);
    for (int i = 0; i < n; ++i) {
      x[i] = static_cast<float>(rows[i][2 + 2 * marker] * 10.0);  // mm
      y[i] = static_cast<float>(rows[i][3 + 2 * marker] * 10.0);
    }
    AnlWinObjectSequence e(d.Make(x, y), 1, 0, true, false);
    for (int code : {kX, kY}) {
      e.GetStatistics(code);
      ASSERT_TRUE(e.LowPass(code));
      e.WerteZurueckschreiben(code);
      for (float v : Series(e, code)) ASSERT_NE(v, M) << marker;
    }
    for (int code : {kX1, kY1, kX2, kY2}) {
      const AnalysisRange r = e.GetStatistics(code);
      const int ends = SeriesSlotOf(code)->order == 1 ? 2 : 4;
      const auto v = Series(e, code);
      for (int i = 0; i < n; ++i) {
        EXPECT_EQ(v[i] == M, i < ends || i >= n - ends) << marker << " " << code << " " << i;
        if (v[i] != M) {
          EXPECT_LT(std::fabs(v[i]), 100.0f) << marker << " " << code << " " << i;
        }
      }
      const auto slot = *SeriesSlotOf(code);
      EXPECT_EQ(r.derivativeFrames[AnalysisRange::DerivativeSlot(slot.coordinate, slot.order)],
                (AnalysisRange::FramePair{ends + 1, n - ends}));
    }
  }
}

}  // namespace
