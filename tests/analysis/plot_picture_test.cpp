// Plots drawn through the QPainter canvas into images: what a window will show.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <set>
#include <utility>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/plot/axes.h"
#include "analysis/ui/qtplotcanvas.h"
#include "analysis/units.h"
#include "analysis/import/importliste.h"
#include "analysis_test_util.h"
#include "common/temp_dir.h"
#include "daq_test_util.h"
#include "platform/message_service.h"
#include "platform/strings.h"

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

// Dense curves, with and without missing values (single ones, bursts, lone values between them,
// some on column borders), drawn each pixel column once must leave the same picture as drawing
// every segment of every stretch between missing values.
TEST(PlotPicture, ADenseCurveLeavesThePictureOfAllItsSegments) {
  struct Case {
    int n;
    float sx;  // pixels per frame
    int missingEvery;  // 0: none
  };
  for (const Case c : {Case{200000, 0.005f, 0}, Case{200000, 0.005f, 50}, Case{8000, 0.125f, 9},
                       Case{40000, 0.025f, 23}}) {
    SCOPED_TRACE(testing::Message() << c.n << " frames, " << c.sx << " px each, missing every "
                                    << c.missingEvery);
    std::vector<float> v(c.n);
    const PlotMapping map{100, 700, c.sx, -1.0f, 0.0f, 0.0f};
    unsigned seed = 12345;
    for (int i = 0; i < c.n; ++i) {
      v[i] = 300.0f + 250.0f * std::sin(i * 0.0005f * 200000 / c.n) + 40.0f * std::sin(i * 0.37f);
      seed = seed * 1103515245u + 12345u;
      if (c.missingEvery && (seed >> 16) % c.missingEvery == 0) v[i] = kMissingValue;
    }
    if (c.missingEvery)
      for (int b = 1000; b + 12 < c.n; b += 3001) {
        std::fill(v.begin() + b, v.begin() + b + 5, kMissingValue);  // a burst, a lone value
        std::fill(v.begin() + b + 6, v.begin() + b + 12, kMissingValue);
      }
    QImage reduced = White(), full = White();
    {
      QPainter painter(&reduced);
      QtPlotCanvas canvas(painter);
      TestKurve(v).DrawPolyline(canvas, map, c.n, nullptr);
    }
    std::set<std::pair<int, int>> ends;  // where stretches begin and end
    {
      QPainter painter(&full);
      QtPlotCanvas canvas(painter);
      std::vector<PlotPoint> run;
      auto flush = [&] {
        if (run.size() > 1) canvas.Polyline(run, Pen{kBlack, 1, kPenSolid});
        if (!run.empty()) {
          ends.insert({run.front().x, run.front().y});
          ends.insert({run.back().x, run.back().y});
        }
        run.clear();
      };
      for (int i = 0; i < c.n; ++i) {
        if (v[i] == kMissingValue)
          flush();
        else
          run.push_back({map.PixelX(static_cast<float>(i + 1)), map.PixelY(v[i])});
      }
      flush();
    }
    if (c.missingEvery == 50)
      reduced.save(QString(ZORVAT_BUILD_DIR) + "/analysis_dense_curve.png");
    const int drawn = CountColour(full, kBlack);
    EXPECT_GT(drawn, 10000);
    // Qt's rasteriser leaves out a polyline's first or last point or not depending on the segment
    // there (one of no length is left out), and does not set every pixel of a long path exactly
    // as it sets a shorter one: a pixel may differ where a stretch begins or ends, and one or two
    // elsewhere, never a column's span.
    int differ = 0, elsewhere = 0;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (reduced.pixel(x, y) != full.pixel(x, y)) {
          ++differ;
          elsewhere += !ends.count({x, y});
        }
    EXPECT_LE(elsewhere, 2) << "of " << drawn;
    EXPECT_LE(differ, 2 + static_cast<int>(ends.size()) / 50) << "of " << drawn;
  }
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

namespace {

// A force-plate channel of 8 samples a frame beside the motion: the imported curve fills the
// plot's height on its own ordinate, which the axes label while the curve is selected.
TEST(PlotPicture, ImportedDataShowsOnASecondOrdinate) {
  const int frames = 200;
  SequenceDocument d(frames);
  std::vector<float> x(frames), y(frames);
  for (int i = 0; i < frames; ++i) {
    x[i] = 5.0f * i;
    y[i] = 400.0f + 150.0f * std::sin(i * 0.05f);
  }
  AnlWinObjectSequence entry(d.Make(x, y), 1, 0, true, false);

  testutil::TempDir dir("daqplot");
  std::string samples;
  const int spf = 8, count = 150 * spf;  // the plate stops recording at frame 150
  for (int s = 0; s < count; ++s) {
    // Two steps of a walk on a plate: force in newtons, zero between the contacts.
    const double t = std::fmod(s / double(spf), 75.0);
    samples += platform::Format("%.1f\n", t < 45 ? 700.0 * std::sin(t / 45.0 * 3.14159) : 0.0);
  }
  dir.Write("plate.daq", samples);
  dir.Write("plate.dqs", "DAQ_SPF: 8\nDAQ_FORMAT: ASCII\nDAQ_POLARITY: BI\n");
  platform::RecordingMessageService messages;
  ScriptedDaqDialogs dialogs;
  dialogs.data.push_back(dir.File("plate.daq"));
  ImportListe imports;
  ImportZeichnen* plate = imports.AddImport(2, kPenSolid, true, dialogs);
  ASSERT_NE(plate, nullptr);
  imports.ComputeAll(0);
  ASSERT_TRUE(messages.shown.empty());

  AnlWinUnits units;
  units.Set(quantity::kY, UnitsOrigin{}, &d.doc);
  AnlWinAxes axes(units);
  axes.textGap = 24;
  const AnalysisRange r = entry.GetStatistics(quantity::kY);
  axes.xMin = r.frames[0], axes.xMax = r.frames[1];
  axes.yMin = r.position[1][0], axes.yMax = r.position[1][1];
  axes.imports = &imports;
  axes.importSelected = true;
  // The window's series has a colour of its own; the import takes another one.
  imports.ChooseFreeColor(*plate, [&](ColorValue c) { return c == entry.OwnColor(); });
  ASSERT_NE(plate->GetColor(), entry.OwnColor());

  QImage image = White();
  {
    QPainter painter(&image);
    QtPlotCanvas canvas(painter);
    axes.tickLength = 8;
    axes.LayoutPlotArea(canvas, kWidth, kHeight, true);
    axes.ExtendRangeByImport();
    axes.LayoutPlotArea(canvas, kWidth, kHeight, true);
    axes.DrawAxes(canvas, AxisColors{});
    axes.DrawImport(canvas);
    entry.Draw(canvas, quantity::kY, axes.Mapping());
  }
  ASSERT_TRUE(image.save(QString(ZORVAT_BUILD_DIR) + "/analysis_import_plot.png"));
  EXPECT_FALSE(axes.layoutFailed);
  // The imported curve reaches from the plot's bottom to its top, and ends where its last
  // sample lies: 1199 samples of an eighth of a frame after frame 1.
  int top = kHeight, bottom = 0, right = 0;
  for (int py = 0; py < kHeight; ++py)
    for (int px = 0; px < kWidth; ++px)
      if (QColor(image.pixel(px, py)) ==
          QColor(RedOf(plate->GetColor()), GreenOf(plate->GetColor()), BlueOf(plate->GetColor()))) {
        top = std::min(top, py);
        bottom = std::max(bottom, py);
        right = std::max(right, px);
      }
  EXPECT_NEAR(top, axes.ValueToPixelY(axes.yMax), 3);
  EXPECT_NEAR(bottom, axes.ValueToPixelY(axes.yMin), 3);
  EXPECT_NEAR(right, axes.ValueToPixelX(150.875f), 2);
  EXPECT_GT(CountColour(image, entry.OwnColor()), 300);
}

}  // namespace
