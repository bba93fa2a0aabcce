#include "calibration/matrix.h"

#include <cmath>
#include <vector>

#include <gtest/gtest.h>

namespace {

void ExpectIdentityProduct(const std::vector<double>& a, const std::vector<double>& inv, int n) {
  std::vector<double> p(n * n);
  MatrixProduct(a.data(), inv.data(), n, n, n, p.data());
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) EXPECT_NEAR(p[i * n + j], i == j ? 1.0 : 0.0, 1e-12);
  }
}

TEST(MatrixProduct, RectangularAndEmptyInner) {
  const double a[] = {1, 2, 3, 4, 5, 6};     // 2 x 3
  const double b[] = {7, 8, 9, 10, 11, 12};  // 3 x 2
  double c[4] = {};
  MatrixProduct(a, b, 2, 3, 2, c);
  EXPECT_EQ(c[0], 58);
  EXPECT_EQ(c[1], 64);
  EXPECT_EQ(c[2], 139);
  EXPECT_EQ(c[3], 154);
  double z[4] = {9, 9, 9, 9};
  MatrixProduct(a, b, 2, 0, 2, z);
  for (double v : z) EXPECT_EQ(v, 0);
}

TEST(MatrixSolve, InverseAndDeterminant) {
  struct Case {
    std::vector<double> a;
    double det;
  } cases[] = {
      {{1, 0, 0, 0, 1, 0, 0, 0, 1}, 1.0},
      {{0, 1, 0, 1, 0, 0, 0, 0, 1}, -1.0},  // one exchange: zero diagonal
      {{0, 1, 0, 0, 0, 1, 1, 0, 0}, 1.0},   // cyclic: even permutation
      {{2, -1, 0, -1, 2, -1, 0, -1, 2}, 4.0},
      {{4, 3, 2, 1, 3, 5, 1, 2, 7, 1, 3, 1, 6, 2, 1, 9}, -89.0},
  };
  for (const Case& k : cases) {
    const int n = static_cast<int>(std::lround(std::sqrt(k.a.size())));
    std::vector<double> inv(k.a.size());
    double det = 0;
    MatrixSolve(k.a.data(), n, &det, inv.data());
    EXPECT_NEAR(det, k.det, 1e-9 * std::fabs(k.det));
    ExpectIdentityProduct(k.a, inv, n);
  }
}

TEST(MatrixSolve, DeterminantIsLimitedFromAboveOnly) {
  struct Case {
    double d0, d1, d2, det;
  } cases[] = {
      {1e60, 1e60, 1, 1e100},
      {-1e60, 1e60, 1, -1e120},
      // Three equal magnitudes: the pivots go in row-major order, so the limit applies after
      // the second pivot and the negative third one is taken from 1e100.
      {1e60, 1e60, -1e60, -1e160},
  };
  for (const Case& k : cases) {
    const double a[] = {k.d0, 0, 0, 0, k.d1, 0, 0, 0, k.d2};
    double inv[9], det = 0;
    MatrixSolve(a, 3, &det, inv);
    EXPECT_DOUBLE_EQ(det, k.det);
  }
}

TEST(MatrixSolve, SingularGivesZeroDeterminant) {
  const double zero[9] = {};
  const double rank2[9] = {1, 2, 3, 2, 4, 6, 1, 0, 1};
  for (const double* a : {zero, rank2}) {
    double inv[9], det = 5;
    MatrixSolve(a, 3, &det, inv);
    EXPECT_EQ(det, 0.0);
  }
}

TEST(MatrixSolveLinear, SolvesAndLeavesInverse) {
  const double a[] = {3, 2, -1, 2, -2, 4, -1, 0.5, -1};
  double b[] = {1, -2, 0};
  double x[3], work[9], det = 0;
  EXPECT_EQ(MatrixSolveLinear(a, b, 3, x, work, &det), 0);
  EXPECT_NEAR(x[0], 1, 1e-12);
  EXPECT_NEAR(x[1], -2, 1e-12);
  EXPECT_NEAR(x[2], -2, 1e-12);
  ExpectIdentityProduct(std::vector<double>(a, a + 9), std::vector<double>(work, work + 9), 3);
}

TEST(PolynomialFit, FitsExactPolynomials) {
  struct Case {
    int degree;
    std::vector<double> coefficients;
  } cases[] = {
      {0, {4.5}},  // degree 0: the mean
      {1, {2, 3}},
      {3, {1, -0.5, 0.25, 0.125}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.degree);
    std::vector<double> x, y;
    for (int i = 0; i < 9; ++i) {
      const double t = i * 0.5 - 2;
      double v = 0;
      for (int j = k.degree; j >= 0; --j) v = v * t + k.coefficients[j];
      x.push_back(t);
      y.push_back(v);
    }
    std::vector<double> c(k.degree + 1, -99);
    uint8_t status = 42;
    PolynomialFit(x.data(), y.data(), static_cast<int>(x.size()), k.degree, c.data(), &status);
    EXPECT_EQ(status, kFitDone);
    for (int j = 0; j <= k.degree; ++j) EXPECT_NEAR(c[j], k.coefficients[j], 1e-9);
  }
}

TEST(PolynomialFit, DegreeZeroIsTheMean) {
  const double x[] = {1, 2, 3, 4};
  const double y[] = {1, 2, 4, 9};
  double c = 0;
  uint8_t status = 42;
  PolynomialFit(x, y, 4, 0, &c, &status);
  EXPECT_EQ(status, kFitDone);
  EXPECT_DOUBLE_EQ(c, 4.0);
}

TEST(PolynomialFit, TooFewPointsOrBadDegreeLeavesCoefficients) {
  const double x[] = {0, 1, 2, 3};
  const double y[] = {1, 3, 2, 5};
  struct Case {
    int n, degree;
    uint8_t status;
  } cases[] = {{3, 2, kFitIllConditioned},  // m + 1 points
               {4, 2, kFitDone},            // m + 2 points
               {1, 0, kFitIllConditioned},
               {4, -1, kFitIllConditioned}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.degree);
    double c[4] = {-7, -7, -7, -7};
    uint8_t status = 42;
    PolynomialFit(x, y, k.n, k.degree, c, &status);
    EXPECT_EQ(status, k.status);
    if (k.status != kFitDone) {
      EXPECT_EQ(c[0], -7);
    }
  }
}

TEST(PolynomialFit, SharedAbscissaIsIllConditioned) {
  const double x[] = {2, 2, 2, 2, 2};
  const double y[] = {1, 2, 3, 4, 5};
  double c[2];
  uint8_t status = 42;
  PolynomialFit(x, y, 5, 1, c, &status);
  EXPECT_EQ(status, kFitIllConditioned);
}

}  // namespace
