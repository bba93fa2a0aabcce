#include "sequences/imagefilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "sequences/sequences_ids.h"

namespace {

using Image = std::vector<std::vector<int>>;  // [y][x]

Image ToImage(const std::vector<std::uint8_t>& plane, int w, int h) {
  Image im(h, std::vector<int>(w));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) im[y][x] = plane[y * w + x];
  return im;
}

std::vector<std::uint8_t> ToPlane(const Image& im) {
  std::vector<std::uint8_t> out;
  for (const auto& row : im)
    for (int v : row) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

int Norm(int v, int largest) { return std::min(255, v * 256 / largest); }

// Straightforward reference of each filter, written from the filter table without sharing code
// with the implementation.
Image Reference(int id, Image in) {
  const int h = static_cast<int>(in.size());
  const int w = h ? static_cast<int>(in[0].size()) : 0;
  auto inner = [&](int x, int y, int d) { return x >= d && y >= d && x < w - d && y < h - d; };
  auto stretch = [&](Image im) {
    int lo = 255, hi = 0;
    for (auto& r : im)
      for (int v : r) lo = std::min(lo, v), hi = std::max(hi, v);
    int div = std::clamp(hi - lo, 1, 255);
    for (auto& r : im)
      for (int& v : r) v = Norm(v - lo, div);
    return im;
  };
  Image out = in;
  Image temp(h, std::vector<int>(w, 0));
  switch (id) {
    case seqid::kFilterGreyScaleStretch:
      return stretch(in);
    case seqid::kFilterLowPass:
    case seqid::kFilterHighPass:
    case seqid::kFilterContrastEnhancement: {
      const int k[3][3][3] = {{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}},
                              {{-1, -1, -1}, {-1, 9, -1}, {-1, -1, -1}},
                              {{0, -1, 0}, {-1, 7, -1}, {0, -1, 0}}};
      const int divisor[3] = {9, 1, 3};
      const int n = id - seqid::kFilterLowPass;
      int largest = 1;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (!inner(x, y, 1)) continue;
          int s = 0;
          for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i) s += k[n][j][i] * in[y + j - 1][x + i - 1];
          temp[y][x] = std::clamp(s / divisor[n], 0, 255);
          largest = std::max(largest, temp[y][x]);
        }
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (inner(x, y, 1)) out[y][x] = Norm(temp[y][x], largest);
      return out;
    }
    case seqid::kFilterSobel:
    case seqid::kFilterPrewitt:
    case seqid::kFilterRobertsCross: {
      int largest = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          int v = -1;
          if (id == seqid::kFilterSobel && x < w - 1 && y < h - 1) {
            v = std::abs(in[y][x] - in[y][x + 1]) + std::abs(in[y][x] - in[y + 1][x]);
          } else if (id == seqid::kFilterPrewitt && inner(x, y, 1)) {
            int gx = 0, gy = 0;
            for (int d = -1; d <= 1; ++d) {
              gx += in[y + d][x - 1] - in[y + d][x + 1];
              gy += in[y - 1][x + d] - in[y + 1][x + d];
            }
            v = std::max(std::abs(gx), std::abs(gy));
          } else if (id == seqid::kFilterRobertsCross && x >= 1 && y >= 1) {
            v = std::max(std::abs(in[y - 1][x - 1] - in[y][x]),
                         std::abs(in[y - 1][x] - in[y][x - 1]));
          }
          if (v >= 0) temp[y][x] = v, largest = std::max(largest, v);
        }
      if (largest == 0) return in;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          if (id != seqid::kFilterSobel || inner(x, y, 1)) out[y][x] = Norm(temp[y][x], largest);
      return out;
    }
    case seqid::kFilterMedian:
    case seqid::kFilterErosion:
    case seqid::kFilterDilatation: {
      const int rank = id == seqid::kFilterErosion ? 0 : id == seqid::kFilterMedian ? 1 : 2;
      for (int pass = 0; pass < 2; ++pass) {
        Image src = out;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            if (!inner(x, y, 1)) continue;
            std::vector<int> v = pass == 0
                                     ? std::vector<int>{src[y][x - 1], src[y][x], src[y][x + 1]}
                                     : std::vector<int>{src[y - 1][x], src[y][x], src[y + 1][x]};
            std::sort(v.begin(), v.end());
            out[y][x] = v[rank];
          }
      }
      return out;
    }
    case seqid::kFilterMop8:
    case seqid::kFilterMop16:
    case seqid::kFilterMop24: {
      Image s = stretch(in);
      int largest = 0;
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          if (!inner(x, y, 2)) continue;
          int c = s[y][x] < 32 ? 0 : s[y][x] - 31;
          int count = 0;
          for (int j = -2; j <= 2; ++j)
            for (int i = -2; i <= 2; ++i) {
              int ring = std::max(std::abs(i), std::abs(j));
              bool wanted = (ring == 1 && id != seqid::kFilterMop16) ||
                            (ring == 2 && id != seqid::kFilterMop8);
              if (wanted && s[y + j][x + i] < c) ++count;
            }
          temp[y][x] = count + 1;
          largest = std::max(largest, count + 1);
        }
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) out[y][x] = largest ? Norm(temp[y][x], largest) : 0;
      return out;
    }
    default:
      return in;
  }
}

std::vector<std::uint8_t> Filtered(int id, std::vector<std::uint8_t> plane, int w, int h) {
  ApplyImageFilter(id, plane.data(), w, h, false);
  return plane;
}

TEST(ImageFilter, MatchesTheReferenceOverSizesAndContents) {
  const int sizes[][2] = {{1, 1}, {2, 2}, {3, 3},  {4, 3},  {5, 5},
                          {6, 5}, {7, 4}, {16, 9}, {33, 17}};
  std::mt19937 rng(7);
  for (int id = seqid::kFilterOriginal; id <= seqid::kFilterMop24; ++id) {
    for (const auto& s : sizes) {
      const int w = s[0], h = s[1];
      for (int range : {256, 40, 3}) {  // full range, narrow range, near uniform
        std::vector<std::uint8_t> plane(w * h);
        std::uniform_int_distribution<int> dist(100, 100 + range - 1);
        for (auto& v : plane)
          v = static_cast<std::uint8_t>(range == 256 ? dist(rng) - 100 : dist(rng));
        auto expected = ToPlane(Reference(id, ToImage(plane, w, h)));
        EXPECT_EQ(Filtered(id, plane, w, h), expected)
            << "filter " << id << " size " << w << "x" << h << " range " << range;
      }
    }
  }
}

TEST(ImageFilter, NeverTouchesRowPaddingAndFiltersEachOfThreePlanes) {
  const int w = 6, h = 5, stride = 8;
  std::mt19937 rng(3);
  for (int id = seqid::kFilterOriginal; id <= seqid::kFilterMop24; ++id) {
    std::vector<std::uint8_t> packed(w * h);
    for (auto& v : packed) v = static_cast<std::uint8_t>(rng());
    std::vector<std::uint8_t> padded(stride * h, 0xEE);
    for (int y = 0; y < h; ++y) std::copy_n(&packed[y * w], w, &padded[y * stride]);
    FilterPlane(id, padded.data(), w, h, stride);
    auto expected = Filtered(id, packed, w, h);
    for (int y = 0; y < h; ++y) {
      EXPECT_TRUE(std::equal(expected.begin() + y * w, expected.begin() + (y + 1) * w,
                             padded.begin() + y * stride))
          << id;
      EXPECT_EQ(padded[y * stride + 6], 0xEE) << id;
      EXPECT_EQ(padded[y * stride + 7], 0xEE) << id;
    }
    std::vector<std::uint8_t> three;
    std::vector<std::uint8_t> second(packed.rbegin(), packed.rend());
    three.insert(three.end(), packed.begin(), packed.end());
    three.insert(three.end(), second.begin(), second.end());
    three.insert(three.end(), packed.begin(), packed.end());
    ApplyImageFilter(id, three.data(), w, h, true);
    auto expected2 = Filtered(id, second, w, h);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), three.begin())) << id;
    EXPECT_TRUE(std::equal(expected2.begin(), expected2.end(), three.begin() + w * h)) << id;
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), three.begin() + 2 * w * h)) << id;
  }
}

// Values worked out by hand on small planes (rows top to bottom).
TEST(ImageFilter, HandComputedFixtures) {
  struct Case {
    const char* what;
    int id, w, h;
    std::vector<std::uint8_t> in, out;
  };
  const std::vector<std::uint8_t> uniform(25, 100);
  std::vector<std::uint8_t> lowPassOut(25, 100);
  for (int y = 1; y < 4; ++y)
    for (int x = 1; x < 4; ++x) lowPassOut[y * 5 + x] = 255;
  std::vector<std::uint8_t> spot(49, 0), square(49, 0);
  spot[3 * 7 + 3] = 200;
  for (int y = 2; y <= 4; ++y)
    for (int x = 2; x <= 4; ++x) square[y * 7 + x] = 200;
  const Case cases[] = {
      {"low pass of a uniform plane", seqid::kFilterLowPass, 5, 5, uniform, lowPassOut},
      {"sobel of a uniform plane", seqid::kFilterSobel, 5, 5, uniform, uniform},
      {"prewitt of a uniform plane", seqid::kFilterPrewitt, 5, 5, uniform, uniform},
      {"roberts of a uniform plane", seqid::kFilterRobertsCross, 5, 5, uniform, uniform},
      {"erosion removes a spot", seqid::kFilterErosion, 7, 7, spot,
       std::vector<std::uint8_t>(49, 0)},
      {"dilatation spreads a spot", seqid::kFilterDilatation, 7, 7, spot, square},
      {"median: rows, then columns",
       seqid::kFilterMedian,
       3,
       3,
       {0, 0, 0, 9, 1, 5, 0, 0, 0},
       {0, 0, 0, 9, 0, 5, 0, 0, 0}},
      {"stretch", seqid::kFilterGreyScaleStretch, 4, 1, {10, 20, 30, 60}, {0, 51, 102, 255}},
      {"stretch of a uniform plane", seqid::kFilterGreyScaleStretch, 2, 1, {9, 9}, {0, 0}},
      {"high pass",
       seqid::kFilterHighPass,
       3,
       3,
       {0, 0, 0, 0, 10, 0, 0, 0, 0},
       {0, 0, 0, 0, 255, 0, 0, 0, 0}},
      {"contrast: 7 x 20 - 4 x 5 = 120, / 3 = 40",
       seqid::kFilterContrastEnhancement,
       3,
       3,
       {0, 5, 0, 5, 20, 5, 0, 5, 0},
       {0, 5, 0, 5, 255, 5, 0, 5, 0}},
      {"sobel keeps the border",
       seqid::kFilterSobel,
       3,
       3,
       {0, 0, 0, 0, 0, 90, 0, 0, 0},
       {0, 0, 0, 0, 255, 90, 0, 0, 0}},
      {"prewitt clears the border",
       seqid::kFilterPrewitt,
       3,
       3,
       {0, 0, 30, 0, 0, 30, 0, 0, 30},
       {0, 0, 0, 0, 255, 0, 0, 0, 0}},
      {"prewitt above 255",
       seqid::kFilterPrewitt,
       4,
       3,
       {0, 0, 255, 255, 0, 0, 255, 255, 0, 0, 255, 255},
       {0, 0, 0, 0, 0, 255, 255, 0, 0, 0, 0, 0}},
      {"roberts", seqid::kFilterRobertsCross, 2, 2, {10, 50, 20, 40}, {0, 0, 0, 255}},
      {"mop under 5x5 is all 0", seqid::kFilterMop24, 4, 4, std::vector<std::uint8_t>(16, 77),
       std::vector<std::uint8_t>(16, 0)},
      {"original", seqid::kFilterOriginal, 2, 1, {1, 2}, {1, 2}},
      {"unknown id", 4711, 2, 1, {1, 2}, {1, 2}},
  };
  for (const Case& c : cases) EXPECT_EQ(Filtered(c.id, c.in, c.w, c.h), c.out) << c.what;
}

}  // namespace
