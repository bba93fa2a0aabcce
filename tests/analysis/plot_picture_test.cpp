// Plots drawn through the QPainter canvas into images: what a window will show.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/anlwinobjseq.h"
#include "analysis/axes.h"
#include "analysis/ui/qtplotcanvas.h"
#include "analysis/units.h"
#include "analysis_test_util.h"

namespace {

constexpr int kWidth = 1200, kHeight = 800;

QImage White() {
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

int CountColour(const QImage& image, ColorValue c) {
  const QRgb wanted = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
  int n = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) n += image.pixel(x, y) == wanted;
  return n;
}

TEST(PlotPicture, AxesAndTenSeriesOfAWalkingLikeMotion) {
  const int frames = 2000;
  SequenceDocument d(frames);
  d.doc.framesPerSecond = 100.0f;
  std::vector<std::unique_ptr<AnlWinObjectSequence>> entries;
  for (int s = 0; s < 10; ++s) {
    std::vector<float> x(frames), y(frames);
    for (int i = 0; i < frames; ++i) {
      x[i] = 10.0f * i;
      y[i] = 300.0f + 40.0f * s + 30.0f * std::sin(i * 0.01f * (s + 1));
    }
    for (int i = 700 + 20 * s; i < 760 + 20 * s; ++i) y[i] = M;  // a gap in each
    entries.push_back(std::make_unique<AnlWinObjectSequence>(d.Make(x, y), 1, 0, true, false));
  }
  AnlWinUnits units;
  UnitsOrigin chosen;
  chosen.spaceUnit = unit::kCm;
  chosen.timeUnit = unit::kS;
  units.Set(quantity::kY, chosen, &d.doc);
  AnlWinAxes axes(units);
  axes.title = "1. Analysis / walk";
  axes.textGap = 24;
  axes.gridMode = kGridMajor;
  AnalysisRange all = entries[0]->GetStatistics(quantity::kY);
  for (auto& e : entries) {
    all.MergeMin(e->GetStatistics(quantity::kY));
    all.MergeMax(e->GetStatistics(quantity::kY));
  }
  axes.xMin = all.frames[0], axes.xMax = all.frames[1];
  axes.yMin = all.position[1][0], axes.yMax = all.position[1][1];

  QImage image = White();
  {
    QPainter painter(&image);
    QtPlotCanvas canvas(painter);
    TextExtent line;
    canvas.MeasureText(" ", line);
    axes.tickLength = std::max(7, line.height / 2);
    axes.LayoutPlotArea(canvas, kWidth, kHeight, true);
    axes.DrawAxes(canvas, AxisColors{});
    for (auto& e : entries) e->Draw(canvas, quantity::kY, axes.Mapping());
  }
  const QString path = QString(ZORVAT_BUILD_DIR) + "/analysis_plot.png";
  ASSERT_TRUE(image.save(path));
  EXPECT_FALSE(axes.layoutFailed);
  // Every series is in its own colour, and the ordinate is a black line the height of the plot.
  for (auto& e : entries) EXPECT_GT(CountColour(image, e->OwnColor()), 500) << e->OwnColor();
  int black = 0;
  for (int y = axes.yMargin; y < kHeight - axes.yMargin; ++y)
    black += image.pixel(axes.xMargin, y) == qRgb(0, 0, 0);
  EXPECT_GT(black, (kHeight - 2 * axes.yMargin) * 9 / 10);
}

// 200 000 frames over 1 000 pixels: drawing each pixel column once must leave the same picture
// as drawing every segment.
TEST(PlotPicture, ADenseCurveLeavesThePictureOfAllItsSegments) {
  const int n = 200000;
  std::vector<float> v(n);
  std::vector<PlotPoint> all;
  const PlotMapping map{100, 700, 0.005f, -1.0f, 0.0f, 0.0f};
  for (int i = 0; i < n; ++i) {
    v[i] = 300.0f + 250.0f * std::sin(i * 0.0005f) + 40.0f * std::sin(i * 0.37f);
    all.push_back({map.PixelX(static_cast<float>(i + 1)), map.PixelY(v[i])});
  }
  QImage reduced = White(), full = White();
  {
    QPainter painter(&reduced);
    QtPlotCanvas canvas(painter);
    TestKurve(v).DrawPolyline(canvas, map, n, nullptr);
  }
  {
    QPainter painter(&full);
    QtPlotCanvas canvas(painter);
    canvas.Polyline(all, Pen{kBlack, 1, kPenSolid});
  }
  reduced.save(QString(ZORVAT_BUILD_DIR) + "/analysis_dense_curve.png");
  const int drawn = CountColour(full, kBlack);
  EXPECT_GT(drawn, 10000);
  // Qt's rasteriser does not set every pixel of a 200 000-point path exactly as it sets the
  // shorter one (one pixel differs here): a pixel or two may differ, never a column's span.
  int differ = 0;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) differ += reduced.pixel(x, y) != full.pixel(x, y);
  EXPECT_LE(differ, 2) << "of " << drawn;
}

}  // namespace

namespace {

TEST(PlotPicture, OverlayDrawingInvertsAndASecondDrawingRestores) {
  QImage image = White();
  {
    QPainter painter(&image);
    QtPlotCanvas canvas(painter);
    canvas.FillRect(100, 100, 300, 300, Rgb(0, 0, 255));
  }
  const QImage before = image.copy();
  QPainter painter(&image);
  QtPlotCanvas canvas(painter);
  canvas.SetOverlay(true);
  canvas.Line(50, 200, 400, 200, Pen{kBlack, 1, kPenSolid});
  painter.end();
  EXPECT_EQ(QColor(image.pixel(60, 200)), QColor(0, 0, 0));
  EXPECT_EQ(QColor(image.pixel(200, 200)), QColor(255, 255, 0));
  painter.begin(&image);
  QtPlotCanvas again(painter);
  again.SetOverlay(true);
  again.Line(50, 200, 400, 200, Pen{kBlack, 1, kPenSolid});
  again.SetOverlay(false);
  painter.end();
  EXPECT_TRUE(image == before);
}

}  // namespace
