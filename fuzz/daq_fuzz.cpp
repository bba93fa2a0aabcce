// Acquisition data as the import reads it: a description (".DQS") and a data file (".DAQ"). The
// input is one byte that picks the derivative order, the description, a zero byte and the data.
// The imported curve is then drawn as a window draws it and asked for values where a crosshair
// or the frame marker may ask.

#include "analysis/analysis_test_util.h"
#include "analysis/import/importliste.h"
#include "fuzz_input.h"
#include "platform/message_service.h"

namespace {

struct ChosenPair : DaqFileDialogs {
  std::optional<std::string> ChooseDataFile(const std::string&) override { return data; }
  std::optional<std::string> ChooseDescriptionFile(const std::string&) override {
    return std::nullopt;
  }
  std::string data;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  platform::RecordingMessageService messages;
  const auto [description, samples] = fuzz::SplitAtZero(fuzz::Bytes(data + 1, size - 1));
  fuzz::WriteInput("force.DQS", description);
  ChosenPair dialogs;
  dialogs.data = fuzz::WriteInput("force.daq", samples);
  ImportListe imports;
  ImportZeichnen* import = imports.AddImport(1, 0, true, dialogs);
  if (!import) return 0;
  imports.ComputeAll(data[0] % 3);
  imports.ComputeScale(400.0f, 200.0f, -1.0f);
  const auto frames = imports.FrameRange();
  if (frames) {
    PlotMapping map;
    map.x0 = 40;
    map.y0 = 200;
    map.sx = 400.0f / std::max(frames->second - frames->first, 1.0f);
    map.sy = imports.Scale();
    map.ts = frames->first;
    map.ys = imports.Min();
    RecordingPlotCanvas canvas;
    import->Draw(canvas, map, ImportListe::kStartFrame);
  }
  for (float frame : {-1.0e30f, 0.0f, 1.0f, 2.5f, 1.0e6f, 3.0e38f})
    (void)import->ValueAt(frame, ImportListe::kStartFrame);
  if (frames) {
    (void)import->ValueAt(frames->second, ImportListe::kStartFrame);
    (void)imports.HitTest(frames->first, 0.0f, 2.0f, -1.0f, 0.0f);
  }
  return 0;
}
