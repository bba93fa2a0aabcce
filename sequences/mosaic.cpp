#include "sequences/mosaic.h"

#include <cstddef>
#include <cstring>

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
      b.at(r - 1, c) = static_cast<std::uint8_t>((kNear * t + kSide * l + kSide * rt + kFar * bt) /
                                                 kWeightSum);
      b.at(r, c - 1) = static_cast<std::uint8_t>((kSide * t + kNear * l + kFar * rt + kSide * bt) /
                                                 kWeightSum);
      b.at(r, c + 1) = static_cast<std::uint8_t>((kSide * t + kFar * l + kNear * rt + kSide * bt) /
                                                 kWeightSum);
      b.at(r + 1, c) = static_cast<std::uint8_t>((kFar * t + kSide * l + kSide * rt + kNear * bt) /
                                                 kWeightSum);
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

// One picture row of the Bayer mosaic. On a red row the even columns are red and the odd ones
// green; on a blue row the even columns are green and the odd ones blue. `own` is the colour
// sampled on this row, `other` the one of the rows above and below.
struct BayerRow {
  const std::uint8_t *u, *m, *d;
  std::uint8_t *own, *g, *other;
  int siteParity;  // parity of the columns that hold `own`

  void Site(int x, int xl, int xr) const {
    own[x] = m[x];
    g[x] = static_cast<std::uint8_t>((m[xl] + m[xr] + u[x] + d[x] + 2) >> 2);
    other[x] = static_cast<std::uint8_t>((u[xl] + u[xr] + d[xl] + d[xr] + 2) >> 2);
  }
  void Green(int x, int xl, int xr) const {
    g[x] = m[x];
    own[x] = static_cast<std::uint8_t>((m[xl] + m[xr] + 1) >> 1);
    other[x] = static_cast<std::uint8_t>((u[x] + d[x] + 1) >> 1);
  }
  void Pixel(int x, int w) const {
    const int xl = Reflect(x - 1, w), xr = Reflect(x + 1, w);
    if ((x & 1) == siteParity)
      Site(x, xl, xr);
    else
      Green(x, xl, xr);
  }
  void Run(int w) const {
    Pixel(0, w);
    int x = 1;
    // Columns in pairs of odd and even, so the kind of each is known without a test.
    if (siteParity == 1) {
      for (; x + 1 < w - 1; x += 2) {
        Site(x, x - 1, x + 1);
        Green(x + 1, x, x + 2);
      }
    } else {
      for (; x + 1 < w - 1; x += 2) {
        Green(x, x - 1, x + 1);
        Site(x + 1, x, x + 2);
      }
    }
    for (; x < w; ++x) Pixel(x, w);
  }
};

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

void BayerPlaneRows(const std::uint8_t* mosaic, int width, int height, int firstRow, int rowCount,
                    std::uint8_t* planes) {
  const std::size_t w = width;
  const std::size_t plane = w * static_cast<std::size_t>(rowCount);
  for (int i = 0; i < rowCount; ++i) {
    const int y = firstRow + i;
    const bool redRow = y % 2 == 0;
    std::uint8_t* r = planes + i * w;
    std::uint8_t* g = r + plane;
    std::uint8_t* b = r + 2 * plane;
    const BayerRow row{mosaic + Reflect(y - 1, height) * w,
                       mosaic + y * w,
                       mosaic + Reflect(y + 1, height) * w,
                       redRow ? r : b,
                       g,
                       redRow ? b : r,
                       redRow ? 0 : 1};
    row.Run(width);
  }
}
