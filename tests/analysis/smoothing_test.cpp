#include <gtest/gtest.h>

#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/series/approximation.h"
#include "analysis/quantity.h"
#include "analysis_test_util.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

using namespace quantity;

TEST(LowPass, IsARecursiveWindowInPlace) {
  struct Case {
    std::vector<float> in, out;
    bool smoothed;
  };
  const Case cases[] = {
      {{0, 0, 10, 0, 0, 0, 0}, {0, 0, 2, 0.4f, 0.48f, 0, 0}, true},
      {{1, 2, 3, 4}, {1, 2, 3, 4}, false},
      // A missing value within two positions keeps a value as it is.
      {{0, 0, 10, M, 0, 0, 0, 0, 5}, {0, 0, 10, M, 0, 0, 1, 0, 5}, true},
  };
  for (const Case& c : cases) {
    SequenceDocument d(static_cast<int>(c.in.size()));
    AnlWinObjectSequence e(d.Make(std::vector<float>(c.in.size(), 1.0f), c.in), 1, 0, true, false);
    e.GetStatistics(kY);
    EXPECT_EQ(e.LowPass(kY), c.smoothed);
    const auto out = Series(e, kY);
    ASSERT_EQ(out.size(), c.out.size());
    for (std::size_t i = 0; i < out.size(); ++i) EXPECT_FLOAT_EQ(out[i], c.out[i]) << i;
  }
}

TEST(Approximation, FitsTheLeastSquaresPolynomialInTheScaledFrameIndex) {
  std::vector<double> t, v;
  for (int i = 0; i < 10; ++i) t.push_back(i), v.push_back(0.5 * i * i + 1);
  const auto fit = FitPolynomial(t, v, 2, 10);
  ASSERT_TRUE(fit);
  EXPECT_DOUBLE_EQ(fit->factor, 0.4);
  ASSERT_EQ(fit->coefficients.size(), 3u);
  EXPECT_NEAR(fit->coefficients[0], 1.0, 1e-9);
  EXPECT_NEAR(fit->coefficients[1], 0.0, 1e-9);
  EXPECT_NEAR(fit->coefficients[2], 3.125, 1e-9);
  // Not more points than coefficients: no fit.
  EXPECT_FALSE(FitPolynomial({0, 1, 2, 3}, {1, 2, 0, 5}, 3, 10));
}

TEST(Approximation, WritesThePolynomialIntoGapsAndClipsItAtTheMaximum) {
  platform::RecordingMessageService messages;
  // A parabola opening downwards with its top (frames 5 to 7) cut out: the fit is higher there
  // than any value the sequence has, and is clipped to the largest one.
  std::vector<float> y(11);
  for (int i = 0; i < 11; ++i) y[i] = static_cast<float>(100 - (i - 5) * (i - 5));
  std::vector<float> x(11, 1.0f);
  x[4] = x[5] = x[6] = M;
  SequenceDocument d(11);
  AnlWinObjectSequence e(d.Make(x, y), 1, 0, true, false);
  const float max = e.GetStatistics(kY).position[1][1];
  EXPECT_EQ(max, 96.0f);
  ASSERT_TRUE(e.Approximate(kY, 2));
  const auto out = Series(e, kY);
  for (int i : {4, 5, 6}) EXPECT_EQ(out[i], 96.0f) << i;
  for (int i : {0, 1, 2, 3, 7, 8, 9, 10}) EXPECT_NEAR(out[i], y[i], 1e-3) << i;
  EXPECT_TRUE(messages.shown.empty());
}

TEST(Approximation, ReportsTooFewValuesAndTooHighAnOrder) {
  platform::RecordingMessageService messages;
  SequenceDocument d(10);
  AnlWinObjectSequence four(d.Make({M, 1, M, 3, 4, M, 2, M, M, M}), 1, 0, true, false);
  four.GetStatistics(kX);
  EXPECT_FALSE(four.Approximate(kX, 3));
  AnlWinObjectSequence none(d.Make(std::vector<float>(10, M)), 1, 0, true, false);
  none.GetStatistics(kX);
  EXPECT_FALSE(none.Approximate(kX, 1));
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].caption, platform::LoadString(analysis_ids::kApproximationFailure));
  EXPECT_EQ(messages.shown[0].text, platform::LoadString(analysis_ids::kReducePolynomialOrder));
  EXPECT_EQ(messages.shown[1].text, platform::LoadString(analysis_ids::kNoValuesToApproximate));
}

// Ten points in a sequence of 2000 frames: the fit in the whole sequence's scale is too badly
// conditioned for the matrix module, in the run's own scale it is not.
TEST(Approximation, AShortRunInALongSequenceIsFitted) {
  platform::RecordingMessageService messages;
  const int n = 2000;
  std::vector<float> x(n, M);
  for (int i = 1000; i < 1010; ++i) x[i] = 0.01f * (i - 1000) * (i - 1000) + 3;
  SequenceDocument d(n);
  AnlWinObjectSequence e(d.Make(x), 1, 0, true, false);
  e.GetStatistics(kX);
  ASSERT_TRUE(e.Approximate(kX, 2));
  const auto out = Series(e, kX);
  for (int i = 1000; i < 1010; ++i) EXPECT_NEAR(out[i], x[i], 1e-4) << i;
  EXPECT_EQ(out[999], M);
  EXPECT_EQ(out[1010], M);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(WriteBack, ReachesEveryFrameUpToTheLastValueAndCreatesMissingPoints) {
  // Smoothing leaves the gap open; the smoothed values after it must reach the points.
  SequenceDocument d(16);
  std::vector<float> x = {0, 0, 0, 0, 0, M, M, 0, 0, 10, 0, 0, 0, 0, M, M};
  ResObjectSequence* s = d.Make(x);
  AnlWinObjectSequence e(s, 1, 0, true, false);
  e.GetStatistics(kX);
  ASSERT_TRUE(e.LowPass(kX));
  e.WerteZurueckschreiben(kX);
  EXPECT_FLOAT_EQ(s->ItemAt(10)->x, 2.0f);
  EXPECT_FLOAT_EQ(s->ItemAt(11)->x, 0.4f);
  EXPECT_EQ(s->ItemAt(6), nullptr);

  // A value where the sequence has no point makes a point with the other coordinates missing.
  float* a = const_cast<float*>(e.SelectArray(kX));
  a[5] = 7.0f;
  e.WerteZurueckschreiben(kX);
  ASSERT_NE(s->ItemAt(6), nullptr);
  EXPECT_EQ(s->ItemAt(6)->x, 7.0f);
  EXPECT_EQ(s->ItemAt(6)->y, M);
  EXPECT_EQ(s->ItemAt(6)->z, M);
  EXPECT_EQ(s->ItemAt(7), nullptr);
}

}  // namespace
