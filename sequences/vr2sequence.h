#pragma once

// Vr2FrameSequence: a ".vr2" file of a high-speed camera. All numbers are big-endian, unsigned
// 32-bit unless said otherwise:
//   bytes 0-95      header: +36 number of frames, +40 offset added to the frame base,
//                   +88 64-bit position X of the frame base
//   bytes 96-1159   description block: +4 width, +8 height
//   at X            64-bit frame base B
// The first frame starts at B + the offset; frame n (from 1) follows it at width x height x
// (n - 1) and holds width x height bytes of a colour mosaic (sequences/mosaic.h). The rate is
// 1000 frames per second unless the description file of the same name gives another.

#include <memory>
#include <string_view>

#include "sequences/mosaic.h"
#include "sequences/rawsequence.h"

class Vr2FrameSequence : public RawFrameSequence {
 public:
  static constexpr int kHeaderSize = 96;
  static constexpr int kBlockSize = 1064;
  // Places of the fields: in the header, in the description block.
  static constexpr int kFramesAt = 36, kFrameOffsetAt = 40, kBasePositionAt = 88;
  static constexpr int kWidthAt = 4, kHeightAt = 8;
  static constexpr float kFramesPerSecond = 1000.0f;

  Vr2FrameSequence(std::string_view name, Document* document);

  // False after a message: 31042/31043 when the file cannot be opened, 31042/31044 when its
  // header does not describe it.
  bool Open() override;

 private:
  void StoredToBitmap(const std::uint8_t* stored) override;

  std::unique_ptr<BayerDemosaic> demosaic_;  // made at the first frame, for the file's width
};
