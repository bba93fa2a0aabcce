// The memory of opening a large calibration data file, beside the tagged-text reader reading a
// description file of the same size: remembering what the file held (to notice another
// program's change) must not cost a copy of it. Checks its own result: the run fails when
// opening the large data file costs more than the reader does plus what a small data file costs.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <string>

#include "base/dscparser.h"
#include "calibration/calibrat.h"
#include "common/peak_memory.h"
#include "common/temp_dir.h"

namespace {

constexpr std::size_t kLargeBytes = std::size_t{256} << 20;
constexpr double kMiB = 1024.0 * 1024.0;

// head, then comment lines up to size bytes.
std::string WriteFile(const testutil::TempDir& dir, const char* name, const std::string& head,
                      std::size_t size) {
  const std::string path = dir.File(name);
  std::ofstream out(path, std::ios::binary);
  out << head;
  const std::string comment = "# " + std::string(77, 'x') + "\n";
  for (std::size_t written = head.size(); written < size; written += comment.size()) out << comment;
  return path;
}

std::string CalibrationHead() {
  std::string head =
      "Calibrated: 0\nFullOptimized: 0\nGradientSearch: 0\nCx: 384\nCy: 288\nsx: 1\n";
  for (const char* tag : {"f", "kappa1", "Tx", "Ty", "Tz", "Rx", "Ry", "Rz"})
    head += std::string(tag) + ": 1\n";
  for (int k = 1; k <= 8; ++k) head += "PROJPOINT_" + std::to_string(k) + ": 1 2\n";
  return head;
}

// Peak memory growth of opening the calibration data file at path, in bytes.
std::int64_t OpenCalibrationData(const std::string& path) {
  testutil::PeakMemory peak;
  {
    Calibration camera;
    camera.SetImageSize(1.0, 1.0, 768, 576);
    camera.SetCalibrationFile(path);
    benchmark::DoNotOptimize(camera.camera.Cx);
  }
  return peak.GrowthBytes();
}

// Peak memory growth of the tagged-text reader looking up a tag at the top and one that is
// missing (read to the end), in bytes.
std::int64_t ReadDescription(const std::string& path) {
  testutil::PeakMemory peak;
  {
    DSCParser parser(path);
    int frames = 0;
    parser.GetInt("FRAMES", frames, 0);
    std::string none;
    parser.GetString("NOT_THERE", none, 100, "");
    benchmark::DoNotOptimize(frames);
  }
  return peak.GrowthBytes();
}

void BM_OpenLargeCalibrationData(benchmark::State& state) {
  testutil::TempDir dir("zorvat_bench_cdc");
  const std::string small = WriteFile(dir, "small.cdc", CalibrationHead(), 0);
  const std::string large = WriteFile(dir, "large.cdc", CalibrationHead(), kLargeBytes);
  const std::string dsc = WriteFile(dir, "large.dsc", "FRAMES: 10\n", kLargeBytes);
  if (!testutil::PeakMemory().Available()) {
    state.SkipWithError("the kernel does not let the peak memory be reset");
    return;
  }
  std::int64_t smallPeak = 0, largePeak = 0, readerPeak = 0;
  for (auto _ : state) {
    smallPeak = OpenCalibrationData(small);
    largePeak = OpenCalibrationData(large);
    readerPeak = ReadDescription(dsc);
  }
  state.counters["file_MiB"] = static_cast<double>(kLargeBytes) / kMiB;
  state.counters["small_cdc_peak_MiB"] = static_cast<double>(smallPeak) / kMiB;
  state.counters["large_cdc_peak_MiB"] = static_cast<double>(largePeak) / kMiB;
  state.counters["tagged_reader_peak_MiB"] = static_cast<double>(readerPeak) / kMiB;
  // A little slack for the high-water mark, which moves in pages.
  constexpr std::int64_t kSlack = 1 << 20;
  if (largePeak > readerPeak + smallPeak + kSlack) {
    const std::string why = "opening the large calibration data file cost " +
                            std::to_string(largePeak >> 20) + " MiB, the reader " +
                            std::to_string(readerPeak >> 20) + " MiB";
    state.SkipWithError(why.c_str());
  }
}

BENCHMARK(BM_OpenLargeCalibrationData)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
