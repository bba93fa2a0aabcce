#include "installer/mimeapps.h"

#include "installer/text_util.h"

#include <optional>

namespace ostrelink {
namespace {

struct FoundLine {
  std::optional<size_t> typeLine;  // the type's first line in a default group
  std::optional<size_t> groupEnd;  // after the last non-blank line of the first default group
};

bool IsGroupHeader(std::string_view line) { return !line.empty() && line[0] == '['; }

bool IsDefaultGroupHeader(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line == kDefaultGroup;
}

FoundLine FindTypeLine(const std::vector<std::string>& lines, std::string_view mimeType) {
  FoundLine found;
  bool inDefaults = false;
  int defaultGroupsSeen = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (IsGroupHeader(line)) {
      inDefaults = IsDefaultGroupHeader(line);
      if (inDefaults && ++defaultGroupsSeen == 1) found.groupEnd = i + 1;
      continue;
    }
    if (!inDefaults) continue;
    if (defaultGroupsSeen == 1 && !Trim(line).empty()) found.groupEnd = i + 1;
    std::string key, value;
    if (!found.typeLine && SplitKeyValue(line, &key, &value) && key == mimeType) {
      found.typeLine = i;
    }
  }
  return found;
}

}  // namespace

std::vector<std::string> ListedDefaults(std::string_view fileText, std::string_view mimeType) {
  const std::vector<std::string> lines = SplitLines(fileText);
  const FoundLine found = FindTypeLine(lines, mimeType);
  std::vector<std::string> apps;
  if (!found.typeLine) return apps;
  std::string key, value;
  SplitKeyValue(lines[*found.typeLine], &key, &value);
  for (std::string& app : Split(value, ';')) {
    std::string trimmed = Trim(app);
    if (!trimmed.empty()) apps.push_back(std::move(trimmed));
  }
  return apps;
}

std::string WithDefault(std::string_view fileText, std::string_view mimeType,
                        std::string_view app) {
  // Split keeping every line byte for byte, "\r" included; a final "\n" leaves an empty piece.
  std::vector<std::string> lines = Split(fileText, '\n');
  const bool endedWithNewline = !fileText.empty() && fileText.back() == '\n';
  if (endedWithNewline || fileText.empty()) lines.pop_back();
  const std::string newLine = std::string(mimeType) + "=" + std::string(app);
  const FoundLine found = FindTypeLine(lines, mimeType);
  if (found.typeLine) {
    lines[*found.typeLine] = newLine;
  } else if (found.groupEnd) {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*found.groupEnd), newLine);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.emplace_back(kDefaultGroup);
    lines.push_back(newLine);
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace ostrelink
