// Files users have that plain recordings are not: program streams, cuts with negative start
// times, phone videos with a rotation, a picture size that changes midway, a transport stream
// cut inside a packet. Each clip is made by the ffmpeg command and read forwards, backwards and
// at random against FFmpeg's own decode of it; a random read may cost one group of pictures and
// the decoder's delay, never more (frames patched in a cut file are decoded from the start once,
// when they are first read in order, and kept).

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <QCoreApplication>

#include "common/test_document.h"
#include "platform/video/video_file.h"
#include "sequences/avisequence.h"
#include "video_clips.h"
#include "video_reference.h"

using platform::VideoError;
using platform::VideoFile;
using platform::VideoPicture;

namespace {

constexpr int kRandomReads = 150;
// Packets a decoder may take in beyond the frame's own group before it gives the picture out.
constexpr int kDecoderDelay = 16;
// Mean difference, in levels, of a scaled picture from the command line's: the command line
// converts colours a little differently (a neighbouring frame differs by 0.4 more, a picture
// that is cropped or shifted instead of scaled by far more).
constexpr double kScaledDifference = 6.0;

bool Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Ffmpeg(const std::string& arguments) {
  return "ffmpeg -nostdin -y -loglevel error " + arguments;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A picture as rows of blue, green, red without padding.
using Rows = std::string;

Rows RowsOf(const VideoPicture& p) {
  Rows rows;
  const std::uint8_t* base = p.direct ? p.directBits : p.pixels.data();
  const int stride = p.direct ? p.directStride : p.stride;
  for (int y = 0; y < p.height; ++y)
    rows.append(reinterpret_cast<const char*>(base + static_cast<std::ptrdiff_t>(y) * stride),
                static_cast<std::size_t>(p.width) * 3);
  return rows;
}

// The picture turned `turns` quarters clockwise.
Rows TurnClockwise(const Rows& rows, int width, int height, int turns) {
  Rows in = rows;
  for (int t = 0; t < turns; ++t) {
    Rows out(in.size(), '\0');
    // Pixel (x, y) of a w x h picture goes to (h - 1 - y, x) of the h x w picture.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
          out[(static_cast<std::size_t>(x) * height + (height - 1 - y)) * 3 + c] =
              in[(static_cast<std::size_t>(y) * width + x) * 3 + c];
    in = out;
    std::swap(width, height);
  }
  return in;
}

// What a clip is compared with.
enum class Reference {
  kDecode,       // FFmpeg's library decode, converted as the reader converts
  kTurned,       // the same, turned upright by the test (`turns` quarters clockwise)
  kCommandLine,  // the same where the size is the first one's; else the ffmpeg command's
};

struct OddClip {
  const char* name;
  const char* file;
  // Shell commands that make the clip in folder {d}.
  std::vector<std::string> make;
  Reference reference = Reference::kDecode;
  int turns = 0;
  // Cut short: the decoder patches a last picture, and the frames decoded from it on are read by
  // decoding from the start, whatever the order.
  bool cut = false;
};

void PrintTo(const OddClip& c, std::ostream* os) { *os << c.name; }

std::string Expand(std::string command, const std::string& dir) {
  for (auto at = command.find("{d}"); at != std::string::npos; at = command.find("{d}"))
    command.replace(at, 3, dir);
  return command;
}

// The pictures FFmpeg's library decode shows, at the size and in the turn of the first; where
// the decoded picture had another size, the command line's picture.
struct Pictures {
  int width = 0;
  int height = 0;
  std::vector<Rows> rows;
  std::vector<bool> scaled;  // the command line's, and so converted a little differently
};

Pictures DecodeReference(const OddClip& c, const std::string& clip) {
  Pictures ref;
  videotest::ForEachSequentialPicture(clip, [&](const VideoPicture& p) {
    Rows rows = RowsOf(p);
    if (ref.rows.empty()) {
      ref.width = c.turns % 2 ? p.height : p.width;
      ref.height = c.turns % 2 ? p.width : p.height;
    }
    ref.rows.push_back(c.turns ? TurnClockwise(rows, p.width, p.height, c.turns) : rows);
    ref.scaled.push_back(false);
  });
  return ref;
}

// The command line's pictures, all of one size.
std::vector<Rows> CommandLinePictures(const seqtest::TempDir& dir, const std::string& clip,
                                      int width, int height) {
  std::vector<Rows> pictures;
  const std::string out = dir.File("reference.bgr");
  const std::string convert = "scale=flags=bilinear+full_chroma_int,format=bgr24";
  if (!Shell(Ffmpeg("-i '" + clip + "' -vf '" + convert + "' -f rawvideo '" + out + "'")))
    return pictures;
  const std::string bytes = ReadAll(out);
  const std::size_t size = static_cast<std::size_t>(width) * height * 3;
  for (std::size_t at = 0; size && at + size <= bytes.size(); at += size)
    pictures.push_back(bytes.substr(at, size));
  return pictures;
}

Pictures Reference(const seqtest::TempDir& dir, const OddClip& c, const std::string& clip) {
  Pictures ref = DecodeReference(c, clip);
  if (c.reference != Reference::kCommandLine) return ref;
  const std::vector<Rows> line = CommandLinePictures(dir, clip, ref.width, ref.height);
  if (line.size() != ref.rows.size()) return {};
  for (std::size_t n = 0; n < line.size(); ++n) {
    if (ref.rows[n].size() == line[n].size()) continue;
    ref.rows[n] = line[n];
    ref.scaled[n] = true;
  }
  return ref;
}

double MeanDifference(const Rows& a, const Rows& b) {
  if (a.size() != b.size() || a.empty()) return 256;
  double sum = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    sum += std::abs(static_cast<std::uint8_t>(a[i]) - static_cast<std::uint8_t>(b[i]));
  return sum / static_cast<double>(a.size());
}

class VideoOddFileTest : public ::testing::TestWithParam<OddClip> {};

TEST_P(VideoOddFileTest, EveryOrderShowsFfmpegsPicturesAtTheCostOfOneGroup) {
  SKIP_WITHOUT_FFMPEG();
  const OddClip& c = GetParam();
  seqtest::TempDir dir;
  for (const std::string& command : c.make)
    ASSERT_TRUE(Shell(Expand(command, dir.Path().string()))) << Expand(command, "");
  const std::string clip = dir.File(c.file);

  VideoFile video;
  ASSERT_EQ(video.Open(clip), VideoError::kNone);
  const int frames = video.Info().frames;
  const Pictures ref = Reference(dir, c, clip);
  ASSERT_GT(ref.rows.size(), 10u);
  ASSERT_EQ(frames, static_cast<int>(ref.rows.size()));
  EXPECT_EQ(video.Info().width, ref.width);
  EXPECT_EQ(video.Info().height, ref.height);

  // In order every picture is FFmpeg's; in any other order it is the picture read in order.
  VideoPicture picture;
  std::vector<Rows> inOrder;
  for (int n = 0; n < frames; ++n) {
    ASSERT_TRUE(video.ReadFrame(n, picture)) << "frame " << n;
    ASSERT_EQ(picture.width, ref.width) << "frame " << n;
    ASSERT_EQ(picture.height, ref.height) << "frame " << n;
    inOrder.push_back(RowsOf(picture));
    if (ref.scaled[n])
      ASSERT_LE(MeanDifference(inOrder.back(), ref.rows[n]), kScaledDifference) << "frame " << n;
    else
      ASSERT_TRUE(inOrder.back() == ref.rows[n]) << "frame " << n;
  }
  int patched = 0;
  for (int n = 0; n < frames; ++n) patched += video.IsPatched(n);
  EXPECT_EQ(patched > 0, c.cut) << patched << " frames patched";
  const int group = video.LongestGroup();
  auto check = [&](int n, const char* order) {
    video.ResetStats();
    ASSERT_TRUE(video.ReadFrame(n, picture)) << order << " frame " << n;
    ASSERT_TRUE(RowsOf(picture) == inOrder[n]) << order << " frame " << n;
    EXPECT_LE(video.Stats().packetsDecoded, group + kDecoderDelay) << order << " frame " << n;
  };
  for (int n = frames - 1; n >= 0; --n) check(n, "backwards");
  std::mt19937 random(5);
  std::uniform_int_distribution<int> pick(0, frames - 1);
  for (int k = 0; k < kRandomReads; ++k) check(pick(random), "random");
  EXPECT_FALSE(video.ReadFrame(frames, picture));

  // The last frame as the first read after opening, while the frames are still being counted:
  // it is not ready before the count has ended (nor, when patched, before its decode from the
  // start beside the reading), the read waits for it, and the count ends with FFmpeg's. A
  // patched frame is then kept: reading it decodes nothing more.
  VideoFile fresh;
  fresh.HoldCountAt(25);
  ASSERT_EQ(fresh.Open(clip, VideoFile::Indexing::kInBackground), VideoError::kNone);
  EXPECT_FALSE(fresh.FrameReady(frames - 1));
  fresh.HoldCountAt(-1);
  ASSERT_TRUE(fresh.ReadFrame(frames - 1, picture));
  EXPECT_TRUE(RowsOf(picture) == inOrder[frames - 1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!(fresh.TakeFinishedIndex() || fresh.IndexComplete()) || !fresh.BackgroundDone()) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_EQ(fresh.Info().frames, frames);
  EXPECT_TRUE(fresh.FrameReady(frames - 1));
  for (int n = frames - 1; n >= 0; --n) {
    if (!fresh.IsPatched(n)) continue;
    fresh.ResetStats();
    ASSERT_TRUE(fresh.ReadFrame(n, picture));
    EXPECT_TRUE(RowsOf(picture) == inOrder[n]) << "patched frame " << n;
    EXPECT_EQ(fresh.Stats().packetsDecoded, 0) << "patched frame " << n << " was not kept";
  }
}

// A clip of the test picture; pictures of the larger size span several packets of a program or
// transport stream (the busier picture "testsrc2" all the more).
std::string Make(const std::string& arguments, const std::string& size = "64x48",
                 const std::string& picture = "testsrc") {
  return Ffmpeg("-f lavfi -i " + picture + "=size=" + size + ":rate=25 " + arguments);
}

// A clip copied into {d}/`to` with input and output options (a cut, a changed header).
std::string Copy(const std::string& from, const std::string& input, const std::string& to,
                 const std::string& output) {
  return Ffmpeg(input + " -i '{d}/" + from + "' -c copy " + output + " '{d}/" + to + "'");
}

// Two clips of different picture sizes one after the other, as a camera reconfigured during the
// recording writes them.
std::vector<std::string> SizeChange(const std::string& options, const std::string& ext) {
  return {Make("-frames:v 30 " + options + " '{d}/a" + ext + "'"),
          Make("-frames:v 30 " + options + " '{d}/b" + ext + "'", "80x64"),
          "(cat '{d}/a" + ext + "' '{d}/b" + ext + "' > '{d}/change" + ext + "')"};
}

INSTANTIATE_TEST_SUITE_P(
    Files, VideoOddFileTest,
    ::testing::Values(
        OddClip{"mpeg2_program_stream",
                "ps.mpg",
                {Make("-frames:v 60 -c:v mpeg2video -b:v 6M -g 15 -bf 2 -f mpeg '{d}/ps.mpg'",
                      "720x576", "testsrc2")}},
        OddClip{"negative_start_mkv",
                "cut.mkv",
                {Make("-frames:v 100 -c:v libx264 -bf 2 -g 25 '{d}/whole.mkv'"),
                 Copy("whole.mkv", "-ss 1.7", "cut.mkv", "-avoid_negative_ts disabled")}},
        // This FFmpeg writes the tag 90 as a matrix the command line turns a quarter
        // anticlockwise, and 270 as one it turns a quarter clockwise.
        OddClip{"rotated_90_mp4",
                "turned.mp4",
                {Make("-frames:v 30 -c:v libx264 -bf 2 -g 10 '{d}/upright.mp4'"),
                 Copy("upright.mp4", "", "turned.mp4", "-metadata:s:v:0 rotate=90")},
                Reference::kTurned,
                3},
        OddClip{"rotated_270_mov",
                "turned.mov",
                {Make("-frames:v 30 -c:v libx264 -bf 2 -g 10 '{d}/upright.mov'"),
                 Copy("upright.mov", "", "turned.mov", "-metadata:s:v:0 rotate=270")},
                Reference::kTurned,
                1},
        OddClip{"size_change_ts", "change.ts",
                SizeChange("-c:v libx264 -bf 2 -g 10 -f mpegts", ".ts"), Reference::kCommandLine},
        OddClip{"size_change_h264", "change.h264",
                SizeChange("-c:v libx264 -bf 2 -g 10 -f h264", ".h264"), Reference::kCommandLine},
        OddClip{"ts_cut_inside_a_packet",
                "cut.ts",
                {Make("-frames:v 60 -c:v mpeg2video -bf 2 -g 12 -f mpegts '{d}/cut.ts'", "352x288"),
                 "truncate -s -1000 '{d}/cut.ts'"},
                Reference::kDecode,
                0,
                true},
        // H.264 patches the cut picture with motion its decoder keeps from earlier pictures: the
        // cut in the last picture decoded, and in the one before it.
        OddClip{"h264_ts_cut_inside_the_last_packet",
                "cut.ts",
                {Make("-frames:v 60 -c:v libx264 -bf 2 -g 12 -f mpegts '{d}/cut.ts'", "352x288",
                      "testsrc2"),
                 "truncate -s -600 '{d}/cut.ts'"},
                Reference::kDecode,
                0,
                true},
        OddClip{"h264_ts_cut_inside_an_earlier_packet",
                "cut.ts",
                {Make("-frames:v 60 -c:v libx264 -bf 2 -g 25 -f mpegts '{d}/cut.ts'", "352x288",
                      "testsrc2"),
                 "truncate -s -2000 '{d}/cut.ts'"},
                Reference::kDecode,
                0,
                true}),
    [](const auto& info) { return std::string(info.param.name); });

// A transport stream cut at an open group: its first packets after the key frame are pictures
// that refer to the group cut away, and the decoder shows none of them. The count running beside
// the program finds that; the sequence then holds the frames the decoder shows and the document's
// frame is brought within them.
TEST(VideoCountTest, TheSequenceTakesTheCountOnceItEnds) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string d = dir.Path().string();
  ASSERT_TRUE(
      Shell(Expand(Make("-frames:v 100 -c:v mpeg2video -g 12 -bf 2 -f mpegts '{d}/m.ts'"), d)));
  ASSERT_TRUE(Shell(Expand(Copy("m.ts", "-ss 1.0", "cut.ts", ""), d)));
  const std::string clip = dir.File("cut.ts");
  const int shown = static_cast<int>(videotest::SequentialHashes(clip).size());

  TestDocument doc;
  auto* seq =
      static_cast<AviFrameSequence*>(doc.AddFrameSequence(new AviFrameSequence(clip, &doc)));
  seq->Video().HoldCountAt(20);  // the count must still run when the promise is looked at
  ASSERT_TRUE(seq->Open());
  const int promised = seq->Frames();
  ASSERT_GT(promised, shown) << "the clip must promise frames the decoder does not show";
  doc.EvGoToFrame(promised);
  ASSERT_EQ(doc.CurrentFrame(), promised);
  seq->Video().HoldCountAt(-1);

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!seq->FramesCounted() && std::chrono::steady_clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  ASSERT_TRUE(seq->FramesCounted());
  EXPECT_EQ(seq->Frames(), shown);
  EXPECT_EQ(doc.CurrentFrame(), shown);
  EXPECT_NE(seq->ReadFrame(shown, true), nullptr);
  EXPECT_EQ(seq->ReadFrame(shown + 1, true), nullptr) << "promised, but not there";
}

// The count ends while the sequence opens, after the file took what it had (here: while the
// properties are asked for); the sequence still takes it.
TEST(VideoCountTest, ACountEndingWhileTheSequenceOpensIsTakenToo) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string clip = videotest::MakeClip(dir, "c.mp4", "-c:v libx264 -bf 2 -g 10", 60);
  ASSERT_FALSE(clip.empty());

  TestDocument doc;
  auto* seq =
      static_cast<AviFrameSequence*>(doc.AddFrameSequence(new AviFrameSequence(clip, &doc)));
  seq->Video().HoldCountAt(20);
  bool endedWhileOpening = false;
  SetAviPropertiesRunner([&](AviFrameSequence& opening, auto&) {
    opening.Video().HoldCountAt(-1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!opening.Video().BackgroundDone() && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    endedWhileOpening = opening.Video().BackgroundDone() && !opening.FramesCounted();
    return 0;
  });
  const bool opened = seq->Open();
  SetAviPropertiesRunner(nullptr);
  ASSERT_TRUE(opened);
  ASSERT_TRUE(endedWhileOpening);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!seq->FramesCounted() && std::chrono::steady_clock::now() < deadline)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_TRUE(seq->FramesCounted());
  EXPECT_EQ(seq->Frames(), 60);
}

// Closing while the frames are counted stops the count at once.
TEST(VideoCountTest, ClosingStopsTheCount) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string d = dir.Path().string();
  ASSERT_TRUE(Shell(Expand(
      Make("-frames:v 2000 -c:v libx264 -preset ultrafast -g 50 '{d}/long.mp4'", "320x240"), d)));
  VideoFile video;
  ASSERT_EQ(video.Open(dir.File("long.mp4"), VideoFile::Indexing::kInBackground),
            VideoError::kNone);
  EXPECT_EQ(video.Info().frames, 2000);
  VideoPicture picture;
  EXPECT_TRUE(video.ReadFrame(0, picture));
  ASSERT_FALSE(video.IndexComplete()) << "the count must still run";
  const auto t0 = std::chrono::steady_clock::now();
  video.Close();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
  EXPECT_FALSE(video.ReadFrame(0, picture));
}

// Asking whether a frame is ready never waits for the count: a frame it has not reached is not
// ready, and once the count gets there it reads the picture a decode from the start shows.
TEST(VideoCountTest, AFrameBeyondTheCountIsReadyOnceTheCountGetsThere) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string clip = videotest::MakeClip(dir, "c.mp4", "-c:v libx264 -bf 2 -g 10", 60);
  ASSERT_FALSE(clip.empty());
  const std::vector<std::uint64_t> shown = videotest::SequentialHashes(clip);
  ASSERT_EQ(shown.size(), 60u);

  TestDocument doc;
  auto* seq =
      static_cast<AviFrameSequence*>(doc.AddFrameSequence(new AviFrameSequence(clip, &doc)));
  seq->Video().HoldCountAt(20);
  ASSERT_TRUE(seq->Open());
  ASSERT_EQ(seq->Frames(), 60);
  EXPECT_TRUE(seq->FrameReady(1));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_FALSE(seq->FrameReady(30));
  EXPECT_FALSE(seq->FrameReady(60));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(500));
  EXPECT_TRUE(seq->FrameReady(61)) << "a number beyond the frames never waits";
  EXPECT_FALSE(seq->FramesCounted());

  seq->Video().HoldCountAt(-1);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!seq->FrameReady(60) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_TRUE(seq->FrameReady(60));
  ASSERT_NE(seq->ReadFrame(60, true), nullptr);
  VideoPicture picture;
  ASSERT_TRUE(seq->Video().ReadFrame(59, picture));
  EXPECT_EQ(videotest::HashPicture(picture), shown[59]);
}

}  // namespace
