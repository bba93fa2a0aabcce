#include "analysis/import/importzeichnen.h"

#include <algorithm>
#include <cmath>

#include "analysis/series/anlwinobjseq.h"
#include "base/defaults.h"

int PredefinedObjectColorCount() {
  return g_Defaults ? std::clamp(g_Defaults->colorCount, 1, kMaxMapColors) : kBuiltInColors;
}

ColorValue PredefinedObjectColor(int index) {
  const int count = PredefinedObjectColorCount();
  const int i = ((index % count) + count) % count;
  const MapColor c = g_Defaults ? g_Defaults->colors[i] : BuiltInColor(i);
  return Rgb(c.red, c.green, c.blue);
}

ImportZeichnen::ImportZeichnen(unsigned penWidth, unsigned penStyle, bool connect, int colorIndex,
                               DaqFileDialogs& dialogs)
    : AnlWinKurve(penWidth, penStyle, connect, false), colorIndex_(colorIndex) {
  ChooseDataFile(dialogs);
  if (!IsImported()) return;
  framesPerSample_ = static_cast<float>(1.0 / ReadDescription(dialogs));
}

void ImportZeichnen::SetColorIndex(int index) {
  colorIndex_ = index;
  SetColor(PredefinedObjectColor(index));
}

void ImportZeichnen::Compute(int order) {
  valid_ = false;
  if (last_ < 0) {
    first_ = 1;
    last_ = IsImported() ? CountValues() : 0;
  }
  std::vector<float>& series = MutableSeries();
  series.clear();
  min_ = max_ = kMissingValue;
  if (last_ < 1) return;
  AllocateSeries(series, static_cast<std::size_t>(last_), kMissingValue);
  ReadValues(series.data(), last_);
  Derive(order, last_, min_, max_);
  const auto firstValue =
      std::find_if(series.begin(), series.end(), [](float v) { return v != kMissingValue; });
  first_ = firstValue == series.end() ? 1 : static_cast<int>(firstValue - series.begin()) + 1;
}

float ImportZeichnen::SampleToFrame(float sample, float start) const {
  return (sample - 1.0f) * framesPerSample_ + start;
}

float ImportZeichnen::FrameToSample(float abscissa, float start) const {
  return (abscissa - start) / framesPerSample_ + 1.0f;
}

float ImportZeichnen::ValueAt(float abscissa, float start) const {
  const float* values = Values();
  if (!values || abscissa == kMissingValue) return kMissingValue;
  // In double, and compared before any conversion: an abscissa far beyond the samples has no
  // integer index.
  const double index = std::floor(static_cast<double>(FrameToSample(abscissa, start)) + 0.5) - 1.0;
  if (!(index >= 0.0 && index < static_cast<double>(std::max(last_, 0)))) return kMissingValue;
  return values[static_cast<std::size_t>(index)];
}

CurveRange ImportZeichnen::GetRange() const {
  return {static_cast<float>(first_), min_, static_cast<float>(last_), max_};
}

PlotMapping ImportZeichnen::SampleMapping(const PlotMapping& frameMap, float start) const {
  // pixel = x0 + (frame - ts) * sx with frame = (sample - 1) * fps + start.
  PlotMapping map = frameMap;
  map.sx = frameMap.sx * framesPerSample_;
  map.ts = 1.0f + (frameMap.ts - start) / framesPerSample_;
  return map;
}

void ImportZeichnen::Draw(PlotCanvas& canvas, const PlotMapping& frameMap, float start) const {
  DrawPolyline(canvas, SampleMapping(frameMap, start), last_, nullptr);
}

bool ImportZeichnen::HitTest(float t, float v, float sx, float sy, float start) const {
  const float sample = FrameToSample(t, start);
  // Far beyond the samples nothing is hit, and the search counts samples in int.
  constexpr float kFarAway = 1.0e9f;
  if (!(std::fabs(sample) < kFarAway)) return false;
  return AnlWinKurve::HitTest(sample, v, sx * framesPerSample_, sy, last_);
}

void ImportZeichnen::SnapCrosshair(float& t, float& v, float sx, float sy, float start) {
  float sample = FrameToSample(t, start);
  AnlWinKurve::SnapCrosshair(sample, v, sx * framesPerSample_, sy, last_);
  t = SampleToFrame(sample, start);
}
