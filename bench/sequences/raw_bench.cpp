// Playing and stepping a ".vr2" recording against a colour frame file (".bld") of the same
// frame size: both are read through their readers, frame after frame (play) and backwards, so
// every frame needs a seek (step). The ".vr2" reader is meant to be at least as fast.
// Each run checks the frame it read last, so a fast wrong answer cannot pass.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "sequences/bldsequence.h"
#include "sequences/vr2sequence.h"

namespace {

constexpr int kFrames = 8;
constexpr int kVr2Fixed = Vr2FrameSequence::kHeaderSize + Vr2FrameSequence::kBlockSize;

// Every byte of frame f holds this value, in every plane and every mosaic sample.
std::uint8_t FrameValue(int f) { return static_cast<std::uint8_t>(20 + 25 * f); }

void PutBigEndian(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, v >>= 8) s[at + i] = static_cast<char>(v & 0xFF);
}

// A ".bld" with its description and a ".vr2" of kFrames frames of one size, removed at exit.
struct Recordings {
  Recordings(int w, int h) {
    dir = std::filesystem::temp_directory_path() /
          ("zorvat_rawbench_" + std::to_string(::getpid()) + "_" + std::to_string(w));
    std::filesystem::create_directories(dir);
    const std::size_t size = static_cast<std::size_t>(w) * h;
    std::ofstream(dir / "b.dsc") << "RESOLUTION:" << w << "x" << h
                                 << "\nFRAMES/S:25\nCOLORSPACE:RGB\n";
    std::ofstream bld(dir / "b.bld", std::ios::binary);
    // The frames follow the 8-byte frame base right after the description block.
    std::string head(kVr2Fixed + 8, '\0');
    PutBigEndian(head, Vr2FrameSequence::kFramesAt, kFrames, 4);
    PutBigEndian(head, Vr2FrameSequence::kBasePositionAt, kVr2Fixed, 8);
    PutBigEndian(head, Vr2FrameSequence::kHeaderSize + Vr2FrameSequence::kWidthAt, w, 4);
    PutBigEndian(head, Vr2FrameSequence::kHeaderSize + Vr2FrameSequence::kHeightAt, h, 4);
    PutBigEndian(head, kVr2Fixed, kVr2Fixed + 8, 8);
    std::ofstream vr2(dir / "v.vr2", std::ios::binary);
    vr2 << head;
    for (int f = 1; f <= kFrames; ++f) {
      const std::string frame(size, static_cast<char>(FrameValue(f)));
      for (int p = 0; p < 3; ++p) bld << frame;
      vr2 << frame;
    }
  }
  ~Recordings() { std::filesystem::remove_all(dir); }
  std::filesystem::path dir;
};

// range(0): 0 = ".bld", 1 = ".vr2"; range(1): 1 = play forwards, -1 = step backwards.
void ReadRecording(benchmark::State& state) {
  const bool vr2 = state.range(0) == 1;
  const int direction = static_cast<int>(state.range(1));
  const int w = static_cast<int>(state.range(2)), h = w;
  Recordings files(w, h);
  std::unique_ptr<FrameSequence> seq;
  if (vr2)
    seq = std::make_unique<Vr2FrameSequence>((files.dir / "v.vr2").string(), nullptr);
  else
    seq = std::make_unique<BldFrameSequence>((files.dir / "b.bld").string(), nullptr);
  if (!seq->Open()) return state.SkipWithError("the recording did not open");
  int n = 1;
  const CDIB* frame = nullptr;
  for (auto _ : state) {
    n = (n - 1 + direction + kFrames) % kFrames + 1;
    frame = seq->ReadFrame(n);
    benchmark::DoNotOptimize(frame);
  }
  if (!frame) return state.SkipWithError("no frame");
  const std::uint8_t* bits = frame->Bits();
  for (std::size_t at : {std::size_t{0}, frame->ImageSize() / 2, frame->ImageSize() - 4})
    if (bits[at] != FrameValue(n)) return state.SkipWithError("frame differs from the file");
  state.SetLabel(std::string(vr2 ? "vr2" : "bld") + (direction > 0 ? " play" : " step back"));
  state.counters["frames_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(ReadRecording)
    ->ArgsProduct({{0, 1}, {1, -1}, {1024}})
    ->ArgNames({"vr2", "dir", "side"})
    ->Unit(benchmark::kMillisecond);
