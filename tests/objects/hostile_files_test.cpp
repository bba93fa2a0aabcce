// Files made to break the readers, as an attacker or an unlucky user would hand them over: each
// is refused with a message that names the file and the reason, quickly, and loads nothing. The
// large files are sparse, so the table runs in a blink.

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <limits>
#include <memory>
#include <string>

#include "base/profile.h"
#include "common/peak_memory.h"
#include "common/test_document.h"
#include "objects/asciiobj.h"
#include "objects/docaccess.h"
#include "objects/osfile.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects_test_util.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "sequences/bldsequence.h"
#include "sequences/dib.h"

namespace {

constexpr std::int32_t kIntMax = std::numeric_limits<std::int32_t>::max();

// A frame file of `bytes` bytes that takes no room on the disk.
void WriteSparse(const std::string& path, off_t bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, bytes), 0);
  ::close(fd);
}

// Opens a frame file of `bytes` bytes whose description declares the resolution; with
// commentBytes, the description starts with a comment line that long, which takes no room on the
// disk either.
bool OpenFrameFile(const TempDir& dir, const std::string& resolution, off_t bytes,
                   off_t commentBytes = 0) {
  const std::string entries = "RESOLUTION:" + resolution + "\nFRAMES/S:25\nCOLORSPACE:RGB\n";
  if (commentBytes == 0) {
    dir.Write("big.dsc", entries);
  } else {
    WriteSparse(dir.File("big.dsc"), commentBytes);
    std::fstream dsc(dir.File("big.dsc"), std::ios::in | std::ios::out | std::ios::binary);
    dsc << '#';
    dsc.seekp(0, std::ios::end);
    dsc << '\n' << entries;
  }
  WriteSparse(dir.File("big.bld"), bytes);
  BldFrameSequence seq(dir.File("big.bld"), nullptr);
  return seq.Open();
}

// A 54-byte bitmap file: the file header and a 40-byte information header, no pixels.
std::string BitmapHeader(std::int32_t width, std::int32_t height) {
  std::string f(54, '\0');
  auto put32 = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) f[at + i] = static_cast<char>(v >> (8 * i));
  };
  f[0] = 'B';
  f[1] = 'M';
  put32(2, 54);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  f[26] = 1;   // planes
  f[28] = 24;  // bits per pixel
  return f;
}

// One sequence with one point in frame 1, changed by `edit`, saved as the object-sequence file
// of walk.avi and loaded into a fresh project; true when the project took it.
bool LoadObjectFile(const TempDir& dir, const std::function<void(osfile::SubRecord&)>& edit) {
  osfile::FileRecord file;
  osfile::SubRecord sub;
  sub.res = osfile::ResRecord{"Knee", 0x101, 25205, 40, 40, osfile::ColorRecord{0, 7, 7, 0xFF}};
  sub.tmpl = osfile::TemplateRecord{9, 9, 0, 0, 0};
  sub.lastIndex = 1;
  sub.points = {{1, 100, 10, 0}};
  edit(sub);
  file.sequences = {sub};
  dir.Write("walk.OS", osfile::Encode(file));
  TestDocument doc(FileName(dir.File("walk.rsc")));
  doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 320, 240, 10));
  doc.ObjectSequences()->LoadVersion();
  return doc.ObjectSequences()->Count() > 0;
}

// Imports an ASCII point file into the 50-frame walk.avi; true when the point of the file's last
// line was taken.
bool ImportAscii(const TempDir& dir, const std::string& text) {
  const std::string file = dir.Write("walk.p00", text);
  TestDocument doc(FileName(dir.File("walk.rsc")));
  FrameSequence* video = doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 320, 240, 50));
  ascii::Import(doc, *video, {file});
  const ResObjectSequence* s = doc.ObjectSequences()->Find(0, seqmask::kAll);
  if (!s) return false;
  const SubObjectSequence* sub = objdoc::SubsOf(*video).Find(0);
  return sub && sub->Count() > 1;
}

// Imports a 2000000-line point file whose line 100 names a frame beyond its 1000-frame video: the
// 99 points before it stay. True when the import read on past that line.
bool ImportLongAsciiFaultyAtLine100(const TempDir& dir) {
  constexpr int kLines = 2'000'000;
  const std::string file = dir.File("walk.p00");
  WriteLongPointFile(file, kLines, 100, 3 * kLines);
  TestDocument doc(FileName(dir.File("walk.rsc")));
  FrameSequence* video = doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 320, 240, 1000));
  ascii::Import(doc, *video, {file});
  const SubObjectSequence* sub = objdoc::SubsOf(*video).Find(0);
  if (!sub) return false;
  EXPECT_EQ(sub->Count(), 99);
  if (const ObjectBase* p = sub->ItemAt(99)) {
    EXPECT_EQ(p->x, PointFileX(98));
    EXPECT_EQ(p->y, PointFileY(98));
  } else {
    ADD_FAILURE() << "the point of line 99 is missing";
  }
  return sub->Count() > 99;
}

// Saves one setting through a store at path.
bool SaveSetting(const std::string& path) {
  AnaProfile profile(path.c_str());
  return profile.WriteInt(key::kSection, key::kMarkWidth, 9);
}

struct BadInput {
  const char* name;
  std::function<bool(const TempDir&)> load;  // true when the input was taken
  std::string caption;                       // empty: refused without a message
  std::function<::testing::Matcher<std::string>(const TempDir&)> text;
  // Messages shown: the first is text; a file that gave no point at all also says so.
  std::size_t messages = 1;
};

std::function<::testing::Matcher<std::string>(const TempDir&)> Exactly(
    std::function<std::string(const TempDir&)> text) {
  return [text](const TempDir& dir) { return ::testing::Eq(text(dir)); };
}

constexpr const char* kSizesRefused =
    " gives object sequence 0 a template offset, marker size or search limit the program cannot "
    "draw.\n\nThe file is not loaded.";

// An object-sequence file changed by edit, refused with "The file <walk.OS>" and textAfterName.
BadInput ObjectFile(const char* name, void (*edit)(osfile::SubRecord&), std::string textAfterName) {
  return {name, [edit](const TempDir& dir) { return LoadObjectFile(dir, edit); },
          "Input/output error", Exactly([textAfterName](const TempDir& dir) {
            return "The file " + dir.File("walk.OS") + textAfterName;
          })};
}

const BadInput kBadInputs[] = {
    {"frame description of 2147483647 x 2147483647",
     [](const TempDir& dir) { return OpenFrameFile(dir, "2147483647x2147483647", 4096); },
     "Error in DSC-file", Exactly([](const TempDir& dir) {
       return "DSC-file: " + dir.File("big.dsc") +
              "\n\nA frame of 2147483647 x 2147483647 pixels is larger than the program can hold "
              "(at most 2147483648 bytes per frame).";
     })},
    {"sparse 30 GB frame file of 100000 x 100000 frames",
     [](const TempDir& dir) { return OpenFrameFile(dir, "100000x100000", 30'000'000'000); },
     "Error in DSC-file", Exactly([](const TempDir& dir) {
       return "DSC-file: " + dir.File("big.dsc") +
              "\n\nA frame of 100000 x 100000 pixels is larger than the program can hold "
              "(at most 2147483648 bytes per frame).";
     })},
    {"frame description of 100000 x 100000 after a comment of 40 MB",
     [](const TempDir& dir) { return OpenFrameFile(dir, "100000x100000", 4096, 40 << 20); },
     "Error in DSC-file", Exactly([](const TempDir& dir) {
       return "DSC-file: " + dir.File("big.dsc") +
              "\n\nA frame of 100000 x 100000 pixels is larger than the program can hold "
              "(at most 2147483648 bytes per frame).";
     })},
    {"54-byte bitmap 0 pixels wide with 2147483647 rows",
     [](const TempDir&) {
       CDIB dib;
       return dib.FromFileBytes(BitmapHeader(0, kIntMax)) || !dib.IsEmpty();
     },
     "", nullptr},
    ObjectFile(
        "point at (3e38, 10)", [](osfile::SubRecord& s) { s.points[0].x = 3e38f; },
        " holds a point at (3e+38, 10) in frame 1, farther than 1048576 pixels from the "
        "image origin.\n\nThe file is not loaded."),
    ObjectFile(
        "point that is not a number",
        [](osfile::SubRecord& s) { s.points[0].y = std::numeric_limits<float>::quiet_NaN(); },
        " holds a point at (100, nan) in frame 1, farther than 1048576 pixels from the "
        "image origin.\n\nThe file is not loaded."),
    ObjectFile(
        "template offset of 2147483647", [](osfile::SubRecord& s) { s.tmpl->xOffset = kIntMax; },
        kSizesRefused),
    ObjectFile(
        "marker of 2147483647 pixels", [](osfile::SubRecord& s) { s.res->color->width = kIntMax; },
        kSizesRefused),
    ObjectFile(
        "negative search limit", [](osfile::SubRecord& s) { s.res->verticalLimit = -kIntMax; },
        kSizesRefused),
    ObjectFile(
        "sequence number 2147483647", [](osfile::SubRecord& s) { s.number = kIntMax; },
        " holds object sequence number 2147483647; object sequences are numbered from 0 "
        "to 16777216.\n\nThe file is not loaded."),
    {"ASCII point at (1e15, 5)",
     [](const TempDir& dir) { return ImportAscii(dir, "0 1 2\n1 1000000000000000 5\n"); },
     "Input/output error", Exactly([](const TempDir& dir) {
       return "The file " + dir.File("walk.p00") +
              " holds in line 2 a point at (1e+15, 5), farther than 1048576 pixels from the image "
              "origin. The lines before it were read.";
     })},
    {"13-byte ASCII point file naming frame 16777214",
     [](const TempDir& dir) { return ImportAscii(dir, "16777213 0 0\n"); }, "Input/output error",
     Exactly([](const TempDir& dir) {
       return "The file " + dir.File("walk.p00") +
              " holds in line 1 the frame 16777213, which lies outside the frames 0 to 49 of its "
              "video. The lines before it were read.";
     }),
     2},
    {"2000000-line ASCII point file whose line 100 names frame 6000000",
     ImportLongAsciiFaultyAtLine100, "Input/output error", Exactly([](const TempDir& dir) {
       return "The file " + dir.File("walk.p00") +
              " holds in line 100 the frame 6000000, which lies outside the frames 0 to 999 of "
              "its video. The lines before it were read.";
     })},
    {"object-sequence file that is no such file",
     [](const TempDir& dir) {
       dir.Write("walk.OS", "not an object-sequence file");
       TestDocument doc(FileName(dir.File("walk.rsc")));
       doc.AddFrameSequence(new TestVideo(dir.File("walk.avi"), 320, 240, 10));
       doc.ObjectSequences()->LoadVersion();
       return doc.ObjectSequences()->Count() > 0;
     },
     "Input/output error", Exactly([](const TempDir& dir) {
       return "The file " + dir.File("walk.OS") +
              " is damaged or is no object-sequence file.\n\nThe file is not loaded.";
     })},
    {"write-protected settings file",
     [](const TempDir& dir) {
       const std::string path = dir.Write("Zorvat-Player.INI", "[Zorvatrack]\nMarkWidth=7\n");
       ::chmod(path.c_str(), 0444);
       const bool saved = SaveSetting(path);
       std::string text;
       return saved || !platform::ReadWholeFile(path, text) ||
              text != "[Zorvatrack]\nMarkWidth=7\n";
     },
     "Settings not saved", Exactly([](const TempDir& dir) {
       return "The settings file " + dir.File("Zorvat-Player.INI") +
              " is write-protected.\n\nChanged settings are not saved.";
     })},
    {"settings in a folder that is gone",
     [](const TempDir& dir) { return SaveSetting(dir.File("gone/Zorvat-Player.INI")); },
     "Settings not saved", Exactly([](const TempDir& dir) {
       return "The file " + dir.File("gone/Zorvat-Player.INI") +
              " can not be written: its folder does not exist.\n\nChanged settings are not saved.";
     })},
};

// What refusing a file may cost at its peak: the files above declare gigabytes.
constexpr std::int64_t kRefusalPeakBytes = 32 << 20;

TEST(HostileFiles, AreRefusedQuicklyAndCheaplyWithAMessageNamingFileAndReason) {
  for (const BadInput& c : kBadInputs) {
    SCOPED_TRACE(c.name);
    TempDir dir("hostile");
    platform::RecordingMessageService messages;
    const testutil::PeakMemory peak;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(c.load(dir));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    if (peak.Available()) EXPECT_LT(peak.GrowthBytes(), kRefusalPeakBytes);
    if (c.caption.empty()) {
      EXPECT_TRUE(messages.shown.empty());
      continue;
    }
    ASSERT_EQ(messages.shown.size(), c.messages);
    EXPECT_EQ(messages.shown[0].caption, c.caption);
    EXPECT_THAT(messages.shown[0].text, c.text(dir));
  }
}

TEST(HostileFiles, ValuesAtTheLimitsStillLoad) {
  TempDir dir("limits");
  platform::RecordingMessageService messages;
  EXPECT_TRUE(LoadObjectFile(dir, [](osfile::SubRecord& s) {
    s.number = ResObjectSequences::kMaxNumber;
    s.points = {{1, -static_cast<float>(osfile::kMaxPixels), kMissingCoordinate, 0}};
    s.tmpl->yOffset = -osfile::kMaxPixels;
    s.res->horizontalLimit = osfile::kMaxPixels;
  }));
  EXPECT_TRUE(messages.shown.empty());
}

TEST(HostileFiles, NewSequenceAfterTheLargestNumberTakesTheLowestFreeOne) {
  TestDocument doc;
  ResObjectSequences& all = *doc.ObjectSequences();
  all.GetOrCreate(0);
  all.GetOrCreate(2);
  all.GetOrCreate(ResObjectSequences::kMaxNumber);
  const ResObjectSequence* s = all.NewSequence(seqflag::kNewSequence);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->number, 1);
  EXPECT_EQ(all.NewSequence(seqflag::kNewSequence)->number, 3);
}

TEST(HostileFiles, FailingSettingsSavesShowOneMessageUntilASaveSucceeds) {
  TempDir dir("settings");
  platform::RecordingMessageService messages;
  const std::string path = dir.Write("Zorvat-Player.INI", "");
  ::chmod(path.c_str(), 0444);
  AnaProfile profile(path.c_str());
  for (int key : {key::kMarkWidth, key::kMarkHeight, key::kTemplateWidth}) {
    EXPECT_FALSE(profile.WriteInt(key::kSection, key, 3));
  }
  EXPECT_EQ(messages.shown.size(), 1u);
  ::chmod(path.c_str(), 0644);
  EXPECT_TRUE(profile.WriteInt(key::kSection, key::kMarkWidth, 3));
  ::chmod(path.c_str(), 0444);
  EXPECT_FALSE(profile.WriteInt(key::kSection, key::kMarkWidth, 4));
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(profile.GetInt(key::kSection, key::kMarkWidth, 0), 3);
}

}  // namespace
