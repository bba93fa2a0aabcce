#include "base/dscparser.h"

#include <cstdint>
#include <limits>

#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/numbers.h"

namespace {

// Longest value text that a floating-point lookup reads.
constexpr std::size_t kMaxNumberText = 99;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The longest value text that an integer or size lookup reads: far more digits than any number
// holds, and a value line of any length costs no more memory.
constexpr std::size_t kMaxIntegerText = 4096;

// Passes blanks and control characters (line ends included unless stopAtLineEnd); false at the
// end of the text. *crossedLineEnd, when given, tells whether a line end was passed.
bool SkipBlanks(platform::LineReader& in, bool stopAtLineEnd = false,
                bool* crossedLineEnd = nullptr) {
  for (int c = in.Peek(); c >= 0; c = in.Peek()) {
    if (!IsBlankOrControl(static_cast<char>(c)) || (stopAtLineEnd && c == '\n')) return true;
    if (crossedLineEnd && c == '\n') *crossedLineEnd = true;
    in.Advance();
  }
  return false;
}

// Passes the rest of the line and its line end, however long the line is.
void SkipLine(platform::LineReader& in) {
  std::string nothing;
  in.ReadLine(nothing, 0);
}

// Stream-style integer extraction within one line: leading blanks, an optional sign, digits.
// No digits give 0; values beyond the type's range are clamped to it.
template <typename T>
T ExtractInteger(std::string_view text, std::size_t* used = nullptr) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::size_t digitsStart = i;
  std::int64_t value = 0;
  constexpr std::int64_t kCap = std::int64_t{1} << 40;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    if (value < kCap) value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i == digitsStart) {
    if (used) *used = 0;
    return 0;
  }
  if (used) *used = i;
  if (negative) value = -value;
  if (value < static_cast<std::int64_t>(std::numeric_limits<T>::min())) {
    // An unsigned target takes no sign: a negative number is no value for it.
    return std::numeric_limits<T>::is_signed ? std::numeric_limits<T>::min() : 0;
  }
  if (value > static_cast<std::int64_t>(std::numeric_limits<T>::max())) {
    return std::numeric_limits<T>::max();
  }
  return static_cast<T>(value);
}

}  // namespace

DSCParser::DSCParser(const std::string& path) {
  std::string found = platform::FindFileIgnoringCase(path);
  if (found.empty()) return;
  platform::LineReader in(found);
  if (!in.IsOpen()) return;
  path_ = found;
  in_ = std::move(in);
}

DSCParser DSCParser::FromText(std::string_view text) {
  DSCParser parser;
  parser.in_ = platform::LineReader::FromText(text);
  return parser;
}

bool DSCParser::FindTag(std::string_view tag) {
  if (!IsOpen() || tag.empty() || !in_.Rewind()) return false;
  while (true) {
    if (!SkipBlanks(in_)) return false;
    if (in_.Peek() == '#') {
      // The whole comment line is skipped, however long it is.
      SkipLine(in_);
      continue;
    }
    std::size_t k = 0;
    while (k < tag.size() && in_.Peek() >= 0 &&
           Upper(static_cast<char>(in_.Peek())) == Upper(tag[k])) {
      in_.Advance();
      ++k;
    }
    if (k < tag.size()) {
      SkipLine(in_);
      continue;
    }
    // White space, line ends included, may stand between the tag and its colon.
    bool crossedLineEnd = false;
    if (!SkipBlanks(in_, false, &crossedLineEnd)) return false;
    if (in_.Peek() == ':') {
      in_.Advance();
      SkipBlanks(in_, true);
      return true;
    }
    // A tag alone on its line is no entry; the line the reader now stands in is searched like
    // any other, so "FRAMES" alone does not hide "FRAMES: 5" below it.
    if (!crossedLineEnd) SkipLine(in_);
  }
}

std::string DSCParser::Value(std::size_t maxKept) {
  std::string value;
  in_.ReadLine(value, maxKept);
  return value;
}

bool DSCParser::GetInt(std::string_view tag, int& target, int def) {
  if (!FindTag(tag)) {
    target = def;
    return false;
  }
  target = ExtractInteger<int>(Value(kMaxIntegerText));
  return true;
}

bool DSCParser::GetUInt(std::string_view tag, unsigned& target, unsigned def) {
  if (!FindTag(tag)) {
    target = def;
    return false;
  }
  target = ExtractInteger<unsigned>(Value(kMaxIntegerText));
  return true;
}

bool DSCParser::GetDouble(std::string_view tag, double& target, double /*def*/) {
  if (!FindTag(tag)) return false;
  target = platform::ParseDouble(Value(kMaxNumberText));
  return true;
}

bool DSCParser::GetFloat(std::string_view tag, float& target, float def) {
  double d = target;
  if (!GetDouble(tag, d, def)) return false;
  target = static_cast<float>(d);
  return true;
}

bool DSCParser::GetString(std::string_view tag, std::string& target, std::size_t size,
                          std::string_view def) {
  std::size_t limit = size > 0 ? size - 1 : 0;
  if (!FindTag(tag)) {
    target = std::string(def.substr(0, limit));
    return false;
  }
  target = Value(limit);
  return true;
}

bool DSCParser::GetSize(std::string_view tag, int& width, int& height, int def) {
  if (!FindTag(tag)) {
    width = height = def;
    return false;
  }
  const std::string line = Value(kMaxIntegerText);
  std::size_t used = 0;
  width = ExtractInteger<int>(line, &used);
  height = def;
  if (used == 0) return true;
  std::size_t i = used;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i < line.size() && (line[i] == 'x' || line[i] == 'X')) {
    height = ExtractInteger<int>(line.substr(i + 1));
  }
  return true;
}
