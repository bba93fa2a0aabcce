#pragma once

// Turning a decoded frame into a sequence's working bitmap (8-bit grey or 24-bit colour), and
// taking one field (half frame) out of an interlaced frame.
//
// A decoded frame is laid out like a bitmap: width, height (negative when the rows are stored top
// line first), 1, 4, 8, 16, 24 or 32 bits per pixel, a colour table of blue, green, red, reserved
// entries and rows padded to a multiple of 4 bytes.

#include <cstdint>

#include "sequences/dib.h"
#include "sequences/fsdata.h"

// The caption of the messages about calls with mismatching bitmaps.
inline constexpr const char* kInternalErrorCaption = "Internal Error:";

struct DibSource {
  int width = 0;
  int height = 0;  // negative: rows stored top line first
  int bitCount = 0;
  int colorsUsed = 0;  // entries of colorTable
  const std::uint8_t* colorTable = nullptr;
  const std::uint8_t* bits = nullptr;
};

// The source view of a bitmap.
DibSource SourceOf(const CDIB& dib);

// Grey value of a colour: (222 red + 707 green + 71 blue) / 1000.
inline int GreyValue(int red, int green, int blue) {
  return (222 * red + 707 * green + 71 * blue) / 1000;
}

// Converts the whole frame into target (8 or 24 bits, the same width and height). Depths other
// than 1, 4, 8, 16, 24, 32 into 8 or 24 do nothing; a size mismatch shows "Call to
// 'Setup<t>bitDIBfrom<s>bit()' with incompatible Bitmapheaders!" and leaves target unchanged.
// Colour indices beyond the source's table give black.
void SetupDIB(const FS_Data& data, const DibSource& source, CDIB& target);

// Field extraction modes.
enum HalfFrameMode {
  kHalfFrameNone = 0,
  kHalfFrameSimple = 1,       // every second row
  kHalfFrameAspect = 2,       // every second row and pixel
  kHalfFrameCorrect = 3,      // means of pixel pairs, field 1 shifted by half a row
  kHalfFrameInterpolate = 4,  // the field's rows, the others interpolated
};

// The size of the picture that mode makes of a width x height frame.
void HalfFrameSize(int mode, int width, int height, int* outWidth, int* outHeight);

// Extracts field 0 or 1 of source (the kept full frame; rows counted in stored order from its
// first stored row) into target, both 24 bits for a colour sequence (data.colour 1) or 8 bits
// otherwise; target must have the size the mode implies. A mismatch shows the message with the
// extracting function's name and leaves target unchanged.
void SetupHalfframeDIB(const FS_Data& data, int mode, const CDIB& source, int field, CDIB& target);
