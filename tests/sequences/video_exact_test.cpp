// Frame N is the N-th picture a plain sequential decode shows, for files whose timestamps,
// key-frame flags or leading pictures mislead: every clip is read forwards, backwards, at random
// and in short runs from anywhere, and compared with that decode.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/video/video_file.h"
#include "video_clips.h"
#include "video_reference.h"

using platform::VideoError;
using platform::VideoFile;
using platform::VideoPicture;

namespace {

constexpr int kRandomReads = 200;
constexpr int kRuns = 30;
constexpr int kLongestRun = 8;
// Pictures a decoder may hold back before it shows the first (frame threads, reordering).
constexpr int kDecoderDelay = 16;

bool Run(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Ffmpeg(const std::string& arguments) {
  return "ffmpeg -nostdin -y -loglevel error " + arguments;
}

// Cuts the file at its AVI index chunk, as a recording that was never finished leaves it.
bool DropAviIndex(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), {}};
  const auto at = bytes.rfind("idx1");
  if (at == std::string::npos) return false;
  std::filesystem::resize_file(path, at);
  return true;
}

// How one kind of troublesome file is made from a test picture.
struct Clip {
  const char* name;
  const char* file;
  int frames;
  const char* options;     // encoder and container options of the first clip
  const char* remux;       // if set: options that copy the first clip into `file` (a cut)
  bool dropIndex = false;  // take the AVI index away afterwards
  const char* size = "64x48";
  const char* picture = "testsrc";  // the test picture; "testsrc2" changes in more places
};

void PrintTo(const Clip& c, std::ostream* os) { *os << c.name; }

std::string MakeClip(const seqtest::TempDir& dir, const Clip& c) {
  const std::string source = std::string(c.picture) + "=size=" + c.size + ":rate=25";
  if (!c.remux) {
    std::string path = videotest::MakeClip(dir, c.file, c.options, c.frames, source);
    if (!path.empty() && c.dropIndex && !DropAviIndex(path)) return {};
    return path;
  }
  const std::string first =
      videotest::MakeClip(dir, std::string("whole_") + c.file, c.options, c.frames, source);
  const std::string path = dir.File(c.file);
  if (first.empty() ||
      !Run(Ffmpeg(std::string(c.remux) + " -i '" + first + "' -an -c copy '" + path + "'")))
    return {};
  return path;
}

class VideoExactTest : public ::testing::TestWithParam<Clip> {};

TEST_P(VideoExactTest, EveryOrderOfReadingShowsTheSequentialPictures) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string clip = MakeClip(dir, GetParam());
  ASSERT_FALSE(clip.empty()) << "ffmpeg could not make the clip";
  const std::vector<std::uint64_t> reference = videotest::SequentialHashes(clip);
  ASSERT_GT(reference.size(), 10u);

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  const int frames = video.Info().frames;
  ASSERT_EQ(frames, static_cast<int>(reference.size()));

  VideoPicture picture;
  auto check = [&](int n, const char* order) {
    ASSERT_TRUE(video.ReadFrame(n, picture)) << order << " frame " << n;
    ASSERT_EQ(videotest::HashPicture(picture), reference[n]) << order << " frame " << n;
  };
  for (int n = 0; n < frames; ++n) check(n, "forwards");
  for (int n = frames - 1; n >= 0; --n) check(n, "backwards");
  std::mt19937 random(11);
  std::uniform_int_distribution<int> pick(0, frames - 1);
  // A jump decodes from the group's key frame on: never more than the longest group and what
  // the decoder holds back.
  const int group = video.LongestGroup();
  for (int k = 0; k < kRandomReads; ++k) {
    const int n = pick(random);
    video.ResetStats();
    check(n, "random");
    EXPECT_LE(video.Stats().packetsDecoded, group + kDecoderDelay) << "random frame " << n;
  }
  // Reading in order decodes the following pictures ahead: a jump back or ahead between runs, or
  // a frame left out inside one, must find nothing of that in its way.
  std::uniform_int_distribution<int> runLength(1, kLongestRun);
  for (int k = 0; k < kRuns; ++k) {
    int n = pick(random);
    for (int left = runLength(random); left > 0 && n < frames; --left) {
      check(n, "in runs");
      n += left == 3 ? 2 : 1;
    }
  }
  EXPECT_FALSE(video.ReadFrame(frames, picture));

  // The last frame as the first read after opening.
  VideoFile fresh;
  ASSERT_EQ(fresh.Open(clip), VideoError::kNone);
  ASSERT_TRUE(fresh.ReadFrame(frames - 1, picture));
  EXPECT_EQ(videotest::HashPicture(picture), reference[frames - 1]);
}

INSTANTIATE_TEST_SUITE_P(
    Files, VideoExactTest,
    ::testing::Values(
        // Cut without re-encoding: the decoder drops the packets before the cut point.
        Clip{"cut_mp4", "cut.mp4", 100, "-c:v libx264 -bf 3 -g 25", "-ss 1.7"},
        Clip{"mpeg2_mkv", "mpeg2.mkv", 50, "-c:v mpeg2video -g 12 -bf 2", nullptr},
        Clip{"open_gop_mpeg4_avi", "xvid.avi", 60, "-c:v mpeg4 -vtag XVID -g 12 -bf 2", nullptr},
        Clip{"h264_elementary", "raw.h264", 60,
             "-c:v libx264 -bf 2 -g 12 -x264-params open-gop=1 -f h264", nullptr},
        Clip{"ffv1_avi_without_index", "ffv1.avi", 50, "-c:v ffv1 -g 10", nullptr, true},
        Clip{"mpeg1_program_stream", "ps.mpg", 60, "-c:v mpeg1video -g 12 -bf 2 -f mpeg", nullptr},
        // Decoders that call every picture a key frame, delta pictures too: only the packets
        // say where a group starts (every 10th here, only the first for APNG).
        Clip{"qtrle_mov", "qtrle.mov", 40, "-c:v qtrle -g 10", nullptr, false, "64x48", "testsrc2"},
        Clip{"apng", "anim.apng", 30, "-plays 0 -f apng", nullptr, false, "64x48", "testsrc2"},
        Clip{"msvideo1_avi", "cram.avi", 40, "-c:v msvideo1 -g 10", nullptr, false, "64x48", "testsrc2"},
        Clip{"smc_mov", "smc.mov", 40, "-c:v smc -g 10", nullptr, false, "64x48", "testsrc2"},
        Clip{"flashsv2_flv", "screen.flv", 40, "-c:v flashsv2 -g 10", nullptr, false, "64x48", "testsrc2"},
        // Large pictures of a decoder without frame threads of its own: reading in order, each
        // is converted while the following ones are decoded ahead.
        Clip{"mpeg2_720p_converted_while_decoding", "hd.mkv", 20, "-c:v mpeg2video -bf 2 -g 6",
             nullptr, false, "1280x720"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

struct Tagged {
  const char* name;
  const char* range;  // "tv" limited, "pc" full
};

void PrintTo(const Tagged& t, std::ostream* os) { *os << t.name; }

class VideoColourTest : public ::testing::TestWithParam<Tagged> {};

// HD video is BT.709: converted with its own matrix and range it matches FFmpeg's conversion with
// the same interpolation; the BT.601 matrix would be far off.
TEST_P(VideoColourTest, PicturesAreConvertedWithTheStreamsMatrixAndRange) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string range = GetParam().range;
  const std::string clip = videotest::MakeClip(
      dir, "bt709.mkv",
      "-vf scale=out_color_matrix=bt709:out_range=" + range +
          " -c:v libx264 -pix_fmt yuv420p -colorspace bt709 -color_primaries bt709 "
          "-color_trc bt709 -color_range " +
          range,
      5, "testsrc2=size=64x48:rate=25");
  ASSERT_FALSE(clip.empty());
  const std::string scale = "scale=flags=bilinear";
  const std::string own = videotest::CommandLinePictures(dir, clip, scale);
  const std::string as601 =
      videotest::CommandLinePictures(dir, clip, scale + ":in_color_matrix=bt601");
  ASSERT_EQ(own.size(), 5u * 64 * 48 * 3);
  ASSERT_EQ(as601.size(), own.size());

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  VideoPicture picture;
  for (int n = 0; n < 5; ++n) {
    ASSERT_TRUE(video.ReadFrame(n, picture));
    ASSERT_EQ(picture.bitCount, 24);
    EXPECT_EQ(videotest::LargestDifference(picture, own, n), 0) << "frame " << n;
    EXPECT_GE(videotest::LargestDifference(picture, as601, n), 20) << "frame " << n;
  }
}

INSTANTIATE_TEST_SUITE_P(Ranges, VideoColourTest,
                         ::testing::Values(Tagged{"limited", "tv"}, Tagged{"full", "pc"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
