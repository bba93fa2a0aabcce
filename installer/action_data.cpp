#include "installer/action_data.h"

#include "installer/text_util.h"

namespace ostrelink {
namespace {

std::vector<std::string> SplitItems(std::string_view list) {
  std::vector<std::string> items = Split(list, kItemSeparator);
  std::erase(items, std::string());
  return items;
}

}  // namespace

std::optional<AppEntry> ParseEntry(std::string_view text) {
  const size_t nameEnd = text.find(kNameSeparator);
  if (nameEnd == std::string_view::npos) return std::nullopt;
  AppEntry entry;
  entry.application = std::string(text.substr(0, nameEnd));
  const std::string_view lists = text.substr(nameEnd + 1);
  const size_t mimeStart = lists.find(kMimeListSeparator);
  entry.extensions = SplitItems(lists.substr(0, mimeStart));
  if (mimeStart != std::string_view::npos)
    entry.mimeTypes = SplitItems(lists.substr(mimeStart + 1));
  return entry;
}

std::vector<AppEntry> ParseEntries(std::string_view text) {
  std::vector<AppEntry> entries;
  for (const std::string& piece : Split(text, kEntrySeparator)) {
    const size_t nameEnd = piece.find(kNameSeparator);
    if (nameEnd != std::string::npos && nameEnd + 1 < piece.size()) {
      entries.push_back(*ParseEntry(piece));
    }
  }
  return entries;
}

}  // namespace ostrelink
