#include "base/dscparser.h"

#include <cstdint>
#include <limits>

#include "platform/files.h"
#include "platform/numbers.h"

namespace {

// Longest value text that a floating-point lookup reads.
constexpr std::size_t kMaxNumberText = 99;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Index just past the line end at or after pos (text size when there is none).
std::size_t NextLine(const std::string& text, std::size_t pos) {
  std::size_t nl = text.find('\n', pos);
  return nl == std::string::npos ? text.size() : nl + 1;
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
  std::string bytes;
  if (found.empty() || !platform::ReadWholeFile(found, bytes)) return;
  path_ = found;
  SetText(bytes);
}

DSCParser DSCParser::FromText(std::string_view text) {
  DSCParser parser;
  parser.SetText(text);
  return parser;
}

void DSCParser::SetText(std::string_view text) {
  // Files written on Windows end their lines in CR LF; values must not keep the CR.
  text_.clear();
  text_.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] == '\n')) continue;
    text_ += text[i];
  }
  open_ = true;
}

bool DSCParser::FindTag(std::string_view tag, std::size_t& value) const {
  if (!open_ || tag.empty()) return false;
  const std::string& t = text_;
  std::size_t pos = 0;
  while (true) {
    while (pos < t.size() && IsBlankOrControl(t[pos])) ++pos;
    if (pos >= t.size()) return false;
    if (t[pos] == '#') {
      // The whole comment line is skipped, however long it is.
      pos = NextLine(t, pos);
      continue;
    }
    std::size_t k = 0;
    while (k < tag.size() && pos + k < t.size() && Upper(t[pos + k]) == Upper(tag[k])) ++k;
    if (k < tag.size()) {
      pos = NextLine(t, pos);
      continue;
    }
    pos += k;
    while (pos < t.size() && IsBlankOrControl(t[pos])) ++pos;
    if (pos < t.size() && t[pos] == ':') {
      ++pos;
      while (pos < t.size() && t[pos] != '\n' && IsBlankOrControl(t[pos])) ++pos;
      value = pos;
      return true;
    }
    if (pos >= t.size()) return false;
    pos = NextLine(t, pos);
  }
}

std::string_view DSCParser::LineFrom(std::size_t value) const {
  std::size_t end = text_.find('\n', value);
  if (end == std::string::npos) end = text_.size();
  return std::string_view(text_).substr(value, end - value);
}

bool DSCParser::GetInt(std::string_view tag, int& target, int def) {
  std::size_t value = 0;
  if (!FindTag(tag, value)) {
    target = def;
    return false;
  }
  target = ExtractInteger<int>(LineFrom(value));
  return true;
}

bool DSCParser::GetUInt(std::string_view tag, unsigned& target, unsigned def) {
  std::size_t value = 0;
  if (!FindTag(tag, value)) {
    target = def;
    return false;
  }
  target = ExtractInteger<unsigned>(LineFrom(value));
  return true;
}

bool DSCParser::GetDouble(std::string_view tag, double& target, double /*def*/) {
  std::size_t value = 0;
  if (!FindTag(tag, value)) return false;
  target = platform::ParseDouble(LineFrom(value).substr(0, kMaxNumberText));
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
  std::size_t value = 0;
  if (!FindTag(tag, value)) {
    target = std::string(def.substr(0, limit));
    return false;
  }
  target = std::string(LineFrom(value).substr(0, limit));
  return true;
}

bool DSCParser::GetSize(std::string_view tag, int& width, int& height, int def) {
  std::size_t value = 0;
  if (!FindTag(tag, value)) {
    width = height = def;
    return false;
  }
  std::string_view line = LineFrom(value);
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
