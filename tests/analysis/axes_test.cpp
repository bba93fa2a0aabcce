#include "analysis/plot/axes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/units.h"
#include "analysis_test_util.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

TEST(Ticks, NiceStepRoundsUpToOneTwoAndAHalfFiveOrTenTimesAPowerOfTen) {
  const std::pair<float, float> cases[] = {
      {0.37f, 0.5f}, {12, 25}, {1000, 1000},     {1.07f, 2.5f}, {7, 10},       {1, 1},
      {2.5f, 2.5f},  {3, 5},   {0.001f, 0.001f}, {99, 100},     {1e20f, 1e20f}};
  for (auto [v, step] : cases) EXPECT_FLOAT_EQ(AnlWinAxes::NiceStep(v), step) << v;
  // Around every power of ten, where log10 may round either way, the step is defined, covers the
  // value and is less than ten times it.
  for (int e = -12; e <= 19; ++e) {
    const float p = static_cast<float>(std::pow(10.0, e));
    for (float v : {std::nextafter(p, 0.0f), p, std::nextafter(p, 2 * p)}) {
      const float s = AnlWinAxes::NiceStep(v);
      EXPECT_GE(s, v * (1 - 1e-6f)) << v;
      EXPECT_LE(s, v * 10.0001f) << v;
    }
  }
}

TEST(Ticks, NextMultipleIsStrictlyAbove) {
  const std::tuple<float, float, float> cases[] = {
      {0, 2.5f, 2.5f}, {2.5f, 2.5f, 5}, {-1, 2, 0}, {7.3f, 2.5f, 7.5f}, {-2.5f, 2.5f, 0}};
  for (auto [a, b, next] : cases) EXPECT_FLOAT_EQ(AnlWinAxes::NextMultiple(a, b), next) << a;
}

struct Plot : ::testing::Test {
  void SetUp() override {
    units.Set(0, UnitsOrigin{}, nullptr);
    axes.title = "1. Analysis";
    axes.textGap = 24;
    axes.tickLength = 8;
  }
  AnlWinUnits units;
  AnlWinAxes axes{units};
  RecordingPlotCanvas canvas;
  platform::RecordingMessageService messages;
};

TEST_F(Plot, LayoutTakesMarginsFromTheTextsAndPlacesTheOriginInItsCorner) {
  struct Case {
    int corner;
    int xOrigin, yOrigin;
    float xScale, yScale;
  };
  // Margins: "t [frames]" (70) + 24 = 94 and 16 + 24 + 8 = 48; scales 612 / 100 and 504 / 5.
  const Case cases[] = {{0, 94, 48, 6.12f, 100.8f},
                        {1, 706, 48, -6.12f, 100.8f},
                        {2, 94, 552, 6.12f, -100.8f},
                        {3, 706, 552, -6.12f, -100.8f}};
  for (const Case& c : cases) {
    axes.originCorner = c.corner;
    axes.xMin = 1, axes.xMax = 101, axes.yMin = -2, axes.yMax = 3;
    axes.LayoutPlotArea(canvas, 800, 600, true);
    EXPECT_EQ(axes.xMargin, 94);
    EXPECT_EQ(axes.yMargin, 48);
    EXPECT_EQ(axes.xOrigin, c.xOrigin) << c.corner;
    EXPECT_EQ(axes.yOrigin, c.yOrigin) << c.corner;
    EXPECT_FLOAT_EQ(axes.xScale, c.xScale) << c.corner;
    EXPECT_FLOAT_EQ(axes.yScale, c.yScale) << c.corner;
    EXPECT_FALSE(axes.layoutFailed);
    // Minima at the origin, maxima at the far edge.
    EXPECT_FLOAT_EQ(axes.ValueToPixelX(1), c.xOrigin);
    EXPECT_FLOAT_EQ(axes.PixelToValueY(axes.ValueToPixelY(2.5f)), 2.5f);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Plot, EmptyRangesAndSmallWindowsAreReportedOnceUntilTheyClear) {
  axes.xMin = 1, axes.xMax = 101, axes.yMin = 4, axes.yMax = 4;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  axes.LayoutPlotArea(canvas, 800, 600, true);
  EXPECT_EQ(axes.yScale, -1.0f);
  EXPECT_TRUE(axes.layoutFailed);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Failure in display of analysis");
  EXPECT_EQ(messages.shown[0].text,
            "1. Analysis\nWindow filling display in the vertical line not possible");
  axes.yMax = 5;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  EXPECT_FALSE(axes.layoutFailed);
  axes.yMax = 4;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  EXPECT_EQ(messages.shown.size(), 2u);
  // Nothing to draw: no report.
  axes.yMax = 5;
  axes.LayoutPlotArea(canvas, 800, 600, true);
  axes.yMax = 4;
  axes.LayoutPlotArea(canvas, 800, 600, false);
  EXPECT_EQ(messages.shown.size(), 2u);

  axes.yMax = 5;
  axes.LayoutPlotArea(canvas, 150, 600, true);
  axes.LayoutPlotArea(canvas, 150, 600, true);
  EXPECT_TRUE(axes.layoutFailed);
  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[2].text,
            platform::FormatString(analysis_ids::kWindowTooNarrow, axes.title));
}

// 0 to 7.3 at 30 pixels per unit with 16-pixel lines: a raw step of 1.07 gives major ticks at
// 2.5 and 5.0.
TEST_F(Plot, OrdinateTicksLabelsAndArrowhead) {
  axes.xMin = 1, axes.xMax = 51, axes.yMin = 0, axes.yMax = 7.3f;
  axes.xMargin = 60, axes.yMargin = 48, axes.xScale = 10, axes.yScale = 30;
  axes.originCorner = 2;
  axes.PlaceOrigin();
  axes.DrawAxes(canvas, AxisColors{});
  std::vector<std::string> labels;
  for (const PlotCall& c : canvas.Of("text")) labels.push_back(c.text);
  for (const char* l : {"0.000", "7.300", "2.500", "5.000", "x [mm]"})
    EXPECT_EQ(std::count(labels.begin(), labels.end(), l), 1) << l;
  EXPECT_EQ(std::count(labels.begin(), labels.end(), "7.500"), 0);
  const int y0 = axes.yOrigin;  // 48 + 219
  EXPECT_EQ(y0, 267);
  // Major tick lines from 3 left to 4 right of the axis at 2.5 and 5.0.
  int majors = 0;
  for (const PlotCall& c : canvas.Of("line")) {
    if (c.v[0] != 57 || c.v[2] != 64 || c.v[1] != c.v[3]) continue;
    ++majors;
    EXPECT_TRUE(c.v[1] == 192 || c.v[1] == 117) << c.v[1];
  }
  EXPECT_EQ(majors, 2);
  // Upward axis: the arrowhead's barbs lie below its tip.
  const auto arrows = canvas.Of("polygon");
  ASSERT_EQ(arrows.size(), 2u);
  EXPECT_EQ(arrows[0].v[0], 60);
  EXPECT_EQ(arrows[0].v[1], 48);
  EXPECT_EQ(arrows[0].v[3], 54);
  // The ordinate caption stands beyond the arrowhead.
  const PlotCall* caption = canvas.Text("x [mm]");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->v[1], 48 - 8);
}

// Nearly constant series fitted to the window: every ordinate label differs from the others,
// none reads "-0", the labels have the decimals their step needs, and a range narrower than the
// values resolve is widened first (as the window does when it picks its range).
TEST_F(Plot, TickLabelsOfNearlyConstantSeriesAreDistinct) {
  struct Case {
    float min, max;
    int decimals;  // of the tick labels
  };
  const Case cases[] = {
      {19.998f, 20.002f, 4},              // a speed of 20 with noise of 0.002
      {-0.002f, 0.002f, 4},               // the same noise about zero
      {999.95f, 1000.05f, 3},             // enough already
      {20.0f - 2e-6f, 20.0f + 2e-6f, 4},  // rounding noise only: widened to 20 +- 0.0005
      {-3.5f, -3.4999f, 5},
      {1.0e-4f, 3.0e-4f, 6},
      {-1e-5f, 5.0f, 3},  // a minimum that rounds to zero
      {0.0f, 7.3f, 3}};
  for (const Case& c : cases) {
    canvas.calls.clear();
    axes.xMin = 1, axes.xMax = 101, axes.yMin = c.min, axes.yMax = c.max;
    AnlWinAxes::WidenToResolution(axes.yMin, axes.yMax);
    axes.LayoutPlotArea(canvas, 800, 600, true);
    axes.DrawAxes(canvas, AxisColors{});
    // The ordinate's labels: its texts up to its caption.
    std::vector<std::string> labels;
    for (const PlotCall& call : canvas.Of("text")) {
      if (call.text.find('[') != std::string::npos) break;
      labels.push_back(call.text);
    }
    SCOPED_TRACE(labels.front() + " .. " + labels.back());
    EXPECT_GE(labels.size(), 5u);
    std::vector<std::string> sorted = labels;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end()) << "repeated";
    for (const std::string& label : labels) {
      EXPECT_NE(label[0] == '-' && std::stod(label) == 0, true) << label;
      EXPECT_EQ(label.size() - label.find('.') - 1, static_cast<std::size_t>(c.decimals)) << label;
      EXPECT_GE(std::stod(label), axes.yMin - 1e-6 * std::fabs(axes.yMin) - 1e-9);
      EXPECT_LE(std::stod(label), axes.yMax + 1e-6 * std::fabs(axes.yMax) + 1e-9);
    }
    // The margin has room for the longest of them.
    std::size_t widest = 0;
    for (const std::string& label : labels) widest = std::max(widest, label.size());
    EXPECT_GE(axes.xMargin, static_cast<int>(widest) * RecordingPlotCanvas::kCharWidth);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST(Ticks, RangesNarrowerThanTheirResolutionAreWidenedAboutTheirMiddle) {
  EXPECT_FLOAT_EQ(AnlWinAxes::ResolutionOf(20), 1e-4f);
  EXPECT_FLOAT_EQ(AnlWinAxes::ResolutionOf(-0.37f), 1e-6f);
  EXPECT_EQ(AnlWinAxes::ResolutionOf(0), 0.0f);
  float min = 20.0f - 1e-6f, max = 20.0f + 1e-6f;
  AnlWinAxes::WidenToResolution(min, max);
  EXPECT_FLOAT_EQ(min, 19.9995f);
  EXPECT_FLOAT_EQ(max, 20.0005f);
  // Wide enough, or empty: left alone.
  for (auto [a, b] :
       {std::pair{19.998f, 20.002f}, std::pair{4.0f, 4.0f}, std::pair{0.0f, 1e-30f}}) {
    float lo = a, hi = b;
    AnlWinAxes::WidenToResolution(lo, hi);
    EXPECT_EQ(lo, a);
    EXPECT_EQ(hi, b);
  }
  const std::pair<double, int> steps[] = {{1, 0},  {2.5, 1},  {0.5, 1},   {0.0025, 4},
                                          {25, 0}, {1e-4, 4}, {2.5e-6, 7}};
  for (auto [step, decimals] : steps) EXPECT_EQ(AnlWinAxes::DecimalsOfStep(step), decimals) << step;
}

TEST_F(Plot, LabelsNearTheExtremesAndTicksNearTheArrowheadAreLeftOut) {
  axes.xMin = 1, axes.xMax = 51, axes.yMin = 0, axes.yMax = 5.1f;
  axes.xMargin = 60, axes.yMargin = 48, axes.xScale = 10, axes.yScale = 30;
  axes.originCorner = 0;  // growing downwards: the arrow points down
  axes.gridMode = kGridMajor;
  axes.PlaceOrigin();
  axes.DrawAxes(canvas, AxisColors{});
  EXPECT_EQ(canvas.Text("5.000"), nullptr);
  EXPECT_NE(canvas.Text("2.500"), nullptr);
  const int y5 = static_cast<int>(axes.ValueToPixelY(5.0f));
  for (const PlotCall& c : canvas.Of("line")) EXPECT_FALSE(c.v[1] == y5 && c.v[3] == y5);
  const auto arrows = canvas.Of("polygon");
  EXPECT_GT(arrows[0].v[1], arrows[0].v[3]);  // tip below its barbs
  // Grid lines at the major ticks, dotted in palette colour 11.
  bool grid = false;
  for (const PlotCall& c : canvas.Of("line")) grid = grid || c.pen.color == PaletteIndex(11);
  EXPECT_TRUE(grid);
}

TEST_F(Plot, AnEmptyOrdinateDrawsOnlyItsMinimumLabel) {
  axes.xMin = 1, axes.xMax = 51, axes.yMin = 2, axes.yMax = 2;
  axes.xMargin = 60, axes.yMargin = 48, axes.xScale = 10, axes.yScale = 1;
  axes.PlaceOrigin();
  axes.DrawAxes(canvas, AxisColors{});
  EXPECT_NE(canvas.Text("2.000"), nullptr);
  EXPECT_EQ(canvas.Of("polygon").size(), 1u);  // the abscissa's arrow alone
}

TEST_F(Plot, ScalesBeyondTheCoordinateRangeAreReducedAndReported) {
  axes.xMin = 1, axes.xMax = 11, axes.yMin = 0, axes.yMax = 10;
  axes.xMargin = 60, axes.yMargin = 48, axes.xScale = 2, axes.yScale = 5000;
  axes.LimitScalesAndReport(16, 16);
  EXPECT_FLOAT_EQ(std::fabs(axes.yScale), (32760 - 96 - 16) / 10.0f);
  EXPECT_EQ(std::fabs(axes.xScale), 2.0f);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, platform::FormatString(analysis_ids::kOrdinateScaleLimited,
                                                           5000.0, static_cast<double>(3264.8f)));
  axes.LimitScalesAndReport(16, 16);
  EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(Plot, AFailedTextIsReportedAndDrawingGoesOn) {
  axes.xMin = 1, axes.xMax = 51, axes.yMin = 0, axes.yMax = 5;
  axes.xMargin = 60, axes.yMargin = 48, axes.xScale = 10, axes.yScale = 30;
  axes.PlaceOrigin();
  canvas.failText = true;
  axes.DrawAxes(canvas, AxisColors{});
  ASSERT_FALSE(messages.shown.empty());
  EXPECT_EQ(messages.shown[0].text, "1. Analysis\nCaption on the axis can not be displayed");
  EXPECT_EQ(canvas.Of("polygon").size(), 2u);
}

TEST(ScaleFactorTexts, DecimalsFollowTheMagnitudeOfTheWholePart) {
  struct Case {
    float factor;
    const char* text;
    bool tooLarge;
  };
  const Case cases[] = {{0.5f, "0.500000000", false},         {0, "0.000000000", false},
                        {12.5f, "12.50000000", false},        {-3.25f, "-3.250000000", false},
                        {-250, "-250.0000000", false},        {2e9f, "2000000000", false},
                        {34359738368.0f, "34359738368", true}};
  for (const Case& c : cases) {
    const ScaleFactorText t = FormatScaleFactor(c.factor);
    EXPECT_EQ(t.text, c.text) << c.factor;
    EXPECT_EQ(t.tooLarge, c.tooLarge) << c.factor;
  }
}

TEST(FrameMarker, AYOverXWindowWithoutValidFramesHasNoMarker) {
  EXPECT_FALSE(MarkerAbscissaOverX(100, 5, 0));
  EXPECT_FLOAT_EQ(*MarkerAbscissaOverX(100, 5, 10), 50.0f);
}

}  // namespace
