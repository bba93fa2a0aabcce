#include "base/textformat.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

#include "base/messages.h"
#include "base/profile.h"
#include "platform/files.h"
#include "platform/numbers.h"

namespace {

constexpr int kIoErrorTitle = 31050;
constexpr int kNoSeparator = 31062;
constexpr int kUnexpectedEnd = 31063;
constexpr int kFormatQuestionTitle = 31065;
constexpr int kCommaQuestion = 31066;
constexpr std::size_t kWordSize = 21;

struct DelimiterName {
  char c;
  const char* word;
};
constexpr DelimiterName kDelimiters[] = {
    {' ', "SPC"}, {'\t', "TAB"}, {',', "COMMA"}, {';', "SEMICOLON"}, {':', "COLON"}};

bool IsWhite(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsControl(char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }
bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == ';' || c == ':'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Word(int keyId, const char* def) {
  std::string w;
  if (g_Profile)
    g_Profile->GetString(key::kSection, keyId, w, kWordSize, def);
  else
    w = def;
  return w;
}

}  // namespace

const char* TextFormat::DelimiterWord(char delimiter) {
  for (const auto& d : kDelimiters)
    if (d.c == delimiter) return d.word;
  return "SPC";
}

TextFormat::TextFormat() {
  if (g_Profile) {
    precision = g_Profile->GetInt(key::kSection, key::kFloatingpointPrecision, 3);
    // Decimals beyond what a double holds only make noise; out-of-range values take the default.
    if (precision < 0 || precision > 10) precision = 3;
  }
  std::string delimiterWord = Word(key::kDelimeter, "SPC");
  delimiter = ' ';
  for (const auto& d : kDelimiters)
    if (::strcasecmp(delimiterWord.c_str(), d.word) == 0) delimiter = d.c;
  decimal = ::strcasecmp(Word(key::kFloatingpoint, "POINT").c_str(), "COMMA") == 0 ? ',' : '.';
  if (decimal == delimiter) {
    if (decimal == ',')
      decimal = '.';
    else
      delimiter = ' ';
  }
}

TextFormat::~TextFormat() {
  if (!g_Profile || !storeOnDestroy_) return;
  g_Profile->WriteInt(key::kSection, key::kFloatingpointPrecision, precision);
  g_Profile->WriteString(key::kSection, key::kDelimeter, DelimiterWord(delimiter));
  g_Profile->WriteString(key::kSection, key::kFloatingpoint, decimal == ',' ? "COMMA" : "POINT");
}

TextInFile::TextInFile(const std::string& fileName) : name_(fileName) {
  failed_ = !platform::ReadWholeFile(fileName, text_);
}

// A file that breaks off, or lacks a separator, ends the reading: what follows cannot be
// trusted to stand in its column.
void TextInFile::ReportEnd() {
  ErrorMessage(kIoErrorTitle, kUnexpectedEnd, name_);
  failed_ = true;
}

TextInFile& TextInFile::ReadInteger(long long& out) {
  out = 0;
  if (failed_) return *this;
  while (!AtEnd() && (IsWhite(text_[pos_]) || IsControl(text_[pos_]))) ++pos_;
  bool negative = false;
  if (!AtEnd() && (text_[pos_] == '+' || text_[pos_] == '-')) negative = text_[pos_++] == '-';
  if (AtEnd() || !IsDigit(text_[pos_])) {
    failed_ = true;
    return *this;
  }
  // Saturates instead of overflowing; the caller refuses such a value as out of range anyway.
  constexpr long long kLimit = 1LL << 40;
  while (!AtEnd() && IsDigit(text_[pos_])) {
    if (out < kLimit) out = out * 10 + (text_[pos_] - '0');
    ++pos_;
  }
  if (negative) out = -out;
  return *this;
}

int TextInFile::Line() const {
  // The reader only moves forward: the line breaks are counted from where the last call stopped,
  // so asking on every line costs as much as reading the file once.
  const std::size_t to = std::min(pos_, text_.size());
  linesBefore_ += std::count(text_.begin() + static_cast<std::ptrdiff_t>(countedTo_),
                             text_.begin() + static_cast<std::ptrdiff_t>(to), '\n');
  countedTo_ = to;
  return 1 + static_cast<int>(std::min<std::size_t>(linesBefore_, INT_MAX - 1));
}

TextInFile& TextInFile::ReadNumber(long double& out) {
  out = 0;
  if (failed_ || AtEnd()) return *this;
  while (!AtEnd() && (IsWhite(text_[pos_]) || IsControl(text_[pos_]))) ++pos_;
  if (AtEnd()) {
    ReportEnd();
    return *this;
  }
  long double sign = 1;
  if (text_[pos_] == '+' || text_[pos_] == '-') {
    sign = text_[pos_] == '-' ? -1 : 1;
    if (++pos_ >= text_.size()) {
      ReportEnd();
      return *this;
    }
  }
  while (!AtEnd() && IsDigit(text_[pos_])) out = out * 10 + (text_[pos_++] - '0');
  if (!AtEnd()) {
    char c = text_[pos_];
    bool fraction = c == '.' || (c == ',' && decimal == ',');
    if (c == ',' && decimal != ',') {
      int answer = QuestionMessage(kFormatQuestionTitle, kCommaQuestion, name_);
      if (answer == platform::kIdYes) {
        decimal = ',';
        fraction = true;
      } else if (answer != platform::kIdNo) {
        failed_ = true;
        out *= sign;
        return *this;
      }
    }
    if (fraction) {
      ++pos_;
      long double scale = 0.1L;
      for (; !AtEnd() && IsDigit(text_[pos_]); ++pos_, scale /= 10)
        out += (text_[pos_] - '0') * scale;
    }
  }
  out *= sign;
  return *this;
}

TextInFile& TextInFile::SkipDelimiter() {
  if (failed_) return *this;
  int whiteSkipped = 0;
  while (true) {
    if (AtEnd()) {
      ReportEnd();
      return *this;
    }
    char c = text_[pos_];
    if (IsSeparator(c)) {
      ++pos_;
      return *this;
    }
    if (!IsWhite(c)) break;
    ++pos_;
    ++whiteSkipped;
  }
  if (whiteSkipped == 0) {
    const char delimiterText[2] = {delimiter, 0};
    ErrorMessage(kIoErrorTitle, kNoSeparator, name_, delimiterText);
    failed_ = true;
  }
  return *this;
}

TextOutFile::TextOutFile(const std::string& fileName) : name_(fileName) {}

TextOutFile::~TextOutFile() { Close(); }

TextOutFile& TextOutFile::WriteNumber(long double value) {
  std::string text = platform::FormatFixed(static_cast<double>(value), precision);
  if (decimal != '.') {
    std::size_t point = text.find('.');
    if (point != std::string::npos) text[point] = decimal;
  }
  text_ += text;
  return *this;
}

TextOutFile& TextOutFile::WriteDelimiter() {
  text_ += delimiter;
  return *this;
}

TextOutFile& TextOutFile::WriteText(const std::string& text) {
  text_ += text;
  return *this;
}

bool TextOutFile::Close() {
  if (closed_) return true;
  closed_ = true;
  return platform::WriteFileAtomically(name_, text_);
}
