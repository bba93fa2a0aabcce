#pragma once

// AviFrameSequence: an image sequence read from a video file (AVI with any codec the decoder
// library knows, and MOV, MP4, WMV, MKV). Frames are exact: frame n is the same picture however it
// is reached. Interlaced video can be read field by field: each stream frame then gives two
// sequence frames.
//
// Files the decoder cannot open go through the frame server when its library is installed: a
// one-line script that opens the video is written beside the settings and opened instead.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/video/video_file.h"
#include "sequences/aviprops.h"
#include "sequences/framesequence.h"

class AviFrameSequence;
class QTimer;

// Runs the "AVI Properties" dialog on the model; returns 1 for OK. The program installs the
// dialog; without one the choices keep their defaults (24-bit colour, whole frames, no offset).
using AviPropertiesRunner = std::function<int(AviFrameSequence&, AviPropertiesModel&)>;
void SetAviPropertiesRunner(AviPropertiesRunner runner);

// The frame server's library, looked up by this name.
inline constexpr const char* kFrameServerLibrary = "libavisynth.so";
// The frame server's one-line script that opens the video (no line end).
std::string FrameServerScriptLine(const std::string& videoPath);
// Where that script goes: the settings folder, else the temporary folder; name of the video with
// extension "avs".
std::string FrameServerScriptPath(const std::string& videoPath);

class AviFrameSequence : public FrameSequence {
 public:
  AviFrameSequence(std::string_view name, Document* document);
  ~AviFrameSequence() override;

  bool Open() override { return OpenVideo(); }
  // Opens the video, fills the description, runs the properties dialog and reads frame 1. False
  // after a message (caption 31035: 31036, 31037, 31038 by the reason, 31039 a declared frame
  // size beyond what the reader takes, 31040 no format, 31041 no decoder or no frame decodes,
  // 31048 frames too large for a working bitmap, 31049 out of memory). No bitmap is made before
  // the first frame has decoded.
  //
  // A video whose pictures depend on one another opens before its frames are all counted: the
  // count goes on beside the program, shown in the status bar, and the sequence holds the frames
  // the packets promise until it ends (a frame not counted yet is read by waiting for the count).
  // Then the exact count is taken; should it differ, the document is shown the frame again.
  // Closing stops the count.
  bool OpenVideo();
  // Whether the frames are all counted.
  bool FramesCounted() const { return video_.IndexComplete(); }
  // Takes the count once it has ended and shows its progress meanwhile, then the progress of
  // decoding a cut file's damaged frames from its start; the sequence's timer calls it while
  // that work runs.
  void PollFrameCount();
  void Close() override;
  // Without an open video: "FrameSequence has not been opened!". A frame that cannot be decoded
  // is reported once per sequence ("Could not read frame from avi stream!"); the working bitmap
  // then keeps the last good picture. A frame the packets promised and the count found missing
  // cannot be read (null): work that took the promise for its end (a tracking run) stops there
  // instead of reading frame 1.
  const CDIB* ReadFrame(int number, bool force = false) override;
  bool IsCurrentFrame(int number) const override { return number == held_; }
  bool FrameReady(int number) const override;
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return true; }
  // Colour on a palette display, and a stream of more than 8 bits per pixel.
  bool NeedsColorReduction() const override;
  void PreparePalette() override { PreparePaletteDefault(); }

  // The stream frame `position` (1-based, before any start offset) as a 24-bit bitmap, for the
  // preview of the properties dialog.
  bool DecodePreview(int position, CDIB& out);

  const platform::VideoStreamInfo& StreamInfo() const { return video_.Info(); }
  const platform::VideoFile& Video() const { return video_; }
  platform::VideoFile& Video() { return video_; }
  AviFieldSettings fields;
  // The script written for the frame server, empty when none.
  const std::string& ScriptName() const { return scriptName_; }
  // Overridable for tests.
  std::string frameServerLibrary = kFrameServerLibrary;

 private:
  bool OpenVideoChecked();
  // The sequence's frames from the stream's (fields and start offset applied).
  int SequenceFrames(int streamFrames) const;
  // Takes the finished count as the sequence's frames.
  void TakeFrameCount();
  // The stream frame (0-based) sequence frame `number` comes from.
  int StreamPosition(int number) const;
  // Makes the working bitmaps for the chosen size and depth; false after message 31048.
  bool CreateBitmaps();
  // Decodes stream frame `position` (0-based) into picture_; reports the first failure.
  bool Decode(int position);
  void ReportDecodeFailure();

  platform::VideoFile video_;
  platform::VideoPicture picture_;
  CDIB fullFrame_;  // the last decoded full frame, when reading fields
  int decodedPosition_ = -1;
  int held_ = 0;
  bool decodeFailureShown_ = false;
  std::string scriptName_;
  std::unique_ptr<QTimer> countTimer_;
  int promisedFrames_ = 0;  // the sequence's frames as the packets promised them
};
