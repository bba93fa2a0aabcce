// The analysis window's logic without widgets: kinds, captions, command enablers, the
// crosshairs and their anchoring across scale changes, the pane number format, and the dialogs'
// records and checks.

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/anlwindialogs.h"
#include "analysis/anlwinkind.h"
#include "analysis/plot/axes.h"
#include "analysis/plot/fadenkreuze.h"
#include "analysis/units.h"

namespace {

TEST(AnalysisKinds, MasksSourcesAndAbscissaFollowTheKind) {
  struct Row {
    int kind;
    std::uint32_t mask;
    CurveSource source;
    int abscissa;
  };
  const Row rows[] = {
      {0, 0x101, CurveSource::kSeries, 0},       {5, 0x101, CurveSource::kSeries, 0},
      {9, 0x101, CurveSource::kSeries, 9},       {11, 0x101, CurveSource::kResultants, 0},
      {15, 0x101, CurveSource::kDistances, 0},   {28, 0x101, CurveSource::kAngles, 0},
      {29, 0x208, CurveSource::kSeries, 0},      {41, 0x208, CurveSource::kResultants, 0},
      {44, 0x410, CurveSource::kSeries, 0},      {45, 0x410, CurveSource::kResultants, 0},
      {49, 0x420, CurveSource::kResultants, 0},  {52, 0x440, CurveSource::kSeries, 0},
      {57, 0x480, CurveSource::kResultants, 0},
  };
  for (const Row& r : rows) {
    const AnalysisKindInfo info = KindInfo(r.kind);
    EXPECT_EQ(info.mask, r.mask) << r.kind;
    EXPECT_EQ(info.source, r.source) << r.kind;
    EXPECT_EQ(info.abscissa, r.abscissa) << r.kind;
    EXPECT_EQ(info.captionId, 32101 + r.kind);
  }
  EXPECT_EQ(KindOfCommand(25301), 0);
  EXPECT_EQ(KindOfCommand(25310), 9);
  EXPECT_EQ(KindOfCommand(25358), 57);
  EXPECT_EQ(KindOfCommand(25360), -1);
  EXPECT_EQ(KindOfCommand(25300), -1);
}

TEST(AnalysisCaption, KeepsLongCaptionsWholeAndCutsTitlesBetweenCharacters) {
  const std::string description(1000, 'd');
  const std::string caption = AnalysisWindowCaption(12, "Analysis", description);
  EXPECT_EQ(caption, "12. Analysis / " + description);
  // "ä" takes two bytes: 49 characters of them are 98 bytes, never 49.
  std::string umlauts;
  for (int i = 0; i < 60; ++i) umlauts += "\xC3\xA4";
  const std::string cut = CutToCharacters(umlauts, kMaxTitleCharacters);
  EXPECT_EQ(cut.size(), 98u);
  EXPECT_EQ(CutToCharacters("1. Analysis / walk", 49), "1. Analysis / walk");
  // A text whose last character is already cut off loses that piece.
  EXPECT_EQ(CutToCharacters("ab\xE2\x82", 49), "ab");
}

platform::CommandEnabler Ask(const AnlWinCommandState& s, int id) {
  platform::CommandEnabler ce(id);
  EnableAnlWinCommand(s, ce);
  return ce;
}

TEST(AnlWinEnabler, EditingCommandsOnlyForSequenceKindsAndTextsFollowTheState) {
  AnlWinCommandState s;
  for (int id : {25371, 25372, 25373}) {
    s.kind = 13;
    EXPECT_TRUE(Ask(s, id).enabled) << id;
    s.kind = 14;
    EXPECT_FALSE(Ask(s, id).enabled) << id;
    s.kind = 30;
    EXPECT_FALSE(Ask(s, id).enabled) << id;
  }
  s.kind = 28;
  EXPECT_TRUE(Ask(s, 25377).enabled);
  s.kind = 29;
  EXPECT_FALSE(Ask(s, 25377).enabled);
  EXPECT_FALSE(Ask(s, 25375).enabled);
  s.importedShown = true;
  EXPECT_TRUE(Ask(s, 25375).enabled);

  EXPECT_EQ(*Ask(s, 25379).text, "Enable Reticules");
  EXPECT_FALSE(Ask(s, 25380).enabled);
  s.oldCrosshairsHeld = true;
  EXPECT_TRUE(Ask(s, 25380).enabled);
  s.crosshairsOn = true;
  EXPECT_EQ(*Ask(s, 25379).text, "Disable Reticules");
  EXPECT_FALSE(Ask(s, 25380).enabled);
  EXPECT_EQ(Ask(s, 25383).check, platform::CommandEnabler::kChecked);
  s.markerShown = true;
  EXPECT_EQ(*Ask(s, 25381).text, "Disable Showing Frame Numbers");
  EXPECT_EQ(Ask(s, 25384).check, platform::CommandEnabler::kChecked);

  // Zoom in is greyed with fit on whatever the limit says; zoom out only with fit off.
  s.fitToWindow = true;
  s.canZoomIn = false;
  EXPECT_FALSE(Ask(s, 24368).enabled);
  EXPECT_FALSE(Ask(s, 24369).enabled);
  EXPECT_EQ(Ask(s, 24370).check, platform::CommandEnabler::kChecked);
  s.fitToWindow = false;
  s.canZoomIn = true;
  EXPECT_TRUE(Ask(s, 24368).enabled);
  EXPECT_TRUE(Ask(s, 24369).enabled);
}

TEST(AnalysisWindowEnabler, BothTheFirstAndTheActiveDocumentMustAllowTheWindow) {
  const AnalysisDocumentState none{};
  const AnalysisDocumentState tracked{true, true, false};
  const AnalysisDocumentState modelled{true, true, true};
  const AnalysisDocumentState empty{true, false, false};
  EXPECT_TRUE(AnalysisWindowEnabled(25301, tracked, tracked, false));
  EXPECT_FALSE(AnalysisWindowEnabled(25301, none, none, false));
  EXPECT_FALSE(AnalysisWindowEnabled(25301, tracked, empty, false));  // acts on the empty one
  EXPECT_FALSE(AnalysisWindowEnabled(25329, empty, tracked, false));
  // The centre-of-mass windows need a model in the first document too.
  EXPECT_FALSE(AnalysisWindowEnabled(25330, tracked, modelled, false));
  EXPECT_TRUE(AnalysisWindowEnabled(25358, modelled, modelled, false));
  // The 3D window needs its maker.
  EXPECT_FALSE(AnalysisWindowEnabled(25360, tracked, tracked, false));
  EXPECT_TRUE(AnalysisWindowEnabled(25360, tracked, tracked, true));
  EXPECT_FALSE(AnalysisWindowEnabled(25359, tracked, tracked, true));
}

TEST(Fadenkreuze, HitSquaresLineGrabsAndTheSecondWinning) {
  Fadenkreuze f;
  f.SetPositions(100, 100, 200, 200);
  EXPECT_FALSE(f.HitTest(107, 100, false));  // the square spans 93..106
  EXPECT_TRUE(f.HitTest(106, 93, false));
  EXPECT_TRUE(f.FirstSelected());
  EXPECT_FALSE(f.SecondSelected());
  // A miss keeps the grab.
  EXPECT_FALSE(f.HitTest(400, 400, true));
  EXPECT_TRUE(f.FirstSelected());
  // Far along the horizontal line of the grabbed first crosshair: vertical movement only.
  EXPECT_TRUE(f.HitTest(300, 103, true));
  EXPECT_TRUE(f.MovesVerticallyOnly());
  f.MoveSelected(350, 140);
  EXPECT_EQ(f.First(), (FloatPoint{100, 140}));
  // Without line grab the same press misses.
  EXPECT_FALSE(f.HitTest(300, 143, false));
  // Both at one point: the second is grabbed.
  f.SetPositions(50, 50, 50, 50);
  EXPECT_TRUE(f.HitTest(50, 50, true));
  EXPECT_TRUE(f.SecondSelected());
  EXPECT_FALSE(f.FirstSelected());
  f.MoveSelected(60, 70);
  EXPECT_EQ(f.Second(), (FloatPoint{60, 70}));
}

// Axes of a plot 0..100 frames by 0..50 mm over a window of 620 x 420 pixels.
struct PlotAxes {
  PlotAxes() : axes(units) {
    axes.xMin = 0, axes.xMax = 100, axes.yMin = 0, axes.yMax = 50;
    axes.xMargin = 40, axes.yMargin = 40;
    axes.xScale = 6, axes.yScale = 8;
    axes.originCorner = 2;
    axes.PlaceOrigin();
  }
  AnlWinUnits units;
  AnlWinAxes axes;
};

TEST(CrosshairAnchor, OneInsideKeepsItsValuesAcrossZoomAndFit) {
  PlotAxes p;
  Fadenkreuze f;
  const float x = p.axes.ValueToPixelX(40), y = p.axes.ValueToPixelY(20);
  // The second lies right of the plot, 15 pixels beyond its right edge.
  const float right = PlotRect::Of(p.axes).Widened().right;
  f.SetPositions(x, y, right + 15, y);
  CrosshairAnchor anchor;
  ASSERT_TRUE(anchor.Take(CrosshairAnchor::kZoom, f, p.axes));
  // An operation inside another leaves the outer record alone.
  EXPECT_FALSE(anchor.Take(CrosshairAnchor::kRebuild, f, p.axes));
  p.axes.xScale = 12, p.axes.yScale = 16;
  p.axes.PlaceOrigin();
  EXPECT_FALSE(anchor.Replace(CrosshairAnchor::kRebuild, f, p.axes));
  ASSERT_TRUE(anchor.Replace(CrosshairAnchor::kZoom, f, p.axes));
  EXPECT_FALSE(anchor.Pending());
  EXPECT_NEAR(p.axes.PixelToValueX(f.First().x), 40, 1e-3);
  EXPECT_NEAR(p.axes.PixelToValueY(f.First().y), 20, 1e-3);
  EXPECT_TRUE(f.FirstEnabled());
  EXPECT_NEAR(f.Second().x, PlotRect::Of(p.axes).Widened().right + 15, 1e-3);
  EXPECT_FALSE(f.SecondEnabled());
}

TEST(CrosshairAnchor, PositionsAreClampedIntoTheWindow) {
  PlotAxes p;
  Fadenkreuze f;
  f.SetPositions(-50, -50, 5000, 5000);
  CrosshairAnchor anchor;
  anchor.Take(CrosshairAnchor::kFit, f, p.axes);
  anchor.Replace(CrosshairAnchor::kFit, f, p.axes);
  EXPECT_EQ(f.First(), (FloatPoint{8, 8}));
  const PlotRect r = PlotRect::Of(p.axes);
  EXPECT_EQ(f.Second(), (FloatPoint{r.right + p.axes.xMargin - 7, r.bottom + p.axes.yMargin - 7}));
}

TEST(PaneNumbers, DecimalsFollowTheLargestValue) {
  EXPECT_EQ(PaneDecimals({1500.25f, 2500.5f, 1500.25f, 2500.5f}), 5);
  EXPECT_EQ(PaneDecimals({1500.25f, 12.5f}), 4);
  EXPECT_EQ(PaneDecimals({1000.0f}), 4);
  EXPECT_EQ(PaneDecimals({12345.0f}), 4);
  EXPECT_EQ(PaneDecimals({123456.0f}), 3);
  EXPECT_EQ(PaneDecimals({2e8f}), 0);
  EXPECT_EQ(PaneDecimals({0.0f, kMissingValue}), 4);
  EXPECT_EQ(FormatPaneValue(1500.25f, 5), "1500.25000");
}

TEST(AnalysisDialogsData, CoordinateRecordMarksAndReadsTheKind) {
  CoordinateTransfer t;
  t.Mark(5);
  EXPECT_EQ(t.Chosen(), 5);
  t.Mark(9);
  EXPECT_EQ(t.Chosen(), 9);
  int marked = 0;
  for (auto s : t.states) marked += s;
  EXPECT_EQ(marked, 1);
  // A centre-of-mass window has no button.
  t.Mark(29);
  EXPECT_EQ(t.Chosen(), std::nullopt);
  // Every kind 0..28 has exactly one button.
  for (int k = 0; k <= 28; ++k) {
    t.Mark(k);
    EXPECT_EQ(t.Chosen(), k);
  }
}

TEST(AnalysisDialogsData, FieldChecks) {
  for (const char* ok : {"-12.5", "3", "0.25", ".5", "7."}) EXPECT_TRUE(MatchesRealPicture(ok)) << ok;
  for (const char* bad : {"1e5", "+3", "", "-", ".", "1.2.3", "1,5"})
    EXPECT_FALSE(MatchesRealPicture(bad)) << bad;
  EXPECT_TRUE(IsIntegerInRange("0", 0, 99));
  EXPECT_TRUE(IsIntegerInRange("99", 0, 99));
  EXPECT_FALSE(IsIntegerInRange("100", 0, 99));
  EXPECT_FALSE(IsIntegerInRange("-1", 0, 99));
  EXPECT_FALSE(IsIntegerInRange("", 0, 9));
  EXPECT_FALSE(IsIntegerInRange("99999999999999", 0, 99));
  EXPECT_EQ(ParseScaleFactor("2.5"), 2.5f);
  EXPECT_EQ(ParseScaleFactor("0"), 0.0f);
  EXPECT_EQ(ParseScaleFactor("x"), std::nullopt);
  EXPECT_EQ(GaugePercent(1, 3), 33);
  EXPECT_EQ(GaugePercent(3, 3), 100);
}

TEST(AnalysisDialogsData, LineStylesAndTheStyleDrag) {
  EXPECT_EQ(LineStyleItems().size(), 12u);
  EXPECT_EQ(MatchingLineStyle(2, 0, true, false)->command, 22203);
  EXPECT_EQ(MatchingLineStyle(1, 3, true, false)->command, 22206);
  EXPECT_EQ(MatchingLineStyle(3, 0, false, false)->command, 22209);
  EXPECT_EQ(MatchingLineStyle(1, 0, false, true)->command, 22210);
  EXPECT_FALSE(LineStyleOffered(*LineStyleOf(22210), false));
  EXPECT_TRUE(LineStyleOffered(*LineStyleOf(22209), false));

  // Down from width 4: 3, 2, 1, points of 1, 2, 3, then no further.
  CurveStyleValues s{4, 2, true, true};
  const CurveStyleValues down[] = {{3, 0, true, false},  {2, 0, true, false},
                                   {1, 0, true, false},  {1, 0, false, false},
                                   {2, 0, false, false}, {3, 0, false, false},
                                   {3, 0, false, false}};
  for (const CurveStyleValues& want : down) {
    StyleDragStep(s, true);
    EXPECT_EQ(s, want);
  }
  // And back up to a line of width 4.
  for (int i = 0; i < 6; ++i) StyleDragStep(s, false);
  EXPECT_EQ(s, (CurveStyleValues{4, 0, true, false}));
}

}  // namespace
