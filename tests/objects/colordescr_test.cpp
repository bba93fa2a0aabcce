#include "objects/colordescr.h"

#include <gtest/gtest.h>

#include "base/defaults.h"

#include "objects/resobjseq.h"
#include "objects_test_util.h"

namespace {

constexpr ColorValue kRed = Rgb(255, 0, 0);

std::vector<DrawCall> Draw(const ColorDescr& d, int x, int y, int w = 0, int h = 0,
                           int style = -1) {
  RecordingCanvas c;
  d.DrawMarker(c, x, y, w, h, style);
  return c.calls;
}

DrawCall L(int x1, int y1, int x2, int y2) { return {"line", {x1, y1, x2, y2}, kRed}; }

TEST(ColorDescrTest, DrawsEachMarkerStyleAroundItsCentre) {
  const ColorDescr d(kRed, 4, 6, kMarkerRectangle);
  // Centre (100, 50), width 4, height 6: rectangle (98, 47) to (102, 53).
  const std::vector<std::pair<int, std::vector<DrawCall>>> cases = {
      {kMarkerRectangle, {{"frame", {98, 47, 102, 53}, kRed}}},
      {kMarkerCircle, {{"ellipse", {98, 47, 102, 53}, kRed}}},
      {kMarkerTriangle, {L(100, 47, 96, 54), L(100, 47, 104, 54), L(97, 53, 103, 53)}},
      {kMarkerRhomb,
       {L(100, 47, 102, 50), L(102, 50, 100, 53), L(100, 53, 98, 50), L(98, 50, 100, 47)}},
      {kMarkerCross, {L(100, 47, 100, 53), L(98, 50, 102, 50)}},
      {kMarkerStar,
       {L(100, 47, 100, 53), L(98, 50, 102, 50), L(98, 47, 102, 53), L(102, 47, 98, 53)}},
      {kMarkerCrossCircle,
       {L(100, 47, 100, 53), L(98, 50, 102, 50), {"ellipse", {98, 47, 102, 53}, kRed}}},
      {kMarkerFilledRectangle, {{"fill", {98, 47, 102, 53}, kRed}}},
      {kMarkerFilledCircle, {{"filledellipse", {98, 47, 102, 53}, kRed}}},
  };
  for (const auto& [style, expected] : cases) {
    EXPECT_EQ(Draw(d, 100, 50, 0, 0, style), expected) << "style " << style;
  }
  // A width of 5 keeps the left edge and moves the right one.
  EXPECT_EQ(Draw(d, 100, 50, 5, 4), (std::vector<DrawCall>{{"frame", {98, 48, 103, 52}, kRed}}));
  // A style outside 0..8 draws the descriptor's own; an own style outside draws nothing.
  EXPECT_EQ(Draw(d, 100, 50, 0, 0, 9), Draw(d, 100, 50, 0, 0, kMarkerRectangle));
  EXPECT_EQ(Draw(d, 100, 50, 0, 0, -1), Draw(d, 100, 50, 0, 0, kMarkerRectangle));
  EXPECT_TRUE(Draw(ColorDescr(kRed, 4, 4, 9), 10, 10).empty());
}

TEST(ColorDescrTest, DrawsInThePaletteEntryOnlyForAnExactColour) {
  const std::vector<PaletteEntry> palette = {{0, 0, 0, 0}, {255, 0, 0, 0}};
  RecordingCanvas c;
  c.palette = &palette;
  ColorDescr(kRed, 3, 3, kMarkerFilledRectangle).DrawMarker(c, 5, 5);
  ColorDescr(Rgb(254, 0, 0), 3, 3, kMarkerFilledRectangle).DrawMarker(c, 5, 5);
  ColorDescr(kRed, 3, 3, kMarkerFilledRectangle).DrawMarker(c, 5, 5, 0, 0, -1, true);
  ASSERT_EQ(c.calls.size(), 3u);
  EXPECT_EQ(c.calls[0].color, PaletteIndex(1));
  EXPECT_EQ(c.calls[1].color, Rgb(254, 0, 0));
  EXPECT_EQ(c.calls[2].color, kBlack);
  EXPECT_FLOAT_EQ(ColorDescr(kRed, 6, 8, 0).GetMarkerRadius(), 5.0f);
}

TEST(TemplateTest, SizesFromPercentagesAreOddAndAtLeastThree) {
  EXPECT_EQ(Template::SideFromPercent(5, 640), 25);
  EXPECT_EQ(Template::SideFromPercent(8, 480), 39);
  EXPECT_EQ(Template::SideFromPercent(1, 640), 3);
  EXPECT_EQ(Template::SideFromPercent(0, 640), 3);
  Template t(640, 480, true);  // built-in defaults: 8 % of each side
  EXPECT_EQ(t.width, 51);
  EXPECT_EQ(t.height, 39);
  EXPECT_EQ(t.work, Template::kInitialWork);
  ASSERT_NE(t.BluePlane(), nullptr);
  t.GreyPlane()[t.width * t.height - 1] = 7;
  const Template copy(t);
  EXPECT_EQ(copy.width, 51);
  EXPECT_TRUE(copy.isColor);
  Template grey(100, 100, false);
  EXPECT_EQ(grey.RedPlane(), nullptr);
  grey.SetSize(5, 7);
  EXPECT_EQ(grey.width * grey.height, 35);
  EXPECT_NE(grey.GreyPlane(), nullptr);
}

TEST(ResObjectSequenceTest, SearchLimitsAreOddAndAtLeastThree) {
  ResObjectSequences all(nullptr);
  ResObjectSequence& s = *all.NewSequence(seqflag::kNewSequence);
  DefaultValueStruct defaults;
  defaults.horizontalLimit = 10;
  defaults.verticalLimit = 1;
  g_Defaults = &defaults;
  s.SetSearchLimits(640, 480);
  g_Defaults = nullptr;
  EXPECT_EQ(s.horizontalLimit, 63);
  EXPECT_EQ(s.verticalLimit, 3);
}

}  // namespace
