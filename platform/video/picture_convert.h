#pragma once

// A decoded picture turned into the rows the program works with: 24-bit blue-green-red, or 8-bit
// indices with a 256-entry colour table for palette and grey pictures. Colour pictures are
// converted with the stream's own colour matrix (BT.601, BT.709 ...), its range (limited or
// full) and the siting of its chroma samples, as the file declares them.

#include <array>
#include <cstdint>
#include <vector>

struct AVFrame;
struct SwsContext;

namespace platform {

// One decoded frame: rows top line first, each `stride` bytes (a multiple of 4).
struct VideoPicture {
  int width = 0;
  int height = 0;
  int bitCount = 0;  // 24 (blue, green, red) or 8 (indices into colorTable)
  int stride = 0;
  std::vector<std::uint8_t> pixels;
  // 8-bit pictures: 256 entries of blue, green, red, 0.
  std::array<std::uint8_t, 1024> colorTable{};

  // Optional: where a 24-bit picture of exactly directWidth x directHeight is written instead of
  // `pixels`: the top line at directBits, the next at directBits + directStride (negative for a
  // bottom-up bitmap). `direct` tells whether the last picture went there. Saves a copy of
  // every frame when the caller's bitmap is the final place.
  std::uint8_t* directBits = nullptr;
  int directStride = 0;
  int directWidth = 0;
  int directHeight = 0;
  bool direct = false;
};

class PictureConverter {
 public:
  PictureConverter() = default;
  ~PictureConverter();
  PictureConverter(const PictureConverter&) = delete;
  PictureConverter& operator=(const PictureConverter&) = delete;

  // Converts `frame` into `picture`; false when its pixel format cannot be converted.
  bool Convert(const AVFrame& frame, VideoPicture& picture);

 private:
  // What the scaler was made for; a frame that differs in any of these gets a new one.
  struct Setup {
    int width = 0;
    int height = 0;
    int format = -1;
    int colorspace = -1;
    bool fullRange = false;
    int chromaX = 0;
    int chromaY = 0;
    bool operator==(const Setup&) const = default;
  };
  bool PrepareScaler(const Setup& setup);

  SwsContext* scaler_ = nullptr;
  Setup setup_;
};

}  // namespace platform
