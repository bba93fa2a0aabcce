#include "platform/ini.h"

#include <strings.h>

#include <vector>

#include "platform/files.h"

namespace platform::ini {
namespace {

std::string_view Trim(std::string_view s) {
  auto space = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && space(s.front())) s.remove_prefix(1);
  while (!s.empty() && space(s.back())) s.remove_suffix(1);
  return s;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The section name when line is a section header.
std::optional<std::string_view> SectionOf(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  std::size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return Trim(line.substr(1, close - 1));
}

struct Entry {
  std::string_view key;
  std::string_view value;
};

std::optional<Entry> EntryOf(std::string_view line) {
  std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  return Entry{Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))};
}

std::string Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v);
}

// Where the lines of a file put things: the header of the wanted section, the line of the key,
// and the last non-blank line of the section.
struct Layout {
  int sectionLine = -1;
  int keyLine = -1;
  int lastLineOfSection = -1;
};

Layout Locate(const std::vector<std::string>& lines, std::string_view section,
              std::string_view key) {
  Layout at;
  bool inside = false;
  for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
    if (auto name = SectionOf(lines[i])) {
      if (inside) break;  // the first section of that name is the one used
      inside = SameName(*name, section);
      if (inside) at.sectionLine = at.lastLineOfSection = i;
      continue;
    }
    if (!inside) continue;
    if (!Trim(lines[i]).empty()) at.lastLineOfSection = i;
    auto entry = EntryOf(lines[i]);
    if (entry && at.keyLine < 0 && SameName(entry->key, key)) at.keyLine = i;
  }
  return at;
}

}  // namespace

std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key) {
  std::string text;
  if (!ReadWholeFile(file, text)) return std::nullopt;
  auto lines = SplitLines(text);
  Layout at = Locate(lines, section, key);
  if (at.keyLine < 0) return std::nullopt;
  return Unquote(EntryOf(lines[at.keyLine])->value);
}

WriteResult WriteValue(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view value, std::string* error) {
  // A link is followed by the read and by the write: the file it leads to is replaced.
  if (IsWriteProtected(file)) return WriteResult::kReadOnly;
  std::string text;
  ReadWholeFile(file, text);  // a missing file is created
  const std::string eol = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  auto lines = SplitLines(text);
  Layout at = Locate(lines, section, key);
  std::string entry = std::string(key) + "=" + std::string(value);
  if (at.keyLine >= 0) {
    lines[at.keyLine] = entry;
  } else if (at.sectionLine >= 0) {
    lines.insert(lines.begin() + at.lastLineOfSection + 1, entry);
  } else {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back("[" + std::string(section) + "]");
    lines.push_back(entry);
  }
  std::string out;
  for (const auto& line : lines) out += line + eol;
  return WriteFileAtomically(file, out, error) ? WriteResult::kWritten : WriteResult::kFailed;
}

}  // namespace platform::ini
