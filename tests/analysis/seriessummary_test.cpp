// The per-block summary that lets a dense plot skip over frames, and its cache: a summary must
// never outlive the series it was made of.

#include "analysis/series/seriessummary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis_test_util.h"

namespace {

TEST(SeriesSummary, MinMaxOfEveryRangeEqualsAScan) {
  std::mt19937 random(7);
  std::uniform_real_distribution<float> value(-1000.0f, 1000.0f);
  // Sizes below one block, at block and level borders, and a few levels deep.
  for (const int n : {1, 15, 16, 17, 255, 256, 257, 5000, 70000}) {
    std::vector<float> v(n);
    for (float& x : v) x = value(random);
    const SeriesSummary summary(v.data(), n);
    std::uniform_int_distribution<int> index(0, n - 1);
    for (int k = 0; k < 300; ++k) {
      int a = index(random), b = index(random);
      if (a > b) std::swap(a, b);
      ++b;
      const auto [lo, hi] = summary.MinMax(v.data(), a, b);
      ASSERT_EQ(lo, *std::min_element(v.begin() + a, v.begin() + b)) << n << " " << a << " " << b;
      ASSERT_EQ(hi, *std::max_element(v.begin() + a, v.begin() + b)) << n << " " << a << " " << b;
    }
  }
}

// The lowest and highest row drawn in each pixel column.
std::map<int, std::pair<int, int>> ColumnSpans(const RecordingPlotCanvas& canvas) {
  std::map<int, std::pair<int, int>> spans;
  for (const auto& line : canvas.Of("polyline"))
    for (std::size_t i = 0; i + 1 < line.v.size(); i += 2) {
      auto [it, fresh] = spans.try_emplace(line.v[i], line.v[i + 1], line.v[i + 1]);
      it->second.first = std::min(it->second.first, line.v[i + 1]);
      it->second.second = std::max(it->second.second, line.v[i + 1]);
    }
  return spans;
}

// 100 frames a pixel: the summary is used.
const PlotMapping kDense{0, 500, 0.01f, -1.0f, 0.0f, 0.0f};

TEST(SeriesSummary, SmoothingAnEntryChangesItsNextDrawing) {
  const int n = 20000;
  std::vector<float> x(n, 0.0f);
  x[10050] = 400.0f;  // a spike smoothing flattens, inside a block of the summary
  SequenceDocument d(n);
  AnlWinObjectSequence e(d.Make(x), 1, 0, true, false);
  e.GetStatistics(quantity::kX);
  RecordingPlotCanvas before;
  e.Draw(before, quantity::kX, kDense);
  ASSERT_TRUE(e.LowPass(quantity::kX));
  RecordingPlotCanvas after;
  e.Draw(after, quantity::kX, kDense);
  const int column = kDense.PixelX(10051.0f);
  const float smoothed = *std::max_element(e.SelectArray(quantity::kX), e.SelectArray(quantity::kX) + n);
  EXPECT_EQ(ColumnSpans(before).at(column).first, kDense.PixelY(400.0f));
  EXPECT_EQ(ColumnSpans(after).at(column).first, kDense.PixelY(smoothed));
  EXPECT_LT(smoothed, 400.0f);
}

struct SettableKurve : TestKurve {
  using TestKurve::TestKurve;
  void Set(int i, float v) { MutableSeries()[i] = v; }
};

TEST(SeriesSummary, ACurveDrawsItsChangedSeries) {
  SettableKurve k(std::vector<float>(20000, 0.0f));
  RecordingPlotCanvas before;
  k.DrawPolyline(before, kDense, 20000, nullptr);
  k.Set(5050, 300.0f);  // inside a block of the summary
  RecordingPlotCanvas after;
  k.DrawPolyline(after, kDense, 20000, nullptr);
  const int column = kDense.PixelX(5051.0f);
  EXPECT_EQ(ColumnSpans(before).at(column).first, kDense.PixelY(0.0f));
  EXPECT_EQ(ColumnSpans(after).at(column).first, kDense.PixelY(300.0f));
}

}  // namespace
