#include "installer/text_util.h"

#include <cctype>

namespace ostrelink {

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines = Split(text, '\n');
  if (!lines.empty() && lines.back().empty()) lines.pop_back();
  for (std::string& line : lines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
  }
  return lines;
}

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

std::string Trim(std::string_view text) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(kBlanks);
  return std::string(text.substr(first, last - first + 1));
}

std::string AsciiLower(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lowered;
}

bool SplitKeyValue(std::string_view line, std::string* key, std::string* value) {
  if (line.empty() || line[0] == '#' || line[0] == '[') return false;
  const size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  *key = Trim(line.substr(0, equals));
  *value = Trim(line.substr(equals + 1));
  return !key->empty();
}

}  // namespace ostrelink
