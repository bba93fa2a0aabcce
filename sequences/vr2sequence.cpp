#include "sequences/vr2sequence.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "sequences/mosaic.h"

namespace {

std::uint64_t BigEndian(const std::uint8_t* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | p[i];
  return v;
}

// A position read from the file as a signed file position; beyond what a file can hold it
// becomes the largest, which no file reaches.
std::int64_t Position(std::uint64_t v) {
  return static_cast<std::int64_t>(
      std::min<std::uint64_t>(v, std::numeric_limits<std::int64_t>::max()));
}

}  // namespace

Vr2FrameSequence::Vr2FrameSequence(std::string_view name, Document* document)
    : RawFrameSequence(name, document) {}

bool Vr2FrameSequence::Open() {
  constexpr int kFixed = kHeaderSize + kBlockSize;
  if (!OpenFile()) return false;
  std::uint8_t head[kFixed] = {};
  if (!ReadAt(head, kFixed, 0)) return SetLayout(0, 0, 0, 0, 0, kFixed);
  const std::uint8_t* block = head + kHeaderSize;
  const auto width = static_cast<std::int64_t>(BigEndian(block + kWidthAt, 4));
  const auto height = static_cast<std::int64_t>(BigEndian(block + kHeightAt, 4));
  const auto frames = static_cast<std::int64_t>(BigEndian(head + kFramesAt, 4));
  const std::uint64_t offset = BigEndian(head + kFrameOffsetAt, 4);
  const std::int64_t basePosition = Position(BigEndian(head + kBasePositionAt, 8));
  std::uint8_t base[8] = {};
  // A base that cannot be read places the frames at 0, inside the header: refused below.
  std::int64_t first = 0;
  if (basePosition <= FileSize() - static_cast<std::int64_t>(sizeof base) &&
      ReadAt(base, sizeof base, basePosition)) {
    const std::uint64_t b = BigEndian(base, 8);
    const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
    first = Position(b > most - offset ? most : b + offset);
  }
  if (!SetLayout(width, height, height, frames, first, kFixed)) return false;
  fsData.colour = 1;
  fsData.framesPerSecond = kFramesPerSecond;
  ReadDSCPartial(fsData, fileName.Path());
  SetImageSize(fsData.units, fsData.aspect, fsData.width, fsData.height);
  return FinishOpen();
}

void Vr2FrameSequence::StoredToBitmap(const std::uint8_t* stored) {
  const int h = fsData.height;
  if (!demosaic_) demosaic_ = std::make_unique<BayerDemosaic>(fsData.width);
  std::uint8_t* bits = frameDib.Bits();
  const std::size_t rowBytes = frameDib.RowBytes();
  // Picture row y is stored counted from the bottom.
  for (int y = 0; y < h; ++y)
    demosaic_->Row(stored, h, y, bits + static_cast<std::size_t>(h - 1 - y) * rowBytes);
}
