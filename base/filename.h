#pragma once

// FileName: an absolute POSIX path with its parts. Names may come from files written on
// Windows: backslashes become "/", a drive letter ("C:") is dropped, so "C:\data\a.bld" is
// "/data/a.bld" and "..\run\a.bld" is "../run/a.bld". Relative names are made absolute against
// the current directory; ResolveAgainst makes them absolute against another file's folder.
// The drive part is always empty here. A null FileName (no path could be made) answers every
// query with the empty text.

#include <string>
#include <string_view>

class FileName {
 public:
  FileName() = default;
  explicit FileName(std::string_view path);
  // The folder text followed by the name text.
  FileName(std::string_view dir, std::string_view name);

  // The path merged from its parts: "/" after the directory and "." before the extension are
  // added where missing; the drive is ignored.
  static FileName FromParts(std::string_view drive, std::string_view dir, std::string_view name,
                            std::string_view ext);
  // name made absolute against the folder of base (an absolute name stays as it is).
  static FileName ResolveAgainst(const FileName& base, std::string_view name);

  void FromPath(std::string_view path) { SetFullPath(path); }
  // Holds the absolute, lexically normalised form of path; null for an empty path.
  void SetFullPath(std::string_view path);

  bool IsNull() const { return null_; }
  const std::string& Path() const { return path_; }
  const char* c_str() const { return path_.c_str(); }

  std::string Drive() const { return std::string(); }
  // The directory with leading and trailing "/", such as /data/run1/.
  std::string Dir() const;
  // The name without extension.
  std::string Name() const;
  // The extension with its leading ".", or empty.
  std::string Ext() const;
  std::string NameExt() const;
  // The path up to and including its last "/".
  std::string Folder() const;

  // Replaces or appends the extension; a leading "." of ext is skipped. Nothing happens when this
  // is null or ext is empty.
  void SetExtension(std::string_view ext);

  // This path written relative to the folder of base, with "../" for each folder to go up; just
  // name and extension when both lie in one folder.
  std::string RelativeTo(const FileName& base) const;
  // RelativeTo in the form the tagged-file reader takes back as a value: a text that would begin
  // with a blank or control character (which the reader skips) or with what reads as a drive
  // letter (which it drops) begins with "./".
  std::string ValueRelativeTo(const FileName& base) const;

  friend bool operator==(const FileName& a, const FileName& b) {
    return a.null_ == b.null_ && a.path_ == b.path_;
  }

 private:
  std::string path_;
  bool null_ = true;
};

// A name the program's tagged files (calibration data, document file) can hold and give back:
// no line break, no backslash (read as a folder separator), and a last part that does not end
// in white space (dropped on reading). Names the user chooses for those files are checked.
bool NameReadsBack(std::string_view path);

// A path as written on Windows turned into a POSIX one: "\" becomes "/" and a leading drive
// letter with its colon is dropped.
std::string ToPosixPath(std::string_view path);
