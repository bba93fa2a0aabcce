// Colour reduction and the display palette: the palette's entries, both methods on small
// histograms, the set-up's numbers, a whole run over a frame file and both dialogs.
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "seq_test_util.h"
#include "sequences/bldsequence.h"
#include "sequences/colorpalette.h"
#include "sequences/colreduce.h"
#include "sequences/sequences_ids.h"
#include "sequences/ui/colreducedlg.h"

namespace {

using Colours = std::vector<PaletteEntry>;

PaletteEntry Rgb(int r, int g, int b) {
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b),
          0};
}

// A histogram of `count` pixels of each colour.
ColorReduction Histogram(const Colours& colours, const std::vector<int>& counts) {
  ColorReduction reduction;
  for (std::size_t i = 0; i < colours.size(); ++i) {
    const std::uint8_t bgr[3] = {colours[i].blue, colours[i].green, colours[i].red};
    for (int n = 0; n < counts[i]; ++n) reduction.AddRow(bgr, 1, 24);
  }
  return reduction;
}

Colours Sorted(Colours c) {
  std::sort(c.begin(), c.end(), [](const PaletteEntry& a, const PaletteEntry& b) {
    return std::tie(a.red, a.green, a.blue) < std::tie(b.red, b.green, b.blue);
  });
  return c;
}

TEST(ColorPalette, ObjectColoursAndSequenceColoursHaveTheirOwnEntries) {
  ColorPalette p;
  p.SetEntry(0, 1, 2, 3);
  p.SetEntry(25, 4, 5, 6);  // 25 mod 24 = 1
  p.SetEntry(-1, 7, 8, 9);
  EXPECT_EQ(p[10], Rgb(1, 2, 3));
  EXPECT_EQ(p[11], Rgb(4, 5, 6));
  EXPECT_EQ(p[33], Rgb(7, 8, 9));

  std::array<PaletteEntry, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = Rgb(i, 255 - i, 0);
  p.SetEntries(table, true);
  EXPECT_EQ(p[34], table[0]);
  EXPECT_EQ(p[245], table[211]);
  EXPECT_EQ(p[246], Rgb(246, 246, 246));  // beyond the sequence's entries: untouched
  EXPECT_EQ(p[10], Rgb(1, 2, 3));
  p.SetEntries(table, false);  // grey: the table twice over, the second pass in between
  EXPECT_EQ(p[35], table[2]);
  EXPECT_EQ(p[139], table[253]);
  EXPECT_EQ(p[140], table[1]);

  EXPECT_EQ(p.NearestIndex(0x000000FF), 0x000000FFu);  // no entry is pure red
  EXPECT_EQ(p.NearestIndex(0x00030201), ColorPalette::kPaletteIndexFlag | 10u);  // exact
}

TEST(ColorReduction, ThreeColoursComeBackRoundedDownToMultiplesOfEight) {
  const Colours colours = {Rgb(200, 13, 7), Rgb(15, 250, 100), Rgb(90, 90, 255)};
  const Colours expected = Sorted({Rgb(200, 8, 0), Rgb(8, 248, 96), Rgb(88, 88, 248)});
  ColorReduction median = Histogram(colours, {5, 1, 3});
  EXPECT_EQ(median.Distinct(), 3);
  EXPECT_EQ(Sorted(median.MedianCut()), expected);
  ColorReduction popular = Histogram(colours, {5, 1, 3});
  EXPECT_EQ(popular.Popularity(), (Colours{Rgb(200, 8, 0), Rgb(88, 88, 248), Rgb(8, 248, 96)}));
}

TEST(ColorReduction, EdgeCasesOfBothMethods) {
  // Equal counts: the higher cell (here the one with more blue) first.
  ColorReduction tie = Histogram({Rgb(8, 8, 8), Rgb(8, 8, 16)}, {4, 4});
  EXPECT_EQ(tie.Popularity(), (Colours{Rgb(8, 8, 16), Rgb(8, 8, 8)}));
  // One cell: a box in one slice is not split.
  EXPECT_EQ(Histogram({Rgb(40, 40, 40)}, {9}).MedianCut(), (Colours{Rgb(40, 40, 40)}));
  EXPECT_TRUE(ColorReduction().MedianCut().empty());
  // More colours than the palette passes on: 212 chosen by either method.
  Colours many;
  for (int i = 0; i < 300; ++i) many.push_back(Rgb((i % 32) * 8, (i / 32) * 8, 0));
  ColorReduction lots = Histogram(many, std::vector<int>(300, 1));
  EXPECT_EQ(lots.Distinct(), 300);
  EXPECT_EQ(lots.MedianCut().size(), 212u);
  EXPECT_EQ(lots.Popularity().size(), 212u);
}

TEST(SetupColReduceModel, StartsFromTheFrameCountAndKeepsNumbersInRange) {
  struct Case {
    int frames;
    int from, to, every;  // as given
    ColReduceSettings start, accepted;
  };
  const auto P = ColReduceMethod::kPopularity;
  const auto M = ColReduceMethod::kMedianCut;
  const Case cases[] = {
      {1, 1, 1, 1, {1, 1, 1, M}, {1, 1, 1, P}},
      {5, 2, 4, 0, {1, 5, 1, M}, {2, 4, 1, P}},         // every 0 would never end
      {80, 70, 10, 3, {1, 80, 10, M}, {10, 70, 3, P}},  // swapped
      {80, 0, 200, 5, {1, 80, 10, M}, {1, 80, 5, P}},   // within the frames
  };
  for (const Case& c : cases) {
    SetupColReduceModel model(c.frames, M);
    EXPECT_EQ(model.NeedsChoice(), c.frames > 1);
    const ColReduceSettings& s = model.Settings();
    EXPECT_EQ(std::tie(s.from, s.to, s.every), std::tie(c.start.from, c.start.to, c.start.every))
        << c.frames;
    const ColReduceSettings& a = model.Accept(c.from, c.to, c.every, P);
    EXPECT_EQ(std::tie(a.from, a.to, a.every, a.method),
              std::tie(c.accepted.from, c.accepted.to, c.accepted.every, c.accepted.method))
        << c.frames;
  }
}

// A colour frame file of 3 frames of 4 x 2 pixels: frame f is one colour.
struct ColourFile {
  ColourFile() {
    std::string bld;
    for (int f = 0; f < 3; ++f)
      for (int plane = 0; plane < 3; ++plane)
        bld += std::string(8, static_cast<char>(kColours[f][plane]));
    dir.Write("c.dsc", "RESOLUTION:4x2\nFRAMES/S:25\nCOLORSPACE:RGB\n");
    path = dir.Write("c.bld", bld);
  }
  static constexpr int kColours[3][3] = {{200, 0, 0}, {0, 200, 0}, {0, 0, 200}};
  seqtest::TempDir dir;
  std::string path;
};

TEST(ColorReduction, ARunSamplesTheChosenFramesIntoTheColourTable) {
  ColourFile file;
  BldFrameSequence seq(file.path, nullptr);
  ASSERT_TRUE(seq.Open());
  std::vector<int> tasks, percents;
  ReduceSequenceColors(
      seq, {1, 3, 2, ColReduceMethod::kMedianCut}, false, [&](int t) { tasks.push_back(t); },
      [&](int p) { percents.push_back(p); });
  EXPECT_EQ(tasks, (std::vector<int>{seqid::kColReduceHistogramTask, seqid::kColReduceMedianCutTask,
                                     seqid::kColReduceTableTask}));
  EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(seq.colorsFound, 2);  // frames 1 and 3; frame 2 was skipped
  EXPECT_EQ(Sorted({seq.colorTable[0], seq.colorTable[1]}),
            Sorted({Rgb(200, 0, 0), Rgb(0, 0, 200)}));
  EXPECT_EQ(seq.colorTable[2], Rgb(0, 0, 0));
  EXPECT_FALSE(seq.colorTableIsGrey);

  ReduceSequenceColors(seq, {1, 3, 1, ColReduceMethod::kPopularity}, true, {}, {});
  EXPECT_EQ(seq.colorsFound, 1);  // one-frame mode: frame 1 only
  EXPECT_EQ(seq.colorTable[0], Rgb(200, 0, 0));
}

TEST(ColReduceDialogs, SetUpStoresTheChoiceAndProgressRunsTheReduction) {
  ColReduceSettingsInUse() = {};
  SetupColReduceDlg single(nullptr, 1);
  EXPECT_EQ(single.Execute(), 1);  // one frame: no choice to make
  EXPECT_FALSE(single.isVisible());
  EXPECT_EQ(ColReduceSettingsInUse().to, 1);

  SetupColReduceDlg setup(nullptr, 40);
  EXPECT_EQ(setup.ControlAs<QLineEdit>(seqid::kColReduceEvery)->text(), "5");
  EXPECT_TRUE(setup.ControlAs<QRadioButton>(seqid::kColReduceMedianCut)->isChecked());
  setup.ControlAs<QLineEdit>(seqid::kColReduceFrom)->setText("3");
  setup.ControlAs<QLineEdit>(seqid::kColReduceTo)->setText("1");
  setup.ControlAs<QLineEdit>(seqid::kColReduceEvery)->setText("0");
  setup.ControlAs<QRadioButton>(seqid::kColReducePopularity)->setChecked(true);
  QTimer::singleShot(0, &setup, [&] { setup.ControlAs<QPushButton>(1)->click(); });
  EXPECT_EQ(setup.Execute(), 1);
  const ColReduceSettings s = ColReduceSettingsInUse();
  EXPECT_EQ(s.from, 1);
  EXPECT_EQ(s.to, 3);
  EXPECT_EQ(s.every, 1);
  EXPECT_EQ(s.method, ColReduceMethod::kPopularity);

  ColourFile file;
  BldFrameSequence seq(file.path, nullptr);
  ASSERT_TRUE(seq.Open());
  ColReduceDlg progress(nullptr, seq);
  EXPECT_EQ(progress.Execute(), 1);
  EXPECT_EQ(seq.colorsFound, 3);
  EXPECT_EQ(seq.colorTable[0], Rgb(200, 0, 0));  // the most frequent first; ties: higher cell
}

}  // namespace
