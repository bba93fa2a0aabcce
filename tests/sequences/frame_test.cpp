#include "sequences/frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "seq_test_util.h"
#include "sequences/bldsequence.h"
#include "sequences/imagefilter.h"
#include "sequences/sequences_ids.h"

namespace {

// A one-frame sequence written by the test: grey 3 x 3 values 100..108 top line first, or a
// colour 2 x 2 frame with red 10..13, green 20..23, blue 30..33.
struct Fixture {
  explicit Fixture(bool colour) {
    if (colour) {
      dir.Write("s.dsc", "RESOLUTION:2x2\nFRAMES/S:25\nCOLORSPACE:RGB\n");
      dir.Write("s.bld", std::string("\12\13\14\15\24\25\26\27\36\37\40\41", 12));
    } else {
      dir.Write("s.dsc", "RESOLUTION:3x3\nFRAMES/S:25\n");
      std::string bytes;
      for (int v = 100; v < 109; ++v) bytes += static_cast<char>(v);
      dir.Write("s.bld", bytes);
    }
    seq = std::make_unique<BldFrameSequence>(dir.File("s.bld"), nullptr);
    EXPECT_TRUE(seq->Open());
    seq->PreparePalette();
  }
  seqtest::TempDir dir;
  std::unique_ptr<BldFrameSequence> seq;
};

std::vector<std::uint8_t> Planes(const Frame& f, std::size_t size) {
  std::vector<std::uint8_t> out(size);
  f.CopyToPlanes(out.data());
  return out;
}

TEST(Frame, OriginalGreyFrameComesOutTopLineFirst) {
  Fixture fx(false);
  Frame frame(fx.seq.get());
  frame.SetupImage();
  ASSERT_NE(frame.PrepareImage(fx.seq->ReadFrame(1)), nullptr);
  EXPECT_EQ(Planes(frame, 9),
            (std::vector<std::uint8_t>{100, 101, 102, 103, 104, 105, 106, 107, 108}));
  EXPECT_EQ(frame.PrepareImage(nullptr), nullptr);
}

TEST(Frame, GreyFilterNeverCountsRowPaddingAsPixels) {
  Fixture fx(false);
  Frame frame(fx.seq.get());
  frame.SetupImage();
  frame.Image().filterId = seqid::kFilterGreyScaleStretch;
  const CDIB* shown = frame.PrepareImage(fx.seq->ReadFrame(1));
  ASSERT_NE(shown, nullptr);
  // Smallest 100, largest 108: (v - 100) * 256 / 8, capped at 255.
  EXPECT_EQ(Planes(frame, 9), (std::vector<std::uint8_t>{0, 32, 64, 96, 128, 160, 192, 224, 255}));
  for (int y = 0; y < 3; ++y) EXPECT_EQ(shown->Bits()[y * 4 + 3], 0) << "padding of row " << y;
}

TEST(Frame, GreyGammaCorrectsTheColourTableNotThePixels) {
  Fixture fx(false);
  Frame frame(fx.seq.get());
  frame.SetupImage();
  frame.Image().SetGamma(2.0, 2.0, 0.5, true);
  const CDIB* shown = frame.PrepareImage(fx.seq->ReadFrame(1));
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(Planes(frame, 9)[0], 100);
  EXPECT_EQ(shown->Palette()[100], (PaletteEntry{200, 200, 50, 0}));
  EXPECT_EQ(shown->Palette()[200], (PaletteEntry{255, 255, 100, 0}));
  // The sequence's own table stays the ramp for the next frame.
  EXPECT_EQ(fx.seq->colorTable[100], (PaletteEntry{100, 100, 100, 0}));
}

TEST(Frame, ColourFrameIsCorrectedThenFilteredPerPlane) {
  Fixture fx(true);
  Frame frame(fx.seq.get());
  frame.SetupImage();
  ASSERT_NE(frame.PrepareImage(fx.seq->ReadFrame(1)), nullptr);
  EXPECT_EQ(Planes(frame, 12),
            (std::vector<std::uint8_t>{10, 11, 12, 13, 20, 21, 22, 23, 30, 31, 32, 33}));

  frame.Image().SetGamma(2.0, 1.0, 1.0, true);
  frame.Image().filterId = seqid::kFilterGreyScaleStretch;
  ASSERT_NE(frame.PrepareImage(fx.seq->ReadFrame(1)), nullptr);
  // Red doubled to 20..26 first, then each plane stretched on its own: red (v - 20) * 256 / 6,
  // green and blue (v - lo) * 256 / 3.
  EXPECT_EQ(Planes(frame, 12),
            (std::vector<std::uint8_t>{0, 85, 170, 255, 0, 85, 170, 255, 0, 85, 170, 255}));
  // The working bitmap of the sequence is untouched.
  std::vector<std::uint8_t> raw(12);
  fx.seq->FrameBitmap().ToPlanes(raw.data());
  EXPECT_EQ(raw[0], 10);
}

}  // namespace
