#include "sequences/bldsequence.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "base/profile.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "seq_test_util.h"
#include "sequences/sequences_ids.h"

namespace {

// A grey frame file of `frames` frames of 3 x 2 pixels; pixel value = frame * 10 + index.
std::string GreyFrames(int frames) {
  std::string s;
  for (int f = 1; f <= frames; ++f)
    for (int i = 0; i < 6; ++i) s += static_cast<char>(f * 10 + i);
  return s;
}

const char kGreyDsc[] = "RESOLUTION:3x2\r\nFRAMES/S:25\r\nUNITS:0.5\r\nASPECT:2\r\n";

TEST(BldFrameSequence, ColourFrameBecomesBottomUpBgrRows) {
  seqtest::TempDir dir;
  dir.Write("c.dsc", "RESOLUTION:2x2\nFRAMES/S:25\nCOLORSPACE:RGB\n");
  dir.Write("c.bld", std::string("\1\2\3\4\5\6\7\10\11\12\13\14", 12));
  BldFrameSequence seq(dir.File("c.dsc"), nullptr);
  ASSERT_TRUE(seq.Open());
  EXPECT_EQ(seq.Frames(), 1);
  const CDIB* dib = seq.ReadFrame(1);
  ASSERT_NE(dib, nullptr);
  EXPECT_EQ(dib->BitCount(), 24);
  const std::uint8_t expected[] = {11, 7, 3, 12, 8, 4, 0, 0, 9, 5, 1, 10, 6, 2, 0, 0};
  ASSERT_EQ(dib->ImageSize(), sizeof expected);
  EXPECT_EQ(0, std::memcmp(dib->Bits(), expected, sizeof expected));
}

TEST(BldFrameSequence, ReadsFramesByNumberSeekingOnlyWhenItMust) {
  seqtest::TempDir dir;
  dir.Write("G.DSC", kGreyDsc);
  dir.Write("g.bld", GreyFrames(3) + "\1\2\3");  // the incomplete tail is ignored
  BldFrameSequence seq(dir.File("g.bld"), nullptr);
  EXPECT_EQ(seq.ReadFrame(1), nullptr);  // not open yet
  ASSERT_TRUE(seq.Open());
  EXPECT_EQ(seq.Frames(), 3);
  EXPECT_DOUBLE_EQ(seq.lengthScale, 0.5);  // the camera model is sized from the description
  EXPECT_DOUBLE_EQ(seq.imageWidth, 3.0);

  auto topLeft = [](const CDIB* d) { return d->Bits()[d->RowBytes()]; };  // top row is stored last
  auto bottomRight = [](const CDIB* d) { return d->Bits()[2]; };
  struct Step {
    int number;
    bool force;
    int frame;  // expected frame shown
    int reads, seeks;
  };
  const Step steps[] = {
      {1, false, 1, 1, 0}, {2, false, 2, 2, 0}, {3, false, 3, 3, 0},  // in order: no seek
      {3, false, 3, 3, 0},                                            // held: no read
      {3, true, 3, 4, 1},                                             // forced: read again
      {1, false, 1, 5, 2},                                            // backwards: seek
      {0, false, 1, 5, 2}, {4, false, 1, 5, 2},                       // out of range: frame 1
      {-7, true, 1, 6, 3},
  };
  for (const Step& s : steps) {
    const CDIB* d = seq.ReadFrame(s.number, s.force);
    ASSERT_NE(d, nullptr) << s.number;
    EXPECT_EQ(topLeft(d), s.frame * 10) << s.number;
    EXPECT_EQ(bottomRight(d), s.frame * 10 + 5) << s.number;
    EXPECT_TRUE(seq.IsCurrentFrame(s.frame));
    EXPECT_EQ(seq.Reads(), s.reads) << s.number;
    EXPECT_EQ(seq.Seeks(), s.seeks) << s.number;
  }
}

TEST(BldFrameSequence, RefusesMissingAndShortFilesWithAMessage) {
  struct Case {
    const char* what;
    const char* dsc;  // null: none
    const char* bld;  // null: none
    int message;
  };
  const Case cases[] = {
      {"no description", nullptr, "123456", seqid::kDscCannotOpen},
      {"no frame file", kGreyDsc, nullptr, seqid::kFrameFileCannotOpen},
      {"empty frame file", kGreyDsc, "", seqid::kFrameFileTooShort},
      {"shorter than one frame", kGreyDsc, "12345", seqid::kFrameFileTooShort},
      {"bad description", "RESOLUTION:3x2\n", "123456", seqid::kDscMissingRate},
  };
  for (const Case& c : cases) {
    seqtest::TempDir dir;
    if (c.dsc) dir.Write("s.dsc", c.dsc);
    if (c.bld) dir.Write("s.bld", c.bld);
    platform::RecordingMessageService messages;
    BldFrameSequence seq(dir.File("s.bld"), nullptr);
    EXPECT_FALSE(seq.Open()) << c.what;
    EXPECT_FALSE(seq.IsOpened()) << c.what;
    EXPECT_EQ(seq.ReadFrame(1), nullptr) << c.what;
    ASSERT_EQ(messages.shown.size(), 1u) << c.what;
    const int caption = c.message >= seqid::kFrameFileErrorCaption ? seqid::kFrameFileErrorCaption
                                                                   : seqid::kDscErrorCaption;
    EXPECT_EQ(messages.shown[0].caption, platform::LoadString(caption)) << c.what;
    const std::string head = std::string(platform::LoadString(c.message)).substr(0, 10);
    EXPECT_EQ(messages.shown[0].text.substr(0, 10), head) << c.what;
  }
}

TEST(BldFrameSequence, AFileThatShrinksAfterOpeningGivesNoImage) {
  seqtest::TempDir dir;
  dir.Write("s.dsc", kGreyDsc);
  std::string bld = dir.Write("s.bld", GreyFrames(3));
  BldFrameSequence seq(bld, nullptr);
  ASSERT_TRUE(seq.Open());
  std::filesystem::resize_file(bld, 6 * 2 + 3);
  EXPECT_NE(seq.ReadFrame(2), nullptr);
  EXPECT_EQ(seq.ReadFrame(3), nullptr);
  EXPECT_FALSE(seq.IsCurrentFrame(3));
  EXPECT_FALSE(seq.IsCurrentFrame(2));  // the bitmap was partly overwritten
  const CDIB* again = seq.ReadFrame(2);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Bits()[4], 20);  // top line, first pixel of frame 2
}

TEST(BldFrameSequence, OnlyASequenceThatOpenedStoresItsUnitsAsDefaults) {
  seqtest::TempDir dir;
  AnaProfile profile(dir.File("s.ini").c_str());
  g_Profile = &profile;
  profile.WriteValue(key::kSection, key::kDefaultUnits, 0.25);
  {
    platform::RecordingMessageService messages;
    BldFrameSequence failed(dir.File("none.bld"), nullptr);
    EXPECT_FALSE(failed.Open());
  }
  EXPECT_FLOAT_EQ(DefaultUnits(), 0.25f);  // untouched by the sequence that failed
  dir.Write("s.dsc", "RESOLUTION:3x2\nFRAMES/S:25\nUNITS:0.75\nASPECT:1.5\n");
  dir.Write("s.bld", GreyFrames(1));
  {
    BldFrameSequence seq(dir.File("s.bld"), nullptr);
    ASSERT_TRUE(seq.Open());
  }
  EXPECT_FLOAT_EQ(DefaultUnits(), 0.75f);
  EXPECT_FLOAT_EQ(DefaultRatio(), 1.5f);
  dir.Write("t.dsc", "RESOLUTION:3x2\nFRAMES/S:25\n");
  dir.Write("t.bld", GreyFrames(1));
  BldFrameSequence next(dir.File("t.bld"), nullptr);
  ASSERT_TRUE(next.Open());
  EXPECT_FLOAT_EQ(next.fsData.units, 0.75f);  // the closed sequence's units
  EXPECT_FLOAT_EQ(next.fsData.aspect, 1.5f);
  g_Profile = nullptr;
}

TEST(BldFrameSequence, PreparePaletteGivesTheGreyRamp) {
  seqtest::TempDir dir;
  dir.Write("s.dsc", kGreyDsc);
  dir.Write("s.bld", GreyFrames(1));
  BldFrameSequence seq(dir.File("s.bld"), nullptr);
  ASSERT_TRUE(seq.Open());
  seq.colorTable[5] = {1, 2, 3, 0};
  seq.colorTableIsGrey = false;
  seq.PreparePalette();
  EXPECT_TRUE(seq.colorTableIsGrey);
  EXPECT_EQ(seq.colorTable[5], (PaletteEntry{5, 5, 5, 0}));
  EXPECT_EQ(seq.displayPalette[35], (PaletteEntry{2, 2, 2, 0}));  // the ramp, spread over 212
  EXPECT_FALSE(seq.NeedsColorReduction());
}

}  // namespace
