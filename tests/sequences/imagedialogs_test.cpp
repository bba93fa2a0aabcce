#include "sequences/imagedialogs.h"

#include <gtest/gtest.h>

#include "sequences/sequences_ids.h"

namespace {

TEST(FilterDlgModel, CancelRestoresTheFilterShownBeforeOpening) {
  CDIB dib;
  dib.filterId = seqid::kFilterSobel;
  int notified = 0;
  FilterDlgModel dlg(dib, [&] { ++notified; });
  dlg.Choose(seqid::kFilterLowPass);
  dlg.Choose(seqid::kFilterMop8);
  EXPECT_EQ(dib.filterId, seqid::kFilterMop8);
  EXPECT_EQ(notified, 2);
  dlg.Cancel();
  EXPECT_EQ(dib.filterId, seqid::kFilterSobel);
  EXPECT_EQ(notified, 3);
}

TEST(FilterDlgModel, PaintDelayTextIsBounded) {
  CDIB dib;
  FilterDlgModel dlg(dib, nullptr);
  EXPECT_EQ(dlg.PaintDelayText(), "0");
  const std::pair<const char*, int> cases[] = {
      {"250", 250}, {" 40ms", 40}, {"abc", 0}, {"-5", 0}, {"99999999999", CDIB::kMaxPaintDelayMs}};
  for (const auto& [text, ms] : cases) {
    dlg.SetPaintDelayText(text);
    EXPECT_EQ(dib.PaintDelay(), ms) << text;
  }
}

struct RecordingDefaults : GammaDefaults {
  GammaSettings Get() const override { return saved; }
  void Save(const GammaSettings& s) override { saved = s; }
  GammaSettings saved;
};

TEST(GammaDialogModel, PositionsFactorsAndKeepTogether) {
  CDIB dib;
  dib.SetGamma(0.75, 1.2, 0.29, false);
  int notified = 0;
  RecordingDefaults defaults;
  GammaDialogModel dlg(
      dib, [&] { ++notified; }, &defaults);
  EXPECT_FALSE(dlg.KeepTogether());
  EXPECT_EQ(dlg.Position(GammaDialogModel::kBlue), 29);
  EXPECT_EQ(dlg.FactorText(GammaDialogModel::kGreen), "1.20");

  dlg.SetPosition(GammaDialogModel::kRed, 25);
  EXPECT_EQ(dib.Gamma(), (GammaSettings{0.25, 1.2, 0.29, false}));
  dlg.SetPosition(GammaDialogModel::kRed, 500);  // beyond the range
  EXPECT_DOUBLE_EQ(dib.Gamma().red, 2.0);
  EXPECT_EQ(dlg.FactorText(GammaDialogModel::kRed), "2.00");

  dlg.SetKeepTogether(true);  // green and blue take red's position at once
  EXPECT_EQ(dib.Gamma(), (GammaSettings{2.0, 2.0, 2.0, false}));
  dlg.SetPosition(GammaDialogModel::kGreen, 150);
  EXPECT_EQ(dib.Gamma(), (GammaSettings{1.5, 1.5, 1.5, false}));

  dlg.SetLinear(true);
  dlg.Reset();
  EXPECT_EQ(dib.Gamma(), (GammaSettings{1.0, 1.0, 1.0, true}));
  EXPECT_TRUE(dlg.KeepTogether());
  EXPECT_EQ(notified, 6);

  dlg.SetPosition(GammaDialogModel::kBlue, 80);
  dlg.SaveAsDefault();
  EXPECT_EQ(defaults.saved, (GammaSettings{0.8, 0.8, 0.8, true}));
}

TEST(GammaDialogModel, KeepTogetherStartsCheckedForEqualFactors) {
  CDIB dib;
  dib.SetGamma(1.3, 1.3, 1.3, true);
  GammaDialogModel dlg(dib, nullptr, nullptr);
  EXPECT_TRUE(dlg.KeepTogether());
  EXPECT_TRUE(dlg.Linear());
  dlg.SaveAsDefault();  // without defaults: nothing happens
}

}  // namespace
