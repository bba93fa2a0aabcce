#include "base/filename.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/dscparser.h"
#include "base/filesnapshot.h"
#include "platform/message_service.h"

namespace {

struct PartsCase {
  const char* path;
  const char* dir;
  const char* name;
  const char* ext;
};

TEST(FileName, SplitsPathsIntoParts) {
  const PartsCase cases[] = {
      {"/data/run1/take.avi", "/data/run1/", "take", ".avi"},
      {"/d.x/file", "/d.x/", "file", ""},
      {"/a/b.tar.gz", "/a/", "b.tar", ".gz"},
      {"/a/.hidden", "/a/", "", ".hidden"},
      {"C:\\data\\Run1\\TAKE.AVI", "/data/Run1/", "TAKE", ".AVI"},
      {"/a/./b/../c.os", "/a/", "c", ".os"},
      {"/../x.os", "/", "x", ".os"},
  };
  for (const auto& c : cases) {
    FileName f(c.path);
    EXPECT_EQ(f.Dir(), c.dir) << c.path;
    EXPECT_EQ(f.Folder(), c.dir) << c.path;
    EXPECT_EQ(f.Name(), c.name) << c.path;
    EXPECT_EQ(f.Ext(), c.ext) << c.path;
    EXPECT_EQ(f.NameExt(), std::string(c.name) + c.ext) << c.path;
    EXPECT_EQ(f.Drive(), "");
  }
}

TEST(FileName, RelativeNamesBecomeAbsolute) {
  char cwd[4096];
  ASSERT_NE(::getcwd(cwd, sizeof cwd), nullptr);
  EXPECT_EQ(FileName("a.txt").Path(), std::string(cwd) + "/a.txt");
  FileName base("/videos/day1/project.rsc");
  EXPECT_EQ(FileName::ResolveAgainst(base, "cam1.bld").Path(), "/videos/day1/cam1.bld");
  EXPECT_EQ(FileName::ResolveAgainst(base, "..\\day2\\cam1.bld").Path(), "/videos/day2/cam1.bld");
  EXPECT_EQ(FileName::ResolveAgainst(base, "/abs/cam.bld").Path(), "/abs/cam.bld");
  EXPECT_EQ(FileName("/videos/", "x.dsc").Path(), "/videos/x.dsc");
  EXPECT_EQ(FileName::FromParts("C:", "/d", "x", "avi").Path(), "/d/x.avi");
  EXPECT_EQ(FileName::FromParts("", "/d/", "x", ".avi").Path(), "/d/x.avi");
}

TEST(FileName, SetExtensionReplacesOrAppends) {
  const std::pair<const char*, const char*> cases[] = {
      {"rsc", "/d/x.rsc"},   {".rsc", "/d/x.rsc"}, {"abm", "/d/x.abm"},
      {"dsc2", "/d/x.dsc2"}, {"", "/d/x.avi"},
  };
  for (const auto& [ext, expected] : cases) {
    FileName f("/d/x.avi");
    f.SetExtension(ext);
    EXPECT_EQ(f.Path(), expected) << ext;
  }
  FileName noExt("/d.x/file");
  noExt.SetExtension("os");
  EXPECT_EQ(noExt.Path(), "/d.x/file.os");
}

TEST(FileName, RelativeToAnotherFile) {
  FileName f("/a/b/c/f.os");
  EXPECT_EQ(f.RelativeTo(FileName("/a/x/y.rsc")), "../b/c/f.os");
  EXPECT_EQ(f.RelativeTo(FileName("/a/b/c/g.rsc")), "f.os");
  EXPECT_EQ(f.RelativeTo(FileName("/a/g.rsc")), "b/c/f.os");
  EXPECT_EQ(f.RelativeTo(FileName("/z/g.rsc")), "../a/b/c/f.os");
  // Folders that differ only by case are different folders here.
  EXPECT_EQ(f.RelativeTo(FileName("/a/B/c/g.rsc")), "../../b/c/f.os");
  // The relative name leads back to the file.
  FileName base("/a/x/y.rsc");
  EXPECT_EQ(FileName::ResolveAgainst(base, f.RelativeTo(base)), f);
}

// A name written as the value of a tagged file comes back through the tagged-file reader as the
// same file: also a name whose text would begin with a blank, a tab or what reads as a drive
// letter, and one far longer than 255 characters.
TEST(FileName, NamesWrittenIntoTaggedFilesReadBack) {
  struct Case {
    std::string file;
    const char* base;
    std::string value;
  };
  const std::string deep = std::string(250, 'd') + "/" + std::string(250, 'e') + "/model.cmo";
  const Case cases[] = {
      {"/a/b/left.cam", "/a/b/run.cdc", "left.cam"},
      {"/a/ cams/left.cam", "/a/run.cdc", "./ cams/left.cam"},
      {"/a/ left.cam", "/a/run.cdc", "./ left.cam"},
      {"/a/\tleft.cam", "/a/run.cdc", "./\tleft.cam"},
      {"/a/c:left.cam", "/a/run.cdc", "./c:left.cam"},
      {"/a/ x/y.cam", "/a/ x/z/run.cdc", "../y.cam"},
      {"/a/" + deep, "/a/data/run.cdc", "../" + deep},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const FileName file(c.file), base(c.base);
    const std::string value = file.ValueRelativeTo(base);
    EXPECT_EQ(value, c.value);
    DSCParser parser = DSCParser::FromText("MODEL: " + value + "\n");
    std::string read;
    ASSERT_TRUE(parser.GetString("MODEL", read, 8192, ""));
    EXPECT_EQ(FileName::ResolveAgainst(base, read), file);
    EXPECT_TRUE(NameReadsBack(c.file));
  }
}

// Names the files cannot give back are refused when the user chooses them, with a message that
// names the file; every other name passes without one.
TEST(FileName, NamesTheFilesCannotGiveBackAreRefused) {
  const struct {
    const char* path;
    bool accepted;
  } cases[] = {
      {"/a/left.cdc", true},       {"/a/ left.cdc", true},  {"/a b/left c.cdc", true},
      {"/a/left.cdc ", false},     {"/a/left.cdc\t", false}, {"/a/le\nft.cdc", false},
      {"/a/le\rft.cdc", false},    {"/a/le\\ft.cdc", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    platform::RecordingMessageService messages;
    EXPECT_EQ(NameReadsBack(c.path), c.accepted);
    EXPECT_EQ(AcceptChosenName(c.path), c.accepted);
    ASSERT_EQ(messages.shown.size(), c.accepted ? 0u : 1u);
    if (!c.accepted) EXPECT_NE(messages.shown[0].text.find(c.path), std::string::npos);
  }
}

TEST(FileName, NullNameAnswersEveryQuerySafely) {
  FileName empty("");
  EXPECT_TRUE(empty.IsNull());
  EXPECT_EQ(empty.Dir(), "");
  EXPECT_EQ(empty.NameExt(), "");
  empty.SetExtension("os");
  EXPECT_TRUE(empty.IsNull());
  EXPECT_EQ(empty.RelativeTo(FileName("/a/b.rsc")), "");
  FileName copy = empty;
  EXPECT_TRUE(copy.IsNull());
  // A name far longer than any fixed buffer stays whole.
  std::string deep = "/" + std::string(3000, 'x') + "/f.os";
  EXPECT_EQ(FileName(deep).Path(), deep);
  EXPECT_EQ(FileName("/" + std::string(3000, 'x') + "/", "f.os").Path(), deep);
}

}  // namespace
