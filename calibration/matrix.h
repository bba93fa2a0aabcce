#pragma once

// Dense matrices of doubles, row-major: element (i, j) of a matrix with c columns is entry
// i * c + j. Dimensions are passed beside the arrays; results never alias inputs.

#include <cstdint>

// C (n x m) = A (n x k) * B (k x m). Nothing is written when n or m is not positive; with k not
// positive C becomes zero.
void MatrixProduct(const double* a, const double* b, int n, int k, int m, double* c);

// Inverse and determinant of A (n x n) by Gauss-Jordan elimination with full pivoting (the first
// largest element in row-major order wins a tie). The determinant is limited to 1e100 from
// above. A singular matrix gives determinant 0 and an undefined inverse. When scratch memory
// cannot be had nothing is written.
void MatrixSolve(const double* a, int n, double* determinant, double* inverse);

// Solves A x = b (n x n) by the same elimination; b is overwritten, work receives the inverse.
// Returns 0, also for a singular matrix (determinant 0), or -1 when scratch memory cannot be had.
int MatrixSolveLinear(const double* a, double* b, int n, double* x, double* work,
                      double* determinant);

// Fit status.
inline constexpr uint8_t kFitDone = 0;
inline constexpr uint8_t kFitIllConditioned = 1;  // too few points, or nearly singular
inline constexpr uint8_t kFitNoMemory = 255;

// The least-squares polynomial y = c0 + c1 x + ... + cm x^m through n points, solved through the
// normal equations. Needs more than m + 1 points (status 1 and coefficients untouched
// otherwise); status 1 also when the normal matrix's determinant is below 1e-7. A degree below
// 0 is status 1.
void PolynomialFit(const double* x, const double* y, int n, int m, double* coefficients,
                   uint8_t* status);

// The same fit from the powers: X is n x m holding x^1 .. x^m of each point.
void PolynomialLeastSquares(const double* X, const double* y, int m, int n, double* coefficients,
                            uint8_t* status);
