// The readers of high-speed camera files on files written by the tests: layout, rates,
// reading by number, refusing damaged files, and frames beyond 4 GiB.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/message_service.h"
#include "platform/strings.h"
#include "raw_files.h"
#include "seq_test_util.h"
#include "sequences/sequences_ids.h"
#include "sequences/vr2sequence.h"
#include "sequences/vrawsequence.h"

namespace {

// Image row y (from the top), column x, channel c (0 blue, 1 green, 2 red for 24 bits) of a
// bitmap.
int Pixel(const CDIB* d, int x, int y, int c = 0) {
  const int bytes = d->BitCount() / 8;
  return d->Bits()[static_cast<std::size_t>(d->Height() - 1 - y) * d->RowBytes() + x * bytes + c];
}

std::string Frames(int frames, int bytes, int base) {
  std::string s;
  for (int f = 1; f <= frames; ++f)
    for (int i = 0; i < bytes; ++i) s += static_cast<char>(base * f + i);
  return s;
}

TEST(VrawFrameSequence, GreyFramesAreReadByNumberWithDoubledLines) {
  seqtest::TempDir dir;
  rawtest::Vraw v;
  v.width = 4;
  v.lines = 2;
  v.frames = 3;
  const std::string path = dir.Write("g.vraw", rawtest::VrawHeader(v) + Frames(3, 8, 20));
  VrawFrameSequence seq(path, nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_EQ(seq.Width(), 4);
  EXPECT_EQ(seq.Height(), 4);
  EXPECT_EQ(seq.Frames(), 3);
  EXPECT_FALSE(seq.IsColour());
  EXPECT_EQ(seq.fsData.colours, 256);
  EXPECT_EQ(seq.FrameStart(3), 64 + 2 * 8);

  struct Step {
    int number, frame, seeks;
  };
  const Step steps[] = {{1, 1, 0}, {2, 2, 0}, {3, 3, 0}, {1, 1, 1},
                        {0, 1, 1}, {9, 1, 1}, {3, 3, 2}};
  for (const Step& s : steps) {
    const CDIB* d = seq.ReadFrame(s.number);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->BitCount(), 8);
    for (int y = 0; y < 4; ++y)  // stored line y / 2 fills rows y
      for (int x = 0; x < 4; ++x) EXPECT_EQ(Pixel(d, x, y), 20 * s.frame + (y / 2) * 4 + x);
    EXPECT_EQ(seq.Seeks(), s.seeks) << s.number;
  }
  EXPECT_EQ(seq.Reads(), 5);  // frame 1 was held for 0 and 9
}

TEST(VrawFrameSequence, HeaderColourAndRates) {
  struct Case {
    const char* what;
    const char* colour;
    std::uint64_t rate, lines;
    const char* extra;  // text after the 64 bytes, within the header length
    const char* dsc;    // null: no description file
    int colourFlag;
    float fps;
    int height;
  };
  const Case cases[] = {
      {"RAW marks colour", "RAW", 0xfa, 2, "", nullptr, 1, 25.0f, 4},
      {"lower-case raw is grey", "raw", 0xfa, 2, "", nullptr, 0, 25.0f, 4},
      {"rate field fa is 25 fps", "GRY", 0xfa, 2, "", nullptr, 0, 25.0f, 4},
      {"R_RATE overrides", "GRY", 0xfa, 2, "R_RATE=500", nullptr, 0, 50.0f, 4},
      {"description rate", "GRY", 0xfa, 2, "", "FRAMES/S:100\n", 0, 100.0f, 4},
      {"R_RATE wins over the description", "GRY", 0xfa, 2, "R_RATE 500", "FRAMES/S:100\n", 0, 50.0f,
       4},
      {"R_RATE without a number is ignored", "GRY", 0xfa, 2, "R_RATE=x", nullptr, 0, 25.0f, 4},
      {"odd stored lines give an even height", "GRY", 0xfa, 3, "", nullptr, 0, 25.0f, 6},
      {"description colour space", "GRY", 0xfa, 2, "", "COLORSPACE:RGB\n", 1, 25.0f, 4},
  };
  for (const Case& c : cases) {
    seqtest::TempDir dir;
    rawtest::Vraw v;
    v.colour = c.colour;
    v.rate = c.rate;
    v.lines = c.lines;
    v.length = 96;
    v.extra = c.extra;
    const std::string path =
        dir.Write("r.vraw", rawtest::VrawHeader(v) + std::string(4 * c.lines, '\x40'));
    if (c.dsc) dir.Write("r.DSC", c.dsc);
    VrawFrameSequence seq(path, nullptr);
    ASSERT_TRUE(seq.Open()) << c.what;
    EXPECT_EQ(seq.fsData.colour, c.colourFlag) << c.what;
    EXPECT_EQ(seq.fsData.colours, c.colourFlag ? 16777216 : 256) << c.what;
    EXPECT_FLOAT_EQ(seq.FramesPerSecond(), c.fps) << c.what;
    EXPECT_EQ(seq.Height(), c.height) << c.what;
    const CDIB* d = seq.ReadFrame(1);
    ASSERT_NE(d, nullptr) << c.what;
    EXPECT_EQ(d->BitCount(), c.colourFlag ? 24 : 8) << c.what;
  }
}

TEST(Vr2FrameSequence, ColourFramesAt1000FramesPerSecondOneReadEach) {
  seqtest::TempDir dir;
  rawtest::Vr2 v;
  v.width = 6;
  v.height = 4;
  v.frames = 3;
  std::string file = rawtest::Vr2Head(v);
  for (int f = 1; f <= 3; ++f) file += std::string(24, static_cast<char>(40 * f));
  const std::string path = dir.Write("c.vr2", file);
  Vr2FrameSequence seq(path, nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_TRUE(seq.IsColour());
  EXPECT_EQ(seq.fsData.colours, 16777216);
  EXPECT_FLOAT_EQ(seq.FramesPerSecond(), 1000.0f);
  EXPECT_EQ(seq.Frames(), 3);
  EXPECT_EQ(seq.FrameStart(1), static_cast<std::int64_t>(rawtest::kVr2Fixed + 8));
  EXPECT_EQ(seq.FrameStart(3), seq.FrameStart(1) + 48);
  for (int n : {3, 1, 2}) {
    const CDIB* d = seq.ReadFrame(n);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->BitCount(), 24);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x)
        for (int c = 0; c < 3; ++c) ASSERT_EQ(Pixel(d, x, y, c), 40 * n);
  }
  EXPECT_EQ(seq.Reads(), 3);
  EXPECT_EQ(seq.Seeks(), 2);  // 3 and then 1; 2 follows 1

  // The first stored line is the top of the picture.
  rawtest::Vr2 tall = v;
  tall.frames = 1;
  const std::string ramp = std::string(12, '\0') + std::string(12, '\xC8');
  Vr2FrameSequence top(dir.Write("t.vr2", rawtest::Vr2Head(tall) + ramp), nullptr);
  ASSERT_TRUE(top.Open());
  const CDIB* d = top.ReadFrame(1);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(Pixel(d, 2, 0, 1), 0);
  EXPECT_EQ(Pixel(d, 2, 3, 1), 200);

  dir.Write("c.dsc", "FRAMES/S:250\nUNITS:0.5\n");
  Vr2FrameSequence described(path, nullptr);
  ASSERT_TRUE(described.Open());
  EXPECT_FLOAT_EQ(described.FramesPerSecond(), 250.0f);
  EXPECT_DOUBLE_EQ(described.lengthScale, 0.5);
}

// One valid file per format, one field broken per row.
TEST(RawFrameSequence, RefusesFilesWhoseHeaderDoesNotDescribeThem) {
  auto vraw = [](auto change, int frameBytes = 16) {
    rawtest::Vraw v;
    v.frames = 2;
    change(v);
    return rawtest::VrawHeader(v) + std::string(frameBytes, '\1');
  };
  auto vr2 = [](auto change, int frameBytes = 32) {
    rawtest::Vr2 v;
    v.frames = 2;
    change(v);
    return rawtest::Vr2Head(v) + std::string(frameBytes, '\1');
  };
  using V = rawtest::Vraw&;
  using W = rawtest::Vr2&;
  struct Case {
    const char* what;
    const char* ext;
    std::string bytes;  // empty: no file
    int message;
  };
  const Case cases[] = {
      {"vraw width 0", "vraw", vraw([](V v) { v.width = 0; }), seqid::kRawDamaged},
      {"vraw no lines", "vraw", vraw([](V v) { v.lines = 0; }), seqid::kRawDamaged},
      {"vraw no frames", "vraw", vraw([](V v) { v.frames = 0; }), seqid::kRawDamaged},
      {"vraw header length 0", "vraw", vraw([](V v) { v.length = 0; }), seqid::kRawDamaged},
      {"vraw header length beyond the file", "vraw", vraw([](V v) {
         v.length = 0x10000;
         v.pad = false;
       }),
       seqid::kRawDamaged},
      {"vraw frame count past the end", "vraw", vraw([](V v) { v.frames = 3; }),
       seqid::kRawDamaged},
      {"vraw truncated last frame", "vraw", vraw([](V) {}, 15), seqid::kRawDamaged},
      {"vraw huge width", "vraw", vraw([](V v) { v.width = 0xFFFFFFFF; }), seqid::kRawDamaged},
      {"vraw shorter than its header", "vraw", std::string(40, ' '), seqid::kRawDamaged},
      {"vraw missing", "vraw", "", seqid::kRawCannotOpen},
      {"vr2 width 0", "vr2", vr2([](W v) { v.width = 0; }), seqid::kRawDamaged},
      {"vr2 height 0", "vr2", vr2([](W v) { v.height = 0; }), seqid::kRawDamaged},
      {"vr2 frame count past the end", "vr2", vr2([](W v) { v.frames = 3; }), seqid::kRawDamaged},
      {"vr2 truncated last frame", "vr2", vr2([](W) {}, 31), seqid::kRawDamaged},
      {"vr2 base record beyond the file", "vr2", vr2([](W v) { v.basePosition = 1u << 20; }),
       seqid::kRawDamaged},
      {"vr2 base beyond the file", "vr2", vr2([](W v) { v.base = ~0ull; }), seqid::kRawDamaged},
      {"vr2 frames inside the header", "vr2", vr2([](W v) { v.base = 16; }), seqid::kRawDamaged},
      {"vr2 offset beyond the file", "vr2", vr2([](W v) { v.offset = 0xFFFFFFFF; }),
       seqid::kRawDamaged},
      {"vr2 shorter than its header", "vr2", std::string(500, '\0'), seqid::kRawDamaged},
      {"vr2 missing", "vr2", "", seqid::kRawCannotOpen},
  };
  for (const Case& c : cases) {
    seqtest::TempDir dir;
    const std::string name = std::string("s.") + c.ext;
    const std::string path = c.bytes.empty() ? dir.File(name) : dir.Write(name, c.bytes);
    platform::RecordingMessageService messages;
    std::unique_ptr<RawFrameSequence> seq;
    if (std::string(c.ext) == "vraw")
      seq = std::make_unique<VrawFrameSequence>(path, nullptr);
    else
      seq = std::make_unique<Vr2FrameSequence>(path, nullptr);
    EXPECT_FALSE(seq->Open()) << c.what;
    EXPECT_FALSE(seq->IsOpened()) << c.what;
    EXPECT_EQ(seq->ReadFrame(1), nullptr) << c.what;
    ASSERT_EQ(messages.shown.size(), 1u) << c.what;
    EXPECT_EQ(messages.shown[0].caption, "Error in BLD-File") << c.what;
    const std::string expected =
        c.message == seqid::kRawCannotOpen
            ? "BLD-file: " + path + "\n\nThe file couldn't be opened."
            : "Raw camera file: " + path + "\n\nThe file is damaged or incomplete: ";
    EXPECT_EQ(messages.shown[0].text.substr(0, expected.size()), expected) << c.what;
  }
}

// A sparse file: only the header and the last frame take room on the disc.
std::string SparseFile(const std::string& path, const std::string& head, std::int64_t lastFrameAt,
                       const std::string& lastFrame) {
  const int fd = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
  if (fd < 0) return "";
  const bool ok = ::pwrite(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size()) &&
                  ::pwrite(fd, lastFrame.data(), lastFrame.size(), lastFrameAt) ==
                      static_cast<ssize_t>(lastFrame.size());
  ::close(fd);
  return ok ? path : "";
}

TEST(RawFrameSequence, FramesBeyond4GiBAreReadFromTheirPlace) {
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  seqtest::TempDir dir;
  {
    // ".vr2": the frame base itself lies beyond 4 GiB.
    rawtest::Vr2 v;
    v.width = v.height = 64;
    v.frames = 2;
    v.base = 5 * kGiB + 3;
    const std::int64_t last = static_cast<std::int64_t>(v.base + v.offset) + 64 * 64;
    const std::string path =
        SparseFile(dir.File("far.vr2"), rawtest::Vr2Head(v), last, std::string(64 * 64, 'M'));
    if (path.empty()) GTEST_SKIP() << "no room for a sparse file";
    Vr2FrameSequence seq(path, nullptr);
    ASSERT_TRUE(seq.Open());
    EXPECT_EQ(seq.FrameStart(2), last);
    const CDIB* d = seq.ReadFrame(2);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Pixel(d, 10, 10, 1), 'M');
    EXPECT_EQ(Pixel(seq.ReadFrame(1), 10, 10, 1), 0);  // the hole reads as zeros
  }
  {
    // ".vraw": the frames pass 4 GiB by their count.
    rawtest::Vraw v;
    v.width = 1024;
    v.lines = 512;
    v.frames = 8200;  // of 512 KiB each
    const std::int64_t last = 64 + (v.frames - 1) * (512 * 1024);
    ASSERT_GT(last, 4 * kGiB);
    const std::string path = SparseFile(dir.File("far.vraw"), rawtest::VrawHeader(v), last,
                                        std::string(512 * 1024, 'V'));
    ASSERT_FALSE(path.empty());
    VrawFrameSequence seq(path, nullptr);
    ASSERT_TRUE(seq.Open());
    const CDIB* d = seq.ReadFrame(8200);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(Pixel(d, 1023, 1023), 'V');
  }
}

}  // namespace
