// Writing and reading an object-sequence file of a long recording (40 tracked points over 3000
// frames), and measuring an angle over every frame. Each benchmark checks its own result.

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "objects/osfile.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"

namespace {

constexpr int kSequences = 40;
constexpr int kFrames = 3000;

osfile::FileRecord LongRecording() {
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> pos(0, 640);
  osfile::FileRecord f;
  for (int n = 0; n < kSequences; ++n) {
    osfile::SubRecord s;
    s.number = n;
    s.res = osfile::ResRecord{"Marker", 0x101, 25205, 31, 31, osfile::ColorRecord{7, 7, 7, 0xFF}};
    s.tmpl = osfile::TemplateRecord{25, 25, 0, 0, 0};
    s.lastIndex = kFrames;
    for (int frame = 1; frame <= kFrames; ++frame) {
      if (frame % 17 != 0)
        s.points.push_back({static_cast<std::uint32_t>(frame), pos(rng), pos(rng), 0});
    }
    f.sequences.push_back(std::move(s));
  }
  f.figure = osfile::FigureRecord{10, {{0xFF, 0, 1}, {0xFF, 1, 2}}, {}};
  return f;
}

void BM_WriteAndReadFile(benchmark::State& state) {
  const osfile::FileRecord f = LongRecording();
  for (auto _ : state) {
    const std::string bytes = osfile::Encode(f);
    const auto back = osfile::Decode(bytes);
    if (!back || !(*back == f)) {
      state.SkipWithError("the file did not read back");
      return;
    }
    state.SetBytesProcessed(state.bytes_processed() + static_cast<std::int64_t>(bytes.size()));
  }
}
BENCHMARK(BM_WriteAndReadFile)->Unit(benchmark::kMillisecond);

void BM_AngleOverAllFrames(benchmark::State& state) {
  ResObjectSequences all(nullptr);
  ResObjectSequence* a = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* b = all.NewSequence(seqflag::kNewSequence);
  ResObjectSequence* c = all.NewSequence(seqflag::kNewSequence);
  for (int f = 1; f <= kFrames; ++f) {
    const double t = f * 0.01;
    a->AddPoint(f, 0, 100);
    b->AddPoint(f, 0, 0);
    c->AddPoint(f, static_cast<float>(100 * std::cos(t)), static_cast<float>(100 * std::sin(t)));
  }
  SequencePair* ab = all.Figure().Connect(a, b, 0);
  SequencePair* bc = all.Figure().Connect(b, c, 0);
  AngleSequencePair* angle = all.Figure().CreateAngle(ab, bc, std::nullopt);
  for (auto _ : state) {
    double sum = 0;
    for (int f = 1; f <= kFrames; ++f) sum += angle->Angle(f, 1, nullptr);
    benchmark::DoNotOptimize(sum);
    // Every angle is defined and below a full turn.
    if (!(sum > 0 && sum < kFrames * 2 * 3.1415927)) {
      state.SkipWithError("angles out of range");
      return;
    }
  }
}
BENCHMARK(BM_AngleOverAllFrames)->Unit(benchmark::kMicrosecond);

}  // namespace
