#pragma once

// A video file read frame by frame, exactly: frame n (counted from 0) is the n-th picture a plain
// decode of the file from its beginning shows, whether it is reached by stepping forwards,
// backwards or by jumping. A frame that cannot be reached is a failed read, never another picture.
//
// Opening makes one pass over the file's packets and keeps a small index: each packet's
// timestamps, file position and a fingerprint of its bytes. For codecs whose every packet is one
// picture decodable on its own (motion JPEG, raw video, DV ...) that pass is the whole index.
// For all others the packets are then decoded (without pixel work) on a thread of their own and
// the pictures shown are counted, so packets the decoder drops (before the first key frame,
// marked for discarding, leading pictures of a cut open group) are no frames, and the key frames
// are the pictures both the decoder and their packets call key frames (some decoders call every
// picture one). Open either waits for that count or returns at once, with the frame count the
// packets promise, while the count goes on (see Open).
//
// Timestamps are not trusted to identify anything: a packet read after a seek is recognised by its
// fingerprint, and a picture by the packet it came from. A seek counts only once the key frame's
// own packet has been recognised; otherwise decoding starts at an earlier key frame or at the
// beginning of the file. Reading the frame after the last one read continues decoding. A picture
// the decoder had to patch (a file cut short) depends on every picture decoded before it: it, and
// the frames decoded after it from the same key frame, are read by decoding from the start of the
// file on one thread, in every order (see IsPatched). That decode runs beside the reading once the
// count has found such pictures, and keeps them for the reads.
//
// Reading frame after frame, the following pictures are decoded ahead on a thread of the reader's
// own while the caller's thread converts (see decode_ahead.h): decoding overlaps the conversion.
// A seek, or closing, stops it.
//
// Frames come out as 24-bit blue-green-red rows, or as 8-bit indices with a 256-entry colour table
// for palette videos and grey videos (see picture_convert.h); upright and all of the first
// picture's size (see picture_shape.h).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/video/picture_convert.h"

namespace platform {

enum class VideoError {
  kNone,
  kCannotOpen,  // the file cannot be opened or read at all
  kBadFormat,   // a file type we know, but its contents are damaged or not what they claim
  kNoHandler,   // no reader knows this kind of file
  kNoStream,    // the file holds no video stream, or no frame in it
  kNoDecoder,   // the stream's codec cannot be decoded
  kUndecodable,  // the codec's decoder shows no picture for the stream's first frame (a feature
                 // of the format it does not support, a damaged first picture)
  kTooLarge,    // the stream declares pictures of more than kMaxPicturePixels
};

// The most pixels a picture may have: a header may declare any size, and each picture is held
// several times over (decoded, converted, in the working bitmap). 8192 x 8192.
inline constexpr std::int64_t kMaxPicturePixels = std::int64_t{1} << 26;

struct VideoStreamInfo {
  int width = 0;  // of the pictures as shown: upright, as the stream's display matrix turns them
  int height = 0;
  int bitsPerPixel = 24;  // of the stream's own format
  int rateNumerator = 1;  // frames per second as a fraction
  int rateDenominator = 1;
  double startSeconds = 0.0;      // timestamp of the first frame shown
  int frames = 0;                 // frames found in the file (see VideoFile::Open)
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

  enum class Indexing {
    kWhole,         // Open returns once every frame is counted
    kInBackground,  // Open returns once frame 0 is known; the count goes on beside the reading
  };

  // Opens the file's first video stream and indexes it. The first frame must decode: a stream
  // whose first picture the decoder cannot show is refused (kUndecodable). On failure the file is
  // closed; after kNoDecoder, kUndecodable and kTooLarge, Info() still names the stream (name,
  // fourcc, codecName) and its declared size.
  //
  // While the count runs in the background, Info().frames is the number of frames the packets
  // promise: one for each packet from the first the container calls a key frame on, leaving out
  // packets marked for discarding. That is the exact count for every file whose decoder shows
  // each such packet; reading never depends on it, since a frame the count has not reached yet is
  // read by waiting until it has (frame n is always the n-th picture the decoder shows). When the
  // count is finished, TakeFinishedIndex puts the exact count into Info().
  VideoError Open(const std::string& path, Indexing indexing = Indexing::kWhole);
  // Stops the background count, if it still runs, and closes the file.
  void Close();
  bool IsOpen() const;

  const VideoStreamInfo& Info() const { return info_; }

  // Whether every frame is counted and Info().frames is the exact count.
  bool IndexComplete() const { return s_ && indexTaken_; }
  // How far the background count has come, 0 to 1 (1 once it is finished).
  double IndexProgress() const;
  // Whether ReadFrame(index) returns without waiting for the work beside the reading: the count
  // has reached the frame (for frames of the last group: has ended), and a patched frame's
  // picture has been decoded from the start. A frame beyond the end is ready once the count has
  // ended (it then fails at once).
  bool FrameReady(int index) const;
  // Whether the work beside the reading has ended: the count and, when it found patched
  // pictures (a file cut short), their decode from the start.
  bool BackgroundDone() const;
  // How far the decode of the patched pictures from the start has come, 0 to 1.
  double PatchProgress() const;
  // For tests: holds the background count before packet `serial` (counted from 0) until called
  // again with -1. May be called before Open.
  void HoldCountAt(int serial);
  // Once the background count has finished: takes the exact frame count (and what the count
  // found about key frames) into Info() and returns true, once; false before and after.
  bool TakeFinishedIndex();

  // Decodes frame `index` (0-based, display order) into `picture`; false when the file is not
  // open, the index is out of range or the frame cannot be decoded. A frame the background count
  // has not reached yet is waited for.
  bool ReadFrame(int index, VideoPicture& picture);

  // Whether decoding may start at frame `index` (for tests and the benchmark).
  bool IsKeyFrame(int index) const;
  // Whether frame `index` is decoded after a picture the decoder had to patch (a file cut short):
  // the patch depends on every picture decoded before, so such a frame is read by decoding from
  // the start of the file, whatever the order (for tests and the benchmark).
  bool IsPatched(int index) const;
  // The longest run of frames from one key frame to the next.
  int LongestGroup() const;
  // The number of bytes the index takes.
  std::size_t IndexBytes() const;

  const VideoStats& Stats() const { return stats_; }
  void ResetStats() { stats_ = {}; }

 private:
  struct State;
  enum class Run;
  // Reads frame `index` from where the decoder stands or from a key frame.
  bool ReadExactly(int index, VideoPicture& picture);
  // Reads a frame decoded after a picture the decoder patched: from the start of the file.
  bool ReadPatched(int index, VideoPicture& picture);
  // Decodes on until frame `index` comes out and converts it.
  Run DecodeUntil(int index, VideoPicture& picture);
  // Converts the decoder's present picture for the caller.
  bool Convert(VideoPicture& picture);

  void FillInfo();

  std::unique_ptr<State> s_;
  int lastRead_ = -1;     // the frame the last successful read gave
  // This read follows the last one: the following pictures are decoded ahead.
  bool inOrder_ = false;
  VideoStreamInfo info_;
  bool indexTaken_ = false;
  int countHold_ = -1;
  VideoStats stats_;
};

// Whether any reader claims files with the extension of `path` (".avi", ".mov" ...).
bool VideoExtensionKnown(const std::string& path);

}  // namespace platform
