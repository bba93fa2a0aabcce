// Loading by file type: reader dispatch, list files, clip video and the player's frame steps.
#include <gtest/gtest.h>

#include <vector>

#include <csignal>
#include <sys/resource.h>

#include "app/clipvideo.h"
#include "app/player.h"
#include "app/sequencelist.h"
#include "platform/message_service.h"
#include "common/settings_fixture.h"

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
  int frames = 0;
  std::string error;
  for (int i = 0; i < 2; ++i)
    ASSERT_TRUE(AppendClipFrame(source, 25.0f, {320, 240, 1, pixels.data()}, frames, &error)) << error;
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(std::filesystem::file_size(names.bld), 2u * 320 * 240);
  EXPECT_EQ(ReadFile(names.dsc),
            "# Zorvatrack generated ClipVideo\nSEQUENCENAME:run\nRESOLUTION:320x240\n"
            "FRAMES/S:25.000000\nFRAMES:2\nCOLORSPACE:GREY\n");
  FileName nowhere((dir_ / "no/such/run.avi").string());
  EXPECT_FALSE(AppendClipFrame(nowhere, 25.0f, {320, 240, 1, pixels.data()}, frames, &error));
  EXPECT_FALSE(error.empty());
}

// A clip is appended to, not replaced: a write-protected clip stays as it is, and a frame that
// is cut off by a full disk (here the process's file-size limit) is taken off again, so later
// frames do not land shifted.
TEST_F(ClipVideo, AFrameNotWrittenWholeLeavesTheClipAsItWas) {
  FileName source((dir_ / "run.avi").string());
  const auto names = ClipVideoNames(source);
  std::vector<std::uint8_t> pixels(64 * 48, 9);
  int frames = 0;
  std::string error;
  ASSERT_TRUE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, frames, &error)) << error;
  const auto oneFrame = std::filesystem::file_size(names.bld);

  std::filesystem::permissions(names.bld, std::filesystem::perms::owner_read |
                                              std::filesystem::perms::group_read |
                                              std::filesystem::perms::others_read);
  EXPECT_FALSE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, frames, &error));
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
  const bool appended =
      AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, frames, &error);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(appended);
  EXPECT_NE(error.find(names.bld), std::string::npos) << error;
  EXPECT_EQ(std::filesystem::file_size(names.bld), oneFrame);
  ASSERT_TRUE(AppendClipFrame(source, 25.0f, {64, 48, 1, pixels.data()}, frames, &error)) << error;
  EXPECT_EQ(frames, 2);
  EXPECT_EQ(std::filesystem::file_size(names.bld), 2 * oneFrame);
}

}  // namespace
