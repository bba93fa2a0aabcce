#pragma once

// FS_Data: the description of an image sequence as its description file (".dsc", or ".par" in
// its place) gives it, and the readers of that file.
//
// A description is a tagged text file (see DSCParser) with the entries RESOLUTION ("640x480"),
// FRAMES/S, SEQUENCENAME, DATE, TRIGGER, FIRSTFRAME, FRAMES, UNITS, ASPECT and COLORSPACE
// ("RGB" or "GREY").

#include <cstdint>
#include <string>

struct FS_Data {
  static constexpr int kGreyColours = 256;
  static constexpr int kTrueColours = 16777216;
  static constexpr std::size_t kNameSize = 100;  // buffer sizes: texts keep size - 1 characters
  static constexpr std::size_t kDateSize = 40;

  std::int32_t colour = 0;  // 1 = RGB, 0 = grey
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t colours = kGreyColours;
  float framesPerSecond = 1.0f;
  std::string sequenceName;
  std::string date;
  float trigger = 0.0f;     // trigger frame or time, as written
  float firstFrame = 0.0f;  // number of the first frame, as written
  float units = 0.1f;       // length of one pixel in the sequence's units
  float aspect = 1.0f;      // pixel aspect ratio
  std::int32_t frames = 1;

  // Bits per pixel of the working bitmap: 24 for colour, 8 for grey.
  int BitsPerPixel() const { return colour == 1 ? 24 : 8; }

  // Stores units and aspect as the settings "DefaultUnits" and "DefaultRatio", the starting
  // values of the next sequence whose description lacks them. Does nothing without settings.
  void StoreDefaults() const;
};

// The settings "DefaultUnits" and "DefaultRatio" (1.0 each when missing, not positive, or when
// there are no settings).
float DefaultUnits();
float DefaultRatio();

// Reads the whole description of the sequence file seqPath: the file of the same name with
// extension "DSC" (any case), else "PAR". On failure shows the message (caption 31000: 31001 not
// found, 31005/31003 resolution missing or not positive, 31006/31004 rate missing or not
// positive, 31002/31007 units or aspect not positive, 31008 a frame larger than a bitmap can
// hold) and returns false; data keeps what was read before the error.
bool ReadDSC(FS_Data& data, const std::string& seqPath);

// The description of a sequence whose file carries its own size (videos, raw camera files): only
// the ".DSC" file is tried and a missing one is no error. Units and aspect come from it or from
// the settings; COLORSPACE and FRAMES/S are taken when present; a rate that is not positive
// becomes 1.0, units or an aspect that are not positive are replaced by the settings' values.
void ReadDSCPartial(FS_Data& data, const std::string& seqPath);
