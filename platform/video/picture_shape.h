#pragma once

// The shape a video's pictures are shown in, whatever shape they are decoded in: upright as the
// stream's display matrix says (a phone records lying on its side and tells players to turn the
// picture), and at one picture size throughout (a stream whose size changes midway is scaled to
// its first size, as FFmpeg's command line scales it).

#include <cstdint>

#include "platform/video/picture_convert.h"

struct SwsContext;

namespace platform {

// A turn of the picture by quarters and mirrors: first the axes are swapped (the transpose),
// then the picture is mirrored left to right, then top to bottom.
struct Orientation {
  bool transpose = false;
  bool flipX = false;
  bool flipY = false;

  bool Upright() const { return !transpose && !flipX && !flipY; }
  bool operator==(const Orientation&) const = default;
};

// What a 3x3 display matrix (16.16 fixed point, as stored with a stream) asks of a player, as
// FFmpeg's command line reads it; upright for none, and for angles that are no quarter turn.
Orientation OrientationOf(const std::int32_t* matrix);

class PictureShaper {
 public:
  PictureShaper() = default;
  ~PictureShaper();
  PictureShaper(const PictureShaper&) = delete;
  PictureShaper& operator=(const PictureShaper&) = delete;

  // Pictures are decoded at width x height (before turning) and turned by `orientation`.
  void Setup(int width, int height, Orientation orientation);
  // The size pictures are shown at.
  int ShownWidth() const { return orientation_.transpose ? height_ : width_; }
  int ShownHeight() const { return orientation_.transpose ? width_ : height_; }
  // Whether `picture` (as converted) needs work before it is shown.
  bool NeedsWork(int width, int height) const;
  // Scales `in` to the decoded size and turns it into `out` (into out's direct bitmap when it has
  // the shown size); false when an 8-bit picture would have to be scaled or the scaler fails.
  bool Shape(const VideoPicture& in, VideoPicture& out);

 private:
  bool Scale(const VideoPicture& in);
  void Turn(const VideoPicture& in, VideoPicture& out) const;

  int width_ = 0;
  int height_ = 0;
  Orientation orientation_;
  SwsContext* scaler_ = nullptr;
  VideoPicture scaled_;
};

}  // namespace platform
