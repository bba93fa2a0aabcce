#include "installer/action_data.h"

namespace ostrelink {
namespace {

std::vector<std::string> SplitItems(std::string_view list) {
  std::vector<std::string> items;
  size_t start = 0;
  while (start <= list.size()) {
    size_t end = list.find(kItemSeparator, start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) items.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
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
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(kEntrySeparator, start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view piece = text.substr(start, end - start);
    const size_t nameEnd = piece.find(kNameSeparator);
    if (nameEnd != std::string_view::npos && nameEnd + 1 < piece.size()) {
      entries.push_back(*ParseEntry(piece));
    }
    start = end + 1;
  }
  return entries;
}

}  // namespace ostrelink
