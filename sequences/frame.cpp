#include "sequences/frame.h"

#include <cstring>

#include "platform/busy.h"
#include "sequences/framesequence.h"
#include "sequences/imagefilter.h"
#include "sequences/sequences_ids.h"

Frame::Frame(FrameSequence* sequence) : sequence_(sequence) {}

void Frame::SetupImage() {
  if (!sequence_) return;
  const CDIB& src = sequence_->FrameBitmap();
  if (src.IsEmpty()) return;
  const std::vector<PaletteEntry> table = src.Palette();
  image_.Create(src.Width(), src.Height(), src.BitCount(), table.empty() ? nullptr : table.data(),
                static_cast<int>(table.size()));
}

const CDIB* Frame::PrepareImage(const CDIB* frame) {
  if (!frame || frame->IsEmpty()) return nullptr;
  if (image_.Width() != frame->Width() || image_.Height() != frame->Height() ||
      image_.BitCount() != frame->BitCount()) {
    // The sequence changed size or depth since the image was set up.
    const std::vector<PaletteEntry> table = frame->Palette();
    image_.Create(frame->Width(), frame->Height(), frame->BitCount(),
                  table.empty() ? nullptr : table.data(), static_cast<int>(table.size()));
  }
  std::memcpy(image_.Bits(), frame->Bits(), frame->ImageSize());

  if (image_.BitCount() == 24) {
    image_.BuildCorrectionTables();
  } else if (image_.BitCount() == 8 && sequence_) {
    image_.CorrectPalette(sequence_->colorTable.data(), FrameSequence::kPaletteSize);
  }

  FilterShownImage(image_, sequence_ && sequence_->colorTableIsGrey);
  image_.MarkNewImage();
  return &image_;
}

void FilterShownImage(CDIB& image, bool filterEightBit) {
  if (image.filterId == seqid::kFilterOriginal) return;
  // A filter over a large frame takes a moment the user sees.
  platform::BusyScope busy;
  const int w = image.Width(), h = image.Height();
  if (image.BitCount() == 24) {
    std::vector<std::uint8_t> planes(static_cast<std::size_t>(w) * h * 3);
    image.ToPlanes(planes.data());
    ApplyImageFilter(image.filterId, planes.data(), w, h, true);
    image.FromPlanes(planes.data());
  } else if (image.BitCount() == 8 && filterEightBit) {
    FilterPlane(image.filterId, image.Bits(), w, h, image.RowBytes());
  }
}

void Frame::CopyToPlanes(std::uint8_t* buffer) const {
  if (!buffer || image_.IsEmpty()) return;
  if (image_.BitCount() == 24) {
    image_.ToPlanes(buffer);
    return;
  }
  if (image_.BitCount() != 8) return;
  const std::size_t w = image_.Width();
  const std::size_t h = image_.Height();
  const std::size_t row = image_.RowBytes();
  for (std::size_t y = 0; y < h; ++y)
    std::memcpy(buffer + y * w, image_.Bits() + (h - 1 - y) * row, w);
}
