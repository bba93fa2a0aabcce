#pragma once

// RawFrameSequence: what the readers of high-speed camera files (".vraw", ".vr2") share. Such a
// file holds a header and then its frames, equally sized and without padding, from a first frame
// position on; frame n (from 1) starts at first + (n - 1) x the stored frame size. Positions are
// 64-bit, so recordings beyond 4 GiB read from the right place, and reading frame n costs one
// positioned read of the stored frame, whatever n.
//
// Neither format carries a magic number, so every field of the header is checked against the
// file before it is used: a file whose frames do not all lie within it is refused.

#include <cstdint>
#include <string_view>
#include <vector>

#include "sequences/framesequence.h"

class RawFrameSequence : public FrameSequence {
 public:
  // The largest width and height taken from a header.
  static constexpr std::int64_t kMaxSide = 16384;

  ~RawFrameSequence() override;

  void Close() override;
  // Frame number into the working bitmap; null when no file is open, memory runs out or the file
  // no longer holds the frame.
  const CDIB* ReadFrame(int number, bool force = false) override;
  bool IsCurrentFrame(int number) const override { return number == held_; }
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return true; }
  void PreparePalette() override { PreparePaletteDefault(); }

  // File position of frame number (from 1) and bytes of one stored frame.
  std::int64_t FrameStart(int number) const;
  std::int64_t StoredFrameBytes() const { return storedFrameBytes_; }
  // Frames read from the file so far, and how many of them did not follow the frame read before.
  int Reads() const { return reads_; }
  int Seeks() const { return seeks_; }

 protected:
  RawFrameSequence(std::string_view name, Document* document);

  // Opens the file for reading; false after message 31042/31043.
  bool OpenFile();
  std::int64_t FileSize() const { return fileSize_; }
  // Reads size bytes at position at; false when the file ends before.
  bool ReadAt(std::uint8_t* out, std::size_t size, std::int64_t at) const;
  // Reads at most size bytes at position at; the number read (fewer at the end of the file).
  std::size_t ReadUpTo(std::uint8_t* out, std::size_t size, std::int64_t at) const;
  // Accepts the layout a header gives when width and height lie within 1..kMaxSide (storedLines
  // within 1..height), frames is at least 1 and every frame lies within the file after the
  // header's headerBytes; otherwise shows 31042/31044, closes the file
  // and returns false. On success the description takes size and frame count.
  // A stored frame is width x storedLines bytes.
  bool SetLayout(std::int64_t width, std::int64_t height, std::int64_t storedLines,
                 std::int64_t frames, std::int64_t firstFrame, std::int64_t headerBytes);
  // Creates the working bitmap and marks the sequence open.
  bool FinishOpen();
  // Turns one stored frame into the working bitmap.
  virtual void StoredToBitmap(const std::uint8_t* stored) = 0;

 private:
  int fd_ = -1;
  std::int64_t fileSize_ = 0;
  std::int64_t firstFrame_ = 0;
  std::int64_t storedFrameBytes_ = 0;
  // Kept between frames: playback reads one frame after another.
  std::vector<std::uint8_t> stored_;
  int held_ = 0;       // frame in the working bitmap, 0 = none
  int nextFrame_ = 0;  // frame that follows the last one read, 0 = none
  int reads_ = 0;
  int seeks_ = 0;
};
