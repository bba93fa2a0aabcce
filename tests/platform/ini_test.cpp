#include "platform/ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "common/temp_dir.h"
#include "platform/files.h"

namespace fs = std::filesystem;

namespace {

class Ini : public testing::Test {
 protected:
  void SetUp() override { file_ = (dir_ / "Test.INI").string(); }
  void Write(const std::string& text) { std::ofstream(file_, std::ios::binary) << text; }
  std::string Read() {
    std::string text;
    platform::ReadWholeFile(file_, text);
    return text;
  }
  testutil::TempDir temp_{"zorvat-ini"};
  const fs::path& dir_ = temp_.Path();
  std::string file_;
};

TEST_F(Ini, ReadsCrLfFileWithMixedCaseNames) {
  Write(
      "; comment\r\n[Other]\r\nMarkWidth=1\r\n[ZORVATRACK]\r\n  markwidth = 9 \r\n"
      "Path=\"/a b/\"\r\nEmpty=\r\n");
  EXPECT_EQ(platform::ini::ReadValue(file_, "Zorvatrack", "MarkWidth"), "9");
  EXPECT_EQ(platform::ini::ReadValue(file_, "zorvatrack", "PATH"), "/a b/");
  EXPECT_EQ(platform::ini::ReadValue(file_, "Zorvatrack", "Empty"), "");
  EXPECT_EQ(platform::ini::ReadValue(file_, "Zorvatrack", "Missing"), std::nullopt);
  EXPECT_EQ(platform::ini::ReadValue(file_, "Nowhere", "MarkWidth"), std::nullopt);
  EXPECT_EQ(platform::ini::ReadValue((dir_ / "none.ini").string(), "Zorvatrack", "MarkWidth"),
            std::nullopt);
}

TEST_F(Ini, WriteReplacesOnlyItsKeyAndKeepsLineEnds) {
  Write("# kept\r\n[Zorvatrack]\r\nA=1\r\nB=2\r\n\r\n[Other]\r\nA=3\r\n");
  ASSERT_EQ(platform::ini::WriteValue(file_, "zorvatrack", "b", "20"),
            platform::ini::WriteResult::kWritten);
  ASSERT_EQ(platform::ini::WriteValue(file_, "Zorvatrack", "C", "30"),
            platform::ini::WriteResult::kWritten);
  ASSERT_EQ(platform::ini::WriteValue(file_, "Other", "A", "4"),
            platform::ini::WriteResult::kWritten);
  EXPECT_EQ(Read(), "# kept\r\n[Zorvatrack]\r\nA=1\r\nb=20\r\nC=30\r\n\r\n[Other]\r\nA=4\r\n");
}

TEST_F(Ini, WriteCreatesFileAndSection) {
  ASSERT_EQ(platform::ini::WriteValue(file_, "Zorvatrack", "X", "1"),
            platform::ini::WriteResult::kWritten);
  EXPECT_EQ(Read(), "[Zorvatrack]\nX=1\n");
  ASSERT_EQ(platform::ini::WriteValue(file_, "Second", "Y", "2"),
            platform::ini::WriteResult::kWritten);
  EXPECT_EQ(Read(), "[Zorvatrack]\nX=1\n\n[Second]\nY=2\n");
}

TEST_F(Ini, FailedWriteReportsFalseAndLeavesNoTemporaryFile) {
  std::string missingFolder = (dir_ / "no" / "such.ini").string();
  EXPECT_EQ(platform::ini::WriteValue(missingFolder, "S", "K", "V"),
            platform::ini::WriteResult::kFailed);
  fs::create_directory(dir_ / "isdir.ini");
  EXPECT_EQ(platform::ini::WriteValue((dir_ / "isdir.ini").string(), "S", "K", "V"),
            platform::ini::WriteResult::kFailed);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir_)) ++entries;
  EXPECT_EQ(entries, 1);
}

TEST_F(Ini, WriteGoesThroughSymbolicLinksToTheLinkedFile) {
  // A dotfile manager's layout: the settings live elsewhere and are linked in, maybe twice.
  fs::create_directories(dir_ / "dotfiles" / "zorvat");
  const fs::path target = dir_ / "dotfiles" / "zorvat" / "Test.INI";
  std::ofstream(target) << "[Zorvatrack]\nA=1\n";
  fs::create_symlink("dotfiles/zorvat/Test.INI", dir_ / "hop.ini");
  fs::create_symlink("hop.ini", file_);
  ASSERT_EQ(platform::ini::WriteValue(file_, "Zorvatrack", "A", "2"),
            platform::ini::WriteResult::kWritten);
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_TRUE(fs::is_symlink(dir_ / "hop.ini"));
  EXPECT_EQ(Read(), "[Zorvatrack]\nA=2\n");
  // A link to a file not made yet makes it where the link points.
  const std::string dangling = (dir_ / "new.ini").string();
  fs::create_symlink("dotfiles/zorvat/New.INI", dangling);
  ASSERT_EQ(platform::ini::WriteValue(dangling, "Zorvatrack", "B", "3"),
            platform::ini::WriteResult::kWritten);
  EXPECT_TRUE(fs::is_symlink(dangling));
  EXPECT_EQ(platform::ini::ReadValue((dir_ / "dotfiles" / "zorvat" / "New.INI").string(),
                                     "Zorvatrack", "B"),
            "3");
}

TEST_F(Ini, WriteProtectedFileIsLeftAsItIs) {
  Write("[Zorvatrack]\nA=1\n");
  fs::permissions(file_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(platform::ini::WriteValue(file_, "Zorvatrack", "A", "2"),
            platform::ini::WriteResult::kReadOnly);
  EXPECT_EQ(Read(), "[Zorvatrack]\nA=1\n");
  EXPECT_EQ(fs::status(file_).permissions() & fs::perms::owner_write, fs::perms::none);
}

}  // namespace
