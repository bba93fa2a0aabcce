#pragma once

// Small dense matrices of the calibration solver, with inclusive index bounds. The solver's
// systems have at most seven columns; everything here is sized for that, not for speed.

#include <cstdint>
#include <memory>

namespace solver {

// Codes of the matrix routines, also kept in MatrixError.
inline constexpr int kMatrixOk = 0;
inline constexpr int kMatrixNoMemory = 8;
inline constexpr int kMatrixBadRange = 33;  // empty range or mismatched dimensions

// The code of the last matrix routine that reports one.
extern int MatrixError;

struct SolverMatrix {
  int32_t firstRow = 0;
  int32_t lastRow = -1;
  int32_t firstCol = 0;
  int32_t lastCol = -1;
  std::unique_ptr<double[]> storage;  // rows * columns, row by row

  int Rows() const { return lastRow - firstRow + 1; }
  int Cols() const { return lastCol - firstCol + 1; }
  // Element [row][col] with the declared bounds.
  double& operator()(int row, int col) {
    return storage[static_cast<long>(row - firstRow) * Cols() + (col - firstCol)];
  }
  double operator()(int row, int col) const {
    return storage[static_cast<long>(row - firstRow) * Cols() + (col - firstCol)];
  }
};

using SolverMatrixPtr = std::unique_ptr<SolverMatrix>;

// A new matrix with all elements 0. Writes 0, 8 (out of memory) or 33 (empty range) to *error
// and to MatrixError; returns null on failure.
SolverMatrixPtr MatrixCreate(int firstRow, int lastRow, int firstCol, int lastCol, int* error);

// C = A * B. 0, or -1 with MatrixError 33 (dimensions do not fit) or 8. C may be A or B.
int MatrixMultiply(const SolverMatrix& a, const SolverMatrix& b, SolverMatrix& c);

// B = A. 0, or -1 with MatrixError 33 when the dimensions differ.
int MatrixCopy(const SolverMatrix& a, SolverMatrix& b);

// B = transpose of A. 0, or -1 with MatrixError 33 (B not columns x rows of A, or A empty);
// the MatrixError value when a temporary cannot be made. B may be A (square).
int MatrixTranspose(const SolverMatrix& a, SolverMatrix& b);

// Inverts A in place (Gauss-Jordan, full pivoting) and returns its determinant. Returns 0 with
// MatrixError 33 when A is not square, and 0 on a zero pivot (A is then partly eliminated).
double MatrixInvert(SolverMatrix& a);

// Releases A's storage; A becomes empty.
void MatrixFree(SolverMatrix& a);

}  // namespace solver
