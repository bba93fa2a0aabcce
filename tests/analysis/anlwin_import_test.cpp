// Imported acquisition data in an analysis window, through its commands: the channel shows on an
// ordinate of its own in a colour of its own, a click selects it and the ordinate reads its
// values, and ending the import gives the window back its own range. The export command opens
// the analysis-data export.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <cmath>

#include "analysis/import/importliste.h"
#include "analysis/ui/anlwin.h"
#include "analysis/ui/anlwinlayout.h"
#include "analysis/ui/exportanalyzedlg.h"
#include "analysis_test_util.h"
#include "common/temp_dir.h"
#include "platform/message_service.h"
#include "platform/strings.h"
#include "platform/ui/choosers.h"

namespace {

constexpr int kFrames = 60;

class AnlWinImport : public ::testing::Test {
 protected:
  AnlWinImport() : data_(kFrames) {
    for (int s = 0; s < 2; ++s) {
      std::vector<float> x(kFrames), y(kFrames);
      for (int i = 0; i < kFrames; ++i) {
        x[i] = 10.0f * i;
        y[i] = 100.0f + 40.0f * s + 20.0f * std::sin(i * 0.2f);
      }
      data_.Make(x, y);
    }
    // A plate of 4 samples a frame that records 20 frames longer than the video.
    std::string samples;
    for (int s = 0; s < 4 * (kFrames + 20); ++s)
      samples += platform::Format("%d\n", static_cast<int>(500 + 400 * std::sin(s * 0.05)));
    daq_ = dir_.Write("plate.daq", samples);
    dir_.Write("plate.Dqs", "DAQ_SPF: 4\nDAQ_FORMAT: ASCII\nDAQ_POLARITY: BI\n");
  }
  AnlWin& Open(int kind) {
    layout_ = std::make_unique<AnlWinLayout>(nullptr, "1. Analysis / test", 1, &data_.doc, kind);
    layout_->resize(700, 500);
    layout_->SetupWindow();
    layout_->show();
    QApplication::processEvents();
    return *layout_->Window2D();
  }
  bool Run(int id) { return layout_->DispatchCommand(id); }
  bool Enabled(int id) {
    platform::CommandEnabler ce(id);
    layout_->DispatchEnabler(ce);
    return ce.enabled;
  }

  platform::RecordingMessageService messages_;
  platform::ScriptedChoosers choosers_;
  SequenceDocument data_;
  testutil::TempDir dir_{"anlimport"};
  std::string daq_;
  std::unique_ptr<AnlWinLayout> layout_;
};

TEST_F(AnlWinImport, ImportShowsOnItsOwnOrdinateAndEndingItRestoresTheWindow) {
  AnlWin& w = Open(quantity::kY);
  const float xMax = w.Axes().xMax;
  EXPECT_FALSE(Enabled(25375));

  // Cancelled: nothing changes, nothing is said.
  ASSERT_TRUE(Run(25374));
  EXPECT_EQ(w.Imports(), nullptr);
  ASSERT_EQ(choosers_.asked.size(), 1u);
  EXPECT_EQ(choosers_.asked[0].title, "Open import data");
  EXPECT_TRUE(choosers_.asked[0].filter.contains("*.daq"));

  choosers_.fileAnswers.push_back(QString::fromStdString(daq_));
  ASSERT_TRUE(Run(25374));
  ASSERT_NE(w.Imports(), nullptr);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
  ASSERT_EQ(w.Imports()->Curves().size(), 1u);
  const ImportZeichnen& plate = *w.Imports()->Curves()[0];
  EXPECT_TRUE(Enabled(25375));
  // Its colour is none of the series'; the time axis takes in its last sample.
  for (const auto& e : w.Entries()) EXPECT_NE(plate.GetColor(), e->OwnColor());
  EXPECT_GT(w.Axes().xMax, xMax + 19);

  QImage shot = w.grab().toImage();
  ASSERT_TRUE(shot.save(QString(ZORVAT_BUILD_DIR) + "/anlwin_import.png"));
  const QRgb colour = qRgb(RedOf(plate.GetColor()), GreenOf(plate.GetColor()),
                           BlueOf(plate.GetColor()));
  int pixels = 0;
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x) pixels += shot.pixel(x, y) == colour;
  EXPECT_GT(pixels, 200);

  // A click on the curve selects it; the ordinate then shows the imported values.
  const auto& a = w.Axes();
  const float frame = 70.0f;  // beyond the series: only the plate recorded there
  const float value = plate.ValueAt(frame, ImportListe::kStartFrame);
  const float p = w.Imports()->ToWindowOrdinate(value, a.yScale, a.yMin);
  ASSERT_TRUE(w.SelectAt(QPoint(static_cast<int>(a.ValueToPixelX(frame)),
                                static_cast<int>(a.ValueToPixelY(p)))));
  EXPECT_EQ(w.SelectedImport(), &plate);
  EXPECT_TRUE(w.Axes().importSelected);
  w.Repaint();
  ASSERT_TRUE(w.grab().save(QString(ZORVAT_BUILD_DIR) + "/anlwin_import_selected.png"));
  // A click beside every curve lets it go.
  w.SelectAt(QPoint(static_cast<int>(a.ValueToPixelX(frame)), 2));
  EXPECT_EQ(w.SelectedImport(), nullptr);
  EXPECT_FALSE(w.Axes().importSelected);

  ASSERT_TRUE(Run(25375));
  EXPECT_EQ(w.Imports(), nullptr);
  EXPECT_EQ(w.Axes().imports, nullptr);
  EXPECT_FALSE(Enabled(25375));
  EXPECT_FLOAT_EQ(w.Axes().xMax, xMax);
  EXPECT_TRUE(messages_.shown.empty()) << messages_.shown[0].text;
}

TEST_F(AnlWinImport, AFailedImportLeavesTheWindowAsItWas) {
  AnlWin& w = Open(quantity::kY);
  dir_.Write("plate.Dqs", "DAQ_SPF: 0\nDAQ_FORMAT: ASCII\nDAQ_POLARITY: BI\n");
  choosers_.fileAnswers.push_back(QString::fromStdString(daq_));
  ASSERT_TRUE(Run(25374));
  EXPECT_EQ(w.Imports(), nullptr);
  ASSERT_EQ(messages_.shown.size(), 1u);
  EXPECT_EQ(messages_.shown[0].text, std::string(platform::LoadString(32040)));
  EXPECT_FALSE(Enabled(25375));
}

TEST_F(AnlWinImport, TheExportCommandOpensTheExportOfTheWindowsDocument) {
  Open(quantity::kX);
  EXPECT_TRUE(Enabled(25376));
  bool opened = false;
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<ExportAnalyzeData*>(QApplication::activeModalWidget());
    opened = dialog && dialog->Items().size() == 2;
    if (dialog) dialog->EndDialog(2);
  });
  ASSERT_TRUE(Run(25376));
  EXPECT_TRUE(opened);
}

}  // namespace
