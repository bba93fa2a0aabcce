#include "sequences/framesequence.h"

#include <algorithm>
#include <utility>

#include <QObject>

#include "base/document.h"

namespace {

FrameSequenceServices& Services() {
  static FrameSequenceServices services;
  return services;
}

void FillGreyRamp(std::array<PaletteEntry, FrameSequence::kPaletteSize>& table) {
  for (int i = 0; i < FrameSequence::kPaletteSize; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    table[i] = {v, v, v, 0};
  }
}

}  // namespace

void SetFrameSequenceServices(FrameSequenceServices services) { Services() = std::move(services); }

const FrameSequenceServices& GetFrameSequenceServices() { return Services(); }

FrameSequence::FrameSequence(Document* owner) : document(owner) {
  // The display palette starts as the grey ramp; PreparePalette rewrites it before any frame is
  // shown.
  FillGreyRamp(colorTable);
  ResetSubObjectSequences();
}

FrameSequence::~FrameSequence() {
  // A sequence that never opened holds only construction defaults: they must not replace the
  // user's settings.
  if (opened_) fsData.StoreDefaults();
  delete view.data();
}

bool FrameSequence::NeedsColorReduction() const {
  const auto& isPalette = Services().isPaletteDisplay;
  return IsColour() && isPalette && isPalette();
}

void FrameSequence::PreparePaletteDefault() {
  if (NeedsColorReduction()) {
    if (Services().reduceColors) Services().reduceColors(*this);
    ReadFrame(1, true);
  } else {
    FillGreyRamp(colorTable);
    if (!IsColour()) colorTableIsGrey = true;
  }
  displayPalette.SetEntries(colorTable, IsColour());
}

void FrameSequence::CreateView() {
  if (Services().createView) view = Services().createView(*this);
}

void FrameSequence::ResetSubObjectSequences() {
  subObjectSequences =
      Services().newSubObjectSequences ? Services().newSubObjectSequences() : nullptr;
}

int FrameSequence::GetDocumentFrame() const { return document ? document->CurrentFrame() : 1; }

bool FrameSequence::LoadDescription() {
  if (!ReadDSC(fsData, fileName.Path())) return false;
  SetImageSize(fsData.units, fsData.aspect, fsData.width, fsData.height);
  return true;
}

void FrameSequence::SetScale(float units, float aspectRatio) {
  fsData.units = units;
  fsData.aspect = aspectRatio;
  SetImageSize(units, aspectRatio, fsData.width, fsData.height);
}

void FrameDataToDib(const FS_Data& data, const std::uint8_t* frame, CDIB& dib) {
  const int bitCount = data.colour == 1 ? 24 : 8;
  if (!frame || dib.IsEmpty() || dib.Width() != data.width || dib.Height() != data.height ||
      dib.BitCount() != bitCount) {
    return;
  }
  dib.FromPlaneRows(0, data.height, frame);
}
