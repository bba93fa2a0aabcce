// Loading by file type: reader dispatch, list files, clip video and the player's frame steps.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/clipvideo.h"
#include "app/player.h"
#include "app/sequencelist.h"
#include "common/settings_fixture.h"
#include "platform/message_service.h"
#include "sequences/bldsequence.h"
#include "sequences/dib.h"

namespace {

TEST(Loading, ReaderFollowsTheExtensionInAnyCase) {
  struct Case {
    const char* name;
    bool fromList;
    SequenceKind kind;
  };
  const Case cases[] = {
      {"/d/a.BLD", false, SequenceKind::kBld},   {"/d/a.Dsc", false, SequenceKind::kBld},
      {"/d/a.vraw", false, SequenceKind::kVraw}, {"/d/a.VR2", false, SequenceKind::kVr2},
      {"/d/a.vr2", true, SequenceKind::kVideo},  {"/d/a.RSC", false, SequenceKind::kList},
      {"/d/a.par", false, SequenceKind::kList},  {"/d/a.avi", false, SequenceKind::kVideo},
      {"/d/a.mp4", true, SequenceKind::kVideo},  {"/d/noext", false, SequenceKind::kVideo},
  };
  for (const auto& c : cases) EXPECT_EQ(KindOfFile(FileName(c.name), c.fromList), c.kind) << c.name;
}

TEST(Loading, PlayerStepsWrapAndFramesClamp) {
  using namespace player;
  EXPECT_EQ(TargetFrame(kNext, 10, 10), 1);
  EXPECT_EQ(TargetFrame(kPrevious, 1, 10), 10);
  EXPECT_EQ(TargetFrame(kNext, 4, 10), 5);
  EXPECT_EQ(TargetFrame(kLast, 4, 10), 10);
  EXPECT_EQ(TargetFrame(kFirst, 4, 10), 1);
  EXPECT_EQ(ClampFrame(0, 50), 1);
  EXPECT_EQ(ClampFrame(51, 50), 50);
  EXPECT_EQ(ClampFrame(-3, 50), 50);
  EXPECT_EQ(ClampFrame(7, 50), 7);
}

class Lists : public TempSettings {
 protected:
  FileName Write(const std::string& name, const std::string& text) {
    std::ofstream((dir_ / name).string(), std::ios::binary) << text;
    return FileName((dir_ / name).string());
  }
  platform::RecordingMessageService messages;
};

TEST_F(Lists, NamesAreResolvedAgainstTheListsFolder) {
  std::filesystem::create_directories(dir_ / "project" / "cams");
  FileName list = Write("project/take.rsc",
                        "# a project\r\nDESCRIPTION: Long jump, take 3\r\nSEQUENCES: 3\r\n"
                        "sequence_1: cams\\left.bld\r\nSEQUENCE_2: ..\\right.avi\r\n"
                        "SEQUENCE_3: /abs/top.avi\r\nCALIB_DATA_2: cams\\right.cdc\r\n");
  auto files = ReadSequenceList(list);
  ASSERT_TRUE(files);
  ASSERT_EQ(files->size(), 3u);
  EXPECT_EQ((*files)[0].Path(), (dir_ / "project/cams/left.bld").string());
  EXPECT_EQ((*files)[1].Path(), (dir_ / "right.avi").string());
  EXPECT_EQ((*files)[2].Path(), "/abs/top.avi");
  EXPECT_EQ(ReadDocumentDescription(list), "Long jump, take 3");
  EXPECT_EQ(ReadCalibrationDataName(list, 2)->Path(), (dir_ / "project/cams/right.cdc").string());
  EXPECT_FALSE(ReadCalibrationDataName(list, 1));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(Lists, BrokenListsAreReportedAndOpenNothing) {
  struct Case {
    const char* name;
    const char* text;
    const char* caption;
    const char* message;  // %F stands for the list's path
  };
  const Case cases[] = {
      {"zero.rsc", "SEQUENCES: 0\n", "Error in the resource file",
       "File: %F\n\nThe value for the number of image sequences' (0) is wrong or missing."},
      {"none.rsc", "DESCRIPTION: x\n", "Error in the resource file",
       "File: %F\n\nThe value for the number of image sequences' (0) is wrong or missing."},
      {"gap.rsc", "SEQUENCES: 3\nSEQUENCE_1: a.bld\nSEQUENCE_3: c.bld\n", "Error in the resource file",
       "File: %F\n\nThe specification of the picture file of 2. image sequence is missing."},
      {"cams.par", "CAMERAS: -1\n", "Error in the PAR parameter file",
       "File: %F\n\nThe value for the numbers of cameras 'CAMERAS' (-1) is wrong or not available."},
      {"gap.par", "CAMERAS: 2\nCAM_1: a.avi\n", "Error in the PAR parameter file",
       "File: %F\n\nThe specification of the picture file of the 2. image sequence is missing."},
  };
  for (const auto& c : cases) {
    messages.shown.clear();
    FileName list = Write(c.name, c.text);
    EXPECT_FALSE(ReadSequenceList(list)) << c.name;
    ASSERT_EQ(messages.shown.size(), 1u) << c.name;
    std::string expected = c.message;
    expected.replace(expected.find("%F"), 2, list.Path());
    EXPECT_EQ(messages.shown[0].caption, c.caption);
    EXPECT_EQ(messages.shown[0].text, expected);
  }
}

TEST_F(Lists, SameVideoTwiceOrNoFileIsRefused) {
  FileName twice = Write("twice.par", "CAMERAS: 2\nCAM_1: run.avi\nCAM_2: ./run.avi\n");
  EXPECT_FALSE(ReadSequenceList(twice));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "The image sequence " + (dir_ / "run.avi").string() +
                " is already used in this document.\nThat`s not possible, because this way no "
                "usable three dimensional data can be calculated.");
  messages.shown.clear();
  FileName missing((dir_ / "missing.rsc").string());
  EXPECT_FALSE(ReadSequenceList(missing));
  EXPECT_EQ(messages.shown.at(0).text,
            "The resource file \n" + missing.Path() + "\n can not be opened.");
}

using ClipVideo = TempSettings;

TEST_F(ClipVideo, GreyFramesAppendAndTheDescriptionFollows) {
  std::filesystem::create_directories(dir_ / "v1.0");
  FileName source((dir_ / "v1.0/run").string());  // no extension; a dot in the folder
  auto names = ClipVideoNames(source);
  EXPECT_EQ(names.bld, (dir_ / "v1.0/run-clipvideo.bld").string());
  std::vector<std::uint8_t> pixels(320 * 240, 7);
  ClipAppend done;
  std::string error;
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(AppendClipFrame(source, 25.0f, {320, 240, 1, pixels.data()}, done, &error))
        << error;
  EXPECT_EQ(done.frameCount, 2);
  EXPECT_EQ(std::filesystem::file_size(names.bld), 2u * 320 * 240);
  EXPECT_EQ(ReadFile(names.dsc),
            "# Zorvatrack generated ClipVideo\nSEQUENCENAME:run\nRESOLUTION:320x240\n"
            "FRAMES/S:25.000000\nFRAMES:2\nCOLORSPACE:GREY\n");
  FileName nowhere((dir_ / "no/such/run.avi").string());
  EXPECT_FALSE(AppendClipFrame(nowhere, 25.0f, {320, 240, 1, pixels.data()}, done, &error));
  EXPECT_FALSE(error.empty());
}

// A clip is appended to, not replaced: a write-protected clip stays as it is, and a frame that
// is cut off by a full disk (here the process's file-size limit) is taken off again, so later
// frames do not land shifted.
TEST_F(ClipVideo, AFrameNotWrittenWholeLeavesTheClipAsItWas) {
  FileName source((dir_ / "run.avi").string());
  const auto names = ClipVideoNames(source);
  std::vector<std::uint8_t> pixels(64 * 48, 9);
  ClipAppend done;
  std::string error;
  ASSERT_TRUE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, done, &error)) << error;
  const auto oneFrame = std::filesystem::file_size(names.bld);

  std::filesystem::permissions(names.bld, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
  EXPECT_FALSE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, done, &error));
  EXPECT_NE(error.find(names.bld), std::string::npos) << error;
  EXPECT_NE(error.find("write-protected"), std::string::npos) << error;
  EXPECT_EQ(std::filesystem::file_size(names.bld), oneFrame);
  std::filesystem::permissions(names.bld, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);

  rlimit old{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
  auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit cut = old;
  cut.rlim_cur = oneFrame + pixels.size() / 2;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &cut), 0);
  const bool appended = AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, done, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(appended);
  EXPECT_NE(error.find(names.bld), std::string::npos) << error;
  EXPECT_EQ(std::filesystem::file_size(names.bld), oneFrame);
  ASSERT_TRUE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, done, &error)) << error;
  EXPECT_EQ(done.frameCount, 2);
  EXPECT_EQ(std::filesystem::file_size(names.bld), 2 * oneFrame);
}

struct ClipShape {
  int width, height, bytesPerPixel;
  std::size_t Bytes() const { return static_cast<std::size_t>(width) * height * bytesPerPixel; }
};

// Frame k of a test clip is one value throughout, another for every frame, so a frame read from
// any other offset shows at once.
std::uint8_t FrameValue(int k) { return static_cast<std::uint8_t>(20 + 17 * k); }

bool AppendValued(const FileName& source, ClipShape shape, int k, ClipAppend& done,
                  std::string& error) {
  const std::vector<std::uint8_t> pixels(shape.Bytes(), FrameValue(k));
  return AppendClipFrame(
      source, 25.0f, {shape.width, shape.height, shape.bytesPerPixel, pixels.data()}, done, &error);
}

// Reads the clip back through the frame file's reader: it holds `frames` frames and frame k is
// FrameValue(k) in every byte.
void ExpectFramesAtTheirPlaces(const std::string& dsc, int frames, const std::string& row) {
  BldFrameSequence clip(dsc, nullptr);
  ASSERT_TRUE(clip.Open()) << row;
  EXPECT_EQ(clip.Frames(), frames) << row;
  for (int k = 1; k <= clip.Frames(); ++k) {
    const CDIB* image = clip.ReadFrame(k, true);
    ASSERT_NE(image, nullptr) << row;
    const std::uint8_t* bits = image->Bits();
    const auto wrong = std::count_if(bits, bits + image->ImageSize(),
                                     [k](std::uint8_t b) { return b != FrameValue(k); });
    EXPECT_EQ(wrong, 0) << row << ": frame " << k;
  }
}

// Two videos of one base name share a clip, and a clip may end in a piece of a frame: the clip
// only ever takes whole frames of the size and colour space it holds.
TEST_F(ClipVideo, AClipTakesOnlyWholeFramesOfItsOwnKind) {
  struct Row {
    const char* name;
    ClipShape held;           // two frames taken from run.mpg
    std::size_t tail;         // bytes of a cut-off frame after them
    const char* description;  // replaces the clip's description when given
    ClipShape added;          // frame 3, from run.avi
    const char* refusal;      // a piece of the reason; nullptr: the frame is added
  };
  const Row rows[] = {
      {"cut tail", {64, 48, 1}, 1000, nullptr, {64, 48, 1}, nullptr},
      {"colour tail longer than a grey frame", {64, 48, 3}, 5000, nullptr, {64, 48, 3}, nullptr},
      {"other size",
       {64, 48, 1},
       0,
       nullptr,
       {32, 24, 1},
       "The clip holds frames of run.mpg, 64 x 48 pixels in GREY; the image of run.avi has "
       "32 x 24 pixels in GREY.\nFrames of two sizes or colour spaces in one clip would be read "
       "wrong, so the clip was not changed."},
      {"other colour space",
       {64, 48, 1},
       0,
       nullptr,
       {64, 48, 3},
       "The clip holds frames of run.mpg, 64 x 48 pixels in GREY; the image of run.avi has "
       "64 x 48 pixels in RGB."},
      {"other size and a cut tail",
       {64, 48, 3},
       100,
       nullptr,
       {64, 48, 1},
       "64 x 48 pixels in RGB; the image of run.avi has 64 x 48 pixels in GREY."},
      {"description without a size",
       {64, 48, 1},
       0,
       "SEQUENCENAME:run.mpg\nFRAMES/S:25\n",
       {64, 48, 1},
       "gives no frame size (RESOLUTION)"},
  };
  for (const Row& row : rows) {
    const auto folder = dir_ / row.name;
    std::filesystem::create_directories(folder);
    const FileName held((folder / "run.mpg").string()), adding((folder / "run.avi").string());
    const ClipVideoFiles names = ClipVideoNames(adding);
    ClipAppend done;
    std::string error;
    for (int k = 1; k <= 2; ++k) ASSERT_TRUE(AppendValued(held, row.held, k, done, error)) << error;
    std::ofstream(names.bld, std::ios::binary | std::ios::app) << std::string(row.tail, '\xEE');
    if (row.description) std::ofstream(names.dsc, std::ios::binary) << row.description;
    const std::string bldBefore = ReadFile(names.bld), dscBefore = ReadFile(names.dsc);

    const bool added = AppendValued(adding, row.added, 3, done, error);
    EXPECT_EQ(added, row.refusal == nullptr) << row.name << ": " << error;
    EXPECT_EQ(done.refused, row.refusal != nullptr) << row.name;
    if (row.refusal) {
      EXPECT_NE(error.find(row.refusal), std::string::npos) << row.name << ": " << error;
      EXPECT_EQ(done.bytesCut, 0u) << row.name;
      EXPECT_EQ(ReadFile(names.bld), bldBefore) << row.name;
      EXPECT_EQ(ReadFile(names.dsc), dscBefore) << row.name;
    } else {
      EXPECT_EQ(done.bytesCut, row.tail) << row.name;
      EXPECT_EQ(done.frameCount, 3) << row.name;
      EXPECT_EQ(std::filesystem::file_size(names.bld), 3 * row.added.Bytes()) << row.name;
    }
    if (!row.description) ExpectFramesAtTheirPlaces(names.dsc, row.refusal ? 2 : 3, row.name);
  }
}

// A disk that fills during an append leaves whole frames only, each at its place and counted by
// the description; once there is room again the next frame lands right after them. The disk is
// sized in pages, as it fills: grey frames of 3/4 of a page fill it at the description's
// rewrite, colour frames of 9/4 of a page in the middle of a frame.
TEST_F(ClipVideo, AFullDiskLeavesOnlyWholeFrames) {
  const int page = static_cast<int>(::sysconf(_SC_PAGESIZE));
  struct Row {
    const char* name;
    int bytesPerPixel;
    int fillerPages;     // taken before the clip, given back once the disk is full
    const char* fullAt;  // the file that no longer fit
  };
  const Row rows[] = {{"grey", 1, 3, "-clipvideo.dsc"}, {"colour", 3, 4, "-clipvideo.bld"}};
  for (const Row& row : rows) {
    const ClipShape shape{page * 3 / 4 / 48, 48, row.bytesPerPixel};
    const auto disk = dir_ / row.name;
    std::filesystem::create_directories(disk);
    const std::string size = "size=" + std::to_string(16 * page);
    if (::mount("tmpfs", disk.c_str(), "tmpfs", 0, size.c_str()) != 0) {
      GTEST_SKIP() << "a small tmpfs cannot be mounted here (" << std::strerror(errno)
                   << "); this needs root";
    }
    struct Unmount {
      std::string path;
      ~Unmount() { ::umount2(path.c_str(), MNT_DETACH); }
    } unmount{disk.string()};
    std::ofstream(disk / "filler", std::ios::binary)
        << std::string(static_cast<std::size_t>(row.fillerPages * page), 'f');
    const FileName source((disk / "run.avi").string());
    const ClipVideoFiles names = ClipVideoNames(source);
    ClipAppend done;
    std::string error;
    int stored = 0;
    while (stored < 40 && AppendValued(source, shape, stored + 1, done, error))
      stored = done.frameCount;
    ASSERT_LT(stored, 40) << row.name << ": the disk never filled";
    ASSERT_GT(stored, 0) << row.name << ": " << error;
    EXPECT_EQ(done.frameCount, stored) << row.name;
    EXPECT_NE(
        error.find(std::string(row.fullAt) + " can not be written: no space is left on the disk"),
        std::string::npos)
        << row.name << ": " << error;
    EXPECT_EQ(std::filesystem::file_size(names.bld), stored * shape.Bytes()) << row.name;
    EXPECT_NE(ReadFile(names.dsc).find("FRAMES:" + std::to_string(stored) + "\n"),
              std::string::npos)
        << row.name;
    ExpectFramesAtTheirPlaces(names.dsc, stored, std::string(row.name) + ", full");

    std::filesystem::remove(disk / "filler");
    ASSERT_TRUE(AppendValued(source, shape, stored + 1, done, error)) << row.name << ": " << error;
    EXPECT_EQ(done.bytesCut, 0u) << row.name;
    ExpectFramesAtTheirPlaces(names.dsc, stored + 1, std::string(row.name) + ", room again");
  }
}

}  // namespace
