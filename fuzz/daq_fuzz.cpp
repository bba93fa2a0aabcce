// Acquisition data as the import reads it: a description (".DQS") and a data file (".DAQ"). The
// input is one byte that picks the derivative order, the description, a zero byte and the data.
// The imported curve is then drawn as a window draws it and asked for values where a crosshair
// or the frame marker may ask.

#include <cstdlib>
#include <initializer_list>

#include "analysis/import/importliste.h"
#include "fuzz_input.h"
#include "platform/message_service.h"
#include "platform/numbers.h"

namespace {

struct ChosenPair : DaqFileDialogs {
  std::optional<std::string> ChooseDataFile(const std::string&) override { return data; }
  std::optional<std::string> ChooseDescriptionFile(const std::string&) override {
    return std::nullopt;
  }
  std::string data;
};

// Every pixel the drawing hands over must lie within the clipped range.
class BoundedCanvas : public PlotCanvas {
 public:
  void FrameRect(int l, int t, int r, int b, ColorValue) override { Check({l, t, r, b}); }
  void FillRect(int l, int t, int r, int b, ColorValue) override { Check({l, t, r, b}); }
  void Ellipse(int l, int t, int r, int b, const Pen&, std::optional<ColorValue>) override {
    Check({l, t, r, b});
  }
  void Line(int x1, int y1, int x2, int y2, const Pen&) override { Check({x1, y1, x2, y2}); }
  void SetPixel(int x, int y, ColorValue) override { Check({x, y}); }
  void Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2, const Pen&) override {
    Check({l, t, r, b, x1, y1, x2, y2});
  }
  void Polyline(const std::vector<PlotPoint>& points, const Pen&) override {
    for (const PlotPoint& p : points) Check({p.x, p.y});
  }
  void FilledPolygon(const std::vector<PlotPoint>& points, ColorValue) override {
    for (const PlotPoint& p : points) Check({p.x, p.y});
  }
  bool MeasureText(const std::string& text, TextExtent& e) override {
    e = {static_cast<int>(text.size()) * 7, 16};
    return true;
  }
  bool DrawText(int x, int y, const std::string&, int, ColorValue) override {
    Check({x, y});
    return true;
  }
  void SetOverlay(bool) override {}

 private:
  static void Check(std::initializer_list<int> coordinates) {
    for (int v : coordinates)
      if (v < -platform::kPixelLimit || v > platform::kPixelLimit) std::abort();
  }
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
    BoundedCanvas canvas;
    import->Draw(canvas, map, ImportListe::kStartFrame);
    // A window whose scales the user fixed: 4 pixels a frame and one a unit, whatever the data.
    import->Draw(canvas, PlotMapping{40, 200, 4.0f, -1.0f, 1.0f, 0.0f}, ImportListe::kStartFrame);
  }
  for (float frame : {-1.0e30f, 0.0f, 1.0f, 2.5f, 1.0e6f, 3.0e38f})
    (void)import->ValueAt(frame, ImportListe::kStartFrame);
  if (frames) {
    (void)import->ValueAt(frames->second, ImportListe::kStartFrame);
    (void)imports.HitTest(frames->first, 0.0f, 2.0f, -1.0f, 0.0f);
  }
  return 0;
}
