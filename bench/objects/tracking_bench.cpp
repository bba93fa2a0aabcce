// One matching step at the default template (8 %) and search limits (16 %) of 640 x 480 and
// 1920 x 1080 frames, side by side with OpenCV's matchTemplate on the same template and search
// area (when OpenCV is there), and a whole frame of ten tracked objects at 1080p. Every run
// checks that ours finds the same whole-pixel match as OpenCV's exhaustive search.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "bench_texture.h"
#include "objects/match.h"

#ifdef ZORVAT_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int kShiftX = 7, kShiftY = -4;

struct Frames {
  int width, height;
  std::vector<std::uint8_t> first, second;  // second: first moved by (kShiftX, kShiftY) + noise
};

const Frames& FramesOf(int width) {
  static Frames small{640, 480, {}, {}}, large{1920, 1080, {}, {}};
  Frames& f = width == 640 ? small : large;
  if (f.first.empty()) {
    f.first = bench::Texture(f.width, f.height, 5);
    f.second.assign(f.first.size(), 0);
    std::mt19937 rng(9);
    std::normal_distribution<float> noise(0, 2);
    for (int y = 0; y < f.height; ++y)
      for (int x = 0; x < f.width; ++x) {
        const int sx = std::clamp(x - kShiftX, 0, f.width - 1);
        const int sy = std::clamp(y - kShiftY, 0, f.height - 1);
        f.second[y * f.width + x] = static_cast<std::uint8_t>(
            std::clamp(f.first[sy * f.width + sx] + noise(rng), 0.0f, 255.0f));
      }
  }
  return f;
}

int TemplateSide(int side) { return (8 / 2) * side / 100 * 2 + 1; }
int SearchLimit(int side) { return (16 / 2) * side / 100 * 2 - 1; }

match::Image ImageOf(const std::vector<std::uint8_t>& pixels, int w, int h) {
  match::Image i;
  i.planes[0] = pixels.data();
  i.width = w;
  i.height = h;
  return i;
}

match::Request RequestAt(const Frames& f, float x, float y, match::Method method) {
  match::Request r;
  r.thisFrame = ImageOf(f.first, f.width, f.height);
  r.nextFrame = ImageOf(f.second, f.width, f.height);
  r.x = x;
  r.y = y;
  r.geometry = {TemplateSide(f.width), TemplateSide(f.height), 0, 0, 0};
  r.horizontalLimit = SearchLimit(f.width);
  r.verticalLimit = SearchLimit(f.height);
  r.method = method;
  return r;
}

// One step of ours: template from the first frame, search, sub-pixel alignment.
void BM_Ours(benchmark::State& state, int width, match::Method method) {
  const Frames& f = FramesOf(width);
  const match::Request r = RequestAt(f, f.width / 2.0f, f.height / 2.0f, method);
  const int tw = r.geometry.width, th = r.geometry.height;
  const int expectX = f.width / 2 - (tw - 1) / 2 + kShiftX;
  const int expectY = f.height / 2 - (th - 1) / 2 + kShiftY;
  for (auto _ : state) {
    match::TrackState s;
    const match::Outcome o = match::MatchStep(r, s);
    benchmark::DoNotOptimize(o);
    if (o.message || o.bestX != expectX || o.bestY != expectY) {
      state.SkipWithError("wrong match");
      break;
    }
  }
}

#ifdef ZORVAT_HAVE_OPENCV
// OpenCV's exhaustive search of the same template over the same search area.
void BM_OpenCV(benchmark::State& state, int width, int mode) {
  const Frames& f = FramesOf(width);
  const int tw = TemplateSide(f.width), th = TemplateSide(f.height);
  const int rx = std::max(2, (SearchLimit(f.width) - tw) / 2);
  const int ry = std::max(2, (SearchLimit(f.height) - th) / 2);
  const int ox = f.width / 2 - (tw - 1) / 2, oy = f.height / 2 - (th - 1) / 2;
  const cv::Mat first(f.height, f.width, CV_8UC1, const_cast<std::uint8_t*>(f.first.data()));
  const cv::Mat second(f.height, f.width, CV_8UC1, const_cast<std::uint8_t*>(f.second.data()));
  // Our match checks the template-sized windows with origins ox +- rx, oy +- ry.
  const cv::Rect area(ox - rx, oy - ry, tw + 2 * rx, th + 2 * ry);
  cv::Mat result;
  for (auto _ : state) {
    const cv::Mat templ = first(cv::Rect(ox, oy, tw, th)).clone();
    cv::matchTemplate(second(area), templ, result, mode);
    double lo, hi;
    cv::Point loPos, hiPos;
    cv::minMaxLoc(result, &lo, &hi, &loPos, &hiPos);
    const cv::Point best = mode == cv::TM_SQDIFF ? loPos : hiPos;
    benchmark::DoNotOptimize(best);
    if (best.x + area.x != ox + kShiftX || best.y + area.y != oy + kShiftY) {
      state.SkipWithError("OpenCV disagrees");
      break;
    }
  }
}
BENCHMARK_CAPTURE(BM_OpenCV, sqdiff_640x480, 640, cv::TM_SQDIFF)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenCV, ccoeff_normed_640x480, 640, cv::TM_CCOEFF_NORMED)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenCV, sqdiff_1920x1080, 1920, cv::TM_SQDIFF)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_OpenCV, ccoeff_normed_1920x1080, 1920, cv::TM_CCOEFF_NORMED)
    ->Unit(benchmark::kMicrosecond);
#endif

BENCHMARK_CAPTURE(BM_Ours, ssd_640x480, 640, match::Method::kSSD)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Ours, cross_640x480, 640, match::Method::kCross)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Ours, texture_640x480, 640, match::Method::kTexture)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Ours, ssd_1920x1080, 1920, match::Method::kSSD)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Ours, cross_1920x1080, 1920, match::Method::kCross)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Ours, texture_1920x1080, 1920, match::Method::kTexture)
    ->Unit(benchmark::kMicrosecond);

// A frame of tracking at 1080p: ten objects, each matched with its adapted template.
void BM_TenObjects1080p(benchmark::State& state, match::Method method) {
  const Frames& f = FramesOf(1920);
  std::vector<match::Request> requests;
  std::vector<match::TrackState> states(10);
  for (int i = 0; i < 10; ++i) {
    requests.push_back(RequestAt(f, 300.0f + 140 * i, 300.0f + 50 * (i % 5), method));
    match::MatchStep(requests.back(), states[i]);  // takes the template
    requests.back().restart = false;
  }
  for (auto _ : state) {
    for (int i = 0; i < 10; ++i) {
      const match::Outcome o = match::MatchStep(requests[i], states[i]);
      if (o.message) {
        state.SkipWithError("lost");
        return;
      }
      benchmark::DoNotOptimize(o);
    }
  }
  state.counters["fps"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_TenObjects1080p, ssd, match::Method::kSSD)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TenObjects1080p, cross, match::Method::kCross)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TenObjects1080p, texture, match::Method::kTexture)
    ->Unit(benchmark::kMillisecond);

}  // namespace
