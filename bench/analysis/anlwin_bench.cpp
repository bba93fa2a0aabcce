// An analysis window over a long recording: 20 object sequences of 100 000 frames each in a
// 1200 x 800 window. Opening a window reads every series; moving the frame marker (as playback
// does) repaints only the marker over the kept plot; a full repaint draws the plot anew. Each
// benchmark checks its own result.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWindow>

#include <cmath>
#include <memory>

#include "analysis/ui/anlwin.h"
#include "common/test_document.h"
#include "objects/objects_ids.h"

namespace {

constexpr int kSequences = 20;
constexpr int kFrames = 100000;

struct Recording {
  Recording() {
    for (int s = 0; s < kSequences; ++s) {
      ResObjectSequence* seq = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      seq->GrowTo(kFrames);
      for (int f = 1; f <= kFrames; ++f)
        seq->AddPoint(f, 0.5f * f, 300.0f + 20.0f * s + 50.0f * std::sin(f * 0.002f * (s + 1)),
                      10.0f);
    }
    window = std::make_unique<AnlWin>(nullptr, "1. Analysis / bench", 1, &doc, 3);
    window->resize(1200, 800);
    window->SetPaintingAllowed(true);
    window->show();
    // Painting reaches the window once it is exposed.
    for (int i = 0; i < 1000 && !(window->windowHandle() && window->windowHandle()->isExposed());
         ++i)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    window->SetupWindow();
    window->SetMarkerShown(true);
    window->Repaint();
  }
  TestDocument doc;
  std::unique_ptr<AnlWin> window;
};

Recording& TheRecording() {
  static Recording r;
  return r;
}

void BM_MarkerMove(benchmark::State& state) {
  AnlWin& w = *TheRecording().window;
  const int builds = w.PlotBuilds();
  int frame = 1000;
  for (auto _ : state) {
    frame = frame % (kFrames - 1000) + 97;
    w.SetCurrentFrame(frame);
    w.Repaint();
  }
  if (w.PlotBuilds() != builds) state.SkipWithError("a marker move drew the plot anew");
  if (w.PlotBuilds() == 0) state.SkipWithError("the window was never painted");
  if (!w.MarkerX() || *w.MarkerX() != static_cast<int>(w.Axes().ValueToPixelX(frame)))
    state.SkipWithError("the marker is not at the frame");
}

void BM_FullRepaint(benchmark::State& state) {
  AnlWin& w = *TheRecording().window;
  const int builds = w.PlotBuilds();
  for (auto _ : state) w.RedrawPlot();
  if (w.PlotBuilds() - builds != static_cast<int>(state.iterations()))
    state.SkipWithError("a repaint did not draw the plot");
  if (w.Entries().size() != kSequences) state.SkipWithError("sequences missing");
}

// Opening a second window on the same recording: every series read and its statistics taken.
void BM_OpenWindow(benchmark::State& state) {
  Recording& r = TheRecording();
  std::size_t entries = 0;
  for (auto _ : state) {
    AnlWin w(nullptr, "2. Analysis / bench", 1, &r.doc, 4);
    w.SetupWindow();
    entries = w.Entries().size();
    benchmark::DoNotOptimize(w.Axes().yMax);
  }
  if (entries != kSequences) state.SkipWithError("sequences missing");
}

BENCHMARK(BM_OpenWindow)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkerMove)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FullRepaint)->Unit(benchmark::kMillisecond);

}  // namespace
