// Tracking end to end: ten objects through a 300-frame 1920 x 1080 H.264 video, read through
// the program's video reader, matched and stored by the tracking driver, beside reading alone.
// The clip is a smooth texture moving by whole pixels, so every object's true point is known:
// each run checks the points of the last frame. It is encoded with x264's own choices (a key
// frame every 250 frames, its default quality): the step onto frame 251 changes the whole
// picture's fine detail, and tracking goes on through it without a report.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "base/defaults.h"
#include "bench_texture.h"
#include "common/test_document.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/tracking.h"
#include "platform/message_service.h"
#include "sequences/avisequence.h"

namespace {

constexpr int kWidth = 1920, kHeight = 1080, kFrames = 300, kObjects = 10;
// The texture is larger than the frame by the way the content travels.
constexpr int kMarginX = 170, kMarginY = 120;
constexpr double kTolerance = 0.5;  // pixels, after H.264

// How far the content has moved right and down at frame f (whole pixels).
int ShiftX(int f) { return (f - 1) / 2; }
int ShiftY(int f) { return (f - 1) / 3; }

// The clip, made once beside the benchmark; empty when ffmpeg could not make it.
std::string Clip() {
  static const std::string path = [] {
    const std::string file =
        (std::filesystem::temp_directory_path() / "zorvat_track_1080p_x264.mp4");
    if (std::filesystem::exists(file)) return file;
    const int tw = kWidth + kMarginX, th = kHeight + kMarginY;
    const std::vector<std::uint8_t> texture = bench::Texture(tw, th, 5);
    const std::string part = file + ".part.mp4";
    const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt gray -s " +
                                std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                                " -r 25 -i - -c:v libx264 -preset veryfast -g 250 " +
                                "-pix_fmt yuv420p '" + part + "'";
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe) return std::string();
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(kWidth) * kHeight);
    for (int f = 1; f <= kFrames; ++f) {
      // Content moved right by s sits at texture column x - s + margin.
      for (int y = 0; y < kHeight; ++y)
        std::copy_n(texture.begin() + static_cast<std::size_t>(y - ShiftY(f) + kMarginY) * tw +
                        (kMarginX - ShiftX(f)),
                    kWidth, frame.begin() + static_cast<std::size_t>(y) * kWidth);
      fwrite(frame.data(), 1, frame.size(), pipe);
    }
    if (pclose(pipe) != 0) return std::string();
    std::filesystem::rename(part, file);
    return file;
  }();
  return path;
}

std::pair<float, float> StartOf(int i) { return {300.0f + 140 * i, 300.0f + 90 * (i % 5)}; }

// A document with the clip and ten objects set on frame 1, the defaults installed.
struct Setup {
  Setup() {
    g_Defaults = &defaults;
    SetAviPropertiesRunner(nullptr);
    video = new AviFrameSequence(Clip(), &doc);
    doc.AddFrameSequence(video);
    opened = video->Open();
    for (int i = 0; opened && i < kObjects; ++i) {
      ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      objects.push_back(s);
    }
  }
  ~Setup() { g_Defaults = nullptr; }
  void Reset(int algorithm) {
    doc.currentFrame = 1;
    for (int i = 0; i < kObjects; ++i) {
      objects[i]->algorithm = algorithm;
      SubObjectSequence* sub = objdoc::SubsOf(*video).Find(objects[i]->number);
      for (int f = 2; f <= kFrames; ++f) sub->RemoveObject(f);
      sub->AddPoint(1, StartOf(i).first, StartOf(i).second);
    }
  }
  // The largest distance of a point of the last frame from the truth.
  double LastFrameError() {
    double worst = 0;
    for (int i = 0; i < kObjects; ++i) {
      const ObjectBase* p =
          PointWithValue(objdoc::SubsOf(*video).Find(objects[i]->number), kFrames);
      if (!p) return 1e9;
      worst = std::max<double>(worst, std::hypot(p->x - (StartOf(i).first + ShiftX(kFrames)),
                                                 p->y - (StartOf(i).second + ShiftY(kFrames))));
    }
    return worst;
  }

  DefaultValueStruct defaults;
  platform::RecordingMessageService messages;
  TestDocument doc;
  AviFrameSequence* video = nullptr;
  bool opened = false;
  std::vector<ResObjectSequence*> objects;
};

void BM_TrackTenObjects1080p(benchmark::State& state, int algorithm) {
  if (Clip().empty()) {
    state.SkipWithError("ffmpeg with libx264 is needed to make the clip");
    return;
  }
  Setup setup;
  if (!setup.opened) {
    state.SkipWithError("the clip does not open");
    return;
  }
  TrackingHost host;
  for (auto _ : state) {
    state.PauseTiming();
    setup.Reset(algorithm);
    state.ResumeTiming();
    const int reached = CmTracking(setup.doc, track::kToEnd, host);
    if (reached != kFrames || !setup.messages.shown.empty() ||
        setup.LastFrameError() > kTolerance) {
      state.SkipWithError("the objects were not tracked to the end within the tolerance");
      return;
    }
  }
  state.counters["fps"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * (kFrames - 1), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_TrackTenObjects1080p, ssd, algorithm::kSSD)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_TrackTenObjects1080p, cross, algorithm::kCrossCorrelation)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_TrackTenObjects1080p, texture, algorithm::kTextureTracking)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

// Reading alone: every frame of the clip through the video reader, in order.
void BM_ReadClip1080p(benchmark::State& state) {
  if (Clip().empty()) {
    state.SkipWithError("ffmpeg with libx264 is needed to make the clip");
    return;
  }
  Setup setup;
  for (auto _ : state) {
    for (int f = 1; f <= kFrames; ++f)
      if (!setup.video->ReadFrame(f, true)) {
        state.SkipWithError("a frame does not read");
        return;
      }
  }
  state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()) * kFrames,
                                             benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadClip1080p)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace
