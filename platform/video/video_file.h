#pragma once

// A video file read frame by frame, exactly: frame n (counted from 0 in display order) is always
// the same picture, whether it is reached by stepping forwards, backwards or by jumping.
//
// Opening makes one pass over the file's packets (no decoding) and keeps a small index: each
// frame's timestamp, file position and whether decoding can start there. The frame count comes
// from that pass, not from the header, so a file cut short reports the frames it really holds.
// Reading the frame after the last one read continues decoding; any other frame seeks to the
// nearest preceding key frame and decodes forward from there.
//
// Frames come out as 24-bit blue-green-red rows, or as 8-bit indices with a 256-entry colour table
// for palette videos and grey videos.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

enum class VideoError {
  kNone,
  kCannotOpen,  // the file cannot be opened or read at all
  kBadFormat,   // a file type we know, but its contents are damaged or not what they claim
  kNoHandler,   // no reader knows this kind of file
  kNoStream,    // the file holds no video stream, or no frame in it
  kNoDecoder,   // the stream's codec cannot be decoded
};

struct VideoStreamInfo {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 24;  // of the stream's own format
  int rateNumerator = 1;  // frames per second as a fraction
  int rateDenominator = 1;
  double startSeconds = 0.0;      // timestamp of the first frame shown
  int frames = 0;                 // frames found in the file
  std::int64_t headerFrames = 0;  // frames the header claims (0 when it does not say)
  std::string name;               // the stream's title, empty when it has none
  std::string fourcc;             // the codec's four-character code as stored, or the codec's name
  std::string codecName;
  bool keyFramesFound =
      false;  // the container marked every frame a key frame; we found the real ones

  double Rate() const {
    return rateDenominator ? static_cast<double>(rateNumerator) / rateDenominator : 0.0;
  }
};

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

struct VideoStats {
  long seeks = 0;            // repositionings of the file
  long packetsDecoded = 0;   // packets handed to the decoder
  long framesConverted = 0;  // pictures converted for the caller
};

class VideoFile {
 public:
  VideoFile();
  ~VideoFile();
  VideoFile(const VideoFile&) = delete;
  VideoFile& operator=(const VideoFile&) = delete;

  // Opens the file's first video stream and indexes it. On failure the file is closed; after
  // kNoDecoder, Info() still names the stream (name, fourcc, codecName).
  VideoError Open(const std::string& path);
  void Close();
  bool IsOpen() const;

  const VideoStreamInfo& Info() const { return info_; }

  // Decodes frame `index` (0-based, display order) into `picture`; false when the file is not
  // open, the index is out of range or the frame cannot be decoded.
  bool ReadFrame(int index, VideoPicture& picture);

  // Whether decoding may start at frame `index` (for tests and the benchmark).
  bool IsKeyFrame(int index) const;
  // The longest run of frames from one key frame to the next.
  int LongestGroup() const;
  // The number of bytes the index takes.
  std::size_t IndexBytes() const;

  const VideoStats& Stats() const { return stats_; }
  void ResetStats() { stats_ = {}; }

 private:
  struct State;
  std::unique_ptr<State> s_;
  VideoStreamInfo info_;
  VideoStats stats_;
};

// Whether any reader claims files with the extension of `path` (".avi", ".mov" ...).
bool VideoExtensionKnown(const std::string& path);

}  // namespace platform
