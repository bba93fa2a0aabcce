#include "analysis/import/importliste.h"

#include <algorithm>
#include <cmath>

#include "analysis/quantity.h"

int ImportOrderOf(int code) {
  if (const std::optional<SeriesSlot> slot = SeriesSlotOf(code)) return slot->order;
  if (const std::optional<CurveParameters> p = CurveParametersOf(code)) return p->order;
  return 0;
}

ImportZeichnen* ImportListe::AddImport(unsigned penWidth, unsigned penStyle, bool connect,
                                       DaqFileDialogs& dialogs) {
  const int index = std::max(LargestColorIndex(), 0) + 1;
  auto import = std::make_unique<ImportZeichnen>(penWidth, penStyle, connect, index, dialogs);
  if (!import->IsImported()) return nullptr;
  import->SetColorIndex(index);
  curves_.push_back(std::move(import));
  return curves_.back().get();
}

int ImportListe::LargestColorIndex() const {
  int largest = -1;
  for (const auto& i : curves_) largest = std::max(largest, i->ColorIndex());
  return largest;
}

void ImportListe::ChooseFreeColor(ImportZeichnen& import,
                                  const std::function<bool(ColorValue)>& usedByWindow) const {
  auto taken = [&](ColorValue c) { return usedByWindow(c) || ColorInUseByAnother(c, &import); };
  if (!taken(import.GetColor())) return;
  const int kept = import.ColorIndex();
  const int from = LargestColorIndex() + 1;
  for (int k = 0; k < PredefinedObjectColorCount(); ++k) {
    if (taken(PredefinedObjectColor(from + k))) continue;
    import.SetColorIndex(from + k);
    return;
  }
  import.SetColorIndex(kept);
}

void ImportListe::ComputeAll(int order) {
  for (auto& i : curves_) i->Compute(order);
  const std::optional<CurveRange> r = RangeOfAll();
  min_ = r ? r->min : 0.0f;
  max_ = r ? r->max : 0.0f;
}

bool ImportListe::ColorInUseByAnother(ColorValue color, const ImportZeichnen* except) const {
  return std::any_of(curves_.begin(), curves_.end(), [&](auto& i) {
    return i.get() != except && i->GetColor() == color;
  });
}

std::optional<std::pair<float, float>> ImportListe::FrameRange() const {
  std::optional<std::pair<float, float>> frames;
  for (const auto& i : curves_) {
    if (!i->IsValid()) continue;
    const float first = i->SampleToFrame(static_cast<float>(i->FirstSample()), kStartFrame);
    const float last = i->SampleToFrame(static_cast<float>(i->LastSample()), kStartFrame);
    if (!frames)
      frames = {first, last};
    else
      frames = {std::min(frames->first, first), std::max(frames->second, last)};
  }
  return frames;
}

void ImportListe::ComputeScale(float height, float alternativeHeight, float referenceScale) {
  if (max_ != min_)
    scale_ = height / (max_ - min_);
  else
    // A flat channel (all zero, say) has no span to fill.
    scale_ = max_ != 0.0f ? alternativeHeight / std::fabs(max_) : 1.0f;
  if (!std::isfinite(scale_) || scale_ == 0.0f) scale_ = 1.0f;
  scale_ = std::copysign(std::fabs(scale_), referenceScale);
}

float ImportListe::ToWindowOrdinate(float value, float f, float o) const {
  return (value - min_) * scale_ / f + o;
}

float ImportListe::FromWindowOrdinate(float p, float f, float o) const {
  return (p - o) * f / scale_ + min_;
}

ImportZeichnen* ImportListe::HitTest(float t, float p, float sx, float f, float o) const {
  const float v = FromWindowOrdinate(p, f, o);
  for (const auto& i : curves_)
    if (i->HitTest(t, v, sx, scale_, kStartFrame)) return i.get();
  return nullptr;
}
