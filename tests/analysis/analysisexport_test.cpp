// The analysis-data export: one file per sequence, read back.

#include "analysis/export/analysisexport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "analysis_test_util.h"
#include "base/textformat.h"
#include "common/settings_fixture.h"
#include "common/temp_dir.h"
#include "objects/stickfigure.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

std::vector<std::string> Split(const std::string& line, char delimiter) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, delimiter)) fields.push_back(field);
  if (!line.empty() && line.back() == delimiter) fields.emplace_back();
  return fields;
}

std::vector<std::vector<std::string>> ReadRows(const std::string& path, char delimiter) {
  std::ifstream in(path);
  std::vector<std::vector<std::string>> rows;
  for (std::string line; std::getline(in, line);) rows.push_back(Split(line, delimiter));
  return rows;
}

struct AnalysisExport : TempSettings {
  void SetUp() override {
    TempSettings::SetUp();
    // Semicolons, a decimal comma and two decimals.
    WriteSettings(
        "[Zorvatrack]\nDelimeter=SEMICOLON\nFloatingpoint=COMMA\nFloatingpointPrecision=2\n");
  }
};

TEST_F(AnalysisExport, OneFilePerSequenceWithAHeaderAndOneLinePerFrameInDisplayUnits) {
  constexpr int kFrames = 20;
  SequenceDocument d(kFrames);
  d.doc.framesPerSecond = 100.0f;
  // A moves 10 mm a frame along x (y = 2x) with no point at frame 4; B stands 30 mm above it.
  std::vector<float> ax, bx, by;
  for (int i = 0; i < kFrames; ++i) {
    ax.push_back(i == 3 ? M : 10.0f * i);
    bx.push_back(10.0f * i);
    by.push_back(20.0f * i + 30.0f);
  }
  ResObjectSequence* a = d.Make(ax);
  ResObjectSequence* b = d.Make(bx, by);
  a->name = "Knee";
  b->name = "Hip";
  d.doc.ObjectSequences()->Figure().Connect(a, b, kBlack);

  const std::vector<analysis_export::Item> items = analysis_export::ExportList(d.doc);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].fileName, platform::Format("Knee.u%02d", a->number));
  EXPECT_EQ(items[1].fileName, platform::Format("Hip.u%02d", b->number));

  UnitsOrigin units;
  units.spaceUnit = unit::kCm;
  units.timeUnit = unit::kS;
  testutil::TempDir dir("anlexport");
  platform::RecordingMessageService messages;
  ASSERT_TRUE(analysis_export::Export(d.doc, dir.Path().string(), items,
                                      {quantity::kX, quantity::kX1, quantity::kDistance},
                                      units));
  EXPECT_TRUE(messages.shown.empty());

  const auto rows = ReadRows(dir.File(items[0].fileName), ';');
  ASSERT_EQ(rows.size(), kFrames + 1u);  // the header and every frame
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Frame", "x [cm]", "x' [cm/s]",
                                               "Distance [cm] Hip"}));
  for (std::size_t f = 1; f < rows.size(); ++f) {
    SCOPED_TRACE(f);
    ASSERT_EQ(rows[f].size(), 4u);
    EXPECT_EQ(rows[f][0], std::to_string(f));
    if (f == 4) {
      // No point: every column of the frame is empty.
      EXPECT_EQ(rows[f][1], "");
      EXPECT_EQ(rows[f][3], "");
      continue;
    }
    EXPECT_EQ(rows[f][1], platform::Format("%d,00", static_cast<int>(f) - 1));
    EXPECT_EQ(rows[f][3], "3,00");
  }
  // 1 cm a frame at 100 frames a second, where the derivative has its neighbours.
  EXPECT_EQ(rows[12][2], "100,00");
  EXPECT_EQ(rows[4][2], "");

  const auto hip = ReadRows(dir.File(items[1].fileName), ';');
  ASSERT_EQ(hip.size(), kFrames + 1u);
  EXPECT_EQ(hip[0].back(), "Distance [cm] Knee");
  EXPECT_EQ(hip[2][1], "1,00");
}

TEST_F(AnalysisExport, AFileThatCannotBeWrittenIsReportedAndTheOthersAreWritten) {
  WriteSettings("[Zorvatrack]\nDelimeter=SPC\nFloatingpoint=COMMA\nFloatingpointPrecision=2\n");
  SequenceDocument d(3);
  d.Make({1, 2, 3});
  d.Make({4, 5, 6});
  std::vector<analysis_export::Item> items = analysis_export::ExportList(d.doc);
  testutil::TempDir dir("anlexport");
  items[0].fileName = "missing/folder/a.u01";
  platform::RecordingMessageService messages;
  EXPECT_FALSE(analysis_export::Export(d.doc, dir.Path().string(), items, {quantity::kY},
                                       UnitsOrigin{}));
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_NE(messages.shown[0].text.find("missing/folder/a.u01"), std::string::npos);
  // With blanks between the columns the header's names keep to one column each.
  const auto rows = ReadRows(dir.File(items[1].fileName), ' ');
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"Frame", "y_[mm]"}));
  EXPECT_EQ(rows[3], (std::vector<std::string>{"3", "12,00"}));
}

}  // namespace
