#include "analysis/series/sgfilter.h"

#include <array>
#include <cstring>

namespace {

constexpr int kMaxPoints = sg::WindowPoints(sg::kMaxHalfWidthIndex);

struct Window {
  int normaliser;
  std::array<int, kMaxPoints> c;
};

// [order][w - 1]: the quadratic (cubic) least-squares convolution integers.
constexpr Window kTables[3][5] = {
    {{35, {-3, 12, 17, 12, -3}},
     {21, {-2, 3, 6, 7, 6, 3, -2}},
     {231, {-21, 14, 39, 54, 59, 54, 39, 14, -21}},
     {429, {-36, 9, 44, 69, 84, 89, 84, 69, 44, 9, -36}},
     {143, {-11, 0, 9, 16, 21, 24, 25, 24, 21, 16, 9, 0, -11}}},
    {{10, {-2, -1, 0, 1, 2}},
     {28, {-3, -2, -1, 0, 1, 2, 3}},
     {60, {-4, -3, -2, -1, 0, 1, 2, 3, 4}},
     {110, {-5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5}},
     {182, {-6, -5, -4, -3, -2, -1, 0, 1, 2, 3, 4, 5, 6}}},
    {{7, {2, -1, -2, -1, 2}},
     {42, {5, 0, -3, -4, -3, 0, 5}},
     {462, {28, 7, -8, -17, -20, -17, -8, 7, 28}},
     {429, {15, 6, -1, -6, -9, -10, -9, -6, -1, 6, 15}},
     {1001, {22, 11, 2, -5, -10, -13, -14, -13, -10, -5, 2, 11, 22}}}};

bool InTables(int order, int w) {
  return w >= sg::kMinHalfWidthIndex && w <= sg::kMaxHalfWidthIndex && order >= 0 &&
         order <= sg::kMaxOrder;
}

// Each output sums its window in coefficient order in single precision, as one sum per centre
// would; with the window's length fixed the compiler runs several centres at once in vector
// registers without changing a single rounding.
template <int M>
void ConvolveFixed(const Window& table, const float* input, float* out, int count) {
  std::array<float, M> c;
  for (int a = 0; a < M; ++a) c[a] = static_cast<float>(table.c[a]);
  const float normaliser = static_cast<float>(table.normaliser);
  for (int i = 0; i < count; ++i) {
    float sum = 0.0f;
    for (int a = 0; a < M; ++a) sum += c[a] * input[i + a];
    out[i] = sum / normaliser;
  }
}

void Convolve(const Window& table, int m, const float* input, float* out, int count) {
  switch (m) {
    case 5:
      return ConvolveFixed<5>(table, input, out, count);
    case 7:
      return ConvolveFixed<7>(table, input, out, count);
    case 9:
      return ConvolveFixed<9>(table, input, out, count);
    case 11:
      return ConvolveFixed<11>(table, input, out, count);
    default:
      return ConvolveFixed<13>(table, input, out, count);
  }
}

}  // namespace

int sg::Coefficient(int order, int w, int a) { return kTables[order][w - 1].c[a]; }
int sg::Normaliser(int order, int w) { return kTables[order][w - 1].normaliser; }

void SavitzkyGolayCentres(const float* input, int w, int order, float* output, int from, int to) {
  if (to <= from) return;
  const int h = w + 1;
  Convolve(kTables[order][w - 1], sg::WindowPoints(w), input + from - h, output + from, to - from);
}

void SavitzkyGolayFilter(const float* input, int n, int w, int order, float* output) {
  if (n <= 0) return;
  if (!InTables(order, w)) {
    std::memcpy(output, input, sizeof(float) * n);
    return;
  }
  const Window& table = kTables[order][w - 1];
  const int m = sg::WindowPoints(w);
  const int h = w + 1;
  const int last = n - h - 1;  // the last centre with a whole window
  if (last < h) {
    std::fill(output, output + n, 0.0f);
    return;
  }
  Convolve(table, m, input, output + h, last - h + 1);
  std::fill(output, output + h, output[h]);
  std::fill(output + last + 1, output + n, output[last]);
}
