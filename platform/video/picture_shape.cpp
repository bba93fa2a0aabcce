#include "platform/video/picture_shape.h"

#include <cmath>
#include <cstring>
#include <utility>

extern "C" {
#include <libavutil/display.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

int RowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

bool Near(double angle, double quarter) { return std::fabs(angle - quarter) < 1.0; }

}  // namespace

Orientation OrientationOf(const std::int32_t* m) {
  Orientation o;
  if (!m) return o;
  // The angle players turn the picture by, clockwise, in [0, 360).
  double theta = -std::round(av_display_rotation_get(m));
  theta -= 360.0 * std::floor(theta / 360.0 + 0.9 / 360.0);
  if (Near(theta, 90)) {
    // A quarter clockwise; with the matrix mirrored, the transpose alone.
    o.transpose = true;
    o.flipX = m[3] <= 0;
  } else if (Near(theta, 180)) {
    o.flipX = m[0] < 0;
    o.flipY = m[4] < 0;
  } else if (Near(theta, 270)) {
    // A quarter anticlockwise; mirrored, the transpose across the other diagonal.
    o.transpose = true;
    o.flipY = true;
    o.flipX = m[3] < 0;
  } else if (Near(theta, 0) || Near(theta, 360)) {
    o.flipY = m[4] < 0;
  }
  return o;
}

PictureShaper::~PictureShaper() { sws_freeContext(scaler_); }

void PictureShaper::Setup(int width, int height, Orientation orientation) {
  width_ = width;
  height_ = height;
  orientation_ = orientation;
}

bool PictureShaper::NeedsWork(int width, int height) const {
  return !orientation_.Upright() || width != width_ || height != height_;
}

bool PictureShaper::Scale(const VideoPicture& in) {
  if (in.bitCount != 24) return false;
  // Bicubic, as the command line scales a stream whose size changed.
  scaler_ = sws_getCachedContext(scaler_, in.width, in.height, AV_PIX_FMT_BGR24, width_, height_,
                                 AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr, nullptr, nullptr);
  if (!scaler_) return false;
  scaled_.width = width_;
  scaled_.height = height_;
  scaled_.bitCount = 24;
  scaled_.stride = RowStride(width_, 24);
  scaled_.pixels.resize(static_cast<std::size_t>(scaled_.stride) * height_);
  const std::uint8_t* src[4] = {in.pixels.data(), nullptr, nullptr, nullptr};
  const int srcStride[4] = {in.stride, 0, 0, 0};
  std::uint8_t* dst[4] = {scaled_.pixels.data(), nullptr, nullptr, nullptr};
  const int dstStride[4] = {scaled_.stride, 0, 0, 0};
  return sws_scale(scaler_, src, srcStride, 0, in.height, dst, dstStride) == height_;
}

void PictureShaper::Turn(const VideoPicture& in, VideoPicture& out) const {
  const int bytes = in.bitCount / 8;
  out.bitCount = in.bitCount;
  out.colorTable = in.colorTable;
  out.width = orientation_.transpose ? in.height : in.width;
  out.height = orientation_.transpose ? in.width : in.height;
  out.stride = RowStride(out.width, out.bitCount);
  out.direct = out.bitCount == 24 && out.directBits && out.directWidth == out.width &&
               out.directHeight == out.height;
  if (!out.direct) out.pixels.resize(static_cast<std::size_t>(out.stride) * out.height);
  std::uint8_t* base = out.direct ? out.directBits : out.pixels.data();
  const std::ptrdiff_t stride = out.direct ? out.directStride : out.stride;
  for (int y = 0; y < in.height; ++y) {
    const std::uint8_t* row = in.pixels.data() + static_cast<std::size_t>(y) * in.stride;
    for (int x = 0; x < in.width; ++x) {
      int dx = x, dy = y;
      if (orientation_.transpose) std::swap(dx, dy);
      if (orientation_.flipX) dx = out.width - 1 - dx;
      if (orientation_.flipY) dy = out.height - 1 - dy;
      std::memcpy(base + dy * stride + static_cast<std::ptrdiff_t>(dx) * bytes, row + x * bytes,
                  bytes);
    }
  }
}

bool PictureShaper::Shape(const VideoPicture& in, VideoPicture& out) {
  const VideoPicture* source = &in;
  if (in.width != width_ || in.height != height_) {
    if (!Scale(in)) return false;
    source = &scaled_;
  }
  Turn(*source, out);
  return true;
}

}  // namespace platform
