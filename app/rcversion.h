#pragma once

// ProjectRCVersion: the program's version information (product name and version, file version,
// legal notice, special build) as the About box reads it. The values come from the build.

class ProjectRCVersion {
 public:
  // The running program's version block.
  ProjectRCVersion();
  virtual ~ProjectRCVersion() = default;

  // Each query sets text and answers true when the value exists; text stays valid while the
  // object lives.
  bool ProductName(const char*& text) const { return Query(productName_, text); }
  bool ProductVersion(const char*& text) const { return Query(productVersion_, text); }
  bool FileVersion(const char*& text) const { return Query(fileVersion_, text); }
  bool LegalCopyright(const char*& text) const { return Query(legalCopyright_, text); }
  bool SpecialBuild(const char*& text) const { return Query(specialBuild_, text); }

 protected:
  static bool Query(const char* value, const char*& text) {
    if (!value) return false;
    text = value;
    return true;
  }

  const char* productName_ = nullptr;
  const char* productVersion_ = nullptr;
  const char* fileVersion_ = nullptr;
  const char* legalCopyright_ = nullptr;
  const char* specialBuild_ = nullptr;  // none: this build is no special one
};
