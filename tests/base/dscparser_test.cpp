#include "base/dscparser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

TEST(DSCParser, FindsTagsInAnyCaseOrderAndLineEnd) {
  for (const char* eol : {"\n", "\r\n"}) {
    std::string text = std::string("# Zorvatrack generated ClipVideo") + eol +
                       "  resolution  :  640 X 480" + eol + "Frames/s:25.5" + eol + "FRAMES: 12" +
                       eol + "SEQUENCENAME:run 1  " + eol;
    DSCParser p = DSCParser::FromText(text);
    int w = -1, h = -1;
    EXPECT_TRUE(p.GetSize("RESOLUTION", w, h, 0)) << "eol " << (eol[0] == '\r' ? "CRLF" : "LF");
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    float fps = 0;
    EXPECT_TRUE(p.GetFloat("FRAMES/S", fps, 0));
    EXPECT_FLOAT_EQ(fps, 25.5f);
    int frames = 0;
    EXPECT_TRUE(p.GetInt("frames", frames, 0));  // FRAMES/S: does not match FRAMES
    EXPECT_EQ(frames, 12);
    std::string name;
    EXPECT_TRUE(p.GetString("SequenceName", name, 100, "x"));
    EXPECT_EQ(name, "run 1  ");  // trailing blanks kept, CR never
  }
}

TEST(DSCParser, MissingTagsFollowTheDefaultRules) {
  DSCParser p = DSCParser::FromText("# RESOLUTION: 320x200\nDATE:\n");
  int w = 7, h = 7;
  EXPECT_FALSE(p.GetSize("RESOLUTION", w, h, 3));  // a comment holds no entry
  EXPECT_EQ(w, 3);
  EXPECT_EQ(h, 3);
  int i = 0;
  EXPECT_FALSE(p.GetInt("FRAMES", i, 42));
  EXPECT_EQ(i, 42);
  unsigned u = 0;
  EXPECT_FALSE(p.GetUInt("FRAMES", u, 9u));
  EXPECT_EQ(u, 9u);
  double d = 1.25;
  EXPECT_FALSE(p.GetDouble("UNITS", d, 5.0));
  EXPECT_EQ(d, 1.25);  // left unchanged
  std::string s;
  EXPECT_FALSE(p.GetString("NAME", s, 4, "abcdef"));
  EXPECT_EQ(s, "abc");
  EXPECT_TRUE(p.GetString("DATE", s, 40, "no comment"));
  EXPECT_EQ(s, "");  // present but empty
}

TEST(DSCParser, ValuesThatAreNoNumbersReadAsZero) {
  struct Case {
    const char* text;
    int width, height;
  };
  const Case sizes[] = {
      {"RESOLUTION:640\n", 640, 0},  {"RESOLUTION: 640 x\n", 640, 0},
      {"RESOLUTION: abc\n", 0, 0},   {"RESOLUTION:\n640x480\n", 0, 0},
      {"RESOLUTION:-2x 3\n", -2, 3}, {"RESOLUTION:99999999999x1\n", 2147483647, 1},
  };
  for (const Case& c : sizes) {
    DSCParser p = DSCParser::FromText(c.text);
    int w = -1, h = -1;
    EXPECT_TRUE(p.GetSize("RESOLUTION", w, h, 0)) << c.text;
    EXPECT_EQ(w, c.width) << c.text;
    EXPECT_EQ(h, c.height) << c.text;
  }
  DSCParser p = DSCParser::FromText("FRAMES/S: fast\nFRAMES: many\nN: -3\n");
  float f = 9;
  EXPECT_TRUE(p.GetFloat("FRAMES/S", f, 1));
  EXPECT_EQ(f, 0.0f);
  int i = 9;
  EXPECT_TRUE(p.GetInt("FRAMES", i, 1));
  EXPECT_EQ(i, 0);
  unsigned u = 9;
  EXPECT_TRUE(p.GetUInt("N", u, 1));
  EXPECT_EQ(u, 0u);  // a negative number is no unsigned value
}

TEST(DSCParser, FirstOccurrenceWinsAndLongCommentsStaySkipped) {
  std::string longComment = "#" + std::string(1500, '-') + "UNITS: 7\n";
  DSCParser p = DSCParser::FromText(longComment + "UNITS\n  : 0.5\nUNITS: 0.25\n");
  double d = 0;
  EXPECT_TRUE(p.GetDouble("units", d, 0));
  EXPECT_DOUBLE_EQ(d, 0.5);  // white space with line ends may precede the colon
}

// The entry found is the first line whose tag is followed by a colon, whatever stands before it.
TEST(DSCParser, FindsTheFirstTagFollowedByAColon) {
  struct Case {
    const char* text;
    bool found;
    int frames;
  };
  const Case cases[] = {
      {"FRAMES\nFRAMES: 5\n", true, 5},               // the tag alone on a line
      {"FRAMES\r\n\r\n  FRAMES: 6\r\n", true, 6},     // ... then a blank line, CR LF
      {"FRAMES\n# FRAMES: 1\nFRAMES: 7\n", true, 7},  // ... then a comment
      {"FRAMES\nFRAMES/S: 25\nFRAMES: 8\n", true, 8},
      {"FRAMES 3\nFRAMES: 9\n", true, 9},       // a value without a colon is no entry
      {"FRAMES\n  : 4\nFRAMES: 9\n", true, 4},  // the colon may follow on the next line
      {"FRAMES\n", false, -1},                  // the tag alone at the end of the file
  };
  for (const Case& c : cases) {
    DSCParser p = DSCParser::FromText(c.text);
    int frames = 0;
    EXPECT_EQ(p.GetInt("FRAMES", frames, -1), c.found) << c.text;
    EXPECT_EQ(frames, c.frames) << c.text;
  }
}

TEST(DSCParser, ReadsFilesWhateverTheCaseOfTheirName) {
  auto dir = std::filesystem::temp_directory_path() / "zorvat_dscparser_test";
  std::filesystem::create_directories(dir);
  { std::ofstream(dir / "RUN.DSC", std::ios::binary) << "COLORSPACE:RGB\r\n"; }
  DSCParser p((dir / "run.dsc").string());
  ASSERT_TRUE(p.IsOpen());
  std::string s;
  EXPECT_TRUE(p.GetString("COLORSPACE", s, 20, "GREY"));
  EXPECT_EQ(s, "RGB");
  DSCParser missing((dir / "none.dsc").string());
  EXPECT_FALSE(missing.IsOpen());
  int i = 0;
  EXPECT_FALSE(missing.GetInt("COLORSPACE", i, 5));
  EXPECT_EQ(i, 5);
  std::filesystem::remove_all(dir);
}

}  // namespace
