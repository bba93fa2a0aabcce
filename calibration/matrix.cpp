#include "calibration/matrix.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace {

// The running determinant is held below this; larger values say nothing more.
constexpr double kDeterminantLimit = 1e100;
// A normal matrix whose determinant is below this is taken as singular.
constexpr double kFitDeterminantMin = 1e-7;

// Gauss-Jordan elimination with full pivoting in place on m (n x n), carrying the right-hand
// side rhs along when it is given. False when scratch memory cannot be had.
bool Eliminate(double* m, double* rhs, int n, double& det) {
  std::vector<int> pivotRow, pivotCol;
  std::vector<unsigned char> used;
  try {
    pivotRow.assign(std::max(n, 0), 0);
    pivotCol.assign(std::max(n, 0), 0);
    used.assign(std::max(n, 0), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  det = 1.0;
  const auto at = [&](int i, int j) -> double& { return m[i * n + j]; };
  for (int s = 0; s < n; ++s) {
    double big = 0;
    int p = -1, q = -1;
    for (int i = 0; i < n; ++i) {
      if (used[i]) continue;
      for (int j = 0; j < n; ++j) {
        if (used[j]) continue;
        if (std::fabs(at(i, j)) > big) {
          big = std::fabs(at(i, j));
          p = i;
          q = j;
        }
      }
    }
    if (p < 0) {
      det = 0;
      return true;
    }
    used[q] = 1;
    pivotRow[s] = p;
    pivotCol[s] = q;
    if (p != q) {
      for (int j = 0; j < n; ++j) std::swap(at(p, j), at(q, j));
      if (rhs) std::swap(rhs[p], rhs[q]);
      det = -det;
    }
    const double v = at(q, q);
    det *= v;
    if (det > kDeterminantLimit) det = kDeterminantLimit;
    at(q, q) = 1.0;
    for (int j = 0; j < n; ++j) at(q, j) /= v;
    if (rhs) rhs[q] /= v;
    for (int r = 0; r < n; ++r) {
      if (r == q) continue;
      const double t = at(r, q);
      at(r, q) = 0;
      for (int j = 0; j < n; ++j) at(r, j) -= t * at(q, j);
      if (rhs) rhs[r] -= t * rhs[q];
    }
  }
  for (int s = n - 1; s >= 0; --s) {
    const int p = pivotRow[s], q = pivotCol[s];
    if (p == q) continue;
    for (int i = 0; i < n; ++i) std::swap(at(i, p), at(i, q));
  }
  return true;
}

}  // namespace

void MatrixProduct(const double* a, const double* b, int n, int k, int m, double* c) {
  if (n <= 0 || m <= 0) return;
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < m; ++j) {
      double sum = 0;
      for (int l = 0; l < k; ++l) sum += a[i * k + l] * b[l * m + j];
      c[i * m + j] = sum;
    }
  }
}

void MatrixSolve(const double* a, int n, double* determinant, double* inverse) {
  if (n <= 0) {
    *determinant = 1.0;
    return;
  }
  std::vector<double> work;
  try {
    work.assign(a, a + static_cast<std::size_t>(n) * n);
  } catch (const std::bad_alloc&) {
    return;
  }
  double det = 1.0;
  if (!Eliminate(work.data(), nullptr, n, det)) return;
  *determinant = det;
  std::copy(work.begin(), work.end(), inverse);
}

int MatrixSolveLinear(const double* a, double* b, int n, double* x, double* work,
                      double* determinant) {
  if (n > 0) std::copy(a, a + static_cast<std::size_t>(n) * n, work);
  double det = 1.0;
  if (!Eliminate(work, b, n, det)) return -1;
  *determinant = det;
  std::copy(b, b + std::max(n, 0), x);
  return 0;
}

void PolynomialFit(const double* x, const double* y, int n, int m, double* coefficients,
                   uint8_t* status) {
  // A fit needs more points than it has coefficients; a negative degree fits nothing.
  if (m < 0 || n <= m + 1) {
    *status = kFitIllConditioned;
    return;
  }
  std::vector<double> powers;
  try {
    powers.resize(static_cast<std::size_t>(n) * m);
  } catch (const std::bad_alloc&) {
    *status = kFitNoMemory;
    return;
  }
  // Degree 0 has no power columns at all: the fit is the constant term alone.
  for (int i = 0; i < n && m > 0; ++i) {
    double* row = &powers[static_cast<std::size_t>(i) * m];
    row[0] = x[i];
    for (int k = 1; k < m; ++k) row[k] = x[i] * row[k - 1];
  }
  PolynomialLeastSquares(powers.data(), y, m, n, coefficients, status);
}

void PolynomialLeastSquares(const double* X, const double* y, int m, int n, double* coefficients,
                            uint8_t* status) {
  const int p = m + 1;
  std::vector<double> design, inverse, normal, rhs;
  try {
    design.resize(static_cast<std::size_t>(n) * p);
    inverse.resize(static_cast<std::size_t>(p) * p);
    normal.resize(static_cast<std::size_t>(p) * p);
    rhs.resize(p);
  } catch (const std::bad_alloc&) {
    *status = kFitNoMemory;
    return;
  }
  for (int i = 0; i < n; ++i) {
    design[static_cast<std::size_t>(i) * p] = 1.0;
    for (int k = 0; k < m; ++k) {
      design[static_cast<std::size_t>(i) * p + k + 1] = X[static_cast<std::size_t>(i) * m + k];
    }
  }
  for (int a = 0; a < p; ++a) {
    for (int b = 0; b < p; ++b) {
      double sum = 0;
      for (int i = 0; i < n; ++i) sum += design[i * p + b] * design[i * p + a];
      normal[a * p + b] = sum;
    }
    double sum = 0;
    for (int i = 0; i < n; ++i) sum += y[i] * design[i * p + a];
    rhs[a] = sum;
  }
  double det = 0;
  if (MatrixSolveLinear(normal.data(), rhs.data(), p, coefficients, inverse.data(), &det) != 0) {
    *status = kFitNoMemory;
    return;
  }
  *status = det < kFitDeterminantMin ? kFitIllConditioned : kFitDone;
}
