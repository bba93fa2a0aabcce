#include "base/textformat.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/settings_fixture.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace {

class TextFiles : public TempSettings {
 protected:
  std::string File(const std::string& content) {
    std::string path = (dir_ / "data.txt").string();
    std::ofstream(path, std::ios::binary) << content;
    return path;
  }
  platform::RecordingMessageService messages;
};

TEST_F(TextFiles, FormatWordsFromTheSettings) {
  struct Case {
    const char* settings;
    char decimal, delimiter;
  };
  const Case cases[] = {
      {"", '.', ' '},
      {"Delimeter=semicolon\nFloatingpoint=comma\n", ',', ';'},
      {"Delimeter=COMMA\nFloatingpoint=COMMA\n", '.', ','},
      {"Delimeter=TAB\nFloatingpoint=POINT\n", '.', '\t'},
      {"Delimeter=pipe\n", '.', ' '},
  };
  for (const auto& c : cases) {
    WriteSettings(std::string("[Zorvatrack]\n") + c.settings);
    TextFormat f;
    EXPECT_EQ(f.decimal, c.decimal) << c.settings;
    EXPECT_EQ(f.delimiter, c.delimiter) << c.settings;
  }
  {
    TextFormat f;
    f.precision = 5;
  }
  EXPECT_NE(ReadFile(profile_->FilePath()).find("FloatingpointPrecision=5"), std::string::npos);
}

// Reads "number (delimiter number)*" and returns what came out.
std::vector<long double> ReadAll(TextInFile& in, int count) {
  std::vector<long double> out;
  for (int i = 0; i < count; ++i) {
    long double v;
    in.ReadNumber(v);
    out.push_back(v);
    if (i + 1 < count) in.SkipDelimiter();
  }
  return out;
}

TEST_F(TextFiles, ReadsNumbersAndSeparators) {
  WriteSettings("[Zorvatrack]\nDelimeter=SEMICOLON\n");
  TextInFile in(File("12.5;7\r\n-0.25 +3\t007\n1.5"));
  auto v = ReadAll(in, 6);
  EXPECT_EQ(v, (std::vector<long double>{12.5L, 7, -0.25L, 3, 7, 1.5L}));
  EXPECT_TRUE(in.eof());
  EXPECT_TRUE(messages.shown.empty());
  long double after;
  in.ReadNumber(after);  // at the end already: no message
  EXPECT_TRUE(messages.shown.empty());
}

// The file is read a block at a time: a number, a sign or a CR LF cut by a block's end reads as
// it would anywhere else, and the line count goes on across blocks.
TEST_F(TextFiles, NumbersAndLinesAcrossTheReadingBlocks) {
  constexpr std::size_t kBlock = platform::LineReader::kBufferSize;
  const std::string lines = [] {
    std::string text;
    for (int i = 0; i < 1000; ++i) text += "7\n";
    return text;
  }();
  const std::string tail = "1\r\n-2\r\n-12.75 3\r\n";
  // The block's end falls before each byte of the tail in turn.
  for (std::size_t k = 1; k <= tail.size(); ++k) {
    const std::string text = lines + std::string(kBlock - lines.size() - k, ' ') + tail;
    SCOPED_TRACE("the block ends " + std::to_string(k) + " bytes before the end of the tail");
    TextInFile in(File(text));
    long long n = 0;
    for (int i = 0; i < 1000; ++i) ASSERT_TRUE(in.ReadInteger(n));
    EXPECT_EQ(n, 7);
    EXPECT_EQ(in.ReadInteger(n).Line(), 1001);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(in.ReadInteger(n).Line(), 1002);
    EXPECT_EQ(n, -2);
    long double x = 0, y = 0;
    in.ReadNumber(x).SkipDelimiter().ReadNumber(y);
    EXPECT_EQ(x, -12.75L);
    EXPECT_EQ(y, 3);
    EXPECT_EQ(in.Line(), 1003);
    EXPECT_EQ(in.Position(), text.size() - 2);
    EXPECT_EQ(in.Size(), text.size());
    EXPECT_FALSE(in.ReadInteger(n));  // the end of the lines
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TextFiles, BadSeparatorsAndEarlyEndAreReported) {
  struct Case {
    const char* content;
    int numbers;
    const char* message;
  };
  const Case cases[] = {
      {"1.2.3", 2, "In the file %F no column seperation (spaces, tabulators or ' ') is found."},
      {"12ab", 2, "In the file %F no column seperation (spaces, tabulators or ' ') is found."},
      {"4 \n", 2, "The end of the file %F was reached unexpectedly."},
  };
  for (const auto& c : cases) {
    messages.shown.clear();
    std::string path = File(c.content);
    TextInFile in(path);
    ReadAll(in, c.numbers);
    ASSERT_FALSE(messages.shown.empty()) << c.content;
    std::string expected = c.message;
    expected.replace(expected.find("%F"), 2, path);
    EXPECT_EQ(messages.shown[0].caption, "Input/output error");
    EXPECT_EQ(messages.shown[0].text, expected) << c.content;
  }
}

TEST_F(TextFiles, CommaInNumbersAsksOnce) {
  std::string path = File("3,75 1,5");
  {
    messages.answers = {platform::kIdYes};
    TextInFile in(path);
    EXPECT_EQ(ReadAll(in, 2), (std::vector<long double>{3.75L, 1.5L}));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "Indefinite input format");
  }
  TextFormat stored;
  EXPECT_EQ(stored.decimal, ',');  // kept with the format

  WriteSettings("[Zorvatrack]\n");
  messages.shown.clear();
  messages.answers = {platform::kIdNo, platform::kIdNo};
  TextInFile no(path);
  EXPECT_EQ(ReadAll(no, 4), (std::vector<long double>{3, 75, 1, 5}));  // the comma separates
  messages.answers = {};                                               // Cancel
  TextInFile cancel(path);
  long double v;
  cancel.ReadNumber(v);
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(cancel.fail());
}

TEST_F(TextFiles, WritesNumbersInTheChosenFormat) {
  WriteSettings("[Zorvatrack]\nFloatingpoint=COMMA\nDelimeter=SEMICOLON\n");
  std::string path = (dir_ / "out.txt").string();
  {
    TextOutFile out(path);
    out.WriteNumber(2.5).WriteDelimiter().WriteNumber(-1.0005L).WriteText("\n");
    ASSERT_TRUE(out.Close());
  }
  EXPECT_EQ(ReadFile(path), "2,500;-1,000\n");  // -1.0005 is just below, so it rounds to -1.000
  TextOutFile failing((dir_ / "no/such/folder.txt").string());
  EXPECT_FALSE(failing.Close());
  EXPECT_FALSE(failing.Close());  // closed once more, it is still not written
  EXPECT_EQ(failing.Error(), platform::FormatString(platform::files_ids::kCannotWrite,
                                                    (dir_ / "no/such/folder.txt").string(),
                                                    "its folder does not exist"));
}

}  // namespace
