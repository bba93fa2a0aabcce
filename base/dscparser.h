#pragma once

// DSCParser: the reader of the program's small tagged text files (sequence descriptions,
// camera-parameter, calibration and document files). The file is read through a buffer of fixed
// size, never held whole, so a file of any length costs the same memory.
//
// A file holds entries "TAG: value", one to a line, with lines ending in LF or CR LF. Values are
// looked up by tag, each lookup starting again at the top of the file, so entries may stand in
// any order and the first occurrence of a tag wins. Tags match without regard to case
// ("Frames/s" finds "FRAMES/S"); white space, line ends included, may stand between a tag and its
// colon; a tag only matches a whole tag ("FRAMES" does not find "FRAMES/S:"). The entry found is
// the first whose tag is followed by a colon: a line holding the tag alone is passed over like any
// other line. A line whose first visible character is "#" is a comment.
//
// Every getter returns true when the tag was found and false otherwise (also when the file could
// not be opened). A value that is missing or no number after a present tag reads as 0. Values
// never reach past the end of their own line.

#include <string>
#include <string_view>

#include "platform/linereader.h"

class DSCParser {
 public:
  // Opens the file at path; when no file has exactly that name, one whose last path component
  // differs only in case ("X.DSC" for "x.dsc").
  explicit DSCParser(const std::string& path);

  // A parser over text held in memory (documents built by the program, tests).
  static DSCParser FromText(std::string_view text);

  // True when the file was opened.
  bool IsOpen() const { return in_.IsOpen(); }
  // The path of the file actually opened (empty when none was).
  const std::string& Path() const { return path_; }

  // Signed integer; missing: target = def.
  bool GetInt(std::string_view tag, int& target, int def);
  // Unsigned integer; missing: target = def.
  bool GetUInt(std::string_view tag, unsigned& target, unsigned def);
  // The rest of the line (at most 99 characters) as a number, 0.0 when it holds none.
  // Missing: target is left unchanged (def is not used).
  bool GetDouble(std::string_view tag, double& target, double def);
  bool GetFloat(std::string_view tag, float& target, float def);
  // The text up to the line end, cut to size - 1 characters, trailing blanks kept.
  // Missing: target = def cut the same way.
  bool GetString(std::string_view tag, std::string& target, std::size_t size, std::string_view def);
  // "<int> x <int>" (x or X, blanks allowed around it). Missing: width = height = def.
  // Without the separator the height is def.
  bool GetSize(std::string_view tag, int& width, int& height, int def);

 private:
  DSCParser() = default;
  // Finds the tag from the top of the file; on success the reader stands on the value's first
  // character.
  bool FindTag(std::string_view tag);
  // The value's text, from the reader to the end of its line, cut to maxKept characters.
  std::string Value(std::size_t maxKept);

  platform::LineReader in_;
  std::string path_;
};
