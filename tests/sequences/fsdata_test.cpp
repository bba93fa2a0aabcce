#include "sequences/fsdata.h"

#include <gtest/gtest.h>

#include "base/profile.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "seq_test_util.h"
#include "sequences/sequences_ids.h"

namespace {

const char kGoodDsc[] =
    "SEQUENCENAME:Jump 3\r\nDATE:2003-05-01\r\nRESOLUTION:4x2\r\nFRAMES/S:50\r\n"
    "TRIGGER:12.5\r\nFIRSTFRAME:3\r\nFRAMES:7\r\nUNITS:0.25\r\nASPECT:1.5\r\nCOLORSPACE:rgb\r\n";

// Settings in a file of the test's own folder; removed with it.
class ProfileScope {
 public:
  explicit ProfileScope(const std::string& path) : profile_(path.c_str()) { g_Profile = &profile_; }
  ~ProfileScope() { g_Profile = nullptr; }
  AnaProfile& profile() { return profile_; }

 private:
  AnaProfile profile_;
};

TEST(ReadDSC, ReadsEveryTagOfADescriptionWithCrLfAndUpperCaseName) {
  seqtest::TempDir dir;
  dir.Write("JUMP.DSC", kGoodDsc);
  platform::RecordingMessageService messages;
  FS_Data d;
  ASSERT_TRUE(ReadDSC(d, dir.File("jump.bld")));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(d.width, 4);
  EXPECT_EQ(d.height, 2);
  EXPECT_FLOAT_EQ(d.framesPerSecond, 50.0f);
  EXPECT_EQ(d.sequenceName, "Jump 3");
  EXPECT_EQ(d.date, "2003-05-01");
  EXPECT_FLOAT_EQ(d.trigger, 12.5f);
  EXPECT_FLOAT_EQ(d.firstFrame, 3.0f);
  EXPECT_EQ(d.frames, 7);
  EXPECT_FLOAT_EQ(d.units, 0.25f);
  EXPECT_FLOAT_EQ(d.aspect, 1.5f);
  EXPECT_EQ(d.colour, 1);
  EXPECT_EQ(d.colours, 16777216);
}

TEST(ReadDSC, FallsBackToParAndDefaults) {
  seqtest::TempDir dir;
  dir.Write("a.par", "RESOLUTION:8x6\nFRAMES/S:25\nCOLORSPACE:RGB \n");
  ProfileScope settings(dir.File("s.ini"));
  settings.profile().WriteValue(key::kSection, key::kDefaultUnits, 0.5);
  FS_Data d;
  ASSERT_TRUE(ReadDSC(d, dir.File("a.bld")));
  EXPECT_EQ(d.sequenceName, "a.par");
  EXPECT_EQ(d.date, "no comment");
  EXPECT_EQ(d.frames, 0);
  EXPECT_FLOAT_EQ(d.units, 0.5f);
  EXPECT_FLOAT_EQ(d.aspect, 1.0f);
  EXPECT_EQ(d.colour, 0);  // "RGB " is not RGB
  EXPECT_EQ(d.colours, 256);
}

TEST(ReadDSC, RefusesBadDescriptionsWithTheirMessage) {
  struct Case {
    const char* text;
    int message;
  };
  const Case cases[] = {
      {"FRAMES/S:25\n", seqid::kDscMissingResolution},
      {"RESOLUTION:640\nFRAMES/S:25\n", seqid::kDscBadResolution},
      {"RESOLUTION:0x480\nFRAMES/S:25\n", seqid::kDscBadResolution},
      {"RESOLUTION:-640x480\nFRAMES/S:25\n", seqid::kDscBadResolution},
      {"# RESOLUTION:640x480\nFRAMES/S:25\n", seqid::kDscMissingResolution},
      {"RESOLUTION:640x480\n", seqid::kDscMissingRate},
      {"RESOLUTION:640x480\nFRAMES/S:fast\n", seqid::kDscZeroRate},
      {"RESOLUTION:640x480\nFRAMES/S:-25\n", seqid::kDscZeroRate},
      {"RESOLUTION:640x480\nFRAMES/S:nan\n", seqid::kDscZeroRate},
      {"RESOLUTION:640x480\nFRAMES/S:25\nUNITS:0\n", seqid::kDscBadUnits},
      {"RESOLUTION:640x480\nFRAMES/S:25\nUNITS:-0.1\n", seqid::kDscBadUnits},
      {"RESOLUTION:640x480\nFRAMES/S:25\nASPECT:0\n", seqid::kDscBadAspect},
  };
  for (const Case& c : cases) {
    seqtest::TempDir dir;
    std::string dsc = dir.Write("s.dsc", c.text);
    platform::RecordingMessageService messages;
    FS_Data d;
    EXPECT_FALSE(ReadDSC(d, dir.File("s.bld"))) << c.text;
    ASSERT_EQ(messages.shown.size(), 1u) << c.text;
    EXPECT_EQ(messages.shown[0].caption, "Error in DSC-file");
    EXPECT_EQ(messages.shown[0].text, platform::FormatString(c.message, dsc)) << c.text;
  }
  seqtest::TempDir dir;
  platform::RecordingMessageService messages;
  FS_Data d;
  EXPECT_FALSE(ReadDSC(d, dir.File("none.bld")));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            "DSC-file: " + dir.File("none.DSC") + "\n\nFile can not be opened.");
}

TEST(ReadDSCPartial, TakesWhatIsPresentAndRepairsTheRest) {
  seqtest::TempDir dir;
  FS_Data none;
  ReadDSCPartial(none, dir.File("v.avi"));  // no description, no settings: no error
  EXPECT_FLOAT_EQ(none.units, 1.0f);
  EXPECT_FLOAT_EQ(none.aspect, 1.0f);
  EXPECT_FLOAT_EQ(none.framesPerSecond, 1.0f);

  dir.Write("v.DSC", "FRAMES/S: none\nCOLORSPACE:Rgb\nUNITS:-3\nASPECT:2\n");
  platform::RecordingMessageService messages;
  FS_Data d;
  d.framesPerSecond = 30.0f;
  ReadDSCPartial(d, dir.File("v.avi"));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FLOAT_EQ(d.framesPerSecond, 1.0f);  // present but no number
  EXPECT_EQ(d.colour, 1);
  EXPECT_FLOAT_EQ(d.units, 1.0f);
  EXPECT_FLOAT_EQ(d.aspect, 2.0f);
}

TEST(FS_Data, StoresUnitsAndAspectAsTheNextDefaults) {
  seqtest::TempDir dir;
  ProfileScope settings(dir.File("s.ini"));
  FS_Data d;
  d.units = 0.2f;
  d.aspect = 1.25f;
  d.StoreDefaults();
  EXPECT_FLOAT_EQ(DefaultUnits(), 0.2f);
  EXPECT_FLOAT_EQ(DefaultRatio(), 1.25f);
}

}  // namespace
