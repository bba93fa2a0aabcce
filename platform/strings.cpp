#include "platform/strings.h"

#include <algorithm>
#include <cstdarg>
#include <vector>

namespace platform {
namespace {

const std::vector<StringEntry>& SortedTable() {
  static const std::vector<StringEntry> table = [] {
    std::vector<StringEntry> t(kStringTable, kStringTable + kStringTableSize);
    std::stable_sort(t.begin(), t.end(),
                     [](const StringEntry& a, const StringEntry& b) { return a.id < b.id; });
    return t;
  }();
  return table;
}

const StringEntry* Find(int id) {
  const auto& t = SortedTable();
  auto it = std::lower_bound(t.begin(), t.end(), id,
                             [](const StringEntry& e, int v) { return e.id < v; });
  return it != t.end() && it->id == id ? &*it : nullptr;
}

}  // namespace

std::string_view LoadString(int id) {
  const StringEntry* e = Find(id);
  return e ? std::string_view(e->text) : std::string_view();
}

bool HasString(int id) { return Find(id) != nullptr; }

const StringEntry* StringTableBegin() { return SortedTable().data(); }
const StringEntry* StringTableEnd() { return SortedTable().data() + SortedTable().size(); }

namespace detail {

std::string FormatV(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string out;
  if (needed > 0) {
    out.resize(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, args);
    out.resize(static_cast<std::size_t>(needed));
  }
  va_end(args);
  return out;
}

}  // namespace detail
}  // namespace platform
