// The analysis of a long high-speed recording: building every series and both derivatives of 20
// object sequences, and laying out and drawing one plot of 10 series into a 1200 x 800 image,
// from 1 000 to 1 000 000 frames (100 000 frames are a minute at 1 600 frames per second). Each
// benchmark checks its own result.

#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/plot/axes.h"
#include "analysis/series/seriesmemory.h"
#include "analysis/series/seriessummary.h"
#include "analysis/ui/qtplotcanvas.h"
#include "analysis/units.h"
#include "objects/resobjseq.h"

namespace {

constexpr int kSequences = 20;
constexpr int kPlottedSequences = 10;
constexpr int kWidth = 1200, kHeight = 800;
constexpr float kSlope = 0.5f;  // x advances this much per frame
constexpr int kMissingEvery = 97;

// Sequences whose x rises steadily and whose y swings the same number of times however many
// frames there are (one motion sampled at higher rates), each missing every 97th frame unless
// withGaps is false.
std::unique_ptr<ResObjectSequences> Recording(int frames, int count, bool withGaps = true) {
  auto all = std::make_unique<ResObjectSequences>(nullptr);
  for (int s = 0; s < count; ++s) {
    ResObjectSequence* seq = all->NewSequence(seqflag::kNewSequence);
    seq->GrowTo(frames);
    for (int f = 1; f <= frames; ++f) {
      if (withGaps && f % kMissingEvery == 0) continue;
      const double phase = 2.0 * std::numbers::pi * 5.0 * (s + 1) * f / frames;
      seq->AddPoint(f, kSlope * f, 300.0f + 20.0f * s + 50.0f * static_cast<float>(std::sin(phase)),
                    10.0f);
    }
  }
  return all;
}

struct Usage {
  long minorFaults;
  long peakKilobytes;
};

Usage UsageNow() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return {u.ru_minflt, u.ru_maxrss};
}

// Rebuilding the series must not take fresh pages from the system every time: its page faults
// per rebuild, the process's peak resident memory so far (the recording itself included) and the
// most series memory in use at once so far.
void BM_SeriesAndDerivatives(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  // A frame far from the missing ones.
  const int kCheckedFrame = kMissingEvery * (frames / kMissingEvery / 2) + kMissingEvery / 2;
  const auto all = Recording(frames, kSequences);
  std::vector<std::unique_ptr<AnlWinObjectSequence>> entries;
  std::vector<AnlWinObjectSequence*> pointers;
  const Usage before = UsageNow();
  for (auto _ : state) {
    entries.clear();
    pointers.clear();
    for (const auto& s : all->Sequences()) {
      entries.push_back(std::make_unique<AnlWinObjectSequence>(s.get(), 1, 0, true, false));
      pointers.push_back(entries.back().get());
    }
    GatherAllSeries(pointers);
  }
  const AnlWinObjectSequence& last = *entries.back();
  const float check = last.SelectArray(quantity::kX1)[kCheckedFrame - 1];
  if (std::fabs(check - kSlope) > 1e-3f) state.SkipWithError("wrong first derivative");
  // x rises over the frames with a point: frame 1 to the last one not missing.
  const int lastFrame = frames % kMissingEvery == 0 ? frames - 1 : frames;
  if (last.Range().position[0][1] != kSlope * lastFrame || last.Range().frames[1] != lastFrame)
    state.SkipWithError("wrong range");
  state.SetItemsProcessed(state.iterations() * frames * kSequences);
  const Usage after = UsageNow();
  state.counters["faults"] =
      benchmark::Counter(static_cast<double>(after.minorFaults - before.minorFaults),
                         benchmark::Counter::kAvgIterations);
  state.counters["peak_MB"] = static_cast<double>(after.peakKilobytes) / 1024.0;
  state.counters["series_MB"] = static_cast<double>(seriesmemory::PeakBytes()) / (1 << 20);
}

// state.range(1): 1 with a gap every 97 frames (every gap breaks the polyline), 0 without.
void BM_PlotLayoutAndDraw(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  const auto all = Recording(frames, kPlottedSequences, state.range(1) != 0);
  std::vector<std::unique_ptr<AnlWinObjectSequence>> entries;
  AnalysisRange range;
  for (const auto& s : all->Sequences()) {
    entries.push_back(std::make_unique<AnlWinObjectSequence>(s.get(), 1, 0, true, false));
    const AnalysisRange r = entries.back()->GetStatistics(quantity::kY);
    if (entries.size() == 1) range = r;
    range.MergeMin(r);
    range.MergeMax(r);
  }
  AnlWinUnits units;
  units.Set(quantity::kY, UnitsOrigin{}, nullptr);
  AnlWinAxes axes(units);
  axes.textGap = 24;
  axes.xMin = range.frames[0], axes.xMax = range.frames[1];
  axes.yMin = range.position[1][0], axes.yMax = range.position[1][1];
  QImage image(kWidth, kHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QPainter painter(&image);
    QtPlotCanvas canvas(painter);
    axes.LayoutPlotArea(canvas, kWidth, kHeight, true);
    axes.DrawAxes(canvas, AxisColors{});
    for (auto& e : entries) e->Draw(canvas, quantity::kY, axes.Mapping());
  }
  // The last series' colour where its first value lies (it is drawn over the others).
  const ColorValue c = entries.back()->OwnColor();
  const PlotMapping m = axes.Mapping();
  const float y0 = entries.back()->SelectArray(quantity::kY)[0];
  const QRgb at = image.pixel(m.PixelX(1.0f), m.PixelY(y0));
  if (axes.layoutFailed || at != qRgb(RedOf(c), GreenOf(c), BlueOf(c)))
    state.SkipWithError("the plot is not drawn");
  state.SetItemsProcessed(state.iterations() * frames * kPlottedSequences);
}

// What the first drawing after a change adds: the summaries of the plotted series.
void BM_SummariesOfPlottedSeries(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  std::vector<std::vector<float>> series(kPlottedSequences, std::vector<float>(frames));
  for (int s = 0; s < kPlottedSequences; ++s)
    for (int f = 0; f < frames; ++f)
      series[s][f] = f % kMissingEvery == 0 ? kMissingValue : std::sin(f * 0.001f * (s + 1));
  float low = 0;
  for (auto _ : state) {
    for (const auto& v : series) {
      const SeriesSummary summary(v.data(), frames);
      low = std::min(low, summary.MinMax(v.data(), 1, frames).first);
    }
  }
  if (frames > 10000 && low > -0.999f) state.SkipWithError("wrong summary");
  state.SetItemsProcessed(state.iterations() * frames * kPlottedSequences);
}

constexpr int kFrameCounts[] = {1000, 10000, 100000, 1000000};

void FrameCounts(benchmark::internal::Benchmark* b) {
  for (int n : kFrameCounts) b->Arg(n);
  b->Unit(benchmark::kMillisecond);
}

void FrameCountsWithAndWithoutGaps(benchmark::internal::Benchmark* b) {
  for (int gaps : {1, 0})
    for (int n : kFrameCounts) b->Args({n, gaps});
  b->Unit(benchmark::kMillisecond);
}

BENCHMARK(BM_SeriesAndDerivatives)->Apply(FrameCounts);
// The same frame counts from the largest down: the memory kept from a long recording serves the
// shorter ones without taking more.
BENCHMARK(BM_SeriesAndDerivatives)
    ->Name("BM_SeriesAndDerivatives_LargestFirst")
    ->Arg(1000000)
    ->Arg(100000)
    ->Arg(10000)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlotLayoutAndDraw)->Apply(FrameCountsWithAndWithoutGaps);
BENCHMARK(BM_SummariesOfPlottedSeries)->Apply(FrameCounts);

}  // namespace
