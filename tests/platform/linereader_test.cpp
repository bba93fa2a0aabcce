#include "platform/linereader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "common/temp_dir.h"

namespace {

using platform::LineReader;
constexpr std::size_t kBlock = LineReader::kBufferSize;

std::vector<std::string> Lines(LineReader& in, std::size_t maxKept = std::string::npos) {
  std::vector<std::string> lines;
  for (std::string line; in.ReadLine(line, maxKept);) lines.push_back(line);
  return lines;
}

// The same text read from a file and from memory gives the same lines, whatever the line ends,
// and wherever the blocks of the file break the lines.
TEST(LineReader, ReadsLinesEndingInLfOrCrLfFromFileAndMemory) {
  using V = std::vector<std::string>;
  struct Case {
    std::string text;
    std::size_t maxKept;
    V lines;
  };
  const std::string longLine(kBlock + 10, 'a');
  const Case cases[] = {
      {"a\r\nb\nc", std::string::npos, {"a", "b", "c"}},
      {"a\n\nb\r\n", std::string::npos, {"a", "", "b"}},
      {"", std::string::npos, {}},
      {"x\r", std::string::npos, {"x"}},
      {"a\rb\n", std::string::npos, {"a\rb"}},  // a lone CR stays in the line
      {"abcdef\r\nxy\n", 3, {"abc", "xy"}},     // a long line cut, the rest passed over
      {"abc\r\n", 4, {"abc"}},
      {"ab\rcd\n", 3, {"ab\r"}},  // the cut leaves a CR that ended no line
      {std::string(kBlock - 1, 'b') + "\r\nz\n",
       std::string::npos,
       {std::string(kBlock - 1, 'b'), "z"}},  // CR at the block's end, LF in the next
      {longLine + "\n" + longLine, std::string::npos, {longLine, longLine}},
      {longLine + "\nq", 5, {"aaaaa", "q"}},
  };
  testutil::TempDir dir("linereader");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 20) + " cut at " + std::to_string(c.maxKept));
    LineReader file(dir.Write("t.txt", c.text));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(Lines(file, c.maxKept), c.lines);
    EXPECT_EQ(file.Position(), c.text.size());
    EXPECT_FALSE(file.Failed());
    LineReader memory = LineReader::FromText(c.text);
    EXPECT_EQ(Lines(memory, c.maxKept), c.lines);
  }
}

// Line ends are counted as the reader passes them, across blocks, and start again on rewind.
TEST(LineReader, CountsLineEndsAndPositionAcrossBlocksAndAfterRewind) {
  testutil::TempDir dir("linereader");
  std::string text;
  for (int i = 0; i < 30000; ++i) text += std::to_string(i) + (i % 2 ? "\r\n" : "\n");
  ASSERT_GT(text.size(), 2 * kBlock);
  LineReader in(dir.Write("count.txt", text));
  EXPECT_EQ(in.Size(), text.size());
  std::uint64_t passed = 0;
  for (int i = 0; i < 30000; ++i) {
    std::string line;
    ASSERT_TRUE(in.ReadLine(line));
    ASSERT_EQ(line, std::to_string(i));
    passed += line.size() + (i % 2 ? 2 : 1);
    if (i % 997 == 0) {
      ASSERT_EQ(in.LineEnds(), static_cast<std::uint64_t>(i + 1));
      ASSERT_EQ(in.Position(), passed);
    }
  }
  EXPECT_EQ(in.LineEnds(), 30000u);
  EXPECT_TRUE(in.AtEnd());
  ASSERT_TRUE(in.Rewind());
  EXPECT_EQ(in.Position(), 0u);
  EXPECT_EQ(in.LineEnds(), 0u);
  EXPECT_EQ(in.Get(), '0');
  EXPECT_EQ(in.Peek(), '\n');
  in.Advance();
  EXPECT_EQ(in.LineEnds(), 1u);
}

// None of these waits or reads: a named pipe without a writer would otherwise block for ever.
TEST(LineReader, MissingFilesFoldersAndPipesAreNotOpened) {
  testutil::TempDir dir("linereader");
  ASSERT_EQ(::mkfifo(dir.File("pipe").c_str(), 0600), 0);
  for (const std::string& path : {dir.File("missing.txt"), dir.Path().string(), dir.File("pipe")}) {
    LineReader in(path);
    EXPECT_FALSE(in.IsOpen()) << path;
    EXPECT_EQ(in.Peek(), -1);
    std::string line = "old";
    EXPECT_FALSE(in.ReadLine(line));
    EXPECT_FALSE(in.Rewind());
  }
}

}  // namespace
