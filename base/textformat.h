#pragma once

// ASCII number files: one line per frame, values separated by a column delimiter, with a chosen
// decimal character and number of decimals. TextFormat keeps the three choices in the settings
// (read when made, written back when destroyed); TextInFile reads numbers and delimiters,
// tolerant of white space and able to switch to a decimal comma; TextOutFile writes them.

#include <cstdint>
#include <string>

#include "platform/linereader.h"

class TextFormat {
 public:
  // Reads FloatingpointPrecision, Delimeter and Floatingpoint from the settings.
  TextFormat();
  // Writes the three keys back.
  virtual ~TextFormat();
  TextFormat(const TextFormat&) = delete;
  TextFormat& operator=(const TextFormat&) = delete;

  char decimal = '.';
  char delimiter = ' ';
  int precision = 3;

  // The settings word of a delimiter character ("SPC" for anything unknown).
  static const char* DelimiterWord(char delimiter);

  // A usable format: decimal character and delimiter differ.
  bool IsValid() const { return decimal != delimiter; }

 protected:
  // Whether the destructor writes the format back (the text-format dialog saves only on OK).
  bool storeOnDestroy_ = true;
};

class TextInFile : public TextFormat {
 public:
  // Opens the file, which is then read as the numbers are asked for, through a buffer of fixed
  // size: a reader that stops early has read no further. A file that cannot be opened leaves the
  // reader failed.
  explicit TextInFile(const std::string& fileName);

  // Reads the next number (no exponent: "1e5" reads as 1). At an unexpected end of the file it
  // reports 31063; a comma met while the decimal character is "." asks whether commas are
  // decimal points (Yes switches for the rest of the file, No leaves the comma, Cancel fails).
  TextInFile& ReadNumber(long double& out);
  // Reads over the next column separator (space, tab, ",", ";" or ":"), or over line ends;
  // reports 31062 when neither stands there and 31063 at the end of the file.
  TextInFile& SkipDelimiter();
  // Reads a whole number (optional sign, digits). Anything else, or the end of the file, fails
  // the reader without a message: the end of a list of lines is no error.
  TextInFile& ReadInteger(long long& out);
  // The line (from 1) the reader stands on.
  int Line() const;
  // How far the reader is: the bytes read and the file's length.
  std::uint64_t Position() const { return in_.Position(); }
  std::uint64_t Size() const { return in_.Size(); }

  bool good() const { return !fail() && !eof(); }
  bool eof() const { return in_.AtEnd(); }
  // A file that cannot be read on also fails the reader.
  bool fail() const { return failed_ || in_.Failed(); }
  explicit operator bool() const { return !fail(); }

 private:
  void ReportEnd();
  // Passes white space and control characters.
  void SkipBlanks();

  std::string name_;
  // Peeking reads on in the file but leaves the reader where it stands.
  mutable platform::LineReader in_;
  bool failed_ = false;
};

class TextOutFile : public TextFormat {
 public:
  // Collects the text; Close() writes the file (through a temporary file and a rename).
  explicit TextOutFile(const std::string& fileName);
  ~TextOutFile() override;

  // "%.*f" with the precision; a decimal comma replaces the point.
  TextOutFile& WriteNumber(long double value);
  TextOutFile& WriteDelimiter();
  // Any other text, such as line ends and headers.
  TextOutFile& WriteText(const std::string& text);

  // Writes the file; false when it cannot be written (the old file then stays as it was), with
  // the writer's message, naming the file and the cause, in Error().
  bool Close();
  const std::string& Error() const { return error_; }

 private:
  std::string name_;
  std::string text_;
  std::string error_;
  bool closed_ = false;
  bool written_ = false;
};
