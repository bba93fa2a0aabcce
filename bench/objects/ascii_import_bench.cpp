// Importing ASCII point files of 10^4 to 10^7 lines (one tracked point a frame): the cost
// grows with the length of the file, not its square; and the text reader alone. And the peak
// memory of refusing the files that declare far more than they hold, or fail early. Each
// benchmark checks its own result.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "analysis/import/importliste.h"
#include "base/textformat.h"
#include "common/peak_memory.h"
#include "common/temp_dir.h"
#include "common/test_document.h"
#include "objects/asciiobj.h"
#include "objects/docaccess.h"
#include "objects/objects_test_util.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/message_service.h"

namespace {

void BM_AsciiImport(benchmark::State& state) {
  const int lines = static_cast<int>(state.range(0));
  testutil::TempDir dir("ascii_bench");
  const std::string file = dir.File("walk.p00");
  WriteLongPointFile(file, lines, 0, 0);
  for (auto _ : state) {
    state.PauseTiming();
    {
      TestDocument doc(FileName(dir.File("walk.rsc")));
      FrameSequence* video =
          doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 640, 480, lines));
      state.ResumeTiming();
      const int filled = ascii::Import(doc, *video, {file});
      state.PauseTiming();
      const SubObjectSequence* sub = objdoc::SubsOf(*video).Find(0);
      if (filled != 1 || !sub || sub->Count() != lines || !sub->ItemAt(lines) ||
          sub->ItemAt(lines)->x != PointFileX(lines - 1) ||
          sub->ItemAt(lines)->y != PointFileY(lines - 1)) {
        state.SkipWithError("the import did not give every point");
        return;
      }
    }
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetComplexityN(lines);
}
BENCHMARK(BM_AsciiImport)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(10'000'000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// The text reader alone over a point file of 10^6 and 10^7 lines: every line's frame and point
// read as the import reads them, without filing the points. Checks the sums of what was read.
void BM_ReadPointLines(benchmark::State& state) {
  const long long lines = state.range(0);
  testutil::TempDir dir("ascii_bench");
  const std::string file = dir.File("walk.p00");
  WriteLongPointFile(file, lines, 0, 0);
  long double expectedX = 0;
  for (long long n = 0; n < lines; ++n) expectedX += PointFileX(n);
  for (auto _ : state) {
    TextInFile in(file);
    long long read = 0, frames = 0;
    long double sumX = 0;
    for (long long n = 0; in.ReadInteger(n); ++read) {
      long double x = 0, y = 0;
      in.SkipDelimiter().ReadNumber(x).SkipDelimiter().ReadNumber(y);
      frames += n;
      sumX += x;
    }
    if (read != lines || frames != lines * (lines - 1) / 2 || sumX != expectedX) {
      state.SkipWithError("the reader did not give every line");
      return;
    }
  }
  state.SetItemsProcessed(state.iterations() * lines);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(file)));
}
BENCHMARK(BM_ReadPointLines)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

struct NoDialogs : DaqFileDialogs {
  std::optional<std::string> ChooseDataFile(const std::string&) override { return data; }
  std::optional<std::string> ChooseDescriptionFile(const std::string&) override { return {}; }
  std::string data;
};

// Refusing a file that declares far more than it holds: the peak memory above what the process
// held before, as the counter "peak_MB". Fails when the file was taken or the message is missing.
// Files too long to make in a blink are made once, by prepare, before the measuring.
template <class Refuse>
void MeasureRefusal(benchmark::State& state, Refuse refuse,
                    const std::function<void(const testutil::TempDir&)>& prepare = {}) {
  testutil::TempDir dir("refused");
  if (prepare) prepare(dir);
  double peakMb = 0;
  for (auto _ : state) {
    platform::RecordingMessageService messages;
    const testutil::PeakMemory peak;
    const bool taken = refuse(dir);
    if (!peak.Available()) {
      state.SkipWithError("the kernel does not reset the peak memory");
      return;
    }
    peakMb = std::max(peakMb, static_cast<double>(peak.GrowthBytes()) / (1 << 20));
    if (taken || messages.shown.empty()) {
      state.SkipWithError("the file was not refused with a message");
      return;
    }
  }
  state.counters["peak_MB"] = peakMb;
}

void BM_RefuseDaqOf2To31Samples(benchmark::State& state) {
  MeasureRefusal(state, [](const testutil::TempDir& dir) {
    dir.Write("huge.DQS", "DAQ_SPF: 1 DAQ_FORMAT: BINARY DAQ_POLARITY: BI");
    const std::string data = dir.Write("huge.daq", "");
    std::filesystem::resize_file(data, std::uintmax_t{1} << 32);
    NoDialogs dialogs;
    dialogs.data = data;
    ImportListe list;
    ImportZeichnen* import = list.AddImport(1, kPenSolid, true, dialogs);
    if (import) list.ComputeAll(0);
    return import && import->IsValid();
  });
}
BENCHMARK(BM_RefuseDaqOf2To31Samples)->Iterations(3)->Unit(benchmark::kMillisecond);

bool ImportAscii(const testutil::TempDir& dir, const std::string& text) {
  const std::string file = dir.Write("walk.p00", text);
  TestDocument doc(FileName(dir.File("walk.rsc")));
  FrameSequence* video = doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 640, 480, 50));
  return ascii::Import(doc, *video, {file}) > 0;
}

void BM_RefuseAsciiFrame16777214(benchmark::State& state) {
  MeasureRefusal(state, [](const testutil::TempDir& dir) { return ImportAscii(dir, "16777213 0 0\n"); });
}
BENCHMARK(BM_RefuseAsciiFrame16777214)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_RefuseAsciiPointAt1e15(benchmark::State& state) {
  MeasureRefusal(state,
                 [](const testutil::TempDir& dir) { return ImportAscii(dir, "0 1000000000000000 5\n"); });
}
BENCHMARK(BM_RefuseAsciiPointAt1e15)->Iterations(3)->Unit(benchmark::kMillisecond);

// A long point file whose line 100 names a frame beyond its 1000-frame video: the 99 points before
// it are kept, and what the lines after it hold is never read.
void BM_RefuseLongAsciiFileAtLine100(benchmark::State& state) {
  const long long lines = state.range(0);
  double fileMb = 0;
  MeasureRefusal(
      state,
      [](const testutil::TempDir& dir) {
        TestDocument doc(FileName(dir.File("walk.rsc")));
        FrameSequence* video =
            doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 640, 480, 1000));
        ascii::Import(doc, *video, {dir.File("walk.p00")});
        const SubObjectSequence* sub = objdoc::SubsOf(*video).Find(0);
        return !sub || sub->Count() != 99;
      },
      [lines, &fileMb](const testutil::TempDir& dir) {
        WriteLongPointFile(dir.File("walk.p00"), lines, 100, 3 * lines);
        fileMb = static_cast<double>(std::filesystem::file_size(dir.File("walk.p00"))) / (1 << 20);
      });
  state.counters["file_MB"] = fileMb;
}
BENCHMARK(BM_RefuseLongAsciiFileAtLine100)
    ->Arg(2'000'000)
    ->Arg(10'000'000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void BM_RefuseDamagedObjectFile(benchmark::State& state) {
  MeasureRefusal(state, [](const testutil::TempDir& dir) {
    dir.Write("walk.OS", std::string(1 << 20, '\x7f'));
    TestDocument doc(FileName(dir.File("walk.rsc")));
    doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 640, 480, 50));
    doc.ObjectSequences()->LoadVersion();
    return doc.ObjectSequences()->Count() > 0;
  });
}
BENCHMARK(BM_RefuseDamagedObjectFile)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace
