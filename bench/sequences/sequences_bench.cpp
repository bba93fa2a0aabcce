// Frame reading and display preparation of a frame file, and the cost of each image filter.
// ReadAndPrepare (a frame read by number and prepared with "Original") is meant to stay within
// twice RawReadAndCopy (the same bytes read from the warm file plus one copy), run side by side.

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sequences/bldsequence.h"
#include "sequences/frame.h"
#include "sequences/imagefilter.h"
#include "sequences/sequences_ids.h"

namespace {

constexpr int kFrames = 4;

// Pixel value of a plane at (x, y) of frame f: what the file holds, so the result can be checked.
std::uint8_t Pattern(int f, int plane, int x, int y) {
  return static_cast<std::uint8_t>(f * 31 + plane * 77 + x * 3 + y * 5);
}

// A colour frame file of kFrames frames in a temporary folder, removed at exit.
struct BldFile {
  BldFile(int w, int h) : width(w), height(h) {
    dir = std::filesystem::temp_directory_path() /
          ("zorvat_bench_" + std::to_string(::getpid()) + "_" + std::to_string(w));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "b.dsc") << "RESOLUTION:" << w << "x" << h
                                 << "\nFRAMES/S:25\nCOLORSPACE:RGB\n";
    std::ofstream out(dir / "b.bld", std::ios::binary);
    std::vector<char> plane(static_cast<std::size_t>(w) * h);
    for (int f = 1; f <= kFrames; ++f)
      for (int p = 0; p < 3; ++p) {
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) plane[y * w + x] = static_cast<char>(Pattern(f, p, x, y));
        out.write(plane.data(), static_cast<std::streamsize>(plane.size()));
      }
  }
  ~BldFile() { std::filesystem::remove_all(dir); }
  std::string Path() const { return (dir / "b.bld").string(); }
  std::filesystem::path dir;
  int width, height;
};

void ReadAndPrepare(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  BldFile file(w, h);
  BldFrameSequence seq(file.Path(), nullptr);
  if (!seq.Open()) return state.SkipWithError("frame file did not open");
  Frame frame(&seq);
  frame.SetupImage();
  frame.Image().SetGamma(1.0, 1.0, 1.0, false);
  int n = 0;
  for (auto _ : state) {
    n = n % kFrames + 1;
    const CDIB* shown = frame.PrepareImage(seq.ReadFrame(n, true));
    benchmark::DoNotOptimize(shown);
  }
  std::vector<std::uint8_t> planes(static_cast<std::size_t>(w) * h * 3);
  frame.CopyToPlanes(planes.data());
  for (int p = 0; p < 3; ++p)
    for (int y : {0, h / 2, h - 1})
      for (int x : {0, w / 3, w - 1})
        if (planes[(static_cast<std::size_t>(p) * h + y) * w + x] != Pattern(n, p, x, y))
          return state.SkipWithError("shown frame differs from the file");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(w) * h * 3);
}

void RawReadAndCopy(benchmark::State& state) {
  const int w = static_cast<int>(state.range(0)), h = static_cast<int>(state.range(1));
  BldFile file(w, h);
  const std::size_t bytes = static_cast<std::size_t>(w) * h * 3;
  const int fd = ::open(file.Path().c_str(), O_RDONLY);
  std::vector<std::uint8_t> buffer(bytes), copy(bytes);
  int n = 0;
  for (auto _ : state) {
    n = n % kFrames + 1;
    if (::pread(fd, buffer.data(), bytes, static_cast<off_t>(n - 1) * bytes) !=
        static_cast<ssize_t>(bytes)) {
      state.SkipWithError("short read");
      break;
    }
    std::memcpy(copy.data(), buffer.data(), bytes);
    benchmark::DoNotOptimize(copy.data());
  }
  ::close(fd);
  if (copy[bytes - 1] != Pattern(n, 2, w - 1, h - 1)) state.SkipWithError("copy differs");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
}

// One colour frame of seeded noise through a filter; the counter gives seconds per megapixel.
void Filter(benchmark::State& state) {
  const int id = static_cast<int>(state.range(0));
  const int w = static_cast<int>(state.range(1)), h = static_cast<int>(state.range(2));
  const std::size_t size = static_cast<std::size_t>(w) * h;
  std::vector<std::uint8_t> input(size * 3);
  std::mt19937 rng(42);
  for (auto& v : input) v = static_cast<std::uint8_t>(rng() % 200 + 20);
  std::vector<std::uint8_t> work(input.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(input.begin(), input.end(), work.begin());
    state.ResumeTiming();
    ApplyImageFilter(id, work.data(), w, h, true);
    benchmark::DoNotOptimize(work.data());
  }
  // Check: Low Pass against the formula, every other filter must at least have changed the image.
  if (id == seqid::kFilterLowPass) {
    int largest = 1;
    auto temp = [&](int x, int y) {
      int s = 0;
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) s += input[(y + j) * w + x + i];
      return s / 9;
    };
    for (int y = 1; y < h - 1; ++y)
      for (int x = 1; x < w - 1; ++x) largest = std::max(largest, temp(x, y));
    for (int y : {1, h / 2, h - 2})
      for (int x : {1, w / 2, w - 2})
        if (work[y * w + x] != std::min(255, temp(x, y) * 256 / largest))
          state.SkipWithError("low pass result is wrong");
  } else if (id != seqid::kFilterOriginal && work == input) {
    state.SkipWithError("the filter changed nothing");
  }
  state.counters["s_per_MPix"] = benchmark::Counter(
      static_cast<double>(size) * 3 / 1e6,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({640, 480})->Args({1280, 720})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
}

void FilterArgs(benchmark::internal::Benchmark* b) {
  for (int id = seqid::kFilterOriginal; id <= seqid::kFilterMop24; ++id) {
    b->Args({id, 640, 480});
    b->Args({id, 1920, 1080});
  }
  b->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(ReadAndPrepare)->Apply(Sizes);
BENCHMARK(RawReadAndCopy)->Apply(Sizes);
BENCHMARK(Filter)->Apply(FilterArgs);
