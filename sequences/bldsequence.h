#pragma once

// BldFrameSequence: a headerless frame file (".bld") described by the description file of the
// same name (".dsc", or ".par"). Frames follow each other without header or padding: a grey frame
// is width x height bytes, top line first; a colour frame is three such planes, red, green, blue.

#include <cstdint>
#include <memory>
#include <string_view>

#include "sequences/framesequence.h"

class BldFrameSequence : public FrameSequence {
 public:
  // The frame file is name with its extension replaced by "bld" (so a chosen ".dsc" opens the
  // frame file beside it).
  BldFrameSequence(std::string_view name, Document* document);
  ~BldFrameSequence() override;

  // Reads the description, opens the frame file and counts its whole frames (an incomplete tail
  // is ignored). False after a message: the description's, or 31091 when the frame file cannot
  // be opened, 31092 when it holds no complete frame, 31093 when there is no memory for the
  // working bitmap.
  bool Open() override;
  void Close() override;
  const CDIB* ReadFrame(int number, bool force = false) override;
  bool IsCurrentFrame(int number) const override { return number == held_; }
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return true; }
  void PreparePalette() override { PreparePaletteDefault(); }

  // Bytes of one frame; 0 for a size no bitmap can hold.
  std::int64_t FrameBytes() const;
  // Frames read from the file so far, and how many of them did not follow the frame read before
  // (a seek); reading frame after frame never seeks.
  int Reads() const { return reads_; }
  int Seeks() const { return seeks_; }

 private:
  // The working bitmap of the description's size; false after message 31093.
  bool CreateFrameBitmap();

  // The read buffer is kept between frames: playback reads one frame after another.
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::size_t bufferSize_ = 0;
  int fd_ = -1;        // unbuffered, so a frame always comes from the file as it is now
  int held_ = 0;       // frame in the working bitmap, 0 = none
  int nextFrame_ = 0;  // frame that follows the last one read, 0 = none
  int reads_ = 0;
  int seeks_ = 0;
};
