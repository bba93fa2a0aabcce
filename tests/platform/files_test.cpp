#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

fs::path FreshDir(const char* name) {
  fs::path dir = fs::temp_directory_path() / ("zorvat-files-" + std::to_string(::getpid()) + name);
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

TEST(Files, SplitLinesAcceptsLfAndCrLf) {
  using V = std::vector<std::string>;
  EXPECT_EQ(platform::SplitLines("a\r\nb\nc"), (V{"a", "b", "c"}));
  EXPECT_EQ(platform::SplitLines("a\n\nb\r\n"), (V{"a", "", "b"}));
  EXPECT_EQ(platform::SplitLines(""), V{});
  EXPECT_EQ(platform::SplitLines("x\r"), V{"x"});
}

TEST(Files, AtomicWriteReplacesContentAndKeepsPermissions) {
  fs::path dir = FreshDir("atomic");
  std::string file = (dir / "data.cam").string();
  ASSERT_TRUE(platform::WriteFileAtomically(file, "old"));
  ::chmod(file.c_str(), 0640);
  ASSERT_TRUE(platform::WriteFileAtomically(file, "new content"));
  std::string text;
  ASSERT_TRUE(platform::ReadWholeFile(file, text));
  EXPECT_EQ(text, "new content");
  struct stat st {};
  ::stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  int entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++entries;
  EXPECT_EQ(entries, 1) << "temporary file left behind";
  fs::remove_all(dir);
}

TEST(Files, FailedAtomicWriteIsReported) {
  fs::path dir = FreshDir("fail");
  std::string error;
  EXPECT_FALSE(platform::WriteFileAtomically((dir / "missing" / "x").string(), "x", &error));
  EXPECT_FALSE(error.empty());
  fs::remove_all(dir);
}

TEST(Files, CompanionFoundWhateverTheCase) {
  fs::path dir = FreshDir("case");
  std::ofstream(dir / "RUN1.DSC") << "x";
  EXPECT_EQ(platform::FindFileIgnoringCase((dir / "run1.dsc").string()), (dir / "RUN1.DSC").string());
  EXPECT_EQ(platform::FindFileIgnoringCase((dir / "RUN1.DSC").string()), (dir / "RUN1.DSC").string());
  EXPECT_EQ(platform::FindFileIgnoringCase((dir / "run2.dsc").string()), "");
  EXPECT_EQ(platform::FindFileIgnoringCase((dir / "nodir" / "run1.dsc").string()), "");
  fs::remove_all(dir);
}

}  // namespace
