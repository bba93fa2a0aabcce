#pragma once

// Savitzky-Golay convolution: smoothing and first and second derivatives from a quadratic
// least-squares fit over 5, 7, 9, 11 or 13 points, with integer coefficients. Derivatives are per
// sample (no time step). Shared by the series of object sequences and by the derived curves.

#include <algorithm>

#include "base/unitsorigin.h"

namespace sg {
inline constexpr int kMinHalfWidthIndex = 1;
inline constexpr int kMaxHalfWidthIndex = 5;
inline constexpr int kMaxOrder = 2;
// The window of half-width index w has 2w + 3 points.
constexpr int WindowPoints(int w) { return 2 * w + 3; }

// Coefficient a (0..2w+2) of the window w (1..5) for the order (0 smoothing, 1 first, 2 second
// derivative), and its normaliser.
int Coefficient(int order, int w, int a);
int Normaliser(int order, int w);

// How far an undefined sample spoils the derivative of an order: the filter's half-width.
constexpr int SpoiledRadius(int order) { return order == 1 ? 2 : order == 2 ? 4 : 0; }
}  // namespace sg

// Output[c] for c in h..n-h-1 (h = w + 1) is the convolution of input around c, summed in single
// precision; the first h and the last h outputs copy the nearest computed one. A series shorter
// than the window has no computed output: it stays 0, and nothing outside 0..n-1 is read or
// written. w outside 1..5 or order outside 0..2 copies the input.
void SavitzkyGolayFilter(const float* input, int n, int w, int order, float* output);

// Output[c] for c in from..to-1 alone, each the same sum as SavitzkyGolayFilter's: for filtering
// a long series piece by piece. Reads input[from - h .. to - 1 + h]; w and order must be in the
// tables.
void SavitzkyGolayCentres(const float* input, int w, int order, float* output, int from, int to);

// Marks the outputs of a derivative of the order that cannot be trusted as missing: the two
// (order 1) or four (order 2) at each end, everything when the series is too short for the
// filter (n < 2 or n < 4), and the samples within the filter's reach of every sample for which
// withoutValue(i) holds (order 0: only that sample).
template <class WithoutValue>
void MarkUndefinedDerivatives(float* output, int order, int n, WithoutValue withoutValue) {
  const int ends = order == 1 ? 2 : order == 2 ? 4 : 0;
  if (order >= 1 && n < ends) {
    std::fill(output, output + std::max(n, 0), kMissingValue);
    return;
  }
  std::fill(output, output + ends, kMissingValue);
  std::fill(output + n - ends, output + n, kMissingValue);
  const int r = sg::SpoiledRadius(order);
  int markedTo = -1;  // everything up to here is marked already
  for (int i = 0; i < n; ++i) {
    if (!withoutValue(i)) continue;
    const int from = std::max({0, i - r, markedTo + 1});
    const int to = std::min(n - 1, i + r);
    for (int j = from; j <= to; ++j) output[j] = kMissingValue;
    markedTo = std::max(markedTo, to);
  }
}
