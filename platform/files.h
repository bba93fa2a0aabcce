#pragma once

// File access shared by every reader and writer: whole-file reads, atomic replacement, line
// splitting that accepts CR LF, and finding companion files whatever the case of their names.

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sha256.h"

namespace platform {

// Reads the whole file as bytes; false when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& out);

// Replaces the file by bytes through a temporary file in the same folder and a rename, so a
// failure at any step leaves the old file as it was and no temporary file behind.
// - A symbolic link (or a chain of them, relative targets resolved from each link's folder) is
//   followed: the file it leads to is replaced and the link stays a link. A link to a file not
//   made yet makes that file. A link in a sticky folder every user may write is followed only
//   when it belongs to the process's user or to the folder's owner; any other is refused.
// - A write-protected file (see IsWriteProtected) is not replaced.
// - An existing file keeps its owner, group, permission bits, access list and extended
//   attributes; a new file gets `mode` less the umask.
// - The new content goes into the file itself, its old content kept (in memory, or for a large
//   file in the user's cache folder) and put back on failure, where a rename would change what
//   the file is: a file of several names, a file in a folder the user may not write, a file
//   whose owner or attributes the process may not give a new file.
// False on failure, with *error (when given) naming the file (in its real folder) and the cause:
// message files_ids::kWriteProtected, files_ids::kCannotWrite with one of the causes below, or
// files_ids::kNotPutBack / kNotPutBackLost.
bool WriteFileAtomically(const std::string& path, std::string_view bytes,
                         std::string* error = nullptr, unsigned mode = 0666);

// Writes all of bytes into the open file fd from offset at, going on after partial writes and
// interruptions. 0, or the system's error number (a write that takes no bytes is a full disk).
int WriteAllAt(int fd, std::string_view bytes, off_t at);

// The message of a failed write of file for the system's error number (files_ids::kCannotWrite
// with its cause), for writers that cannot go through WriteFileAtomically (appending).
std::string WriteFailureMessage(const std::string& file, int error);

// True when path leads (through its links) to an existing file its owner may not write (mode
// 444, say) or the process may not write. The owner's bit counts for the superuser too, who could
// write it anyway: taking the write bit away is the user's way of keeping a file as it is.
bool IsWriteProtected(const std::string& path);

// What a file is: the file (device and inode) a path leads to, whether the path is a symbolic
// link and the text of that link. A file replaced by another, or by a link, is another file
// whatever it holds.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  bool isLink = false;
  std::string linkTarget;

  bool operator==(const FileIdentity&) const = default;
};

// What a file is and holds: its identity, size and a SHA-256 digest of its bytes.
struct FileFacts {
  FileIdentity identity;
  std::uint64_t size = 0;
  Sha256::Digest digest{};

  bool operator==(const FileFacts&) const = default;
};

// The identity of the file at path; nothing when there is none.
std::optional<FileIdentity> IdentityOf(const std::string& path);

// The facts of the file at path, its bytes digested as they are read (the memory it takes does
// not grow with the file); nothing when it cannot be read.
std::optional<FileFacts> ReadFileFacts(const std::string& path);

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
inline constexpr int kLinkOfAnotherUser = 3110;
inline constexpr int kNoFolderPermission = 3111;
inline constexpr int kAccessNotKept = 3112;      // with the system's cause
inline constexpr int kOldContentNotKept = 3113;  // with the system's cause
inline constexpr int kReplacedMeanwhile = 3114;
// Messages of a write into the file itself whose old content could not be put back.
inline constexpr int kNotPutBack = 3115;      // names the file, the cause and the kept copy
inline constexpr int kNotPutBackLost = 3116;  // names the file and the cause
}  // namespace files_ids

// For tests of a failing step only: the writer's next step of the kind fails with error (a
// change of a new file's permission bits; putting back the old content of a file written in
// place).
namespace writer_faults {
enum class Step { kModeChange, kPutBack };
void FailNext(Step step, int error);
}  // namespace writer_faults

}  // namespace platform
