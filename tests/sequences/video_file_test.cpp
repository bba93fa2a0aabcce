#include "platform/video/video_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "video_clips.h"

using platform::VideoError;
using platform::VideoFile;
using platform::VideoPicture;

namespace {

struct Codec {
  const char* file;
  const char* options;
};

class VideoCodecTest : public ::testing::TestWithParam<Codec> {};

std::uint64_t HashPicture(const VideoPicture& p) {
  return videotest::Hash(p.pixels.data(), p.pixels.size()) ^
         (p.bitCount == 8 ? videotest::Hash(p.colorTable.data(), 1024) : 0);
}

// The pictures of the first frames of clip read in order, as the reference for reads in any
// other order; empty when the clip does not open or a frame is not read.
std::vector<std::uint64_t> HashesInOrder(const std::string& clip, int frames) {
  VideoFile video;
  if (video.Open(clip) != VideoError::kNone) return {};
  std::vector<std::uint64_t> hashes;
  VideoPicture p;
  for (int n = 0; n < frames; ++n) {
    if (!video.ReadFrame(n, p)) return {};
    hashes.push_back(HashPicture(p));
  }
  return hashes;
}

TEST_P(VideoCodecTest, RandomReadsEqualTheSequentialDecode) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const Codec& c = GetParam();
  std::string clip = videotest::MakeClip(dir, c.file, c.options);
  ASSERT_FALSE(clip.empty()) << "ffmpeg could not make " << c.file;

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().frames, 40);
  EXPECT_EQ(video.Info().width, 64);
  EXPECT_EQ(video.Info().height, 48);
  EXPECT_NEAR(video.Info().Rate(), 25.0, 1e-9);

  std::vector<std::uint64_t> hashes;
  VideoPicture picture;
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(video.ReadFrame(i, picture)) << "frame " << i;
    EXPECT_EQ(picture.width, 64);
    hashes.push_back(HashPicture(picture));
  }
  EXPECT_EQ(video.Stats().seeks, 1) << "stepping forwards must not seek";
  // The test picture changes every frame, so neighbouring frames differ.
  for (int i = 1; i < 40; ++i) EXPECT_NE(hashes[i], hashes[i - 1]) << "frame " << i;

  std::mt19937 random(7);
  std::uniform_int_distribution<int> pick(0, 39);
  int longest = video.LongestGroup();
  for (int k = 0; k < 100; ++k) {
    int n = k < 40 ? 39 - k : pick(random);  // backwards first, then anywhere
    video.ResetStats();
    ASSERT_TRUE(video.ReadFrame(n, picture)) << "frame " << n;
    EXPECT_EQ(HashPicture(picture), hashes[n]) << "frame " << n;
    EXPECT_LE(video.Stats().packetsDecoded, longest + 16) << "frame " << n;
  }
  EXPECT_FALSE(video.ReadFrame(40, picture));
  EXPECT_FALSE(video.ReadFrame(-1, picture));
}

INSTANTIATE_TEST_SUITE_P(Codecs, VideoCodecTest,
                         ::testing::Values(Codec{"raw.avi", "-c:v rawvideo -pix_fmt bgr24"},
                                           Codec{"mjpeg.avi", "-c:v mjpeg -q:v 3"},
                                           Codec{"huffyuv.avi", "-c:v huffyuv"},
                                           Codec{"mpeg4.avi", "-c:v mpeg4 -g 10"},
                                           Codec{"h264.avi", "-c:v libx264 -bf 2 -g 12"},
                                           Codec{"h264.mov", "-c:v libx264 -bf 2 -g 12"},
                                           Codec{"h264.mp4", "-c:v libx264 -bf 3 -g 15"},
                                           Codec{"h264.mkv", "-c:v libx264 -bf 2 -g 12"},
                                           Codec{"wmv2.wmv", "-c:v wmv2 -g 10"}),
                         [](const auto& info) {
                           std::string n = info.param.file;
                           for (char& ch : n)
                             if (ch == '.') ch = '_';
                           return n;
                         });

TEST(VideoFileTest, DvClipIsRead) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "dv.avi", "-pix_fmt yuv420p -c:v dvvideo", 6,
                                         "testsrc=size=720x576:rate=25");
  ASSERT_FALSE(clip.empty());
  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().frames, 6);
  VideoPicture a, b;
  ASSERT_TRUE(video.ReadFrame(5, a));
  ASSERT_TRUE(video.ReadFrame(0, b));
  ASSERT_TRUE(video.ReadFrame(5, b));
  EXPECT_EQ(a.pixels, b.pixels);
  EXPECT_EQ(a.bitCount, 24);
}

TEST(VideoFileTest, PaletteClipGivesIndicesAndItsColourTable) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "pal.avi", "-c:v rawvideo -pix_fmt pal8", 10);
  ASSERT_FALSE(clip.empty());
  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().bitsPerPixel, 8);
  VideoPicture p;
  ASSERT_TRUE(video.ReadFrame(3, p));
  EXPECT_EQ(p.bitCount, 8);
  EXPECT_EQ(p.stride, 64);
  // The test picture's top-left corner is white-ish, the table must hold real colours.
  int nonGrey = 0;
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* e = p.colorTable.data() + 4 * i;
    if (e[0] != e[1] || e[1] != e[2]) ++nonGrey;
    EXPECT_EQ(e[3], 0);
  }
  EXPECT_GT(nonGrey, 4);
}

// A file cut short still claims its old length in the header; the frames really there are read.
TEST(VideoFileTest, TruncatedFileReportsTheFramesItHolds) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "cut.avi", "-c:v rawvideo -pix_fmt bgr24");
  ASSERT_FALSE(clip.empty());
  auto size = std::filesystem::file_size(clip);
  // Keep the header and about half of the frames (9216 bytes each), cutting inside a frame.
  std::filesystem::resize_file(clip, size / 2 + 100);
  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().headerFrames, 40);
  EXPECT_GT(video.Info().frames, 10);
  EXPECT_LT(video.Info().frames, 22);
  VideoPicture p;
  EXPECT_TRUE(video.ReadFrame(video.Info().frames - 1, p));
  EXPECT_TRUE(video.ReadFrame(0, p));
}

// Without its index an AVI calls every frame a key frame; the real ones are found and random
// access still gives the right pictures.
TEST(VideoFileTest, AviWithoutIndexFindsItsKeyFrames) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  // No parser knows this codec's frame types, so only decoding finds its key frames.
  std::string clip = videotest::MakeClip(dir, "noidx.avi", "-c:v wmv2 -g 10");
  ASSERT_FALSE(clip.empty());
  const std::vector<std::uint64_t> hashes = HashesInOrder(clip, 40);
  ASSERT_EQ(hashes.size(), 40u);
  VideoPicture p;
  // Cut the file at its index chunk.
  std::string bytes;
  {
    std::ifstream in(clip, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto at = bytes.rfind("idx1");
  ASSERT_NE(at, std::string::npos);
  std::filesystem::resize_file(clip, at);

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().frames, 40);
  EXPECT_TRUE(video.Info().keyFramesFound);
  EXPECT_TRUE(video.IsKeyFrame(0));
  EXPECT_TRUE(video.IsKeyFrame(10));
  EXPECT_FALSE(video.IsKeyFrame(5));
  for (int n : {35, 3, 27, 12, 0, 39, 21}) {
    ASSERT_TRUE(video.ReadFrame(n, p));
    EXPECT_EQ(HashPicture(p), hashes[n]) << "frame " << n;
  }
}

// A stream whose timestamps start late still gives its first picture as frame 0.
TEST(VideoFileTest, StreamStartingLateGivesItsFirstFrameFirst) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string ref = videotest::MakeClip(dir, "ref.mp4", "-c:v libx264 -bf 2 -g 12", 20);
  std::string late =
      videotest::MakeClip(dir, "late.mkv", "-c:v libx264 -bf 2 -g 12 -output_ts_offset 3", 20);
  ASSERT_FALSE(ref.empty());
  ASSERT_FALSE(late.empty());
  VideoFile a, b;
  ASSERT_EQ(a.Open(ref), VideoError::kNone);
  ASSERT_EQ(b.Open(late), VideoError::kNone);
  EXPECT_NEAR(b.Info().startSeconds, 3.0, 0.05);
  EXPECT_EQ(b.Info().frames, 20);
  VideoPicture pa, pb;
  for (int n : {0, 19, 7, 0}) {
    ASSERT_TRUE(a.ReadFrame(n, pa));
    ASSERT_TRUE(b.ReadFrame(n, pb));
    EXPECT_EQ(pa.pixels, pb.pixels) << "frame " << n;
  }
}

// A file whose first picture the decoder cannot show is refused at its opening, never shown as a
// video whose every frame fails: pictures counted from their packets alone are tried on the
// decoder, counted ones must have shown one.
TEST(VideoFileTest, FilesWhoseFirstPictureDoesNotDecodeAreRefused) {
  SKIP_WITHOUT_FFMPEG();
  struct Case {
    const char* file;
    const char* options;
    int blanked;  // pictures blanked after making, from the first
    const char* codec;
  };
  const Case cases[] = {
      {"anim.webp", "-c:v libwebp_anim", 0, "webp"},  // FFmpeg reads it but does not decode it
      {"first_blank.avi", "-c:v mjpeg", 1, "mjpeg"},
      {"all_blank.avi", "-c:v mpeg4 -g 5", 10, "mpeg4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    seqtest::TempDir dir;
    const std::string clip = videotest::MakeClip(dir, c.file, c.options, 10);
    ASSERT_FALSE(clip.empty());
    for (int n = 0; n < c.blanked; ++n) ASSERT_TRUE(videotest::BlankAviPicture(clip, n));
    for (auto indexing : {VideoFile::Indexing::kWhole, VideoFile::Indexing::kInBackground}) {
      VideoFile video;
      EXPECT_EQ(video.Open(clip, indexing), VideoError::kUndecodable);
      EXPECT_FALSE(video.IsOpen());
      EXPECT_EQ(video.Info().codecName, c.codec);
    }
  }
}

// One damaged picture of a video of independent pictures keeps its place: that frame cannot be
// read, every other frame is the picture it was before the damage, in any order of reading.
TEST(VideoFileTest, ADamagedPictureKeepsItsPlace) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string clip = videotest::MakeClip(dir, "mjpeg.avi", "-c:v mjpeg", 12);
  ASSERT_FALSE(clip.empty());
  const std::vector<std::uint64_t> whole = HashesInOrder(clip, 12);
  ASSERT_EQ(whole.size(), 12u);
  VideoPicture p;
  constexpr int kDamaged = 5;
  ASSERT_TRUE(videotest::BlankAviPicture(clip, kDamaged));

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  EXPECT_EQ(video.Info().frames, 12);
  for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 11, 7, 6, 5, 4, 0, 9, 5}) {
    if (n == kDamaged) {
      EXPECT_FALSE(video.ReadFrame(n, p)) << "frame " << n;
      continue;
    }
    ASSERT_TRUE(video.ReadFrame(n, p)) << "frame " << n;
    EXPECT_EQ(HashPicture(p), whole[n]) << "frame " << n;
  }
}

TEST(VideoFileTest, OpenFailuresAreTold) {
  seqtest::TempDir dir;
  VideoFile video;
  EXPECT_EQ(video.Open(dir.File("missing.avi")), VideoError::kCannotOpen);
  std::string garbage(5000, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 7919 % 251);
  EXPECT_EQ(video.Open(dir.Write("garbage.avi", garbage)), VideoError::kBadFormat);
  EXPECT_EQ(video.Open(dir.Write("garbage.zzq", garbage)), VideoError::kNoHandler);
  EXPECT_FALSE(video.IsOpen());
  VideoPicture p;
  EXPECT_FALSE(video.ReadFrame(0, p));
}

}  // namespace
