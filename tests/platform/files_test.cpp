#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/sha256.h"

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

std::string Hex(const platform::Sha256::Digest& digest) {
  std::string hex;
  char two[3];
  for (const auto byte : digest) {
    std::snprintf(two, sizeof two, "%02x", byte);
    hex += two;
  }
  return hex;
}

// The published test messages, fed whole and in pieces that cross the 64-byte blocks in every
// way, and a message whose padding needs a block of its own.
TEST(Files, Sha256OfPublishedMessagesInAnyPieces) {
  const struct {
    std::string message;
    const char* digest;
  } cases[] = {
      {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {std::string(1000000, 'a'),
       "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    for (const std::size_t piece :
         {std::size_t{1}, std::size_t{63}, std::size_t{65}, c.message.size()}) {
      SCOPED_TRACE(std::to_string(c.message.size()) + " bytes in pieces of " +
                   std::to_string(piece));
      platform::Sha256 sha;
      for (std::size_t at = 0; at < c.message.size(); at += std::max<std::size_t>(piece, 1))
        sha.Add(std::string_view(c.message).substr(at, piece));
      EXPECT_EQ(Hex(sha.Finish()), c.digest);
    }
  }
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
