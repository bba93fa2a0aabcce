#pragma once

// A small INI engine with private-profile semantics: sections and keys match without regard to
// case, white space around keys and values is dropped, a quoted value loses its quotes. Nothing
// is cached: each call reads the file, and each write replaces it atomically, keeping every
// other line as it was.

#include <optional>
#include <string>
#include <string_view>

namespace platform::ini {

// The value of key in section, or nothing when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& file, std::string_view section,
                                     std::string_view key);

enum class WriteResult {
  kWritten,
  kReadOnly,  // the file is write-protected: it is left as it is
  kFailed,    // the file could not be replaced: the old one stays as it was
};

// Sets key in section to value, creating the file, the section and the key when missing.
// A symbolic link is followed: the file it leads to is replaced and the link stays a link.
// On kFailed, *error (when given) holds the reason.
WriteResult WriteValue(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view value, std::string* error = nullptr);

}  // namespace platform::ini
