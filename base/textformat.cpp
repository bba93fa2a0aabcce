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

TextInFile::TextInFile(const std::string& fileName) : name_(fileName), in_(fileName) {
  failed_ = !in_.IsOpen();
}

// A file that breaks off, or lacks a separator, ends the reading: what follows cannot be
// trusted to stand in its column.
void TextInFile::ReportEnd() {
  ErrorMessage(kIoErrorTitle, kUnexpectedEnd, name_);
  failed_ = true;
}

void TextInFile::SkipBlanks() {
  for (int c = in_.Peek(); c >= 0 && (IsWhite(char(c)) || IsControl(char(c))); c = in_.Peek())
    in_.Advance();
}

TextInFile& TextInFile::ReadInteger(long long& out) {
  out = 0;
  if (failed_) return *this;
  SkipBlanks();
  bool negative = false;
  if (const int c = in_.Peek(); c == '+' || c == '-') {
    negative = c == '-';
    in_.Advance();
  }
  if (!IsDigit(char(in_.Peek()))) {
    failed_ = true;
    return *this;
  }
  // Saturates instead of overflowing; the caller refuses such a value as out of range anyway.
  constexpr long long kLimit = 1LL << 40;
  for (int c = in_.Peek(); IsDigit(char(c)); c = in_.Peek()) {
    if (out < kLimit) out = out * 10 + (c - '0');
    in_.Advance();
  }
  if (negative) out = -out;
  return *this;
}

int TextInFile::Line() const {
  return 1 + static_cast<int>(std::min<std::uint64_t>(in_.LineEnds(), INT_MAX - 1));
}

TextInFile& TextInFile::ReadNumber(long double& out) {
  out = 0;
  if (failed_ || in_.AtEnd()) return *this;
  SkipBlanks();
  if (in_.AtEnd()) {
    ReportEnd();
    return *this;
  }
  long double sign = 1;
  if (const int c = in_.Peek(); c == '+' || c == '-') {
    sign = c == '-' ? -1 : 1;
    in_.Advance();
    if (in_.AtEnd()) {
      ReportEnd();
      return *this;
    }
  }
  for (int c = in_.Peek(); IsDigit(char(c)); c = in_.Peek()) {
    out = out * 10 + (c - '0');
    in_.Advance();
  }
  if (!in_.AtEnd()) {
    const char c = char(in_.Peek());
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
      in_.Advance();
      long double scale = 0.1L;
      for (int d = in_.Peek(); IsDigit(char(d)); d = in_.Peek(), scale /= 10) {
        out += (d - '0') * scale;
        in_.Advance();
      }
    }
  }
  out *= sign;
  return *this;
}

TextInFile& TextInFile::SkipDelimiter() {
  if (failed_) return *this;
  int whiteSkipped = 0;
  while (true) {
    if (in_.AtEnd()) {
      ReportEnd();
      return *this;
    }
    const char c = char(in_.Peek());
    if (IsSeparator(c)) {
      in_.Advance();
      return *this;
    }
    if (!IsWhite(c)) break;
    in_.Advance();
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
  if (!closed_) {
    closed_ = true;
    written_ = platform::WriteFileAtomically(name_, text_, &error_);
  }
  return written_;
}
