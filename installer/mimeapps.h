#pragma once
// Reading and editing the text of a mimeapps.list file, the freedesktop.org file of default
// applications: "[Default Applications]" holds lines "mime/type=app.desktop;other.desktop;".
#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

inline constexpr std::string_view kDefaultGroup = "[Default Applications]";

// The applications listed for mimeType by its first line in a default group, in order; empty
// when the file has none.
std::vector<std::string> ListedDefaults(std::string_view fileText, std::string_view mimeType);

// The file text with `app` as the one default of mimeType: the type's first line in a default
// group is replaced, or a line is added at the end of the first default group, or a default group
// is appended. Every other line stays as it was.
std::string WithDefault(std::string_view fileText, std::string_view mimeType, std::string_view app);

}  // namespace ostrelink
