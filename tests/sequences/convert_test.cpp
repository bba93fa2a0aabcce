#include "sequences/frameconvert.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/message_service.h"

namespace {

FS_Data Description(int colour) {
  FS_Data d;
  d.colour = colour;
  return d;
}

// A source frame of 2 x 2 pixels in the given depth, rows as stored (bottom-up unless topDown).
struct Source {
  int bits;
  std::vector<std::uint8_t> rows;  // already padded
  std::vector<std::uint8_t> table;
  DibSource View(bool topDown = false) const {
    DibSource s;
    s.width = 2;
    s.height = topDown ? -2 : 2;
    s.bitCount = bits;
    s.colorsUsed = static_cast<int>(table.size() / 4);
    s.colorTable = table.empty() ? nullptr : table.data();
    s.bits = rows.data();
    return s;
  }
};

std::vector<std::uint8_t> Row24(const CDIB& dib, int r) {
  const std::uint8_t* p = dib.Bits() + r * dib.RowBytes();
  return {p, p + dib.Width() * dib.BitCount() / 8};
}

TEST(SetupDIBTest, EveryDepthIntoColourAndGrey) {
  // Table: 0 black, 1 white, 2 pure red (blue, green, red, reserved).
  const std::vector<std::uint8_t> table = {0, 0, 0, 0, 255, 255, 255, 0, 0, 0, 255, 0};
  struct Case {
    Source src;
    std::vector<std::uint8_t> row0_24;  // target row 0 in 24 bits
    std::vector<std::uint8_t> row0_8;   // and in 8 bits
  };
  const Case cases[] = {
      // 1 bit: leftmost pixel in the most significant bit; black and white give 0 and 255.
      {{1, {0x40, 0, 0, 0, 0x80, 0, 0, 0}, table}, {0, 0, 0, 255, 255, 255}, {0, 255}},
      // 4 bits: high nibble first.
      {{4, {0x21, 0, 0, 0, 0x00, 0, 0, 0}, table}, {0, 0, 255, 255, 255, 255}, {56, 255}},
      {{8, {1, 2, 0, 0, 0, 0, 0, 0}, table}, {255, 255, 255, 0, 0, 255}, {255, 56}},
      // 16 bits: 0x7FFF is 248 in every colour; 0x001F is blue only.
      {{16, {0xFF, 0x7F, 0x1F, 0x00, 0, 0, 0, 0}, {}}, {248, 248, 248, 248, 0, 0}, {248, 17}},
      {{24, {10, 20, 30, 40, 50, 60, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {}},
       {10, 20, 30, 40, 50, 60},
       {(222 * 30 + 707 * 20 + 71 * 10) / 1000, (222 * 60 + 707 * 50 + 71 * 40) / 1000}},
      {{32, {10, 20, 30, 99, 40, 50, 60, 99, 0, 0, 0, 0, 0, 0, 0, 0}, {}},
       {10, 20, 30, 40, 50, 60},
       {(222 * 30 + 707 * 20 + 71 * 10) / 1000, (222 * 60 + 707 * 50 + 71 * 40) / 1000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.src.bits);
    CDIB colour, grey;
    ASSERT_TRUE(colour.Create(2, 2, 24));
    ASSERT_TRUE(grey.Create(2, 2, 8));
    SetupDIB(Description(1), c.src.View(), colour);
    SetupDIB(Description(0), c.src.View(), grey);
    EXPECT_EQ(Row24(colour, 0), c.row0_24);
    EXPECT_EQ(Row24(grey, 0), c.row0_8);

    // The same frame stored top line first gives the same bitmap.
    Source flipped = c.src;
    const std::size_t rowLen = flipped.rows.size() / 2;
    std::rotate(flipped.rows.begin(), flipped.rows.begin() + rowLen, flipped.rows.end());
    CDIB colour2;
    ASSERT_TRUE(colour2.Create(2, 2, 24));
    SetupDIB(Description(1), flipped.View(true), colour2);
    EXPECT_EQ(std::vector<std::uint8_t>(colour2.Bits(), colour2.Bits() + colour2.ImageSize()),
              std::vector<std::uint8_t>(colour.Bits(), colour.Bits() + colour.ImageSize()));
  }
}

TEST(SetupDIBTest, IndexPastTheTableIsBlackAndMismatchIsReported) {
  platform::RecordingMessageService messages;
  Source s{8, {200, 1, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 255, 255, 255, 0}};
  CDIB colour;
  ASSERT_TRUE(colour.Create(2, 2, 24));
  SetupDIB(Description(1), s.View(), colour);
  EXPECT_EQ(Row24(colour, 0), (std::vector<std::uint8_t>{0, 0, 0, 255, 255, 255}));
  EXPECT_TRUE(messages.shown.empty());

  CDIB wrong;
  ASSERT_TRUE(wrong.Create(3, 2, 8));
  wrong.Bits()[0] = 77;
  SetupDIB(Description(0), Source{4, {0, 0, 0, 0, 0, 0, 0, 0}, {}}.View(), wrong);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Internal Error:");
  EXPECT_EQ(messages.shown[0].text,
            "Call to 'Setup8bitDIBfrom4bit()' with incompatible Bitmapheaders!");
  EXPECT_EQ(wrong.Bits()[0], 77);
}

// A 4 x 4 grey frame whose stored row r holds the values 10r + column.
CDIB Grey4x4() {
  CDIB dib;
  dib.Create(4, 4, 8);
  for (int r = 0; r < 4; ++r)
    for (int c = 0; c < 4; ++c) dib.Bits()[r * dib.RowBytes() + c] = 10 * r + c;
  return dib;
}

std::vector<std::vector<int>> Rows(const CDIB& dib) {
  std::vector<std::vector<int>> out;
  for (int r = 0; r < dib.Height(); ++r) {
    std::vector<int> row;
    for (int c = 0; c < dib.Width(); ++c) row.push_back(dib.Bits()[r * dib.RowBytes() + c]);
    out.push_back(row);
  }
  return out;
}

TEST(SetupHalfframeDIBTest, ModesAndFields) {
  const CDIB src = Grey4x4();
  using R = std::vector<std::vector<int>>;
  struct Case {
    int mode;
    int field;
    R rows;
  };
  const Case cases[] = {
      {kHalfFrameNone, 0, {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}}},
      {kHalfFrameSimple, 0, {{0, 1, 2, 3}, {20, 21, 22, 23}}},
      {kHalfFrameSimple, 1, {{10, 11, 12, 13}, {30, 31, 32, 33}}},
      {kHalfFrameAspect, 1, {{10, 12}, {30, 32}}},
      {kHalfFrameCorrect, 0, {{0, 2}, {20, 22}}},
      // Row 0 from source row 1; row 1 the mean of rows 1 and 3: (10+11+30+31)/4 = 20.
      {kHalfFrameCorrect, 1, {{10, 12}, {20, 22}}},
      {kHalfFrameInterpolate,
       0,
       {{0, 1, 2, 3}, {10, 11, 12, 13}, {20, 21, 22, 23}, {20, 21, 22, 23}}},
      {kHalfFrameInterpolate,
       1,
       {{10, 11, 12, 13}, {10, 11, 12, 13}, {20, 21, 22, 23}, {30, 31, 32, 33}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "mode " << c.mode << " field " << c.field);
    int w, h;
    HalfFrameSize(c.mode, 4, 4, &w, &h);
    CDIB target;
    ASSERT_TRUE(target.Create(w, h, 8));
    SetupHalfframeDIB(Description(0), c.mode, src, c.field, target);
    EXPECT_EQ(Rows(target), c.rows);
  }
}

TEST(SetupHalfframeDIBTest, ColourMeansPerByteAndMismatchNamesTheMode) {
  CDIB src;
  src.Create(2, 2, 24);
  const std::uint8_t row0[] = {10, 20, 30, 20, 40, 60}, row1[] = {0, 0, 0, 0, 0, 0};
  std::memcpy(src.Bits(), row0, 6);
  std::memcpy(src.Bits() + src.RowBytes(), row1, 6);
  CDIB target;
  target.Create(1, 1, 24);
  SetupHalfframeDIB(Description(1), kHalfFrameCorrect, src, 0, target);
  EXPECT_EQ(Row24(target, 0), (std::vector<std::uint8_t>{15, 30, 45}));

  platform::RecordingMessageService messages;
  CDIB wrong;
  wrong.Create(2, 2, 24);
  SetupHalfframeDIB(Description(1), kHalfFrameSimple, src, 0, wrong);
  SetupHalfframeDIB(Description(0), kHalfFrameNone, src, 0, wrong);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].text,
            "Call to 'Setup24bitHalfframeDIBsimple()' with incompatible Bitmapheaders!");
  EXPECT_EQ(messages.shown[1].text,
            "Call to 'SetupHalfframeDIB()' with incompatible Bitmapheaders!");
}

}  // namespace
