#include "sequences/imagefilter.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/busy.h"
#include "sequences/sequences_ids.h"

namespace {

// The working area of one filter run: the plane and a temporary plane of the same size.
struct Plane {
  std::uint8_t* data;
  int width;
  int height;
  int stride;

  std::uint8_t& at(int x, int y) { return data[static_cast<std::size_t>(y) * stride + x]; }
  int operator()(int x, int y) const { return data[static_cast<std::size_t>(y) * stride + x]; }
};

// Edge values reach 765 (Prewitt), so the temporary plane is wider than a byte.
struct Temp {
  Temp(int w, int h) : width(w), values(static_cast<std::size_t>(w) * h, 0) {}
  std::uint16_t& at(int x, int y) { return values[static_cast<std::size_t>(y) * width + x]; }
  int width;
  std::vector<std::uint16_t> values;
};

std::uint8_t Normalise(int value, int largest) {
  return static_cast<std::uint8_t>(std::min(255, value * 256 / largest));
}

// Writes temp back normalised to its largest value, over the given rectangle of the plane.
void WriteNormalised(Plane& p, Temp& t, int largest, int x0, int y0, int x1, int y1) {
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) p.at(x, y) = Normalise(t.at(x, y), largest);
  }
}

void GreyScaleStretch(Plane& p) {
  int lo = 255, hi = 0;
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) {
      lo = std::min(lo, p(x, y));
      hi = std::max(hi, p(x, y));
    }
  }
  const int divisor = std::clamp(hi - lo, 1, 255);
  for (int y = 0; y < p.height; ++y) {
    for (int x = 0; x < p.width; ++x) p.at(x, y) = Normalise(p(x, y) - lo, divisor);
  }
}

void Convolve(Plane& p, const int (&k)[3][3]) {
  if (p.width < 3 || p.height < 3) return;
  int divisor = 0;
  for (const auto& row : k) {
    for (int v : row) divisor += v;
  }
  divisor = std::max(divisor, 1);
  Temp t(p.width, p.height);
  int largest = 1;
  for (int y = 1; y < p.height - 1; ++y) {
    for (int x = 1; x < p.width - 1; ++x) {
      int sum = 0;
      for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) sum += k[j + 1][i + 1] * p(x + i, y + j);
      }
      const int v = std::clamp(sum / divisor, 0, 255);
      t.at(x, y) = static_cast<std::uint16_t>(v);
      largest = std::max(largest, v);
    }
  }
  WriteNormalised(p, t, largest, 1, 1, p.width - 1, p.height - 1);
}

void Sobel(Plane& p) {
  if (p.width < 2 || p.height < 2) return;
  Temp t(p.width, p.height);
  int largest = 0;
  for (int y = 0; y < p.height - 1; ++y) {
    for (int x = 0; x < p.width - 1; ++x) {
      const int v = std::abs(p(x, y) - p(x + 1, y)) + std::abs(p(x, y) - p(x, y + 1));
      t.at(x, y) = static_cast<std::uint16_t>(v);
      largest = std::max(largest, v);
    }
  }
  if (largest != 0) WriteNormalised(p, t, largest, 1, 1, p.width - 1, p.height - 1);
}

void Prewitt(Plane& p) {
  if (p.width < 3 || p.height < 3) return;
  Temp t(p.width, p.height);
  int largest = 0;
  for (int y = 1; y < p.height - 1; ++y) {
    for (int x = 1; x < p.width - 1; ++x) {
      const int gx = p(x - 1, y - 1) + p(x - 1, y) + p(x - 1, y + 1) - p(x + 1, y - 1) -
                     p(x + 1, y) - p(x + 1, y + 1);
      const int gy = p(x - 1, y - 1) + p(x, y - 1) + p(x + 1, y - 1) - p(x - 1, y + 1) -
                     p(x, y + 1) - p(x + 1, y + 1);
      const int v = std::max(std::abs(gx), std::abs(gy));
      t.at(x, y) = static_cast<std::uint16_t>(v);
      largest = std::max(largest, v);
    }
  }
  if (largest != 0) WriteNormalised(p, t, largest, 0, 0, p.width, p.height);
}

void RobertsCross(Plane& p) {
  if (p.width < 2 || p.height < 2) return;
  Temp t(p.width, p.height);
  int largest = 0;
  for (int y = 1; y < p.height; ++y) {
    for (int x = 1; x < p.width; ++x) {
      const int v =
          std::max(std::abs(p(x - 1, y - 1) - p(x, y)), std::abs(p(x, y - 1) - p(x - 1, y)));
      t.at(x, y) = static_cast<std::uint16_t>(v);
      largest = std::max(largest, v);
    }
  }
  if (largest != 0) WriteNormalised(p, t, largest, 0, 0, p.width, p.height);
}

// rank 0 smallest, 1 middle, 2 largest of three values.
int Rank3(int a, int b, int c, int rank) {
  if (a > b) std::swap(a, b);
  if (b > c) std::swap(b, c);
  if (a > b) std::swap(a, b);
  return rank == 0 ? a : rank == 1 ? b : c;
}

void RankFilter(Plane& p, int rank) {
  if (p.width < 3 || p.height < 3) return;
  Temp t(p.width, p.height);
  for (int pass = 0; pass < 2; ++pass) {
    const int dx = pass == 0 ? 1 : 0;
    const int dy = pass == 0 ? 0 : 1;
    for (int y = 1; y < p.height - 1; ++y) {
      for (int x = 1; x < p.width - 1; ++x) {
        t.at(x, y) =
            static_cast<std::uint16_t>(Rank3(p(x - dx, y - dy), p(x, y), p(x + dx, y + dy), rank));
      }
    }
    for (int y = 1; y < p.height - 1; ++y) {
      for (int x = 1; x < p.width - 1; ++x) p.at(x, y) = static_cast<std::uint8_t>(t.at(x, y));
    }
  }
}

void Mop(Plane& p, bool innerRing, bool outerRing) {
  GreyScaleStretch(p);
  Temp t(p.width, p.height);
  int largest = 0;
  for (int y = 2; y < p.height - 2; ++y) {
    for (int x = 2; x < p.width - 2; ++x) {
      const int v = p(x, y);
      const int c = v < 32 ? 0 : v - 31;
      int count = 0;
      for (int j = -2; j <= 2; ++j) {
        for (int i = -2; i <= 2; ++i) {
          const bool outer = std::abs(i) == 2 || std::abs(j) == 2;
          if ((i == 0 && j == 0) || (outer ? !outerRing : !innerRing)) continue;
          if (p(x + i, y + j) < c) ++count;
        }
      }
      t.at(x, y) = static_cast<std::uint16_t>(count + 1);
      largest = std::max(largest, count + 1);
    }
  }
  if (largest == 0) {
    // No pixel lies 2 away from every edge: nothing was counted anywhere.
    for (int y = 0; y < p.height; ++y) std::fill_n(&p.at(0, y), p.width, std::uint8_t{0});
    return;
  }
  WriteNormalised(p, t, largest, 0, 0, p.width, p.height);
}

constexpr int kLowPass[3][3] = {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
constexpr int kHighPass[3][3] = {{-1, -1, -1}, {-1, 9, -1}, {-1, -1, -1}};
constexpr int kContrast[3][3] = {{0, -1, 0}, {-1, 7, -1}, {0, -1, 0}};

}  // namespace

void FilterPlane(int filterId, std::uint8_t* plane, int width, int height, int stride) {
  if (!plane || width <= 0 || height <= 0 || stride < width) return;
  Plane p{plane, width, height, stride};
  switch (filterId) {
    case seqid::kFilterGreyScaleStretch:
      GreyScaleStretch(p);
      break;
    case seqid::kFilterLowPass:
      Convolve(p, kLowPass);
      break;
    case seqid::kFilterHighPass:
      Convolve(p, kHighPass);
      break;
    case seqid::kFilterContrastEnhancement:
      Convolve(p, kContrast);
      break;
    case seqid::kFilterSobel:
      Sobel(p);
      break;
    case seqid::kFilterPrewitt:
      Prewitt(p);
      break;
    case seqid::kFilterRobertsCross:
      RobertsCross(p);
      break;
    case seqid::kFilterMedian:
      RankFilter(p, 1);
      break;
    case seqid::kFilterErosion:
      RankFilter(p, 0);
      break;
    case seqid::kFilterDilatation:
      RankFilter(p, 2);
      break;
    case seqid::kFilterMop8:
      Mop(p, true, false);
      break;
    case seqid::kFilterMop16:
      Mop(p, false, true);
      break;
    case seqid::kFilterMop24:
      Mop(p, true, true);
      break;
    default:
      break;
  }
}

void ApplyImageFilter(int filterId, std::uint8_t* planes, int width, int height, bool threePlanes) {
  if (!planes || width <= 0 || height <= 0) return;
  platform::BusyScope busy;
  const std::size_t size = static_cast<std::size_t>(width) * height;
  for (int i = 0; i < (threePlanes ? 3 : 1); ++i) {
    FilterPlane(filterId, planes + i * size, width, height, width);
  }
}
