#pragma once

// Clip video: frames appended one by one to "<base>-clipvideo.bld" beside an image sequence,
// with "<base>-clipvideo.dsc" rewritten after every frame, so the pair opens as a frame file.
// The base is the sequence's path without the extension of its file name.
//
// The frame file has no header: frame n is found only by its offset, so the clip must hold whole
// frames of one size and one colour space, or every frame after a fault is read wrong.

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

// What an append found and did.
struct ClipAppend {
  int frameCount = 0;          // frames the clip holds afterwards
  std::uint64_t bytesCut = 0;  // an incomplete last frame, cut off before the frame was added
  bool refused = false;        // the clip holds frames this one does not fit; nothing changed
};

// Appends the frame and rewrites the description.
// - A clip whose description gives another size or colour space (or none) is left as it is.
// - A frame file ending in an incomplete frame (a crash, a full disk, a copy stopped halfway)
//   is first cut back to its last whole frame, so the new frame lands at its place.
// - The frame is on disk before the description counts it; a frame that cannot be written or
//   counted is taken off again.
// False with a reason in *error when the frame was not added.
bool AppendClipFrame(const FileName& source, float framesPerSecond, const ClipFrame& frame,
                     ClipAppend& result, std::string* error);
