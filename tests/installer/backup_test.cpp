#include "installer/backup.h"

#include "installer/file_util.h"
#include "xdg_tree.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>

namespace ostrelink {
namespace {

using test::Exists;
using test::ReadText;
using test::WriteText;

TEST(Backup, LineIsWrittenAsUtf16LittleEndianAfterTheMark) {
  const std::string text = FormatBackupLine({"n", ".b", "o", "w"});
  EXPECT_EQ(text, "n = .b = o = w\n");
  const std::string expected(
      "\xFF\xFE"
      "n\0 \0=\0 \0.\0b\0 \0=\0 \0o\0 \0=\0 \0w\0\n\0",
      32);
  EXPECT_EQ(EncodeBackup(text), expected);
}

TEST(Backup, NonAsciiTextSurvivesTheRoundTrip) {
  // U+00E9 takes one unit, U+1F600 a surrogate pair (D83D DE00).
  const std::string text = "caf\xC3\xA9 \xF0\x9F\x98\x80\n";
  const std::string bytes = EncodeBackup(text);
  EXPECT_EQ(bytes.substr(8, 2), std::string("\xE9\x00", 2));
  EXPECT_EQ(bytes.substr(12, 4), std::string("\x3D\xD8\x00\xDE", 4));
  EXPECT_EQ(DecodeUtf16Le(bytes.substr(2)), text);
  // A lone surrogate and an odd last byte become U+FFFD instead of garbage.
  EXPECT_EQ(DecodeUtf16Le(std::string("a\0\x00\xD8"
                                      "b",
                                      5)),
            "a\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(Backup, ParserAcceptsExactlyFourTrimmedFields) {
  struct Case {
    const char* line;
    std::optional<BackupLine> expected;
  };
  const Case cases[] = {
      {"new.desktop = .bld = old.desktop = owner.desktop",
       BackupLine{"new.desktop", ".bld", "old.desktop", "owner.desktop"}},
      {"  a=.b=c=d \t\r", BackupLine{"a", ".b", "c", "d"}},
      {" =  = = ", BackupLine{"", "", "", ""}},
      {"a = .b = c", std::nullopt},
      {"a = .b = c = d = e", std::nullopt},
      {"a = .b = c=x = d", std::nullopt},  // "=" inside a field gives five fields
      {"", std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<BackupLine> parsed = ParseBackupLine(c.line);
    ASSERT_EQ(parsed.has_value(), c.expected.has_value()) << c.line;
    if (!parsed) continue;
    EXPECT_EQ(parsed->newProgId, c.expected->newProgId) << c.line;
    EXPECT_EQ(parsed->item, c.expected->item) << c.line;
    EXPECT_EQ(parsed->oldProgId, c.expected->oldProgId) << c.line;
    EXPECT_EQ(parsed->owner, c.expected->owner) << c.line;
  }
}

TEST(Backup, TextAfterTheLastLineFeedFormsNoLine) {
  EXPECT_EQ(SplitBackupLines("a\nb\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitBackupLines("a\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(SplitBackupLines("\n"), (std::vector<std::string>{""}));
  EXPECT_TRUE(SplitBackupLines("").empty());
}

TEST(Backup, PathKeepsTheProductCodeOneFileName) {
  EXPECT_EQ(BackupPath("/s", "{1234-ABCD}"), "/s/Vantorel/Pakmerion/Default Programs/{1234-ABCD}");
  EXPECT_EQ(BackupPath("/s", "..x"), "/s/Vantorel/Pakmerion/Default Programs/..x");
  for (const char* bad : {"", ".", "..", "../../etc/passwd", "a/b", "a\nb"}) {
    EXPECT_FALSE(BackupPath("/s", bad)) << bad;
  }
}

TEST(Backup, MergeReplacesLinesOfTheSameItemAndKeepsTheOthers) {
  const std::string existing =
      "z = .bld = first.desktop = first.desktop\n"
      "z = .rsc = r.desktop = r.desktop\n"
      "not a backup line\n";
  const std::string merged = MergeBackupText(
      existing, {{"z", ".bld", "second.desktop", "second.desktop"}, {"z", ".dsc", "d", "d"}});
  EXPECT_EQ(merged,
            "z = .rsc = r.desktop = r.desktop\n"
            "not a backup line\n"
            "z = .bld = second.desktop = second.desktop\n"
            "z = .dsc = d = d\n");
}

class BackupFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ostrelink-backup-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(root_); }
  std::string root_;
};

TEST_F(BackupFile, WritesTheBytesReadableByItsOwnerOnlyAndMergesOnTheNextWrite) {
  const std::string path = root_ + "/state/Vantorel/Pakmerion/Default Programs/{P}";
  const BackupLine bld{"zorvat.desktop", ".bld", "viewer.desktop", "viewer.desktop"};
  ASSERT_EQ(WriteBackup(path, {bld}, 0700), 0);
  EXPECT_EQ(ReadText(path), EncodeBackup(FormatBackupLine(bld)));
  struct stat info;
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);

  // A second installation adds to the file instead of replacing it, and an existing file that
  // others could write is made private again.
  ASSERT_EQ(chmod(path.c_str(), 0666), 0);
  const BackupLine dsc{"zorvat.desktop", ".dsc", "editor.desktop", "editor.desktop"};
  ASSERT_EQ(WriteBackup(path, {dsc}, 0700), 0);
  EXPECT_EQ(ReadText(path), EncodeBackup(FormatBackupLine(bld) + FormatBackupLine(dsc)));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST_F(BackupFile, FailedFolderCreationRemovesOnlyTheFoldersItMade) {
  const std::string tooLong(300, 'n');  // longer than any file name may be, even for root
  std::filesystem::create_directory(root_ + "/before");

  // The first level to create fails: the folder that was there stays.
  EXPECT_EQ(WriteBackup(root_ + "/before/" + tooLong + "/{P}", {{"a", ".b", "c", "d"}}, 0700),
            -ENAMETOOLONG);
  EXPECT_TRUE(Exists(root_ + "/before"));

  // A deeper level fails: the folder made on the way goes again, the older one stays.
  EXPECT_EQ(WriteBackup(root_ + "/before/made/" + tooLong + "/{P}", {{"a", ".b", "c", "d"}}, 0700),
            -ENAMETOOLONG);
  EXPECT_FALSE(Exists(root_ + "/before/made"));
  EXPECT_TRUE(Exists(root_ + "/before"));
}

}  // namespace
}  // namespace ostrelink
