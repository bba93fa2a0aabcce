#include "sequences/avisequence.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "platform/message_service.h"
#include "platform/strings.h"
#include "sequences/aviprops.h"
#include "sequences/frameconvert.h"
#include "video_clips.h"

namespace {

// Runs no dialog; applies the choices a test sets on the model.
struct Choices {
  explicit Choices(std::function<void(AviPropertiesModel&)> choose) {
    SetAviPropertiesRunner([choose](AviFrameSequence&, AviPropertiesModel& m) {
      choose(m);
      return 1;
    });
  }
  ~Choices() { SetAviPropertiesRunner(nullptr); }
};

std::uint64_t HashBits(const CDIB& dib) { return videotest::Hash(dib.Bits(), dib.ImageSize()); }

TEST(AviPropertiesModelTest, FieldsDoubleFramesAndRate) {
  FS_Data d;
  d.width = 640;
  d.height = 480;
  d.frames = 100;
  d.framesPerSecond = 25.0f;
  AviPropertiesModel m(d, 25.0, 24);
  EXPECT_EQ(m.SizeText(), "640 * 480");
  EXPECT_EQ(m.FramesText(), "100 (4000.00 ms)");
  m.halfFrameMode = kHalfFrameSimple;
  m.useStartPosition = true;
  m.previewPosition = 11;
  EXPECT_EQ(m.SizeText(), "640 * 240");
  EXPECT_EQ(m.FramesText(), "200 (4000.00 ms)");
  EXPECT_EQ(m.RateText(), "50.000000");
  EXPECT_EQ(m.FirstFrameText(), "400.00 ms  (Frame 11)");
  AviFieldSettings f;
  m.Apply(d, f);
  EXPECT_EQ(d.frames, 180);
  EXPECT_FLOAT_EQ(d.framesPerSecond, 50.0f);
  EXPECT_EQ(d.height, 240);
  EXPECT_EQ(f.startOffset, 10);
  EXPECT_FLOAT_EQ(d.firstFrame, 10.0f);

  m.halfFrameMode = kHalfFrameAspect;
  EXPECT_EQ(m.SizeText(), "320 * 240");
  m.halfFrameMode = kHalfFrameInterpolate;
  EXPECT_EQ(m.SizeText(), "640 * 480");
}

TEST(AviPropertiesModelTest, ZeroOrBadRateIsRefused) {
  FS_Data d;
  AviPropertiesModel m(d, 25.0, 24);
  EXPECT_FALSE(m.SetRate(0.0));
  EXPECT_FALSE(m.SetRate(-3.0));
  EXPECT_TRUE(m.SetRate(29.97));
  EXPECT_FLOAT_EQ(m.Rate(), 29.97f);
  double r = 0;
  EXPECT_FALSE(ParseFrameRate("0", &r));
  EXPECT_FALSE(ParseFrameRate("0.0000", &r));
  EXPECT_FALSE(ParseFrameRate("abc", &r));
  EXPECT_TRUE(ParseFrameRate("12.5", &r));
  EXPECT_DOUBLE_EQ(r, 12.5);
}

// Forwards, backwards and random reads of the sequence give the same working bitmaps.
TEST(AviFrameSequenceTest, SteppingBackwardsShowsTheFramesSeenForwards) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "clip.avi", "-c:v libx264 -bf 2 -g 12");
  ASSERT_FALSE(clip.empty());
  platform::RecordingMessageService messages;
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_EQ(seq.Frames(), 40);
  EXPECT_EQ(seq.FrameBitmap().BitCount(), 24);
  EXPECT_FLOAT_EQ(seq.FramesPerSecond(), 25.0f);
  std::vector<std::uint64_t> forwards(41);
  for (int n = 1; n <= 40; ++n) forwards[n] = HashBits(*seq.ReadFrame(n));
  for (int n = 40; n >= 1; --n) EXPECT_EQ(HashBits(*seq.ReadFrame(n)), forwards[n]) << n;
  EXPECT_EQ(HashBits(*seq.ReadFrame(0)), forwards[1]);
  EXPECT_EQ(HashBits(*seq.ReadFrame(41)), forwards[1]);
  EXPECT_TRUE(seq.IsCurrentFrame(1));
  EXPECT_TRUE(messages.shown.empty());

  // The working bitmap is the decoded picture turned bottom-up.
  platform::VideoFile video;
  ASSERT_EQ(video.Open(clip), platform::VideoError::kNone);
  platform::VideoPicture p;
  ASSERT_TRUE(video.ReadFrame(4, p));
  CDIB expected;
  ASSERT_TRUE(expected.Create(64, 48, 24));
  SetupDIB(seq.fsData, DibSource{64, -48, 24, 0, nullptr, p.pixels.data()}, expected);
  EXPECT_EQ(HashBits(*seq.ReadFrame(5)), HashBits(expected));
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(AviFrameSequenceTest, FilesThatCannotBeReadGiveTheirMessages) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string garbage(4000, '\0');
  for (std::size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>(i * 131 % 253);
  std::string clip = videotest::MakeClip(dir, "cut.avi", "-c:v mjpeg", 10);
  ASSERT_FALSE(clip.empty());
  // Cut inside the header: the container is recognised, its contents are not whole.
  std::string bytes = ReadAll(clip);
  std::string cut = dir.Write("cut2.avi", bytes.substr(0, 200));
  // A container FFmpeg reads whose pictures its decoder does not take.
  const std::string animated = videotest::MakeClip(dir, "anim.webp", "-c:v libwebp_anim", 5);
  ASSERT_FALSE(animated.empty());
  struct Case {
    std::string path;
    std::string text;
  };
  const Case cases[] = {
      {dir.File("missing.avi"), "AVI-file: %s\n\nThe file couldn't be opened."},
      {dir.Write("garbage.avi", garbage),
       "AVI-file: %s\n\nThe file couldn’t be read, indicating a corrupt file or an unrecognized "
       "format."},
      {cut,
       "AVI-file: %s\n\nThe file couldn’t be read, indicating a corrupt file or an unrecognized "
       "format."},
      {dir.Write("garbage.zzq", garbage),
       "AVI-file: %s\n\nThe file couldn’t be read.\nAccording to the registry, the type of file "
       "does not have a handler to process it."},
      {animated,
       "AVI-file: %s\n\nThe pictures of this video cannot be decoded: the webp decoder shows no "
       "picture for its first frame (a feature of the format the decoder does not support, or a "
       "damaged picture)."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    platform::RecordingMessageService messages;
    AviFrameSequence seq(c.path, nullptr);
    EXPECT_FALSE(seq.Open());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error in AVI-File");
    EXPECT_EQ(messages.shown[0].text, platform::Format(c.text, c.path));
    EXPECT_FALSE(seq.IsOpened());
  }
  // Not opened: reading says so.
  platform::RecordingMessageService messages;
  AviFrameSequence seq(dir.File("missing.avi"), nullptr);
  EXPECT_EQ(seq.ReadFrame(1), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "FrameSequence has not been opened!");
}

// A file cut short in the middle reads the frames it holds, whatever its header claims.
TEST(AviFrameSequenceTest, TruncatedFileOpensWithTheFramesItHolds) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "cut.avi", "-c:v mjpeg -q:v 3");
  ASSERT_FALSE(clip.empty());
  std::filesystem::resize_file(clip, std::filesystem::file_size(clip) * 6 / 10);
  platform::RecordingMessageService messages;
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_LT(seq.Frames(), 40);
  EXPECT_GT(seq.Frames(), 15);
  EXPECT_NE(seq.ReadFrame(seq.Frames()), nullptr);
  EXPECT_TRUE(messages.shown.empty());
}

// A damaged frame is reported once; the picture before it stays in the working bitmap.
TEST(AviFrameSequenceTest, UndecodableFrameIsReportedOnceAndKeepsTheLastPicture) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "bad.avi", "-c:v mjpeg -q:v 3", 12);
  ASSERT_FALSE(clip.empty());
  ASSERT_TRUE(videotest::BlankAviPicture(clip, 5));  // the sequence's frame 6

  platform::RecordingMessageService messages;
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  const std::uint64_t fifth = HashBits(*seq.ReadFrame(5));
  for (int pass = 0; pass < 3; ++pass) {
    const CDIB* bits = seq.ReadFrame(6, true);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(HashBits(*bits), fifth);
    seq.ReadFrame(5);
  }
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].caption, "Internal Error:");
  EXPECT_EQ(messages.shown[0].text, "Could not read frame from avi stream!");
  EXPECT_NE(HashBits(*seq.ReadFrame(7)), fifth);  // the next frame decodes again
}

TEST(AviFrameSequenceTest, PaletteClipBecomesColoursOfItsTable) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = videotest::MakeClip(dir, "pal.avi", "-c:v rawvideo -pix_fmt pal8", 8);
  ASSERT_FALSE(clip.empty());
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  platform::VideoFile video;
  ASSERT_EQ(video.Open(clip), platform::VideoError::kNone);
  platform::VideoPicture p;
  ASSERT_TRUE(video.ReadFrame(2, p));
  ASSERT_EQ(p.bitCount, 8);
  const CDIB& dib = *seq.ReadFrame(3);
  ASSERT_EQ(dib.BitCount(), 24);
  // Every pixel of the working bitmap is its index's colour, rows turned bottom-up.
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      const std::uint8_t* entry = p.colorTable.data() + 4 * p.pixels[y * p.stride + x];
      const std::uint8_t* px = dib.Bits() + (47 - y) * dib.RowBytes() + 3 * x;
      ASSERT_EQ(std::memcmp(entry, px, 3), 0) << x << "," << y;
    }
}

// Stream frames whose even stored rows are 200 + frame and odd stored rows 50 + frame (the
// bitmap's first stored row is the picture's bottom line, line 47).
std::string InterlacedClip(const seqtest::TempDir& dir) {
  return videotest::MakeClip(
      dir, "fields.avi", "-pix_fmt bgr24 -c:v rawvideo", 6,
      "color=c=black:s=64x48:r=25,format=gray,geq=lum=if(mod(Y\\,2)\\,200\\,50)+N");
}

int StoredRowValue(const CDIB& dib, int row) { return dib.Bits()[row * dib.RowBytes()]; }

TEST(AviFrameSequenceTest, FieldModesTakeTheRightRows) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = InterlacedClip(dir);
  ASSERT_FALSE(clip.empty());
  struct Case {
    int mode;
    bool oddFirst;
    int width, height;
  };
  for (const Case& c :
       {Case{kHalfFrameSimple, false, 64, 24}, Case{kHalfFrameAspect, true, 32, 24},
        Case{kHalfFrameCorrect, false, 32, 24}, Case{kHalfFrameInterpolate, true, 64, 48}}) {
    SCOPED_TRACE(c.mode);
    Choices choices([&](AviPropertiesModel& m) {
      m.trueColour = false;
      m.halfFrameMode = c.mode;
      m.oddFieldFirst = c.oddFirst;
    });
    AviFrameSequence seq(clip, nullptr);
    ASSERT_TRUE(seq.Open());
    EXPECT_EQ(seq.Frames(), 12);
    EXPECT_FLOAT_EQ(seq.FramesPerSecond(), 50.0f);
    ASSERT_EQ(seq.FrameBitmap().BitCount(), 8);
    EXPECT_EQ(seq.Width(), c.width);
    EXPECT_EQ(seq.Height(), c.height);
    for (int n : {1, 2, 5, 12, 3}) {
      const int stream = (n - 1) / 2;
      const int field = c.oddFirst ? (n & 1) : ((n - 1) & 1);
      const int want = (field == 0 ? 200 : 50) + stream;
      const long decodedBefore = seq.Video().Stats().framesConverted;
      const CDIB& dib = *seq.ReadFrame(n);
      // The second field of a stream frame comes from the frame already decoded.
      if (n == 2) {
        EXPECT_EQ(seq.Video().Stats().framesConverted, decodedBefore);
      }
      for (int r = 0; r < dib.Height(); ++r)
        ASSERT_EQ(StoredRowValue(dib, r), want) << n << "/" << r;
    }
  }
}

TEST(AviFrameSequenceTest, StartPositionSkipsStreamFrames) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  std::string clip = InterlacedClip(dir);
  ASSERT_FALSE(clip.empty());
  Choices choices([](AviPropertiesModel& m) {
    m.trueColour = false;
    m.useStartPosition = true;
    m.previewPosition = 3;
  });
  AviFrameSequence seq(clip, nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_EQ(seq.Frames(), 4);
  EXPECT_EQ(StoredRowValue(*seq.ReadFrame(1), 0), 202);
  EXPECT_EQ(StoredRowValue(*seq.ReadFrame(4), 0), 205);
}

TEST(AviFrameSequenceTest, FrameServerScript) {
  EXPECT_EQ(FrameServerScriptLine("/v/Clip.MOV"), "QTInput(\"/v/Clip.MOV\").ConvertToRGB24()");
  EXPECT_EQ(FrameServerScriptLine("/v/clip.mpg"),
            "DirectShowSource(\"/v/clip.mpg\", video=true, audio=false, "
            "seekzero=true).ConvertToRGB24()");
  seqtest::TempDir dir;
  setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
  const std::string garbage(3000, '\x5a');
  const std::string video = dir.Write("odd.zzq", garbage);
  EXPECT_EQ(FrameServerScriptPath(video), dir.File("config/Harvelund/Zorvatrack/odd.avs"));

  // Without the frame server's library the file fails by its own reason, and no script is made.
  {
    platform::RecordingMessageService messages;
    AviFrameSequence seq(video, nullptr);
    EXPECT_FALSE(seq.Open());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("does not have a handler"), std::string::npos);
    EXPECT_TRUE(seq.ScriptName().empty());
  }
  // With a library of that name present, the script is written and opened in the video's place.
  {
    platform::RecordingMessageService messages;
    AviFrameSequence seq(video, nullptr);
    seq.frameServerLibrary = "libz.so.1";
    EXPECT_FALSE(seq.Open());
    EXPECT_EQ(seq.ScriptName(), FrameServerScriptPath(video));
    EXPECT_EQ(ReadAll(seq.ScriptName()), FrameServerScriptLine(video));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error in AVI-File");
  }
  unsetenv("XDG_CONFIG_HOME");
}

}  // namespace

namespace {

// An AVI of one 64 x 48 frame (raw video unless `codec` says otherwise) whose format claims
// `width` x `height`.
std::string ClipClaimingSize(const seqtest::TempDir& dir, std::uint32_t width, std::uint32_t height,
                             const std::string& codec = "-c:v rawvideo -pix_fmt bgr24") {
  const std::string clip = videotest::MakeClip(dir, "claims.avi", codec, 1);
  if (clip.empty()) return {};
  std::string bytes = ReadAll(clip);
  const auto strf = bytes.find("strf");
  if (strf == std::string::npos) return {};
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
  };
  put(strf + 12, width);  // the bitmap header's width and height follow its size field
  put(strf + 16, height);
  return dir.Write("claims.avi", bytes);
}

long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key)
    if (key == "VmHWM:" && status >> value) return value;
  return 0;
}

// A header may claim any frame size: the open is refused with a message naming the file (and,
// beyond the reader's limit, the size and the limit, whatever the codec), and nothing of the
// claimed size is allocated before a frame decodes.
TEST(AviFrameSequenceTest, ClaimedHugeFramesAreRefusedWithAMessage) {
  SKIP_WITHOUT_FFMPEG();
  seqtest::TempDir dir;
  const std::string undecodable =
      "AVI-file: %s\n\nThe pictures of this video cannot be decoded: the %s decoder shows no "
      "picture for its first frame (a feature of the format the decoder does not support, or a "
      "damaged picture).";
  const std::string tooLarge =
      "AVI-file: %s\n\nThe video declares frames of %u x %u pixels; at most 67108864 pixels a "
      "frame can be read.";
  struct Case {
    std::uint32_t width, height;
    std::string codec;
    std::string text;  // formatted with the file (and the codec)
  };
  const std::string raw = "-c:v rawvideo -pix_fmt bgr24";
  for (const Case& c :
       {Case{16000, 16000, raw, tooLarge}, Case{16000, 16000, "-c:v mjpeg", tooLarge},
        Case{8000, 8000, raw, undecodable}, Case{100000, 100000, raw, tooLarge}}) {
    SCOPED_TRACE(c.codec + " " + std::to_string(c.width));
    const std::string clip = ClipClaimingSize(dir, c.width, c.height, c.codec);
    ASSERT_FALSE(clip.empty());
    platform::RecordingMessageService messages;
    const long peakBefore = PeakResidentKiB();
    AviFrameSequence seq(clip, nullptr);
    EXPECT_FALSE(seq.Open());
    EXPECT_LT(PeakResidentKiB() - peakBefore, 100 * 1024) << "KiB allocated while opening";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Error in AVI-File");
    const std::string expected = c.text == undecodable
                                     ? platform::Format(c.text, clip, "rawvideo")
                                     : platform::Format(c.text, clip, c.width, c.height);
    EXPECT_EQ(messages.shown[0].text, expected);
    EXPECT_FALSE(seq.IsOpened());
  }
}

}  // namespace
