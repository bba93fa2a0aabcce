#pragma once

// analysis/import/: imported acquisition data, its files and its curves.
//
// DaqImport: one channel of an external acquisition system (force plates, EMG) as a pair of
// files: the data file (".DAQ": 16-bit samples, low byte first, or one number a line) and its
// description (".DQS": text with the keys "DAQ_SPF:" samples per frame, "DAQ_FORMAT:" BINARY or
// ASCII and "DAQ_POLARITY:" BI for signed samples, anywhere in the file, keys in any case). Every
// failure is reported under caption 32000 and empties the data path, which marks the import as
// failed. Sizes come from the files themselves, never from a header: a binary file gives its
// size / 2 samples, an ASCII file the count of its non-blank lines, both at most kMaxSamples.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

// The file choices of an import, answered by the open dialogs of the program (analysis/ui) or by
// a test. Each returns the chosen path, or none when the user cancelled.
class DaqFileDialogs {
 public:
  virtual ~DaqFileDialogs() = default;
  virtual std::optional<std::string> ChooseDataFile(const std::string& startFolder) = 0;
  virtual std::optional<std::string> ChooseDescriptionFile(const std::string& startFolder) = 0;
};

namespace daq_ids {
inline constexpr int kCannotOpen = 32033;         // "File %s can not be opened"
inline constexpr int kNoRate = 32034;             // "In file %s no data of the scanning rate ..."
inline constexpr int kNoFormat = 32035;           // "In file %s no formating data ..."
inline constexpr int kNoSign = 32036;             // "In file %s no data for the sign ..."
inline constexpr int kIncomplete = 32037;         // "Failure in reading the file %s! ..."
inline constexpr int kNoAbscissaSizing = 32040;   // "The sizing of the imported data ..."
inline constexpr int kTooManySamples = 32190;     // "The file %s holds %lld samples; ..."
inline constexpr int kMoreThanMaxSamples = 32191; // "The file %s holds more than %lld ..."
inline constexpr int kDataFilter = 32060;
inline constexpr int kDataTitle = 32061;
inline constexpr int kDescriptionFilter = 32062;
inline constexpr int kDescriptionTitle = 32063;
}  // namespace daq_ids

class DaqImport {
 public:
  static constexpr int kAscii = 0;
  static constexpr int kBinary = 1;
  // 64 Mi samples (256 MB of floats): a longer file is refused, before anything is allocated,
  // with a message that names its count (or, for a text file, that it holds more) and the limit.
  static constexpr std::int64_t kMaxSamples = std::int64_t{1} << 26;
  // The longest value word of a description that is looked at.
  static constexpr std::size_t kMaxWord = 256;

  bool IsValid() const { return !dataPath_.empty(); }
  const std::string& DataPath() const { return dataPath_; }
  const std::string& DescriptionPath() const { return descriptionPath_; }
  int Format() const { return format_; }
  bool Bipolar() const { return bipolar_; }
  friend bool operator==(const DaqImport& a, const DaqImport& b) {
    return a.dataPath_ == b.dataPath_ && a.descriptionPath_ == b.descriptionPath_;
  }

  // Lets the user choose the data file, starting in the folder of the last import; the folder
  // of the choice is kept for the next one. Cancel leaves the data path empty.
  void ChooseDataFile(DaqFileDialogs& dialogs);
  // Reads the description beside the data file (its name with the extension "dqs" in any case),
  // or one the user chooses when there is none. Returns samples per frame; 1.0 after a failure.
  double ReadDescription(DaqFileDialogs& dialogs);
  // Reads the three keys of a description; samples per frame, or 1.0 after a failure (a rate
  // that is no positive number is one: 32040).
  double ReadHeader(std::istream& in);

  // The number of samples of the data file; 0 after a failure, which drops the import (a file of
  // more than kMaxSamples samples too).
  int CountValues();
  // Fills values[0..count) from the data file; returns how many were read (a binary file that
  // ends early is reported with 32037 and keeps what was read).
  int ReadValues(float* values, int count);

  // The description beside a data file: the same name with the extension "dqs" in whatever case
  // the folder holds it (the upper-case "DQS" first, then the case of the data file's extension,
  // then any); none when the folder has no such file.
  static std::optional<std::string> FindDescriptionBeside(const std::string& dataPath);
  // One line's value as the ASCII format reads it: text that holds no number, or a number
  // beyond the range of a float, gives 0.
  static float ParseValue(const std::string& line);

 protected:
  // Drops the import after a message of caption 32000 with the text and the path.
  void Fail(int textId, const std::string& path);

  int format_ = kAscii;
  bool bipolar_ = false;
  std::string descriptionPath_;
  std::string dataPath_;
};
