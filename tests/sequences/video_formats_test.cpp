// Every pixel format shows the picture FFmpeg shows: each clip is read forwards, backwards and at
// random and every frame is compared with the ffmpeg command's bilinear conversion to blue, green,
// red, told the chroma siting the decoder reports for the clip.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

#include "platform/video/video_file.h"
#include "video_clips.h"
#include "video_reference.h"

using platform::ColourDescription;
using platform::PictureConverter;
using platform::VideoError;
using platform::VideoFile;
using platform::VideoPicture;

namespace {

constexpr int kFrames = 24;
constexpr int kRandomReads = 60;

struct Format {
  const char* name;
  const char* file;
  const char* size;
  const char* options;  // encoder options
  // The siting the scale filter is told: the decoder's chroma location of the clip, in the
  // filter's units for its subsampling ("" where the decoder does not say, or for 8-bit 4:2:0,
  // whose conversion has no siting).
  const char* siting;
};

void PrintTo(const Format& f, std::ostream* os) { *os << f.name; }

class VideoFormatTest : public ::testing::TestWithParam<Format> {};

TEST_P(VideoFormatTest, EveryOrderOfReadingShowsFfmpegsPicture) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const Format& f = GetParam();
  const std::string clip = videotest::MakeClip(dir, f.file, f.options, kFrames,
                                               std::string("testsrc2=size=") + f.size + ":rate=25");
  ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the clip";
  const std::string rows =
      videotest::CommandLinePictures(dir, clip, std::string("scale=flags=bilinear") + f.siting);

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  const int frames = video.Info().frames;
  ASSERT_EQ(frames, kFrames);
  const std::size_t pictureBytes =
      static_cast<std::size_t>(video.Info().width) * video.Info().height * 3;
  ASSERT_EQ(rows.size(), pictureBytes * frames);

  VideoPicture picture;
  auto check = [&](int n, const char* order) {
    ASSERT_TRUE(video.ReadFrame(n, picture)) << order << " frame " << n;
    ASSERT_EQ(picture.bitCount, 24);
    ASSERT_EQ(videotest::LargestDifference(picture, rows, n), 0) << order << " frame " << n;
  };
  for (int n = 0; n < frames; ++n) check(n, "forwards");
  for (int n = frames - 1; n >= 0; --n) check(n, "backwards");
  std::mt19937 random(5);
  std::uniform_int_distribution<int> pick(0, frames - 1);
  for (int k = 0; k < kRandomReads; ++k) check(pick(random), "random");
}

// H.264 and HEVC decoders put 4:2:0 and 4:2:2 chroma on the left luma sample (between the lines
// for 4:2:0); ProRes, VP9 and FFV1 do not say.
constexpr const char* kLeft420 = ":in_h_chr_pos=0:in_v_chr_pos=128";
constexpr const char* kLeft422 = ":in_h_chr_pos=0:in_v_chr_pos=0";

INSTANTIATE_TEST_SUITE_P(
    Clips, VideoFormatTest,
    ::testing::Values(
        Format{"h264_10bit_420", "h264_10.mkv", "64x48",
               "-c:v libx264 -pix_fmt yuv420p10le -g 10 -bf 2", kLeft420},
        Format{"hevc_10bit_420", "hevc_10.mkv", "64x48",
               "-c:v libx265 -pix_fmt yuv420p10le -x265-params log-level=none:keyint=10", kLeft420},
        Format{"h264_10bit_422", "h264_422.mkv", "64x48", "-c:v libx264 -pix_fmt yuv422p10le -g 10",
               kLeft422},
        Format{"h264_444", "h264_444.mkv", "64x48", "-c:v libx264 -pix_fmt yuv444p -g 10", ""},
        Format{"vp9_10bit_444", "vp9.webm", "64x48",
               "-c:v libvpx-vp9 -pix_fmt yuv444p10le -deadline realtime -cpu-used 8 -g 10", ""},
        Format{"prores_422_cif", "prores.mov", "352x288", "-c:v prores_ks -profile:v 2", ""},
        Format{"prores_4444_alpha", "prores4444.mov", "64x48",
               "-c:v prores_ks -profile:v 4444 -pix_fmt yuva444p10le", ""},
        Format{"h264_10bit_420_cif", "h264_cif.mkv", "352x288",
               "-c:v libx264 -pix_fmt yuv420p10le -g 10", kLeft420},
        Format{"odd_size_420", "odd.mkv", "63x47", "-c:v ffv1 -pix_fmt yuv420p", ""},
        Format{"odd_size_vp9", "odd.webm", "63x47",
               "-c:v libvpx-vp9 -deadline realtime -cpu-used 8 -g 10", ""},
        Format{"odd_size_10bit_422", "odd422.avi", "63x47", "-c:v ffv1 -pix_fmt yuv422p10le", ""},
        Format{"ffv1_alpha_420", "alpha.mkv", "64x48", "-c:v ffv1 -pix_fmt yuva420p", ""},
        Format{"rgb_10bit_planar", "gbr.mkv", "64x48", "-c:v ffv1 -pix_fmt gbrp10le", ""},
        Format{"rgba_16bit", "rgba.mov", "64x48", "-c:v png -pix_fmt rgba64be", ""},
        Format{"grey_16bit", "grey.mkv", "64x48", "-c:v ffv1 -pix_fmt gray16le", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// A 10-bit 4:2:0 frame with a pattern in every plane, whose colour description may hold any
// code.
struct Frame {
  AVFrame* f = av_frame_alloc();
  Frame(int width, int height) {
    f->width = width;
    f->height = height;
    f->format = AV_PIX_FMT_YUV420P10LE;
    if (av_frame_get_buffer(f, 0) < 0) return;
    for (int plane = 0; plane < 3; ++plane) {
      const int shift = plane == 0 ? 0 : 1;
      for (int y = 0; y < height >> shift; ++y) {
        auto* row = reinterpret_cast<std::uint16_t*>(f->data[plane] + y * f->linesize[plane]);
        for (int x = 0; x < width >> shift; ++x)
          row[x] = static_cast<std::uint16_t>(64 + (x * (plane + 1) + 3 * y) % 876);
      }
    }
  }
  ~Frame() { av_frame_free(&f); }
  void SetCodes(int matrix, int range, int location) {
    std::memcpy(&f->colorspace, &matrix, sizeof matrix);
    std::memcpy(&f->color_range, &range, sizeof range);
    std::memcpy(&f->chroma_location, &location, sizeof location);
  }
};

// Codes a damaged file may carry (248, 224 and 39 come from fuzzed files) are never taken for
// an enumeration's values: the picture is the one of the stated defaults (BT.601, limited range,
// FFmpeg's siting).
TEST(VideoColourCodes, UnknownCodesFallBackToTheDefaults) {
  Frame frame(64, 48);
  PictureConverter converter;
  VideoPicture defaults;
  frame.SetCodes(AVCOL_SPC_UNSPECIFIED, AVCOL_RANGE_UNSPECIFIED, AVCHROMA_LOC_UNSPECIFIED);
  ASSERT_TRUE(converter.Convert(*frame.f, defaults));
  const ColourDescription stated = ColourDescription::Of(*frame.f);
  EXPECT_EQ(stated.matrix, SWS_CS_DEFAULT);
  EXPECT_FALSE(stated.fullRange);
  EXPECT_EQ(stated.chromaX, ColourDescription::kUnknown);

  for (int code : {248, 224, 39, -7, static_cast<int>(AVCOL_SPC_NB), 1 << 30}) {
    frame.SetCodes(code, code, code);
    EXPECT_EQ(ColourDescription::Of(*frame.f), stated) << "code " << code;
    VideoPicture picture;
    ASSERT_TRUE(converter.Convert(*frame.f, picture)) << "code " << code;
    EXPECT_EQ(picture.pixels, defaults.pixels) << "code " << code;
  }
  // A known code is used: BT.709, full range and chroma on the top-left luma sample differ.
  frame.SetCodes(AVCOL_SPC_BT709, AVCOL_RANGE_JPEG, AVCHROMA_LOC_TOPLEFT);
  const ColourDescription known = ColourDescription::Of(*frame.f);
  EXPECT_EQ(known.matrix, SWS_CS_ITU709);
  EXPECT_TRUE(known.fullRange);
  EXPECT_EQ(known.chromaX, 0);
  EXPECT_EQ(known.chromaY, 0);
  VideoPicture picture;
  ASSERT_TRUE(converter.Convert(*frame.f, picture));
  EXPECT_NE(picture.pixels, defaults.pixels);
}

// The conversion of a large picture spread over threads gives the picture of one thread.
TEST(VideoColourCodes, ThreadsDoNotChangeThePicture) {
  Frame frame(1280, 720);
  frame.SetCodes(AVCOL_SPC_BT709, AVCOL_RANGE_MPEG, AVCHROMA_LOC_LEFT);
  PictureConverter one, several;
  one.SetThreads(1);
  several.SetThreads(4);
  VideoPicture a, b;
  ASSERT_TRUE(one.Convert(*frame.f, a));
  ASSERT_TRUE(several.Convert(*frame.f, b));
  EXPECT_EQ(a.pixels, b.pixels);
}

}  // namespace

// The scaler stores whole groups of pixels; rows of any width written straight into the caller's
// bottom-up bitmap get the same picture, and nothing is written outside them.
TEST(VideoColourCodes, DirectRowsHoldThePictureAndNothingElse) {
  for (int width : {62, 63, 64, 719}) {
    Frame frame(width, 46);
    PictureConverter converter;
    VideoPicture own;
    ASSERT_TRUE(converter.Convert(*frame.f, own));
    constexpr int kGuard = 64;
    constexpr std::uint8_t kUntouched = 0xA5;
    const std::size_t image = static_cast<std::size_t>(own.stride) * own.height;
    std::vector<std::uint8_t> bitmap(kGuard + image + kGuard, kUntouched);
    VideoPicture direct;
    direct.directBits = bitmap.data() + kGuard + image - own.stride;  // the top row is stored last
    direct.directStride = -own.stride;
    direct.directWidth = width;
    direct.directHeight = 46;
    ASSERT_TRUE(converter.Convert(*frame.f, direct));
    ASSERT_TRUE(direct.direct);
    for (int y = 0; y < own.height; ++y)
      ASSERT_EQ(0, std::memcmp(direct.directBits - static_cast<std::ptrdiff_t>(y) * own.stride,
                               own.pixels.data() + static_cast<std::size_t>(y) * own.stride,
                               static_cast<std::size_t>(width) * 3))
          << "width " << width << " row " << y;
    for (int k = 0; k < kGuard; ++k) {
      ASSERT_EQ(bitmap[k], kUntouched) << "width " << width;
      ASSERT_EQ(bitmap[kGuard + image + k], kUntouched) << "width " << width;
    }
  }
}
