#pragma once

// Frame: the image a window shows for an image sequence: a private copy of the sequence's
// current frame, colour-corrected with the bitmap's own factors and passed through the filter
// chosen for the window. Tracking and clip videos take the shown image out of it as planes.

#include <cstdint>

#include "sequences/dib.h"

class FrameSequence;

class Frame {
 public:
  explicit Frame(FrameSequence* sequence);

  // (Re)creates the displayed bitmap with the size, depth and colour table of the sequence's
  // working bitmap.
  void SetupImage();
  // Copies frame (the bitmap ReadFrame returned) into the displayed bitmap, corrects its colours
  // (24 bits: the pixels; 8 bits: the colour table made from the sequence's), runs the filter
  // (24 bits: on the three colour planes; 8 bits of a grey sequence: on the pixel rows as they are
  // stored; 8-bit palette images are not filtered) and marks the image new for painting.
  // Returns the displayed bitmap, or null when frame is null.
  const CDIB* PrepareImage(const CDIB* frame);
  // The displayed image top line first: 24 bits as three planes of width x height bytes (red,
  // green, blue), 8 bits as one plane.
  void CopyToPlanes(std::uint8_t* buffer) const;

  CDIB& Image() { return image_; }
  const CDIB& Image() const { return image_; }
  FrameSequence* Sequence() const { return sequence_; }

 private:
  FrameSequence* sequence_;
  CDIB image_;
};

// Runs the bitmap's filter over it under the wait cursor: 24 bits on the three colour planes,
// 8 bits on the pixel rows as stored when filterEightBit (a grey image); nothing for "Original".
void FilterShownImage(CDIB& image, bool filterEightBit);
