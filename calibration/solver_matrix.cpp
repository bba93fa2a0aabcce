#include "calibration/solver_matrix.h"

#include <cmath>
#include <new>
#include <utility>
#include <vector>

namespace solver {

int MatrixError = kMatrixOk;

namespace {

// Index tables of up to this many rows live on the stack.
constexpr int kLocalPivotRows = 100;

bool SameShape(const SolverMatrix& a, const SolverMatrix& b) {
  return a.Rows() == b.Rows() && a.Cols() == b.Cols();
}

bool IsEmpty(const SolverMatrix& a) { return a.Rows() <= 0 || a.Cols() <= 0 || !a.storage; }

}  // namespace

SolverMatrixPtr MatrixCreate(int firstRow, int lastRow, int firstCol, int lastCol, int* error) {
  auto fail = [&](int code) {
    MatrixError = code;
    if (error) *error = code;
    return SolverMatrixPtr();
  };
  if (lastRow < firstRow || lastCol < firstCol) return fail(kMatrixBadRange);
  const long count = static_cast<long>(lastRow - firstRow + 1) * (lastCol - firstCol + 1);
  SolverMatrixPtr m(new (std::nothrow) SolverMatrix);
  if (!m) return fail(kMatrixNoMemory);
  m->storage.reset(new (std::nothrow) double[count]());
  if (!m->storage) return fail(kMatrixNoMemory);
  m->firstRow = firstRow;
  m->lastRow = lastRow;
  m->firstCol = firstCol;
  m->lastCol = lastCol;
  MatrixError = kMatrixOk;
  if (error) *error = kMatrixOk;
  return m;
}

int MatrixMultiply(const SolverMatrix& a, const SolverMatrix& b, SolverMatrix& c) {
  if (IsEmpty(a) || IsEmpty(b) || IsEmpty(c) || a.Cols() != b.Rows() || c.Rows() != a.Rows() ||
      c.Cols() != b.Cols()) {
    MatrixError = kMatrixBadRange;
    return -1;
  }
  // A product written over one of its factors goes through a temporary.
  const bool shared = &c == &a || &c == &b;
  SolverMatrixPtr temp;
  if (shared) {
    int error = 0;
    temp = MatrixCreate(c.firstRow, c.lastRow, c.firstCol, c.lastCol, &error);
    if (!temp) return -1;
  }
  SolverMatrix& out = shared ? *temp : c;
  for (int i = 0; i < a.Rows(); ++i) {
    for (int j = 0; j < b.Cols(); ++j) {
      double sum = 0;
      for (int k = 0; k < a.Cols(); ++k) {
        sum += a(a.firstRow + i, a.firstCol + k) * b(b.firstRow + k, b.firstCol + j);
      }
      out(out.firstRow + i, out.firstCol + j) = sum;
    }
  }
  if (shared) MatrixCopy(*temp, c);
  MatrixError = kMatrixOk;
  return 0;
}

int MatrixCopy(const SolverMatrix& a, SolverMatrix& b) {
  if (!SameShape(a, b) || IsEmpty(a) || IsEmpty(b)) {
    MatrixError = kMatrixBadRange;
    return -1;
  }
  if (&a == &b) return 0;
  const long count = static_cast<long>(a.Rows()) * a.Cols();
  std::copy(a.storage.get(), a.storage.get() + count, b.storage.get());
  return 0;
}

int MatrixTranspose(const SolverMatrix& a, SolverMatrix& b) {
  if (IsEmpty(a) || IsEmpty(b) || b.Rows() != a.Cols() || b.Cols() != a.Rows()) {
    MatrixError = kMatrixBadRange;
    return -1;
  }
  if (&a == &b) {
    // Square and the same matrix: swap across the diagonal.
    for (int i = 0; i < b.Rows(); ++i) {
      for (int j = i + 1; j < b.Cols(); ++j) {
        std::swap(b(b.firstRow + i, b.firstCol + j), b(b.firstRow + j, b.firstCol + i));
      }
    }
    return 0;
  }
  for (int i = 0; i < a.Rows(); ++i) {
    for (int j = 0; j < a.Cols(); ++j) {
      b(b.firstRow + j, b.firstCol + i) = a(a.firstRow + i, a.firstCol + j);
    }
  }
  return 0;
}

double MatrixInvert(SolverMatrix& a) {
  if (IsEmpty(a) || a.firstRow != a.firstCol || a.lastRow != a.lastCol) {
    MatrixError = kMatrixBadRange;
    return 0;
  }
  const int lo = a.firstRow;
  const int hi = a.lastRow;
  const int n = hi - lo + 1;
  int localRows[kLocalPivotRows];
  int localCols[kLocalPivotRows];
  std::vector<int> heapRows;
  std::vector<int> heapCols;
  int* pivotRow = localRows;
  int* pivotCol = localCols;
  if (n > kLocalPivotRows) {
    try {
      heapRows.resize(n);
      heapCols.resize(n);
    } catch (const std::bad_alloc&) {
      MatrixError = kMatrixNoMemory;
      return 0;
    }
    pivotRow = heapRows.data();
    pivotCol = heapCols.data();
  }

  double det = 1.0;
  for (int k = lo; k <= hi; ++k) {
    // The largest remaining element is the pivot; the first of equal candidates stays.
    double pivot = a(k, k);
    int pr = k;
    int pc = k;
    for (int j = k; j <= hi; ++j) {
      for (int l = k; l <= hi; ++l) {
        if (std::fabs(a(j, l)) > std::fabs(pivot)) {
          pivot = a(j, l);
          pr = j;
          pc = l;
        }
      }
    }
    pivotRow[k - lo] = pr;
    pivotCol[k - lo] = pc;
    // Interchanges negate the element that moves away, so the determinant keeps its sign.
    if (pr > k) {
      for (int l = lo; l <= hi; ++l) {
        const double t = -a(k, l);
        a(k, l) = a(pr, l);
        a(pr, l) = t;
      }
    }
    if (pc > k) {
      for (int i = lo; i <= hi; ++i) {
        const double t = -a(i, k);
        a(i, k) = a(i, pc);
        a(i, pc) = t;
      }
    }
    if (pivot == 0.0) return 0.0;
    for (int i = lo; i <= hi; ++i) {
      if (i != k) a(i, k) /= -pivot;
    }
    for (int i = lo; i <= hi; ++i) {
      if (i == k) continue;
      for (int j = lo; j <= hi; ++j) {
        if (j != k) a(i, j) += a(i, k) * a(k, j);
      }
    }
    for (int j = lo; j <= hi; ++j) {
      if (j != k) a(k, j) /= pivot;
    }
    det *= pivot;
    a(k, k) = 1.0 / pivot;
  }
  // Undo the interchanges: a row interchange becomes a column interchange and vice versa.
  for (int k = hi - 1; k >= lo; --k) {
    const int j = pivotRow[k - lo];
    if (j > k) {
      for (int i = lo; i <= hi; ++i) {
        const double t = a(i, k);
        a(i, k) = -a(i, j);
        a(i, j) = t;
      }
    }
    const int c = pivotCol[k - lo];
    if (c > k) {
      for (int i = lo; i <= hi; ++i) {
        const double t = a(k, i);
        a(k, i) = -a(c, i);
        a(c, i) = t;
      }
    }
  }
  return det;
}

void MatrixFree(SolverMatrix& a) {
  a.storage.reset();
  a.firstRow = a.firstCol = 0;
  a.lastRow = a.lastCol = -1;
}

}  // namespace solver
