#pragma once
// Text helpers shared by the installer library's file readers.
#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

// Lines split at "\n", a trailing "\r" dropped; the empty text after the last "\n" is no line.
std::vector<std::string> SplitLines(std::string_view text);

// Every piece between separators, empty ones included.
std::vector<std::string> Split(std::string_view text, char separator);

// Removes blanks, tabs, carriage returns and line feeds at both ends.
std::string Trim(std::string_view text);

std::string AsciiLower(std::string_view text);

// "Key = Value" of a key file; false for comments, group headers and lines without "=".
bool SplitKeyValue(std::string_view line, std::string* key, std::string* value);

}  // namespace ostrelink
