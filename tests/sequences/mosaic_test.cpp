// Reconstruction of raw camera frames: properties of the pictures, not of the arithmetic.
#include "sequences/mosaic.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace {

using Planes = std::vector<std::uint8_t>;
// Value of a mosaic at (x, y).
using Scene = std::function<int(int x, int y)>;

Planes Mosaic(int w, int h, const Scene& scene) {
  Planes m(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) m[y * w + x] = static_cast<std::uint8_t>(scene(x, y));
  return m;
}

// The reconstructed picture as red, green and blue planes.
Planes Bayer(int w, int h, const Scene& scene) {
  const Planes mosaic = Mosaic(w, h, scene);
  const std::size_t size = static_cast<std::size_t>(w) * h;
  Planes planes(3 * size), bgr(3 * static_cast<std::size_t>(w));
  BayerDemosaic demosaic(w);
  for (int y = 0; y < h; ++y) {
    demosaic.Row(mosaic.data(), h, y, bgr.data());
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) planes[(2 - c) * size + y * w + x] = bgr[3 * x + c];
  }
  return planes;
}

int At(const Planes& p, int w, int h, int plane, int x, int y) {
  return p[(static_cast<std::size_t>(plane) * h + y) * w + x];
}

TEST(BayerMosaic, AnEvenSurfaceStaysEvenUpToTheBorder) {
  const int sizes[][2] = {{1, 1}, {2, 2}, {5, 3}, {16, 9}};
  for (auto [w, h] : sizes) {
    const Planes p = Bayer(w, h, [](int, int) { return 137; });
    for (std::uint8_t v : p) ASSERT_EQ(v, 137) << w << "x" << h;
  }
}

TEST(BayerMosaic, RampsStayRampsInsideThePicture) {
  const int w = 16, h = 12;
  struct Case {
    const char* what;
    Scene scene;
  };
  const Case cases[] = {{"horizontal", [](int x, int) { return 10 + 7 * x; }},
                        {"vertical", [](int, int y) { return 20 + 9 * y; }}};
  for (const Case& c : cases) {
    const Planes p = Bayer(w, h, c.scene);
    for (int plane = 0; plane < 3; ++plane)
      for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
          ASSERT_EQ(At(p, w, h, plane, x, y), c.scene(x, y))
              << c.what << " plane " << plane << " at " << x << "," << y;
  }
}

// A surface of one colour, recorded through the red-green / green-blue mosaic, comes back as
// that colour: the phase of the mosaic is the one the reader assumes.
TEST(BayerMosaic, ASurfaceOfOneColourComesBackInThatColour) {
  const int w = 10, h = 8;
  for (int colour = 0; colour < 3; ++colour) {
    const Planes p = Bayer(w, h, [colour](int x, int y) {
      const int site = (y % 2 == 0 && x % 2 == 0) ? 0 : (y % 2 == 1 && x % 2 == 1) ? 2 : 1;
      return site == colour ? 200 : 0;
    });
    for (int plane = 0; plane < 3; ++plane)
      for (int y = 1; y < h - 1; ++y)
        for (int x = 1; x < w - 1; ++x)
          ASSERT_EQ(At(p, w, h, plane, x, y), plane == colour ? 200 : 0)
              << "colour " << colour << " plane " << plane << " at " << x << "," << y;
  }
}

// Quad means are taken as means of pair means: never more than one level from the exact one.
TEST(BayerMosaic, MissingColoursAreMeansOfTheirNeighbours) {
  const int w = 9, h = 7;
  const Scene noise = [](int x, int y) { return (x * 37 + y * 91 + x * y * 13) % 256; };
  const Planes p = Bayer(w, h, noise);
  for (int y = 1; y < h - 1; ++y)
    for (int x = 1; x < w - 1; ++x) {
      const bool green = (x + y) % 2 == 1;
      const double direct =
          (noise(x - 1, y) + noise(x + 1, y) + noise(x, y - 1) + noise(x, y + 1)) / 4.0;
      if (green) {
        EXPECT_EQ(At(p, w, h, 1, x, y), noise(x, y)) << x << "," << y;
      } else {
        EXPECT_NEAR(At(p, w, h, 1, x, y), direct, 1.0) << x << "," << y;
      }
    }
}

TEST(VrawMosaic, GreyLinesAreDoubled) {
  const std::uint8_t stored[] = {1, 2, 3, 4, 5, 6};  // 3 wide, 2 stored lines
  std::uint8_t plane[12] = {};
  VrawGreyPlane(stored, 3, 4, plane);
  const std::uint8_t expected[] = {1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6};
  EXPECT_TRUE(std::equal(plane, plane + 12, expected));
}

// The colour of a stored sample by its place: odd columns green; even columns red and blue in
// turn every two columns, in the other phase on odd stored lines.
int VrawSite(int x, int s) {
  if (x % 2 == 1) return 1;
  return ((x / 2) % 2 == 0) == (s % 2 == 0) ? 0 : 2;
}

Planes Vraw(int w, int h, const std::function<int(int colour)>& value) {
  Planes stored(static_cast<std::size_t>(w) * h / 2);
  for (int s = 0; s < h / 2; ++s)
    for (int x = 0; x < w; ++x)
      stored[s * w + x] = static_cast<std::uint8_t>(value(VrawSite(x, s)));
  Planes planes(3 * static_cast<std::size_t>(w) * h);
  VrawColourPlanes(stored.data(), w, h, planes.data());
  return planes;
}

TEST(VrawMosaic, AnEvenSurfaceIsEvenInsideThePicture) {
  const int w = 48, h = 48, margin = 12;
  const Planes p = Vraw(w, h, [](int) { return 200; });
  for (int y = margin; y < h - margin; ++y)
    for (int x = margin; x < w - margin; ++x) {
      ASSERT_EQ(At(p, w, h, 1, x, y), 200) << x << "," << y;
      ASSERT_EQ(At(p, w, h, 2, x, y), 200) << x << "," << y;
      // Red is smoothed in place with truncating means, which darkens it by a few levels.
      ASSERT_LE(At(p, w, h, 0, x, y), 200) << x << "," << y;
      ASSERT_GE(At(p, w, h, 0, x, y), 200 - 12) << x << "," << y;
    }
}

// Each colour is rebuilt in a clear plane: a colour missing from the scene is missing from its
// plane everywhere, borders included.
TEST(VrawMosaic, AColourAbsentFromTheSceneIsAbsentFromItsPlane) {
  const int w = 24, h = 20;
  for (int absent = 0; absent < 3; ++absent) {
    const Planes p = Vraw(w, h, [absent](int colour) { return colour == absent ? 0 : 255; });
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) ASSERT_EQ(At(p, w, h, absent, x, y), 0) << absent;
  }
}

}  // namespace
