#include "platform/video/picture_convert.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <thread>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/buffer.h>
#include <libavutil/frame.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

constexpr int kPaletteEntries = 256;
constexpr int kEntryBytes = 4;
// Pictures smaller than this are converted on one thread: handing them out costs more than it
// saves.
constexpr int kThreadedPixels = 1280 * 720;
// More threads than this gain little on a picture and lose on a busy machine, where each of them
// has to wait for its turn before the picture is complete.
constexpr int kMostThreads = 2;
// The scaler stores whole groups of pixels and writes past the end of a row (into the next one,
// or past the picture) unless the row is a multiple of this many pixels wide.
constexpr int kScalerGroup = 32;
// Rows of the scratch picture narrower rows are converted into: room for any such group.
constexpr int kScratchAlign = 64;
// The scaler's limit for a chroma position.
constexpr int kLargestChromaPosition = 512;
// The scaler's own default siting ("as the format suggests").
constexpr int kScalerDefaultSiting = -513;

int RowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

// The code a colour field of the frame holds, read as the plain integer it is stored as: a code
// outside the enumeration is no value of it.
template <typename Field>
int CodeOf(const Field& field) {
  static_assert(sizeof(Field) == sizeof(int));
  int code;
  std::memcpy(&code, &field, sizeof code);
  return code;
}

// The matrices FFmpeg's scaler has coefficients for (it numbers them as files do); every other
// code is BT.601, its default.
int ScalerMatrix(int code) {
  switch (code) {
    case AVCOL_SPC_BT709:
    case AVCOL_SPC_FCC:
    case AVCOL_SPC_BT470BG:
    case AVCOL_SPC_SMPTE170M:
    case AVCOL_SPC_SMPTE240M:
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL:
      return code;
    default:
      return SWS_CS_DEFAULT;
  }
}

bool FullRange(int rangeCode, int format) {
  if (rangeCode == AVCOL_RANGE_JPEG) return true;
  // The "j" formats are full range whatever the frame says.
  switch (format) {
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

// A chroma position along one axis in the scaler's units. `sited` is the location's position for
// chroma halved along the axis (0 on the first luma sample, 128 between two, 256 on the second);
// `shift` how many times the format halves chroma along it. Unsubsampled chroma sits on its luma
// sample whatever the file says.
int ScalerPosition(int sited, int shift) {
  if (shift == 0) return 0;
  const int centre = (128 << shift) - 128;  // the middle of the luma samples one chroma covers
  return std::min(sited * centre / 128, kLargestChromaPosition);
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

void KeepBuffer(void*, std::uint8_t*) {}

}  // namespace

ColourDescription ColourDescription::Of(const AVFrame& f) {
  ColourDescription d;
  d.matrix = ScalerMatrix(CodeOf(f.colorspace));
  d.fullRange = FullRange(CodeOf(f.color_range), f.format);
  const AVPixFmtDescriptor* format = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(f.format));
  const int location = CodeOf(f.chroma_location);
  int x = 0, y = 0;
  if (format && location > AVCHROMA_LOC_UNSPECIFIED && location < AVCHROMA_LOC_NB &&
      avcodec_enum_to_chroma_pos(&x, &y, static_cast<AVChromaLocation>(location)) == 0) {
    d.chromaX = ScalerPosition(x, format->log2_chroma_w);
    d.chromaY = ScalerPosition(y, format->log2_chroma_h);
  }
  return d;
}

PictureConverter::~PictureConverter() { sws_freeContext(scaler_); }

bool PictureConverter::PrepareScaler(const Setup& setup) {
  if (scaler_ && setup == setup_) return true;
  sws_freeContext(scaler_);
  scaler_ = sws_alloc_context();
  if (!scaler_) return false;
  const ColourDescription& colour = setup.colour;
  const auto siting = [](int position) {
    return position == ColourDescription::kUnknown ? kScalerDefaultSiting : position;
  };
  bool ok = av_opt_set_int(scaler_, "srcw", setup.width, 0) >= 0 &&
            av_opt_set_int(scaler_, "srch", setup.height, 0) >= 0 &&
            av_opt_set_int(scaler_, "src_format", setup.format, 0) >= 0 &&
            av_opt_set_int(scaler_, "dstw", setup.width, 0) >= 0 &&
            av_opt_set_int(scaler_, "dsth", setup.height, 0) >= 0 &&
            av_opt_set_int(scaler_, "dst_format", AV_PIX_FMT_BGR24, 0) >= 0 &&
            av_opt_set_int(scaler_, "sws_flags", SWS_BILINEAR, 0) >= 0 &&
            av_opt_set_int(scaler_, "src_h_chr_pos", siting(colour.chromaX), 0) >= 0 &&
            av_opt_set_int(scaler_, "src_v_chr_pos", siting(colour.chromaY), 0) >= 0 &&
            av_opt_set_int(scaler_, "threads", setup.threads, 0) >= 0 &&
            sws_init_context(scaler_, nullptr, nullptr) >= 0;
  if (ok && !(av_pix_fmt_desc_get(static_cast<AVPixelFormat>(setup.format))->flags &
              AV_PIX_FMT_FLAG_RGB)) {
    // The matrix and range of the frame; the output is full-range RGB.
    const int* coefficients = sws_getCoefficients(colour.matrix);
    const int* rgb = sws_getCoefficients(SWS_CS_DEFAULT);
    constexpr int kUnit = 1 << 16;  // brightness 0, contrast and saturation 1
    sws_setColorspaceDetails(scaler_, coefficients, colour.fullRange ? 1 : 0, rgb, 1, 0, kUnit,
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

// Runs the scaler into rows starting at `top`, `stride` bytes apart (negative: bottom-up). The
// frame interface is the one that spreads the work over the scaler's threads.
bool PictureConverter::Scale(const AVFrame& f, std::uint8_t* top, int stride) {
  AVFrame* out = av_frame_alloc();
  if (!out) return false;
  out->format = AV_PIX_FMT_BGR24;
  out->width = f.width;
  out->height = f.height;
  out->data[0] = top;
  out->linesize[0] = stride;
  // The rows stay the caller's: the scaler only needs a reference to hold while it works.
  const std::size_t span = static_cast<std::size_t>(std::abs(stride)) * f.height;
  std::uint8_t* lowest =
      stride < 0 ? top + static_cast<std::ptrdiff_t>(stride) * (f.height - 1) : top;
  out->buf[0] = av_buffer_create(lowest, span, KeepBuffer, nullptr, 0);
  const bool ok = out->buf[0] && sws_scale_frame(scaler_, out, &f) >= 0;
  av_frame_free(&out);
  return ok;
}

// Converts into rows the scaler may write past: straight there when it will not, else through the
// scratch picture, whose rows are copied (their padding zeroed, so a picture is the same bytes
// however it was reached).
bool PictureConverter::ScaleInto(const AVFrame& f, std::uint8_t* top, int stride) {
  if (f.width % kScalerGroup == 0) return Scale(f, top, stride);
  const std::size_t row = static_cast<std::size_t>(f.width) * 3;
  const int roomy = static_cast<int>((row + 2 * kScratchAlign - 1) / kScratchAlign * kScratchAlign);
  scratch_.resize(static_cast<std::size_t>(roomy) * (f.height + 1));
  if (!Scale(f, scratch_.data(), roomy)) return false;
  const std::size_t padding = static_cast<std::size_t>(std::abs(stride)) - row;
  for (int y = 0; y < f.height; ++y) {
    std::uint8_t* to = top + static_cast<std::ptrdiff_t>(y) * stride;
    std::memcpy(to, scratch_.data() + static_cast<std::size_t>(y) * roomy, row);
    std::memset(to + row, 0, padding);
  }
  return true;
}

bool PictureConverter::Convert(const AVFrame& f, VideoPicture& picture) {
  picture.width = f.width;
  picture.height = f.height;
  if (f.format == AV_PIX_FMT_PAL8 || f.format == AV_PIX_FMT_GRAY8) {
    CopyIndexed(f, picture);
    return true;
  }
  const int available =
      threads_ > 0 ? threads_
                   : std::min(static_cast<int>(std::thread::hardware_concurrency()), kMostThreads);
  const int threads = f.width * f.height >= kThreadedPixels ? std::max(available, 1) : 1;
  if (!PrepareScaler({f.width, f.height, f.format, ColourDescription::Of(f), threads}))
    return false;
  picture.bitCount = 24;
  picture.stride = RowStride(f.width, 24);
  picture.direct =
      picture.directBits && picture.directWidth == f.width && picture.directHeight == f.height;
  if (!picture.direct) picture.pixels.resize(static_cast<std::size_t>(picture.stride) * f.height);
  return picture.direct ? ScaleInto(f, picture.directBits, picture.directStride)
                        : ScaleInto(f, picture.pixels.data(), picture.stride);
}

}  // namespace platform
