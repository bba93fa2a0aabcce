#pragma once

// VrawFrameSequence: a ".vraw" file of a high-speed camera. Its first 64 bytes are a text header
// whose numbers are hexadecimal text at fixed places:
//   15  "RAW" and a zero byte for a colour file (anything else: grey)
//   19  width in pixels
//   28  stored lines per frame (the picture has twice as many)
//   37  frame rate in 0.1 frames per second
//   46  number of frames
//   55  header length L in bytes
// Within the first L bytes, "R_RATE" followed by one character and a number overrides the rate
// (again in 0.1 frames per second). Frame n (from 1) starts at L + width x lines x (n - 1) and
// holds width x lines bytes; sequences/mosaic.h says how they become pictures. A description
// file of the same name may set units, aspect, colour space and rate; "R_RATE" wins over it.

#include <string_view>
#include <vector>

#include "sequences/rawsequence.h"

class VrawFrameSequence : public RawFrameSequence {
 public:
  static constexpr int kHeaderSize = 64;
  // Places of the header's fields.
  static constexpr int kColourAt = 15, kWidthAt = 19, kLinesAt = 28, kRateAt = 37, kFramesAt = 46,
                       kHeaderLengthAt = 55;

  VrawFrameSequence(std::string_view name, Document* document);

  // False after a message: 31042/31043 when the file cannot be opened, 31042/31044 when its
  // header does not describe it.
  bool Open() override;

 private:
  void StoredToBitmap(const std::uint8_t* stored) override;
  // The rate of the first "R_RATE" within the first headerLength bytes, if there is one.
  void ApplyRateOverride(std::int64_t headerLength);

  std::vector<std::uint8_t> planes_;
};
