#include "sequences/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <numeric>
#include <vector>

#include "platform/files.h"
#include "seq_test_util.h"

namespace {

void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (8 * i));
}

TEST(CDIB, CreateLaysOutHeaderTableAndPaddedRows) {
  CDIB d;
  ASSERT_TRUE(d.Create(3, 2, 24));
  EXPECT_EQ(d.RowBytes(), 12);
  EXPECT_EQ(d.ImageSize(), 24u);
  EXPECT_EQ(d.ColorsUsed(), 0);
  EXPECT_EQ(d.BlockSize(), 40u + 24u);
  const std::uint8_t* h = d.Block();
  EXPECT_EQ(h[0], 40);
  EXPECT_EQ(h[12], 1);   // planes
  EXPECT_EQ(h[14], 24);  // bit count
  EXPECT_EQ(h[20], 24);  // image size

  ASSERT_TRUE(d.Create(5, 3, 8));
  EXPECT_EQ(d.RowBytes(), 8);
  EXPECT_EQ(d.ColorsUsed(), 256);
  EXPECT_TRUE(d.IsGreyRamp());
  EXPECT_EQ(d.Bits(), d.Block() + 40 + 1024);

  ASSERT_TRUE(d.Create(33, 1, 1));
  EXPECT_EQ(d.RowBytes(), 8);
  EXPECT_EQ(d.Palette()[1], (PaletteEntry{255, 255, 255, 0}));

  EXPECT_FALSE(d.Create(4, 4, 16));
  EXPECT_FALSE(d.Create(-1, 4, 8));
  EXPECT_EQ(d.Width(), 33);  // a refused Create leaves the bitmap as it was
}

TEST(CDIB, GreyFlagFollowsTheGivenTable) {
  std::vector<PaletteEntry> ramp(256);
  for (int i = 0; i < 256; ++i) ramp[i] = {std::uint8_t(i), std::uint8_t(i), std::uint8_t(i), 0};
  CDIB d;
  ASSERT_TRUE(d.Create(2, 2, 8, ramp.data(), 256));
  EXPECT_TRUE(d.IsGreyRamp());
  ramp[7].red = 8;
  ASSERT_TRUE(d.Create(2, 2, 8, ramp.data(), 256));
  EXPECT_FALSE(d.IsGreyRamp());
  EXPECT_EQ(d.ColorTable()[4 * 7 + 2], 8);  // stored blue, green, red
}

TEST(CDIB, CorrectionValues) {
  struct Case {
    int c;
    double f;
    bool linear;
    int expected;
  };
  const Case cases[] = {{255, 2.0, false, 255},  {128, 2.0, false, 64}, {0, 2.0, false, 0},
                        {200, 1.5, true, 255},   {100, 1.5, true, 150}, {77, 1.0, false, 77},
                        {255, 0.25, false, 255}, {1, 0.25, false, 63},  {255, 0.5, true, 127}};
  for (const Case& c : cases) {
    EXPECT_EQ(CorrectComponent(c.c, c.f, c.linear), c.expected) << c.c << " " << c.f;
  }
}

TEST(CDIB, EachBitmapCorrectsWithItsOwnFactors) {
  CDIB a, b;
  ASSERT_TRUE(a.Create(2, 1, 24));
  ASSERT_TRUE(b.Create(2, 1, 24));
  std::fill(a.Bits(), a.Bits() + 6, 100);
  std::fill(b.Bits(), b.Bits() + 6, 100);
  a.SetGamma(1.5, 1.5, 1.5, true);
  b.SetGamma(0.5, 1.0, 2.0, true);
  a.BuildCorrectionTables();
  b.BuildCorrectionTables();
  a.BuildCorrectionTables();    // a second frame through a's unchanged tables
  EXPECT_EQ(a.Bits()[0], 225);  // 100 -> 150 -> 225
  // b: blue x2, green x1, red x0.5
  EXPECT_EQ(b.Bits()[0], 200);
  EXPECT_EQ(b.Bits()[1], 100);
  EXPECT_EQ(b.Bits()[2], 50);

  CDIB p;
  ASSERT_TRUE(p.Create(1, 1, 8));
  std::vector<PaletteEntry> src(256, PaletteEntry{100, 128, 200, 0});
  p.SetGamma(1.0, 2.0, 1.5, true);
  p.CorrectPalette(src.data(), 256);
  EXPECT_EQ(p.Palette()[9], (PaletteEntry{100, 255, 255, 0}));
  EXPECT_FALSE(p.IsGreyRamp());
}

TEST(CDIB, PlanesAreTopDownRgbAndTheExactInverse) {
  CDIB d;
  ASSERT_TRUE(d.Create(2, 2, 24));
  // Stored rows bottom-up: bottom row pixels (B,G,R) = (1,2,3),(4,5,6); top row (7,8,9),(10,11,12).
  const std::uint8_t rows[] = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
  std::memcpy(d.Bits(), rows, sizeof rows);
  std::uint8_t planes[12];
  d.ToPlanes(planes);
  const std::uint8_t expected[12] = {9, 12, 3, 6, 8, 11, 2, 5, 7, 10, 1, 4};
  EXPECT_EQ(0, std::memcmp(planes, expected, 12));
  CDIB e;
  ASSERT_TRUE(e.Create(2, 2, 24));
  e.FromPlanes(planes);
  EXPECT_EQ(0, std::memcmp(e.Bits(), rows, sizeof rows));
}

TEST(CDIB, BmpRoundTripIsByteForByte) {
  seqtest::TempDir dir;
  for (int bits : {1, 8, 24}) {
    CDIB d;
    ASSERT_TRUE(d.Create(5, 3, bits));
    for (std::size_t i = 0; i < d.ImageSize(); ++i) d.Bits()[i] = static_cast<std::uint8_t>(i * 37);
    d.SetColorTableEntry(1, {10, 20, 30, 0});
    std::string path = dir.File("b" + std::to_string(bits) + ".bmp");
    ASSERT_TRUE(d.WriteFile(path));
    std::string first;
    ASSERT_TRUE(platform::ReadWholeFile(path, first));
    EXPECT_EQ(first.substr(0, 2), "BM");
    EXPECT_EQ(first.size(), 14 + d.BlockSize());
    CDIB r;
    ASSERT_TRUE(r.ReadFile(path));
    EXPECT_EQ(r.Width(), 5);
    EXPECT_EQ(r.BitCount(), bits);
    EXPECT_EQ(r.FileBytes(), first) << bits << " bits";
  }
}

TEST(CDIB, RefusesBitmapFilesThatDoNotHoldWhatTheirHeaderSays) {
  CDIB good;
  ASSERT_TRUE(good.Create(4, 4, 8));
  const std::string bytes = good.FileBytes();
  struct Case {
    const char* what;
    std::string bytes;
  };
  auto with32 = [&](std::size_t at, std::uint32_t v) {
    std::string s = bytes;
    Put32(s, at, v);
    return s;
  };
  const Case cases[] = {
      {"short file header", bytes.substr(0, 10)},
      {"no BM", "XY" + bytes.substr(2)},
      {"rows cut short", bytes.substr(0, bytes.size() - 1)},
      {"height beyond the data", with32(14 + 8, 5)},
      {"huge width", with32(14 + 4, 0x7fffffff)},
      {"compressed", with32(14 + 16, 1)},
      {"other header size", with32(14, 124)},
      {"bits offset beyond the file", with32(10, 0xffffff)},
      {"too many colours", with32(14 + 32, 300)},
      {"no columns", with32(14 + 4, 0)},
      {"no rows", with32(14 + 8, 0)},
  };
  for (const Case& c : cases) {
    CDIB d;
    ASSERT_TRUE(d.Create(1, 1, 24));
    EXPECT_FALSE(d.FromFileBytes(c.bytes)) << c.what;
    EXPECT_EQ(d.Width(), 1) << c.what;  // unchanged
  }
  CDIB d;
  EXPECT_TRUE(d.FromFileBytes(bytes));
}

TEST(CDIB, CanHoldStopsAtTwoGigabytesOfPaddedRowsWithoutOverflow) {
  struct Case {
    std::int64_t width, height;
    int bits;
    bool fits;
  };
  const Case cases[] = {
      {65536, 32768, 8, true},  // exactly 2^31 bytes
      {65537, 32768, 8, false},
      {65533, 32768, 8, true},    // rows padded to 65536 bytes
      {21846, 32768, 24, false},  // 65540 bytes per row: 2^31 + 131072
      {2147483647, 2147483647, 24, false},
      {2147483647, 0, 24, true},  // no rows
      {0, 2147483647, 24, true},
      {-1, 1, 8, false},
      {2147483648, 1, 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CDIB::CanHold(c.width, c.height, c.bits), c.fits) << c.width << " x " << c.height;
  }
}

TEST(CDIB, PaintDelayIsBoundedAndOnlyNewImagesWait) {
  using namespace std::chrono;
  CDIB d;
  d.SetPaintDelay(100000);
  EXPECT_EQ(d.PaintDelay(), CDIB::kMaxPaintDelayMs);
  d.SetPaintDelay(200);
  auto t0 = steady_clock::now();
  d.MarkNewImage();
  EXPECT_EQ(d.TakePaintWait(t0), milliseconds(0));  // nothing painted before
  d.MarkNewImage();
  EXPECT_EQ(d.TakePaintWait(t0 + milliseconds(50)), milliseconds(150));
  EXPECT_EQ(d.TakePaintWait(t0 + milliseconds(60)), milliseconds(0));  // a repaint
  d.MarkNewImage();
  EXPECT_EQ(d.TakePaintWait(t0 + milliseconds(1000)), milliseconds(0));
}

}  // namespace
