#pragma once

// File access shared by every reader and writer: whole-file reads, atomic replacement, line
// splitting that accepts CR LF, and finding companion files whatever the case of their names.

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file by bytes through a temporary file in the same folder and a rename, so a
// failure at any step leaves the old file as it was. False on failure, with a reason in *error.
// A new file gets permission bits `mode` (less the umask); an existing file keeps its own.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr, unsigned mode = 0666);

// Splits text into lines at "\n", dropping a "\r" before it; a last line without a line end is
// kept, an empty text gives no lines.
std::vector<std::string> SplitLines(std::string_view text);

// The path of an existing file that matches path with its last component compared without
// regard to case (an exact match wins); empty when there is none. Files written on other systems
// name their companions as "X.DSC" or "x.dsc".
std::string FindFileIgnoringCase(const std::string& path);

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);

// Creates one directory; true when it exists afterwards.
bool MakeDirectory(const std::string& path);

}  // namespace platform
