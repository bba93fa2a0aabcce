#include "platform/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace platform {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view SkipLeadingSpace(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  return text.substr(i);
}

std::string_view Trim(std::string_view text) {
  text = SkipLeadingSpace(text);
  while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
  return text;
}

// Parses the longest number at the start of text (after an optional sign); returns the
// characters used, 0 when there is no number.
std::size_t ParsePrefix(std::string_view text, double& out) {
  std::size_t sign = 0;
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    sign = 1;
  }
  const char* first = text.data() + sign;
  const char* last = text.data() + text.size();
  // from_chars would accept a second sign after ours; atof does not.
  if (first < last && (*first == '+' || *first == '-')) return 0;
  double value = 0.0;
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ptr == first) return 0;
  if (ec == std::errc::result_out_of_range) {
    // Same answer as strtod: overflow gives infinity, underflow gives zero.
    std::size_t digits = static_cast<std::size_t>(ptr - first);
    std::string copy(first, digits);
    std::size_t e = copy.find_first_of("eE");
    bool negativeExponent = e != std::string::npos && e + 1 < copy.size() && copy[e + 1] == '-';
    value = negativeExponent ? 0.0 : HUGE_VAL;
  }
  out = negative ? -value : value;
  return static_cast<std::size_t>(ptr - text.data());
}

std::string FormatWith(std::chars_format format, double value, int precision) {
  char buffer[512];
  if (precision < 0) precision = 0;
  if (precision > 300) precision = 300;
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
  if (ec != std::errc()) return std::string();
  return std::string(buffer, ptr);
}

}  // namespace

double ParseDouble(std::string_view text) {
  double value = 0.0;
  if (ParsePrefix(SkipLeadingSpace(text), value) == 0) return 0.0;
  return value;
}

std::size_t NumberPrefixLength(std::string_view text) {
  std::string_view rest = SkipLeadingSpace(text);
  double value = 0.0;
  std::size_t used = ParsePrefix(rest, value);
  return used == 0 ? 0 : used + (text.size() - rest.size());
}

bool TryParseDouble(std::string_view text, double& out) {
  text = Trim(text);
  double value = 0.0;
  if (text.empty() || ParsePrefix(text, value) != text.size()) return false;
  out = value;
  return true;
}

std::optional<TypedNumber> ReadTypedNumber(std::string_view text, bool commaIsPoint) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative) text.remove_prefix(1);
  std::string whole, fraction;
  bool marked = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      (marked ? fraction : whole) += c;
    } else if ((c == '.' || (c == ',' && commaIsPoint)) && !marked) {
      marked = true;
    } else {
      return std::nullopt;
    }
  }
  if (whole.empty() && fraction.empty()) return std::nullopt;
  TypedNumber number{0.0, std::string(negative ? "-" : "") + (whole.empty() ? "0" : whole)};
  if (!fraction.empty()) number.text += "." + fraction;
  // Digits alone: from_chars reads them whatever the process's locale.
  const char* first = number.text.data();
  const char* last = first + number.text.size();
  const auto [end, error] = std::from_chars(first, last, number.value);
  if (error != std::errc() || end != last || !std::isfinite(number.value)) return std::nullopt;
  return number;
}

long ParseLong(std::string_view text) {
  text = SkipLeadingSpace(text);
  bool negative = false;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long value = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
    int digit = text[i] - '0';
    if (!negative && value > (LONG_MAX - digit) / 10) return LONG_MAX;
    if (negative && value < (LONG_MIN + digit) / 10) return LONG_MIN;
    value = negative ? value * 10 - digit : value * 10 + digit;
  }
  return value;
}

bool TryParseInt(std::string_view text, int& out) {
  text = Trim(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty() || text[0] == '+') return false;
  int value = 0;
  auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || ptr != text.data() + text.size()) return false;
  out = value;
  return true;
}

std::string FormatG(double value, int precision) {
  // printf treats precision 0 of %g as 1.
  return FormatWith(std::chars_format::general, value, precision == 0 ? 1 : precision);
}

std::string FormatShortest(double value) {
  char buffer[64];
  auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (ec != std::errc()) return std::string();
  return std::string(buffer, ptr);
}

double FloatAsDecimal(float value) {
  char buffer[64];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  double decimal = value;
  if (ec == std::errc()) std::from_chars(buffer, end, decimal);
  return decimal;
}

std::string FormatFixed(double value, int decimals) {
  return FormatWith(std::chars_format::fixed, value, decimals);
}

std::string FormatScientific(double value, int decimals) {
  return FormatWith(std::chars_format::scientific, value, decimals);
}

int ClampToInt(double value, int low, int high) {
  if (!(value >= low)) return low;  // not-a-number too
  if (value >= static_cast<double>(high) + 1.0) return high;
  return std::clamp(static_cast<int>(value), low, high);
}

}  // namespace platform
