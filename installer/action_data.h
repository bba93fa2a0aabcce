#pragma once
// The installer hands the association actions their work as one text, "CustomActionData".
// An entry names the registered application, then its file extensions (without dot) and its
// MIME types:
//   application U+0002 ext U+0004 ext ... U+0003 mime U+0004 mime ...
// SetDefaultCustom receives several entries joined by U+0001; GetAllOldDefaults receives one.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

inline constexpr char kEntrySeparator = '\x01';
inline constexpr char kNameSeparator = '\x02';
inline constexpr char kMimeListSeparator = '\x03';
inline constexpr char kItemSeparator = '\x04';

struct AppEntry {
  std::string application;
  std::vector<std::string> extensions;  // without the leading dot
  std::vector<std::string> mimeTypes;

  bool operator==(const AppEntry&) const = default;
};

// One entry: the first U+0002 splits the name from the lists; no U+0001 splitting. Empty items
// are dropped. Returns nothing when there is no U+0002.
std::optional<AppEntry> ParseEntry(std::string_view text);

// Entries separated by U+0001. An entry without U+0002, or with nothing after it, is skipped, as
// are empty entries.
std::vector<AppEntry> ParseEntries(std::string_view text);

}  // namespace ostrelink
