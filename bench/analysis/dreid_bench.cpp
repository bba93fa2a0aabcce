// The 3D stick-figure window following the video: a figure of 30 points and 40 connections over
// recordings of 1 000 to 100 000 frames, shown in a 400 x 400 window. BM_FollowFrame is one step
// of playback (the scene rebuilt from the document at the next frame and the picture drawn
// afresh); BM_Turn draws the picture again after a turn; BM_RebuildAfterChange is what the
// window does when the document's points change (every frame looked at again for the box).
// Each benchmark checks what it drew.

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>

#include "analysis/stick_figures.h"
#include "analysis/ui/dreidanlwin.h"

namespace {

constexpr int kPoints = 30;
constexpr int kConnections = 40;
constexpr int kBoxEdges = 12;
constexpr int kSide = 400;

// Whether the picture holds the whole figure and box.
bool DrewAll(DreiDAnlWin& win) {
  return win.Scene().DrawnFigure().size() == kConnections &&
         win.Scene().DrawnBox().size() == kBoxEdges && !win.Picture().isNull();
}

struct Fixture {
  explicit Fixture(int frames) : d(frames) {
    MakeSpiral(d, kPoints, kConnections);
    win = std::make_unique<DreiDAnlWin>(nullptr, "bench", 1, &d.doc);
    win->resize(kSide, kSide);
    win->show();
    QApplication::processEvents();
  }
  StickFigureDocument d;
  std::unique_ptr<DreiDAnlWin> win;
};

void BM_FollowFrame(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  Fixture f(frames);
  int frame = 1;
  for (auto _ : state) {
    frame = frame % frames + 1;
    if (!f.win->GotoFrame(frame) && frame != 1) state.SkipWithError("the frame was not shown");
  }
  if (!DrewAll(*f.win)) state.SkipWithError("the figure is not drawn");
}

void BM_Turn(benchmark::State& state) {
  Fixture f(1000);
  int angle = 0;
  for (auto _ : state) {
    angle = (angle + 1) % 360;
    f.win->AngleStrings().Set(2, angle);
    f.win->AngleStrings().KeepOneAxis();
    f.win->Redraw(kRedrawView);
  }
  if (!DrewAll(*f.win) || f.win->Scene().Chain().empty())
    state.SkipWithError("the figure is not drawn turned");
}

void BM_RebuildAfterChange(benchmark::State& state) {
  const int frames = static_cast<int>(state.range(0));
  Fixture f(frames);
  for (auto _ : state) {
    f.win->Rebuild(frames / 2, true);
    f.win->Redraw(kRedrawAll);
  }
  if (!DrewAll(*f.win) || f.win->Scene().LastFrame() != static_cast<std::uint32_t>(frames))
    state.SkipWithError("the figure is not drawn over all frames");
}

BENCHMARK(BM_FollowFrame)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Turn)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildAfterChange)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
