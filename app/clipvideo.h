#pragma once

// Clip video: frames appended one by one to "<base>-clipvideo.bld" beside an image sequence,
// with "<base>-clipvideo.dsc" rewritten after every frame, so the pair opens as a frame file.
// The base is the sequence's path without the extension of its file name.

#include <cstdint>
#include <string>

#include "base/filename.h"

struct ClipVideoFiles {
  std::string bld;
  std::string dsc;
};

ClipVideoFiles ClipVideoNames(const FileName& source);

struct ClipFrame {
  int width = 0;
  int height = 0;
  int bytesPerPixel = 1;               // 1 for grey frames, 3 for colour planes
  const std::uint8_t* data = nullptr;  // width x height x bytesPerPixel bytes
};

// Appends the frame and rewrites the description; false with a reason in *error when either
// file cannot be written. frameCount receives the frames the clip now holds.
bool AppendClipFrame(const FileName& source, float framesPerSecond, const ClipFrame& frame,
                     int& frameCount, std::string* error);
