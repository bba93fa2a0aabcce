#include "analysis/series/sgfilter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "analysis_test_util.h"

namespace {

TEST(SavitzkyGolay, TablesAreTheQuadraticLeastSquaresFiltersOfTheReferenceFile) {
  const auto rows = ReadNumberRows("kinematics/sg_quadratic_tables.tsv");
  ASSERT_EQ(rows.size(), 15u);
  for (const auto& row : rows) {
    const int order = static_cast<int>(row[0]);
    const int points = static_cast<int>(row[1]);
    const int w = (points - 3) / 2;
    ASSERT_EQ(static_cast<int>(row.size()), 3 + points);
    EXPECT_EQ(sg::Normaliser(order, w), row[2]) << order << " " << points;
    for (int a = 0; a < points; ++a)
      EXPECT_EQ(sg::Coefficient(order, w, a), row[3 + a]) << order << " " << points << " " << a;
  }
}

TEST(SavitzkyGolay, OnSquaresTheFirstDerivativeIs2kAndTheSecondIs2) {
  const int n = 40;
  std::vector<float> x(n), out(n);
  for (int k = 0; k < n; ++k) x[k] = static_cast<float>(k * k);
  for (int w = sg::kMinHalfWidthIndex; w <= sg::kMaxHalfWidthIndex; ++w) {
    const int h = w + 1;
    SavitzkyGolayFilter(x.data(), n, w, 1, out.data());
    for (int k = h; k < n - h; ++k) EXPECT_FLOAT_EQ(out[k], 2.0f * k) << w << " " << k;
    // The edges copy the nearest computed value.
    EXPECT_EQ(out[0], out[h]);
    EXPECT_EQ(out[n - 1], out[n - h - 1]);
    SavitzkyGolayFilter(x.data(), n, w, 2, out.data());
    for (int k = h; k < n - h; ++k) EXPECT_NEAR(out[k], 2.0f, 1e-3) << w << " " << k;
    SavitzkyGolayFilter(x.data(), n, w, 0, out.data());
    for (int k = h; k < n - h; ++k) EXPECT_NEAR(out[k], x[k], 1e-2 * w * w) << w << " " << k;
  }
}

TEST(SavitzkyGolay, OutsideTheTablesTheOutputIsTheInput) {
  const std::vector<float> x = {1, 5, 2, 8, 3, 9, 4};
  std::vector<float> out(x.size());
  for (auto [w, order] : {std::pair{0, 1}, {6, 1}, {1, 3}, {1, -1}}) {
    SavitzkyGolayFilter(x.data(), 7, w, order, out.data());
    EXPECT_EQ(out, x) << w << " " << order;
  }
}

// The angular acceleration of the Pezzack benchmark from its raw angle, against the accelerometer.
double PezzackRms(int w) {
  constexpr double kDt = 0.0201;
  const auto rows = ReadNumberRows("kinematics/Pezzack.txt");
  const int n = static_cast<int>(rows.size());
  std::vector<float> angle(n), out(n);
  for (int i = 0; i < n; ++i) angle[i] = static_cast<float>(rows[i][1]);
  SavitzkyGolayFilter(angle.data(), n, w, 2, out.data());
  const int h = w + 1;
  double sum = 0;
  for (int i = h; i < n - h; ++i) {
    const double e = out[i] / (kDt * kDt) - rows[i][3];
    sum += e * e;
  }
  return std::sqrt(sum / (n - 2 * h));
}

TEST(SavitzkyGolay, SecondDerivativeOfThePezzackAngleFollowsTheAccelerometer) {
  ASSERT_EQ(ReadNumberRows("kinematics/Pezzack.txt").size(), 142u);
  const double rms = PezzackRms(2);
  EXPECT_LT(rms, 4.8);
  EXPECT_GT(rms, 4.0);
  // Wider windows follow the peaks less closely: the benchmark tells the filters apart.
  EXPECT_GT(PezzackRms(5), rms);
}

TEST(SavitzkyGolay, SeriesShorterThanTheWindowTouchNothingOutsideThem) {
  constexpr float kCanary = -12345.0f;
  for (int order = 0; order <= 2; ++order) {
    for (int w = 1; w <= 5; ++w) {
      for (int n = 1; n <= 2 * w + 2; ++n) {
        std::vector<float> in(n + 8, kCanary), out(n + 8, kCanary);
        for (int i = 0; i < n; ++i) in[4 + i] = static_cast<float>(i);
        SavitzkyGolayFilter(in.data() + 4, n, w, order, out.data() + 4);
        for (int g = 0; g < 4; ++g) {
          EXPECT_EQ(out[g], kCanary) << order << w << n;
          EXPECT_EQ(out[4 + n + g], kCanary) << order << w << n;
        }
        for (int i = 0; i < n; ++i) EXPECT_EQ(out[4 + i], 0.0f);
      }
    }
  }
}

TEST(SavitzkyGolay, UndefinedDerivativesLieAtTheEndsAndAroundEveryFrameWithoutValue) {
  struct Case {
    int order, n;
    std::vector<int> without;
    std::vector<int> keep;  // indices that keep their value
  };
  const Case cases[] = {
      {1, 1, {}, {}},
      {1, 2, {}, {}},
      {1, 10, {}, {2, 3, 4, 5, 6, 7}},
      {2, 3, {}, {}},
      {2, 12, {}, {4, 5, 6, 7}},
      {1, 12, {6}, {2, 3, 9}},
      {2, 20, {10}, {4, 5, 15}},
      {0, 5, {2}, {0, 1, 3, 4}},
  };
  for (const Case& c : cases) {
    std::vector<float> out(c.n, 1.0f);
    MarkUndefinedDerivatives(out.data(), c.order, c.n, [&](int i) {
      return std::find(c.without.begin(), c.without.end(), i) != c.without.end();
    });
    for (int i = 0; i < c.n; ++i) {
      const bool kept = std::find(c.keep.begin(), c.keep.end(), i) != c.keep.end();
      EXPECT_EQ(out[i] != kMissingValue, kept) << c.order << " n" << c.n << " i" << i;
    }
  }
}

}  // namespace
