#include "base/defaults.h"

#include <gtest/gtest.h>

#include "common/settings_fixture.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace fs = std::filesystem;

namespace {

using Defaults = TempSettings;

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

TEST_F(Defaults, ColourMapFilesOfEverySize) {
  const fs::path file = dir_ / "map.col";
  struct Case {
    std::string content;
    int expectedCount;
  };
  const Case cases[] = {
      {Bytes({9, 10, 13, 32, 0, 255, 1}), 2},  // trailing incomplete colour ignored
      {std::string(300 * 3, '\x05'), 236},
  };
  for (const auto& c : cases) {
    std::ofstream(file, std::ios::binary) << c.content;
    std::array<MapColor, kMaxMapColors> colors{};
    EXPECT_EQ(ReadColorMap(file.string(), colors), c.expectedCount);
    if (c.expectedCount == 2) {
      EXPECT_EQ(colors[0], (MapColor{9, 10, 13}));
    }
    ASSERT_TRUE(WriteColorMap(file.string(), colors, c.expectedCount));
    EXPECT_EQ(fs::file_size(file), 3u * c.expectedCount);
  }
}

TEST_F(Defaults, EmptyColourMapGivesBuiltInColoursAndIsRewritten) {
  const fs::path defaultMap = dir_ / "Harvelund/Zorvatrack/Zorvat.col";
  fs::create_directories(defaultMap.parent_path());
  std::ofstream(defaultMap, std::ios::binary).flush();
  DefaultValueStruct d;
  d.Load();
  EXPECT_EQ(d.colorMapPath, defaultMap.string());
  EXPECT_EQ(d.colorCount, 24);
  EXPECT_EQ(d.colors[23], (MapColor{255, 0, 64}));
  EXPECT_EQ(fs::file_size(defaultMap), 72u);
}

TEST_F(Defaults, MissingConfiguredMapNeverOverwritesTheUsersDefaultMap) {
  const fs::path defaultMap = dir_ / "Harvelund/Zorvatrack/Zorvat.col";
  fs::create_directories(defaultMap.parent_path());
  std::ofstream(defaultMap, std::ios::binary) << Bytes({1, 2, 3, 4, 5, 6});
  WriteSettings("[Zorvatrack]\nDefaultColorMap=" + (dir_ / "gone.col").string() + "\n");
  DefaultValueStruct d;
  d.Load();
  EXPECT_EQ(d.colorCount, 2);
  EXPECT_EQ(d.colors[1], (MapColor{4, 5, 6}));
  EXPECT_EQ(ReadFile(defaultMap), Bytes({1, 2, 3, 4, 5, 6}));
}

TEST_F(Defaults, SettingsWordsNumbersAndRanges) {
  WriteSettings(
      "[Zorvatrack]\nMarkShape=filledcircle\nDefaultAlgorithm=manual\nTemplateShape=CIRCLE\n"
      "TemplateWidth=500\nMarkWidth=0\nHorizontalLimit=20\nThresholdCROSS=7\nThresholdSSD=60\n"
      "GammaFactorRed=-1\nGammaFactorBlue=2.2\nAlwaysTrackGrayscale=0\n");
  DefaultValueStruct d;
  d.Load();
  EXPECT_EQ(d.markShape, shape::kFilledCircle);
  EXPECT_EQ(d.defaultAlgorithm, algorithm::kManual);
  EXPECT_EQ(d.templateShape, shape::kCircle);
  EXPECT_EQ(d.templateWidth, 8);  // out of range: default
  EXPECT_EQ(d.markWidth, 7);
  EXPECT_EQ(d.horizontalLimit, 20);
  EXPECT_DOUBLE_EQ(d.tracking.thresholdCross, static_cast<double>(0.495f));
  EXPECT_EQ(d.tracking.thresholdSSD, 60);
  EXPECT_EQ(d.gammaRed, 1.0);
  EXPECT_DOUBLE_EQ(d.gammaBlue, 2.2);
  EXPECT_FALSE(d.tracking.alwaysTrackGrayscale);

  WriteSettings("[Zorvatrack]\nMarkShape=Hexagon\n");
  d.Load();
  EXPECT_EQ(d.markShape, shape::kFilledRectangle);
}

TEST_F(Defaults, SaveWritesEveryKeyAndTheMapForTheNextStart) {
  DefaultValueStruct d;
  d.Load();
  d.colorCount = 20;  // four colours deleted
  d.defaultAlgorithm = algorithm::kManual;
  d.tracking.thresholdCross = 0.6;
  ASSERT_TRUE(d.Save());
  EXPECT_EQ(fs::file_size(d.colorMapPath), 60u);
  std::string settings = ReadFile(profile_->FilePath());
  EXPECT_NE(settings.find("DefaultAlgorithm=Manual\n"), std::string::npos);
  EXPECT_NE(settings.find("ThresholdCROSS=0.6\n"), std::string::npos);
  EXPECT_NE(settings.find("MarkShape=FilledRectangle\n"), std::string::npos);
  EXPECT_NE(settings.find("InitialPath=" + (dir_ / "Harvelund/Zorvatrack").string() + "\n"),
            std::string::npos);
  DefaultValueStruct next;
  next.Load();
  EXPECT_EQ(next.colorCount, 20);
  EXPECT_EQ(next.defaultAlgorithm, algorithm::kManual);
  EXPECT_FLOAT_EQ(next.tracking.thresholdCross, 0.6f);

  next.markWidth = 30;
  next.tracking.alwaysTrackGrayscale = true;
  next.ResetToDefaultValues();
  EXPECT_EQ(next.markWidth, 7);
  EXPECT_FALSE(next.tracking.alwaysTrackGrayscale);
  EXPECT_EQ(next.colorCount, 20);  // the colour map stays
}

// A shared map the user loaded and protected is saved with the settings without a word while its
// colours are the same; a change that cannot reach it is told, naming the file and the cause.
TEST_F(Defaults, AWriteProtectedMapIsToldOnlyWhenItsColoursChanged) {
  const fs::path shared = dir_ / "shared.col";
  std::ofstream(shared, std::ios::binary) << Bytes({1, 2, 3, 4, 5, 6});
  fs::permissions(shared, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  WriteSettings("[Zorvatrack]\nDefaultColorMap=" + shared.string() + "\n");
  DefaultValueStruct d;
  d.Load();
  ASSERT_EQ(d.colorCount, 2);
  platform::RecordingMessageService messages;
  EXPECT_TRUE(d.Save());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_NE(ReadFile(profile_->FilePath()).find("MarkWidth=7\n"), std::string::npos);

  d.colors[1] = MapColor{9, 9, 9};
  EXPECT_FALSE(d.Save());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            platform::FormatString(platform::files_ids::kWriteProtected, shared.string()));
  EXPECT_EQ(ReadFile(shared), Bytes({1, 2, 3, 4, 5, 6}));
  EXPECT_NE(ReadFile(profile_->FilePath()).find("DefaultColorMap=" + shared.string() + "\n"),
            std::string::npos);  // the keys are written all the same
}

}  // namespace
