#include "sequences/mosaic.h"

#include <cstddef>
#include <cstring>
#include <initializer_list>

namespace {

// ".vraw" colour lattice: a colour's samples stand every 4 columns on each stored line, and the
// holes between them are filled around their centres.
constexpr int kSampleStep = 4;
// Stored lines at the top and bottom that carry no usable samples.
constexpr int kSkippedLines = 2;
// Weights of the edge middles around a hole: the nearest sample, the two beside, the far one.
constexpr int kNear = 12, kSide = 7, kFar = 4, kWeightSum = 30;

struct Buffer {
  std::uint8_t* p;
  int w;
  std::uint8_t& at(int r, int c) { return p[static_cast<std::size_t>(r) * w + c]; }
};

// Samples of one colour from stored line s into picture row 2s + 1: even stored lines hold it at
// columns evenFirst, evenFirst + 4, ...; odd ones at oddFirst, oddFirst + 4, ...
void PlaceSamples(const std::uint8_t* stored, int w, int h, int evenFirst, int oddFirst,
                  Buffer out) {
  for (int s = kSkippedLines; s < h / 2 - kSkippedLines; ++s) {
    const bool even = s % 2 == 0;
    const int limit = even ? w : w - 2;
    for (int c = even ? evenFirst : oddFirst; c < limit; c += kSampleStep)
      out.at(2 * s + 1, c) = stored[static_cast<std::size_t>(s) * w + c];
  }
}

// Fills around the holes of the lattice whose centres lie from (firstRow, firstColumn) every 4
// rows and columns: the centre and the four edge middles, and with corners the 3 x 3 block.
void FillHoles(int w, int h, int firstRow, int firstColumn, bool corners, Buffer b) {
  for (int r = firstRow; r < h - 2; r += kSampleStep) {
    for (int c = firstColumn; c < w - 2; c += kSampleStep) {
      const int t = b.at(r - 2, c), l = b.at(r, c - 2), rt = b.at(r, c + 2), bt = b.at(r + 2, c);
      b.at(r, c) = static_cast<std::uint8_t>((t + l + rt + bt) >> 2);
      b.at(r - 1, c) =
          static_cast<std::uint8_t>((kNear * t + kSide * l + kSide * rt + kFar * bt) / kWeightSum);
      b.at(r, c - 1) =
          static_cast<std::uint8_t>((kSide * t + kNear * l + kFar * rt + kSide * bt) / kWeightSum);
      b.at(r, c + 1) =
          static_cast<std::uint8_t>((kSide * t + kFar * l + kNear * rt + kSide * bt) / kWeightSum);
      b.at(r + 1, c) =
          static_cast<std::uint8_t>((kFar * t + kSide * l + kSide * rt + kNear * bt) / kWeightSum);
      if (!corners) continue;
      b.at(r - 1, c - 1) = static_cast<std::uint8_t>((t + l) / 2);
      b.at(r - 1, c + 1) = static_cast<std::uint8_t>((t + rt) / 2);
      b.at(r + 1, c - 1) = static_cast<std::uint8_t>((l + bt) / 2);
      b.at(r + 1, c + 1) = static_cast<std::uint8_t>((rt + bt) / 2);
    }
  }
}

// Red and blue: samples, then blocks around the holes of one kind and crosses around the others.
void DiamondPlane(const std::uint8_t* stored, int w, int h, int evenFirst, int oddFirst,
                  int blockRow, int crossRow, Buffer out) {
  constexpr int kBlockColumn = 2, kCrossColumn = 4;
  PlaceSamples(stored, w, h, evenFirst, oddFirst, out);
  FillHoles(w, h, blockRow, kBlockColumn, true, out);
  FillHoles(w, h, crossRow, kCrossColumn, false, out);
}

// In place, so each pixel is averaged with its already smoothed left, upper and upper-left
// neighbours.
void SmoothTowardsUpperLeft(int w, int h, Buffer b) {
  for (int r = 2; r < h - 2; ++r)
    for (int c = 2; c < w - 2; ++c)
      b.at(r, c) = static_cast<std::uint8_t>(
          (b.at(r, c) + b.at(r, c - 1) + b.at(r - 1, c) + b.at(r - 1, c - 1)) >> 2);
}

void GreenPlane(const std::uint8_t* stored, int w, int h, Buffer b) {
  for (int s = kSkippedLines; s < h / 2 - kSkippedLines; ++s)
    for (int c = 1; c < w - 1; c += 2) b.at(2 * s, c) = stored[static_cast<std::size_t>(s) * w + c];
  for (int r = 2; r < h - 2; r += 2)
    for (int c = 1; c < w - 4; c += 2)
      b.at(r, c + 1) = static_cast<std::uint8_t>((b.at(r, c) + b.at(r, c + 2)) / 2);
  for (int r = 2; r < h - 2; r += 2)
    for (int c = 0; c < w; ++c)
      b.at(r + 1, c) = static_cast<std::uint8_t>((b.at(r, c) + b.at(r + 2, c)) / 2);
}

// The index of a neighbour, reflected back into 0 .. n - 1 at the edges; reflecting by one keeps
// the parity of the mosaic.
inline int Reflect(int i, int n) {
  if (i < 0) return n > 1 ? 1 : 0;
  if (i >= n) return n > 1 ? n - 2 : 0;
  return i;
}

// The mean of two samples, rounded up; a quad mean is the mean of two pair means, which stays
// within one level of the exact mean and lets a vector instruction do each step.
inline std::uint8_t Mean(unsigned a, unsigned b) {
  return static_cast<std::uint8_t>((a + b + 1) >> 1);
}

// Where the compiler can, the row loop is also built for processors with byte shuffles: it is
// most of the cost of showing a ".vr2" frame. Not for wider vectors: there the three-byte
// interleave of the pixels needs shuffles across the halves of a register and ran slower.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#define ZORVAT_MOSAIC_KERNEL __attribute__((noinline, target_clones("default", "arch=x86-64-v2")))
#else
#define ZORVAT_MOSAIC_KERNEL
#endif

// One pixel of a picture row of the Bayer mosaic, as blue, green, red at bgr: m is the row, col
// the means of the rows above and below it, column by column. On a red row the even columns are red
// and the odd ones green; on a blue row the even columns are green and the odd ones blue. A site
// holds the colour of its row; the colour of the rows above and below is the mean of the four
// diagonal samples there (the mean of the column means left and right), green the mean of the four
// direct neighbours. A green column takes the row's colour from its left and right neighbours and
// the other one from above and below.
template <bool kRedRow>
inline __attribute__((always_inline)) void BayerPixel(const std::uint8_t* m,
                                                      const std::uint8_t* col, int x, int xl,
                                                      int xr, std::uint8_t mask,
                                                      std::uint8_t* bgr) {
  const std::uint8_t sides = Mean(m[xl], m[xr]), column = col[x];
  const std::uint8_t corners = Mean(col[xl], col[xr]);
  // Chosen by the mask (0xFF at a site, 0 at a green column), not by a test, so that the row
  // loop runs on vectors.
  const bool site = mask != 0;
  const std::uint8_t own = site ? m[x] : sides;
  const std::uint8_t g = site ? Mean(sides, column) : m[x];
  const std::uint8_t other = site ? corners : column;
  bgr[0] = kRedRow ? other : own;
  bgr[1] = g;
  bgr[2] = kRedRow ? own : other;
}

template <bool kRedRow>
inline __attribute__((always_inline)) void BayerRowBody(const std::uint8_t* __restrict u,
                                                        const std::uint8_t* __restrict m,
                                                        const std::uint8_t* __restrict d,
                                                        const std::uint8_t* __restrict sites,
                                                        std::uint8_t* __restrict col, int w,
                                                        std::uint8_t* __restrict bgr) {
  for (int x = 0; x < w; ++x) col[x] = Mean(u[x], d[x]);
  // Columns 1 .. w - 2, whose neighbours all lie inside the row.
  for (int x = 1; x < w - 1; ++x)
    BayerPixel<kRedRow>(m, col, x, x - 1, x + 1, sites[x], bgr + 3 * x);
  // The first and last columns take their missing neighbours reflected.
  for (int x : {0, w - 1})
    BayerPixel<kRedRow>(m, col, x, Reflect(x - 1, w), Reflect(x + 1, w), sites[x], bgr + 3 * x);
}

ZORVAT_MOSAIC_KERNEL void BayerRedRow(const std::uint8_t* u, const std::uint8_t* m,
                                      const std::uint8_t* d, const std::uint8_t* sites,
                                      std::uint8_t* col, int w, std::uint8_t* bgr) {
  BayerRowBody<true>(u, m, d, sites, col, w, bgr);
}

ZORVAT_MOSAIC_KERNEL void BayerBlueRow(const std::uint8_t* u, const std::uint8_t* m,
                                       const std::uint8_t* d, const std::uint8_t* sites,
                                       std::uint8_t* col, int w, std::uint8_t* bgr) {
  BayerRowBody<false>(u, m, d, sites, col, w, bgr);
}

}  // namespace

void VrawGreyPlane(const std::uint8_t* stored, int width, int height, std::uint8_t* plane) {
  const std::size_t w = width;
  for (int s = 0; s < height / 2; ++s) {
    std::memcpy(plane + 2 * s * w, stored + s * w, w);
    std::memcpy(plane + (2 * s + 1) * w, stored + s * w, w);
  }
}

void VrawColourPlanes(const std::uint8_t* stored, int width, int height, std::uint8_t* planes) {
  const std::size_t size = static_cast<std::size_t>(width) * height;
  // Each colour starts from a clear plane, so no pixel keeps the value of another colour.
  std::memset(planes, 0, 3 * size);
  Buffer red{planes, width}, green{planes + size, width}, blue{planes + 2 * size, width};
  constexpr int kRedEven = 4, kRedOdd = 2, kBlueEven = 2, kBlueOdd = 4;
  constexpr int kRowA = 5, kRowB = 3;  // first centre rows of the two kinds of holes
  DiamondPlane(stored, width, height, kRedEven, kRedOdd, kRowA, kRowB, red);
  SmoothTowardsUpperLeft(width, height, red);
  GreenPlane(stored, width, height, green);
  DiamondPlane(stored, width, height, kBlueEven, kBlueOdd, kRowB, kRowA, blue);
}

BayerDemosaic::BayerDemosaic(int width)
    : width_(width), redSites_(width), blueSites_(width), columnMeans_(width) {
  for (int x = 0; x < width; ++x) (x % 2 == 0 ? redSites_ : blueSites_)[x] = 0xFF;
}

void BayerDemosaic::Row(const std::uint8_t* mosaic, int height, int y, std::uint8_t* bgr) {
  const std::size_t w = width_;
  const std::uint8_t* u = mosaic + Reflect(y - 1, height) * w;
  const std::uint8_t* m = mosaic + y * w;
  const std::uint8_t* d = mosaic + Reflect(y + 1, height) * w;
  if (y % 2 == 0)
    BayerRedRow(u, m, d, redSites_.data(), columnMeans_.data(), width_, bgr);
  else
    BayerBlueRow(u, m, d, blueSites_.data(), columnMeans_.data(), width_, bgr);
}
