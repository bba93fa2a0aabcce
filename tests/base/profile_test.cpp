#include "base/profile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/temp_dir.h"
#include "platform/files.h"

namespace fs = std::filesystem;
using namespace key;

namespace {

class Profile : public testing::Test {
 protected:
  void SetUp() override { file_ = (dir_ / "Zorvat-Player.INI").string(); }
  std::string Read() {
    std::string text;
    platform::ReadWholeFile(file_, text);
    return text;
  }
  testutil::TempDir temp_{"zorvat-profile"};
  const fs::path& dir_ = temp_.Path();
  std::string file_;
};

TEST_F(Profile, MissingFileGivesDefaultsAndFirstWriteCreatesIt) {
  AnaProfile profile(file_.c_str());
  EXPECT_EQ(profile.GetInt(kSection, kMarkWidth, 7), 7);
  EXPECT_EQ(profile.GetDouble(kSection, kThresholdCROSS, 0.495f), static_cast<double>(0.495f));
  std::string s;
  EXPECT_FALSE(profile.GetString(kSection, kInitialPath, s, 261, ""));
  EXPECT_TRUE(profile.GetString(kSection, kDelimeter, s, 261, "SPC"));
  EXPECT_EQ(s, "SPC");
  ASSERT_TRUE(profile.WriteInt(kSection, kMarkWidth, 9));
  EXPECT_EQ(Read(), "[Zorvatrack]\nMarkWidth=9\n");
}

TEST_F(Profile, ValuesAreWrittenAsWordsAndShortNumbers) {
  AnaProfile profile(file_.c_str());
  ASSERT_TRUE(profile.WriteValue(kSection, kThresholdCROSS, 0.495f));
  ASSERT_TRUE(profile.WriteValue(kSection, kGammaFactorRed, 1.0f));
  ASSERT_TRUE(profile.WriteString(kSection, kDelimeter, "TAB"));
  ASSERT_TRUE(profile.WriteInt(kSection, kHorizontalLimit, -16));
  EXPECT_EQ(Read(),
            "[Zorvatrack]\nThresholdCROSS=0.495\nGammaFactorRed=1\nDelimeter=TAB\n"
            "HorizontalLimit=-16\n");
  EXPECT_EQ(profile.GetDouble(kSection, kThresholdCROSS, 0), 0.495);
  EXPECT_EQ(profile.GetInt(kSection, kHorizontalLimit, 0), -16);
}

TEST_F(Profile, OddValuesReadAsTheStoreReadsThem) {
  std::ofstream(file_) << "[zorvatrack]\r\nthresholdcross=abc\r\nGammaFactorRed=\r\n"
                          "MarkWidth=12px\r\nMarkHeight=wide\r\nInitialPath=/home/user/videos\r\n";
  AnaProfile profile(file_.c_str());
  EXPECT_EQ(profile.GetDouble(kSection, kThresholdCROSS, 0.495f), 0.0);  // letters: zero
  EXPECT_EQ(profile.GetDouble(kSection, kGammaFactorRed, 1.0f), 1.0);    // empty: default
  EXPECT_EQ(profile.GetInt(kSection, kMarkWidth, 7), 12);
  EXPECT_EQ(profile.GetInt(kSection, kMarkHeight, 7), 0);
  std::string s;
  EXPECT_TRUE(profile.GetString(kSection, kInitialPath, s, 6, ""));
  EXPECT_EQ(s, "/home");
}

TEST_F(Profile, GermanLocaleDoesNotChangeStoredNumbers) {
  std::string old = std::setlocale(LC_ALL, nullptr);
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "no German locale installed";
  AnaProfile profile(file_.c_str());
  ASSERT_TRUE(profile.WriteValue(kSection, kThresholdCROSS, 0.495f));
  EXPECT_EQ(Read(), "[Zorvatrack]\nThresholdCROSS=0.495\n");
  EXPECT_EQ(profile.GetDouble(kSection, kThresholdCROSS, 0), 0.495);
  std::setlocale(LC_ALL, old.c_str());
}

TEST_F(Profile, FileLiesInTheConfigFolderOrBesideTheProgram) {
  std::string oldConfig = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  std::string oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  {
    AnaProfile profile;
    EXPECT_EQ(profile.FilePath(), (dir_ / "Harvelund/Zorvatrack/Zorvat-Player.INI").string());
    EXPECT_TRUE(fs::is_directory(dir_ / "Harvelund/Zorvatrack"));
    ASSERT_TRUE(profile.WriteInt(kSection, kMarkWidth, 5));
    EXPECT_TRUE(fs::exists(profile.FilePath()));
  }
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", dir_.c_str(), 1);
  EXPECT_EQ(AnaProfile().FilePath(),
            (dir_ / ".config/Harvelund/Zorvatrack/Zorvat-Player.INI").string());
  unsetenv("HOME");
  std::string beside = AnaProfile().FilePath();
  EXPECT_EQ(beside, fs::read_symlink("/proc/self/exe").string() + ".INI");
  if (!oldConfig.empty()) setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
  if (!oldHome.empty()) setenv("HOME", oldHome.c_str(), 1);
}

}  // namespace
