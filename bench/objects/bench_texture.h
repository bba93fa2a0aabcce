#pragma once

// Seeded test pictures for the tracking benchmarks.

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

// A smooth random texture: uniform noise blurred twice by a 9 x 9 box, contrast stretched.
inline std::vector<std::uint8_t> Texture(int w, int h, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<float> a(static_cast<std::size_t>(w) * h), b(a.size());
  for (auto& v : a) v = static_cast<float>(rng() % 256);
  constexpr int r = 4;
  for (int pass = 0; pass < 2; ++pass) {
    for (int y = 0; y < h; ++y) {
      float sum = 0;
      for (int k = -r; k <= r; ++k) sum += a[y * w + std::clamp(k, 0, w - 1)];
      for (int x = 0; x < w; ++x) {
        b[y * w + x] = sum / (2 * r + 1);
        sum += a[y * w + std::min(x + r + 1, w - 1)] - a[y * w + std::max(x - r, 0)];
      }
    }
    for (int x = 0; x < w; ++x) {
      float sum = 0;
      for (int k = -r; k <= r; ++k) sum += b[std::clamp(k, 0, h - 1) * w + x];
      for (int y = 0; y < h; ++y) {
        a[y * w + x] = sum / (2 * r + 1);
        sum += b[std::min(y + r + 1, h - 1) * w + x] - b[std::max(y - r, 0) * w + x];
      }
    }
  }
  std::vector<std::uint8_t> out(a.size());
  for (std::size_t i = 0; i < a.size(); ++i)
    out[i] = static_cast<std::uint8_t>(std::clamp((a[i] - 128) * 6 + 128, 0.0f, 255.0f));
  return out;
}

}  // namespace bench
