#pragma once

// What a file held when the program last read or wrote it, so that a save can tell whether
// another program (or a colleague) changed it since, and ask before overwriting that change.

#include <optional>
#include <string>

// How a save ended.
enum class FileSave {
  kWritten,  // the file holds the program's data
  kKept,     // another program's version was kept at the user's choice; nothing was written
  kFailed,   // the file could not be written (the reason was shown)
};

class FileSnapshot {
 public:
  // Takes the file's bytes as they are now; a file that cannot be read is taken as absent.
  void Take(const std::string& path);
  // The bytes the program just wrote to path.
  void Wrote(const std::string& path, std::string bytes);
  void Clear() { path_.clear(); }

  // Something was taken for exactly this path.
  bool IsOf(const std::string& path) const { return !path_.empty() && path_ == path; }
  // The file at path now differs from what was taken for it. A file that was taken and is gone
  // now is no such change: writing it loses nothing. False when nothing was taken for path (a
  // name the user chose in a save dialog, which asks before overwriting).
  bool ChangedElsewhere(const std::string& path) const;

 private:
  std::string path_;
  std::optional<std::string> bytes_;  // nothing: there was no file
};

// Before the program replaces path: true when nothing changed it since snapshot was taken, or
// the user chose to overwrite the other program's version; false when the user chose to keep
// that version (the program says that its changes are not written).
bool MayReplace(const std::string& path, const FileSnapshot& snapshot);

// A name the user chose for a file the calibration data or document files will name: true when
// those files can hold it and give it back (NameReadsBack); otherwise the user is told why the
// name is refused.
bool AcceptChosenName(const std::string& path);
