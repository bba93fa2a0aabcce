#include "analysis/series/gapnetwork.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/series/anlwinobjseq.h"
#include "analysis/quantity.h"
#include "analysis_test_util.h"

namespace {

using namespace quantity;

struct GapFilling : ::testing::Test {
  void SetUp() override { GapNetwork::Reset(); }
};

TEST_F(GapFilling, GeneratorAndFirstInitialisationGiveTheKnownValues) {
  const int draws[] = {4524, 12798, 847, 31877, 16983, 18203};
  for (int d : draws) EXPECT_EQ(GapNetwork::Random(), d);
  GapNetwork::Reset();
  EXPECT_EQ(GapNetwork::Train(nullptr, nullptr, 0, true), 1.0);
  const GapNetwork::State& s = GapNetwork::Current();
  EXPECT_EQ(s.w1[0], -0.3619384765625);
  EXPECT_EQ(s.w2[0], -0.10943603515625);
  EXPECT_EQ(s.b1[0], 0.055511474609375);
  EXPECT_EQ(s.b2, 0.0);
}

TEST_F(GapFilling, AConstantSeriesFillsItsGapWithTheConstant) {
  SequenceDocument d(12);
  AnlWinObjectSequence e(d.Make({5, 5, 5, 5, M, M, M, 5, 5, 5, 5, 5}), 1, 0, true, false);
  e.GetStatistics(kX);
  EXPECT_TRUE(e.InterpolateGaps(kX, "x", nullptr, true));
  for (float v : Series(e, kX)) EXPECT_EQ(v, 5.0f);
  // No training: the network was only initialised, once per index from frame 4 to frame 12.
  const std::uint32_t after = GapNetwork::Current().random;
  GapNetwork::Reset();
  for (int i = 0; i < 9 * 18; ++i) GapNetwork::Random();
  EXPECT_EQ(GapNetwork::Current().random, after);
}

TEST_F(GapFilling, ThreeValuesAreNotInterpolated) {
  SequenceDocument d(8);
  AnlWinObjectSequence e(d.Make({1, M, M, 4, M, M, 9, M}), 1, 0, true, false);
  e.GetStatistics(kX);
  const auto before = Series(e, kX);
  EXPECT_TRUE(e.InterpolateGaps(kX, "x", nullptr, true));
  EXPECT_EQ(Series(e, kX), before);
}

struct CountingProgress : GapProgress {
  void Open(const std::string& caption, int x, int y) override {
    captions.push_back(caption);
    positions.push_back({x, y});
  }
  bool Step(int, int) override { return ++steps < abortAt; }
  std::pair<int, int> Close() override { return {40, 50}; }
  std::vector<std::string> captions;
  std::vector<std::pair<int, int>> positions;
  int steps = 0;
  int abortAt = 1 << 30;
};

// A filled gap after the program's start, against a run of this implementation kept as golden
// values: the network, the generator and the order of their use must not change unnoticed.
TEST_F(GapFilling, AFilledGapMatchesTheGoldenRunAndIsWrittenBack) {
  const int n = 30;
  std::vector<float> y(n);
  for (int i = 0; i < n; ++i) y[i] = 20.0f + 10.0f * std::sin(i * 0.2f);
  std::vector<float> x(n, 1.0f);
  for (int i = 12; i < 16; ++i) x[i] = M;
  SequenceDocument d(n);
  ResObjectSequence* s = d.Make(x, y);
  AnlWinObjectSequence e(s, 1, 0, true, false);
  e.GetStatistics(kX);
  e.GetStatistics(kY);
  CountingProgress progress;
  // The x gap is flat: filled without training.
  e.InterpolateGaps(kX, "x", &progress, true);
  e.InterpolateGaps(kY, "y", &progress, false);
  const auto filled = Series(e, kY);
  const float golden[4] = {27.1266556f, 25.5960674f, 23.7692394f, 21.7223606f};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(filled[12 + i], golden[i]) << i;
    // And close to the curve the gap was cut from.
    EXPECT_NEAR(filled[12 + i], y[12 + i], 1.0) << i;
  }
  ASSERT_EQ(progress.captions.size(), 2u);
  EXPECT_EQ(progress.captions[0], "x-coordinate. 1. gap  " + s->name);
  EXPECT_EQ(progress.captions[1], "y-coordinate. 1. gap  " + s->name);
  EXPECT_EQ(progress.positions[0], (std::pair{-1, -1}));
  EXPECT_EQ(progress.positions[1], (std::pair{40, 50}));
  EXPECT_GT(progress.steps, 0);

  e.WerteZurueckschreiben(kX);
  e.WerteZurueckschreiben(kY);
  for (int i = 12; i < 16; ++i) {
    ASSERT_NE(s->ItemAt(i + 1), nullptr);
    EXPECT_EQ(s->ItemAt(i + 1)->x, 1.0f);
    EXPECT_EQ(s->ItemAt(i + 1)->y, filled[i]);
    EXPECT_EQ(s->ItemAt(i + 1)->z, M);
  }
}

TEST_F(GapFilling, AbortStopsTrainingAndStillFillsTheGap) {
  SequenceDocument d(12);
  AnlWinObjectSequence e(d.Make({1, 2, 3, 4, M, M, 7, 8, 9, 10, 11, 12}), 1, 0, true, false);
  e.GetStatistics(kX);
  CountingProgress progress;
  progress.abortAt = 1;
  e.InterpolateGaps(kX, "x", &progress, true);
  EXPECT_EQ(progress.steps, 1);
  const auto v = Series(e, kX);
  EXPECT_NE(v[4], M);
  EXPECT_NE(v[5], M);
}

}  // namespace
