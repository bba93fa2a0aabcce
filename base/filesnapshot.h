#pragma once

// What a file was and held when the program last read or wrote it, so that a save can tell
// whether another program (or a colleague) changed it since, and ask before overwriting that
// change. It keeps the file's identity, size and digest, not its bytes: remembering costs the
// same for a file of any size.

#include <optional>
#include <string>

#include "platform/files.h"

// How a save ended.
enum class FileSave {
  kWritten,  // the file holds the program's data
  kKept,     // another program's version was kept at the user's choice; nothing was written
  kFailed,   // the file could not be written (the reason was shown)
};

class FileSnapshot {
 public:
  // Takes the file as it is now; a file that cannot be read is taken as absent.
  void Take(const std::string& path);
  // The program just wrote bytes to path: the file there now, holding them.
  void Wrote(const std::string& path, std::string bytes);
  void Clear() { path_.clear(); }

  // Something was taken for exactly this path.
  bool IsOf(const std::string& path) const { return !path_.empty() && path_ == path; }
  // The file at path now differs from what was taken for it: other bytes, or another file (one
  // put in its place, a link where the file was, a link that leads elsewhere) even with the
  // same bytes. A file that was taken and is gone now is no such change: writing it loses
  // nothing. False when nothing was taken for path (a name the user chose in a save dialog,
  // which asks before overwriting).
  bool ChangedElsewhere(const std::string& path) const;

 private:
  std::string path_;
  std::optional<platform::FileFacts> facts_;  // nothing: there was no file
};

// Before the program replaces path: true when nothing changed it since snapshot was taken, or
// the user chose to overwrite the other program's version; false when the user chose to keep
// that version (the program says that its changes are not written). A change made while the
// question was open is asked about again: Yes covers only the version the user was asked about.
bool MayReplace(const std::string& path, const FileSnapshot& snapshot);

// A name the user chose for a file the calibration data or document files will name: true when
// those files can hold it and give it back (NameReadsBack); otherwise the user is told why the
// name is refused.
bool AcceptChosenName(const std::string& path);
