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
// failure at any step leaves the old file as it was and no temporary file behind.
// - A symbolic link (or a chain of them, relative targets resolved from each link's folder) is
//   followed: the file it leads to is replaced and the link stays a link. A link to a file not
//   made yet makes that file.
// - A write-protected file (see IsWriteProtected) is not replaced.
// - An existing file keeps its permission bits, and its owner and group as far as the process
//   may give them; a new file gets `mode` less the umask.
// False on failure, with *error (when given) naming the file and the cause: message
// files_ids::kWriteProtected, or files_ids::kCannotWrite with one of the causes below.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr, unsigned mode = 0666);

// The message of a failed write of file for the system's error number (files_ids::kCannotWrite
// with its cause), for writers that cannot go through WriteFileAtomically (appending).
std::string WriteFailureMessage(const std::string& file, int error);

// True when path leads (through its links) to an existing file its owner may not write (mode
// 444, say) or the process may not write. The owner's bit counts for the superuser too, who could
// write it anyway: taking the write bit away is the user's way of keeping a file as it is.
bool IsWriteProtected(const std::string& path);

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

namespace files_ids {
// Messages of a failed write; each names the file.
inline constexpr int kWriteProtected = 3100;  // "The file %s is write-protected; ..."
inline constexpr int kCannotWrite = 3101;     // "The file %s can not be written: %s."
// The causes kCannotWrite names; any other is the system's own text.
inline constexpr int kNotPlainFile = 3102;
inline constexpr int kNoPermission = 3103;
inline constexpr int kReadOnlyFileSystem = 3104;
inline constexpr int kNoSpace = 3105;
inline constexpr int kQuotaExceeded = 3106;
inline constexpr int kNameTooLong = 3107;
inline constexpr int kNoFolder = 3108;
inline constexpr int kTooManyLinks = 3109;
}  // namespace files_ids

}  // namespace platform
