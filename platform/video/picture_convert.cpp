#include "platform/video/picture_convert.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

constexpr int kPaletteEntries = 256;
constexpr int kEntryBytes = 4;
// Chroma positions are given in 1/256 of a luma sample; unknown siting is taken to be the
// MPEG-2 one (left, vertically centred), as most cameras write it.
constexpr int kChromaLeft = 0;
constexpr int kChromaCentre = 128;

int RowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

bool FullRange(const AVFrame& f) {
  if (f.color_range == AVCOL_RANGE_JPEG) return true;
  // The "j" formats are full range whatever the frame says.
  switch (f.format) {
    case AV_PIX_FMT_YUVJ420P:
    case AV_PIX_FMT_YUVJ422P:
    case AV_PIX_FMT_YUVJ444P:
    case AV_PIX_FMT_YUVJ440P:
    case AV_PIX_FMT_YUVJ411P:
      return true;
    default:
      return false;
  }
}

void CopyIndexed(const AVFrame& f, VideoPicture& picture) {
  const bool palette = f.format == AV_PIX_FMT_PAL8;
  picture.bitCount = 8;
  picture.direct = false;
  picture.stride = RowStride(f.width, 8);
  picture.pixels.resize(static_cast<std::size_t>(picture.stride) * f.height);
  for (int y = 0; y < f.height; ++y)
    std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * picture.stride,
                f.data[0] + static_cast<std::ptrdiff_t>(y) * f.linesize[0], f.width);
  for (int i = 0; i < kPaletteEntries; ++i) {
    std::uint8_t* e = picture.colorTable.data() + kEntryBytes * i;
    if (palette) {
      std::uint32_t argb;
      std::memcpy(&argb, f.data[1] + kEntryBytes * i, kEntryBytes);
      e[0] = static_cast<std::uint8_t>(argb);
      e[1] = static_cast<std::uint8_t>(argb >> 8);
      e[2] = static_cast<std::uint8_t>(argb >> 16);
    } else {
      e[0] = e[1] = e[2] = static_cast<std::uint8_t>(i);
    }
    e[3] = 0;
  }
}

}  // namespace

PictureConverter::~PictureConverter() { sws_freeContext(scaler_); }

bool PictureConverter::PrepareScaler(const Setup& setup) {
  if (scaler_ && setup == setup_) return true;
  sws_freeContext(scaler_);
  scaler_ = sws_alloc_context();
  if (!scaler_) return false;
  // Full horizontal chroma interpolation: every pixel gets its own chroma, taken where the
  // stream sites it, instead of the chroma of its pair.
  const std::int64_t flags = SWS_BILINEAR | SWS_FULL_CHR_H_INT;
  bool ok = av_opt_set_int(scaler_, "srcw", setup.width, 0) >= 0 &&
            av_opt_set_int(scaler_, "srch", setup.height, 0) >= 0 &&
            av_opt_set_int(scaler_, "src_format", setup.format, 0) >= 0 &&
            av_opt_set_int(scaler_, "dstw", setup.width, 0) >= 0 &&
            av_opt_set_int(scaler_, "dsth", setup.height, 0) >= 0 &&
            av_opt_set_int(scaler_, "dst_format", AV_PIX_FMT_BGR24, 0) >= 0 &&
            av_opt_set_int(scaler_, "sws_flags", flags, 0) >= 0 &&
            av_opt_set_int(scaler_, "src_h_chr_pos", setup.chromaX, 0) >= 0 &&
            av_opt_set_int(scaler_, "src_v_chr_pos", setup.chromaY, 0) >= 0 &&
            sws_init_context(scaler_, nullptr, nullptr) >= 0;
  if (ok && !(av_pix_fmt_desc_get(static_cast<AVPixelFormat>(setup.format))->flags &
              AV_PIX_FMT_FLAG_RGB)) {
    // The matrix and range of the stream; the output is full-range RGB.
    const int* coefficients = sws_getCoefficients(setup.colorspace);
    const int* rgb = sws_getCoefficients(SWS_CS_DEFAULT);
    constexpr int kUnit = 1 << 16;  // brightness 0, contrast and saturation 1
    sws_setColorspaceDetails(scaler_, coefficients, setup.fullRange ? 1 : 0, rgb, 1, 0, kUnit,
                             kUnit);
  }
  if (!ok) {
    sws_freeContext(scaler_);
    scaler_ = nullptr;
    return false;
  }
  setup_ = setup;
  return true;
}

bool PictureConverter::Convert(const AVFrame& f, VideoPicture& picture) {
  picture.width = f.width;
  picture.height = f.height;
  if (f.format == AV_PIX_FMT_PAL8 || f.format == AV_PIX_FMT_GRAY8) {
    CopyIndexed(f, picture);
    return true;
  }
  Setup setup{f.width, f.height, f.format, f.colorspace, FullRange(f), kChromaLeft, kChromaCentre};
  if (f.chroma_location != AVCHROMA_LOC_UNSPECIFIED)
    avcodec_enum_to_chroma_pos(&setup.chromaX, &setup.chromaY, f.chroma_location);
  if (!PrepareScaler(setup)) return false;
  picture.bitCount = 24;
  picture.stride = RowStride(f.width, 24);
  picture.direct =
      picture.directBits && picture.directWidth == f.width && picture.directHeight == f.height;
  if (!picture.direct) picture.pixels.resize(static_cast<std::size_t>(picture.stride) * f.height);
  std::uint8_t* dst[4] = {picture.direct ? picture.directBits : picture.pixels.data(), nullptr,
                          nullptr, nullptr};
  int dstStride[4] = {picture.direct ? picture.directStride : picture.stride, 0, 0, 0};
  return sws_scale(scaler_, f.data, f.linesize, 0, f.height, dst, dstStride) == f.height;
}

}  // namespace platform
