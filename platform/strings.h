#pragma once

// The program's string table: every user-visible text and every settings key is addressed by
// number. The texts are compiled in from resources/strings/*.inc, one file per subsystem.

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

struct StringEntry {
  int id;
  const char* text;
};

// The texts themselves: the resources floor of the program defines them
// (resources/strings/string_table.cpp), so the engine here names no floor above it.
extern const StringEntry kStringTable[];
extern const std::size_t kStringTableSize;

// The text of string id, or the empty text when there is none.
std::string_view LoadString(int id);

// True when the table holds id.
bool HasString(int id);

// Every entry, sorted by id (for checks of the table itself).
const StringEntry* StringTableBegin();
const StringEntry* StringTableEnd();

namespace detail {
std::string FormatV(const char* format, ...);

template <typename T>
auto FormatArg(const T& value) {
  if constexpr (std::is_same_v<T, std::string>) {
    return value.c_str();
  } else if constexpr (std::is_array_v<T>) {
    return &value[0];
  } else {
    static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T> || std::is_pointer_v<T>,
                  "printf-style arguments must be numbers, pointers or std::string");
    return value;
  }
}
}  // namespace detail

// printf-style formatting into a string of whatever length the result needs; std::string
// arguments are passed as their texts.
template <typename... A>
std::string Format(std::string_view format, const A&... args) {
  std::string fmt(format);
  if constexpr (sizeof...(A) == 0) {
    return detail::FormatV("%s", fmt.c_str());
  } else {
    return detail::FormatV(fmt.c_str(), detail::FormatArg(args)...);
  }
}

// Formats string id with the arguments.
template <typename... A>
std::string FormatString(int id, const A&... args) {
  return Format(LoadString(id), args...);
}

}  // namespace platform
