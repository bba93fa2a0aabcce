#pragma once

// A decoded picture turned into the rows the program works with: 24-bit blue-green-red, or 8-bit
// indices with a 256-entry colour table for palette and grey pictures. Every other format (8 to 16
// bits, 4:2:0 to 4:4:4, with alpha, RGB) is converted by FFmpeg's scaler, bilinear, with the
// frame's own colour matrix (BT.601, BT.709 ...), range (limited or full) and chroma siting: the
// picture FFmpeg itself shows. Codes the file declares that the converter does not know fall back
// to FFmpeg's defaults (see ColourDescription).

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

// How a frame's colour is described, read from the frame without trusting its codes: an
// out-of-range code in a damaged file never reaches an enumeration.
struct ColourDescription {
  static constexpr int kUnknown = -1;
  // The colour matrix as FFmpeg's scaler numbers it (SWS_CS_*); unknown matrices are BT.601, as
  // FFmpeg takes them.
  int matrix = 0;
  // Full range (0-255), where limited (16-235) is the default.
  bool fullRange = false;
  // Where the chroma samples lie across and down, in the scaler's units (1/256 of a luma sample,
  // for the frame's own subsampling); kUnknown where the frame does not say (FFmpeg's default
  // then: centred on the luma samples they cover).
  int chromaX = kUnknown;
  int chromaY = kUnknown;

  static ColourDescription Of(const AVFrame& frame);
  bool operator==(const ColourDescription&) const = default;
};

class PictureConverter {
 public:
  PictureConverter() = default;
  ~PictureConverter();
  PictureConverter(const PictureConverter&) = delete;
  PictureConverter& operator=(const PictureConverter&) = delete;

  // Converts `frame` into `picture`; false when its pixel format cannot be converted.
  bool Convert(const AVFrame& frame, VideoPicture& picture);

  // Threads a large picture's conversion is split over (1: on the calling thread). The pictures
  // are the same for every number.
  void SetThreads(int threads) { threads_ = threads; }

 private:
  // What the scaler was made for; a frame that differs in any of these gets a new one.
  struct Setup {
    int width = 0;
    int height = 0;
    int format = -1;
    ColourDescription colour;
    int threads = 1;
    bool operator==(const Setup&) const = default;
  };
  bool PrepareScaler(const Setup& setup);
  bool Scale(const AVFrame& frame, std::uint8_t* top, int stride);
  bool ScaleInto(const AVFrame& frame, std::uint8_t* top, int stride);

  SwsContext* scaler_ = nullptr;
  Setup setup_;
  int threads_ = 0;  // 0: as many as the machine has, up to two
  std::vector<std::uint8_t> scratch_;
};

}  // namespace platform
