// Smart Tile on rectangles: windows grow to their neighbours and the border, never across each
// other; overlapping windows are refused and entries without a window left out.

#include <gtest/gtest.h>

#include "app/smarttile.h"

namespace {

const TileRect kClient{0, 0, 1000, 600};

TEST(SmartTile, OneWindowFillsTheClientTwoPixelsInside) {
  const auto r = SmartTileRects({TileRect{100, 100, 300, 300}}, kClient);
  ASSERT_TRUE(r);
  EXPECT_EQ((*r)[0], (TileRect{2, 2, 998, 598}));
}

TEST(SmartTile, TwoWindowsSideBySideShareTheWidth) {
  const auto r =
      SmartTileRects({TileRect{100, 100, 300, 400}, TileRect{500, 100, 700, 400}}, kClient);
  ASSERT_TRUE(r);
  // The left one keeps its right edge, the right one starts there.
  EXPECT_EQ((*r)[0], (TileRect{2, 2, 300, 598}));
  EXPECT_EQ((*r)[1], (TileRect{300, 2, 998, 598}));
  EXPECT_FALSE((*r)[0]->Overlaps(*(*r)[1]));
}

TEST(SmartTile, WindowsAboveEachOtherAndAThirdBeside) {
  const auto r = SmartTileRects({TileRect{10, 10, 200, 100}, TileRect{10, 300, 200, 400},
                                 TileRect{400, 50, 600, 350}},
                                kClient);
  ASSERT_TRUE(r);
  for (int a = 0; a < 3; ++a)
    for (int b = 0; b < 3; ++b)
      if (a != b) {
        EXPECT_FALSE((*r)[a]->Overlaps(*(*r)[b])) << a << " " << b;
      }
  EXPECT_EQ((*r)[2]->right, 998);
  EXPECT_EQ((*r)[0]->top, 2);
  EXPECT_EQ((*r)[1]->bottom, 598);
}

TEST(SmartTile, OverlappingWindowsAreRefusedAndEmptyEntriesSkipped) {
  // A maximised child covers the other.
  EXPECT_FALSE(SmartTileRects({TileRect{0, 0, 1000, 600}, TileRect{100, 100, 300, 300}}, kClient));
  // Touching is not overlapping.
  EXPECT_TRUE(SmartTileRects({TileRect{0, 0, 100, 100}, TileRect{100, 0, 200, 100}}, kClient));
  const auto r = SmartTileRects({std::nullopt, TileRect{100, 100, 300, 300}}, kClient);
  ASSERT_TRUE(r);
  EXPECT_FALSE((*r)[0]);
  EXPECT_EQ((*r)[1], (TileRect{2, 2, 998, 598}));
}

}  // namespace
