#pragma once

// The choices of the "AVI Properties" dialog and its read-outs, free of widgets: colour depth,
// field (half-frame) extraction, the start position chosen on the preview, and the frame rate.

#include <string>

#include "sequences/fsdata.h"

// How a video's frames become the sequence's frames; kept by the video sequence.
struct AviFieldSettings {
  int halfFrameMode = 0;  // HalfFrameMode, sequences/frameconvert.h
  bool oddFieldFirst = false;
  int startOffset = 0;  // stream frames skipped at the start
};

class AviPropertiesModel {
 public:
  // The sequence's description as the video filled it, the stream's own rate and depth.
  AviPropertiesModel(const FS_Data& data, double streamRate, int streamBits);

  bool trueColour = true;  // 24 bit, else 8 bit grey
  int halfFrameMode = 0;
  bool oddFieldFirst = false;
  bool useStartPosition = false;
  int previewPosition = 1;  // 1..Frames()

  int Frames() const { return frames_; }
  double StreamRate() const { return streamRate_; }
  float Rate() const { return rate_; }
  // Takes a new frame rate; a rate that is not a positive finite number is refused (false).
  bool SetRate(double rate);

  // Read-outs as the dialog shows them.
  std::string SizeText() const;
  std::string DepthText() const;
  std::string FramesText() const;
  std::string RateText() const;
  std::string FirstFrameText() const;

  // OK: writes the choices into the description and the field settings.
  void Apply(FS_Data& data, AviFieldSettings& fields) const;

 private:
  bool Halves() const { return halfFrameMode != 0; }
  int width_;
  int height_;
  int frames_;
  float rate_;
  double streamRate_;
  int streamBits_;
};

// The frame-rate dialog's edit: the text as it reads it ("%f" of at most 20 characters); false
// for text that is no number, or a rate that is not positive.
bool ParseFrameRate(const std::string& text, double* rate);
