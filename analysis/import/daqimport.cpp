#include "analysis/import/daqimport.h"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <vector>

#include "analysis/analysis_ids.h"
#include "base/filename.h"
#include "base/messages.h"
#include "base/profile.h"
#include "platform/numbers.h"

namespace fs = std::filesystem;

namespace {

// What a line of an ASCII data file contributes to its value; the rest of a longer line is
// passed over.
constexpr std::size_t kMaxLine = 99;
constexpr std::size_t kBinaryChunk = 1 << 16;  // samples read at a time

struct HeaderKey {
  const char* key;
  int missingText;
};
constexpr HeaderKey kRate{"DAQ_SPF:", daq_ids::kNoRate};
constexpr HeaderKey kFormat{"DAQ_FORMAT:", daq_ids::kNoFormat};
constexpr HeaderKey kPolarity{"DAQ_POLARITY:", daq_ids::kNoSign};

std::string FolderOf(const std::string& path) { return FileName(path).Folder(); }

std::string ProfileFolder(int key) {
  std::string folder;
  if (g_Profile) g_Profile->GetString(key::kSection, key, folder, 4096, "");
  return folder;
}

void KeepFolder(int key, const std::string& path) {
  if (g_Profile) g_Profile->WriteString(key::kSection, key, FolderOf(path));
}

// Moves the stream behind the first occurrence of the key, compared in upper case; false when
// the stream ends first.
bool FindKey(std::istream& in, std::string_view key) {
  in.clear();
  in.seekg(0);
  std::string window;
  window.reserve(key.size() + 1);
  for (int c; (c = in.get()) != std::char_traits<char>::eof();) {
    window.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (window.size() > key.size()) window.erase(window.begin());
    if (window == key) return true;
  }
  return false;
}

// The next white-space-delimited word; a word longer than DaqImport::kMaxWord comes back
// empty (no value the reader knows is that long).
std::string ReadWord(std::istream& in) {
  int c = in.get();
  while (c != std::char_traits<char>::eof() && std::isspace(static_cast<unsigned char>(c)))
    c = in.get();
  std::string word;
  bool tooLong = false;
  for (; c != std::char_traits<char>::eof() && !std::isspace(static_cast<unsigned char>(c));
       c = in.get()) {
    if (word.size() < DaqImport::kMaxWord)
      word.push_back(static_cast<char>(c));
    else
      tooLong = true;
  }
  return tooLong ? std::string() : word;
}

// The rates an acquisition can have against a video: from one sample in a million frames to a
// billion samples a frame. Anything else (0, negative, no number) cannot place the samples.
constexpr double kMinSamplesPerFrame = 1e-6;
constexpr double kMaxSamplesPerFrame = 1e9;

std::optional<double> SamplesPerFrame(const std::string& word) {
  if (platform::NumberPrefixLength(word) == 0) return std::nullopt;
  const double spf = platform::ParseDouble(word);
  if (!(spf >= kMinSamplesPerFrame && spf <= kMaxSamplesPerFrame)) return std::nullopt;
  return spf;
}

// Skips white space (line ends, blank lines, leading blanks); false at the end of the file.
bool SkipSpace(std::istream& in) {
  for (int c; (c = in.peek()) != std::char_traits<char>::eof(); in.get())
    if (!std::isspace(static_cast<unsigned char>(c))) return true;
  return false;
}

// The next value's line, at most kMaxLine characters of it; false at the end of the file.
bool ReadLine(std::istream& in, std::string& line) {
  if (!SkipSpace(in)) return false;
  line.clear();
  for (int c; (c = in.get()) != std::char_traits<char>::eof() && c != '\n';)
    if (line.size() < kMaxLine) line.push_back(static_cast<char>(c));
  return true;
}

}  // namespace

void DaqImport::Fail(int textId, const std::string& path) {
  dataPath_.clear();
  ErrorMessage(analysis_ids::kDisplayFailure, textId, path);
}

void DaqImport::ChooseDataFile(DaqFileDialogs& dialogs) {
  dataPath_.clear();
  descriptionPath_.clear();
  std::optional<std::string> chosen =
      dialogs.ChooseDataFile(ProfileFolder(key::kInitialImportdataPath));
  if (!chosen || chosen->empty()) return;
  dataPath_ = *chosen;
  KeepFolder(key::kInitialImportdataPath, dataPath_);
}

std::optional<std::string> DaqImport::FindDescriptionBeside(const std::string& dataPath) {
  const fs::path data(dataPath);
  const std::string stem = data.stem().string();
  std::string ext = data.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  std::error_code error;
  fs::directory_iterator it(data.has_parent_path() ? data.parent_path() : fs::path("."), error);
  if (error) return std::nullopt;
  // The candidates' extensions in the order they are preferred.
  const bool lowerData = !ext.empty() && std::all_of(ext.begin(), ext.end(), [](char c) {
    return !std::isupper(static_cast<unsigned char>(c));
  });
  std::optional<std::string> best;
  int bestRank = 3;
  for (const fs::directory_entry& entry : it) {
    const fs::path name = entry.path().filename();
    if (name.stem().string() != stem) continue;
    std::string candidate = name.extension().string();
    if (candidate.size() != 4) continue;
    candidate.erase(0, 1);
    std::string upper = candidate;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper != "DQS" || !entry.is_regular_file(error)) continue;
    const int rank = candidate == "DQS" ? 0 : (lowerData && candidate == "dqs") ? 1 : 2;
    if (rank < bestRank || (rank == bestRank && best && entry.path().string() < *best)) {
      best = entry.path().string();
      bestRank = rank;
    }
  }
  return best;
}

double DaqImport::ReadDescription(DaqFileDialogs& dialogs) {
  std::ifstream in;
  if (std::optional<std::string> beside = FindDescriptionBeside(dataPath_)) {
    descriptionPath_ = *beside;
    in.open(descriptionPath_, std::ios::binary);
  }
  if (!in.is_open()) {
    std::optional<std::string> chosen =
        dialogs.ChooseDescriptionFile(ProfileFolder(key::kInitialImportdataDescrPath));
    if (!chosen || chosen->empty()) {
      dataPath_.clear();
      ErrorMessage(analysis_ids::kDisplayFailure, daq_ids::kNoAbscissaSizing);
      return 1.0;
    }
    descriptionPath_ = *chosen;
    KeepFolder(key::kInitialImportdataDescrPath, descriptionPath_);
    in.open(descriptionPath_, std::ios::binary);
    if (!in.is_open()) {
      Fail(daq_ids::kCannotOpen, descriptionPath_);
      return 1.0;
    }
  }
  return ReadHeader(in);
}

double DaqImport::ReadHeader(std::istream& in) {
  if (!FindKey(in, kRate.key)) {
    Fail(kRate.missingText, descriptionPath_);
    return 1.0;
  }
  const std::optional<double> spf = SamplesPerFrame(ReadWord(in));
  if (!spf) {
    // No positive rate: the samples cannot be placed on the frame axis.
    dataPath_.clear();
    ErrorMessage(analysis_ids::kDisplayFailure, daq_ids::kNoAbscissaSizing);
    return 1.0;
  }
  if (!FindKey(in, kFormat.key)) {
    Fail(kFormat.missingText, descriptionPath_);
    return 1.0;
  }
  const std::string format = ReadWord(in);
  if (format == "BINARY") {
    format_ = kBinary;
  } else if (format == "ASCII") {
    format_ = kAscii;
  } else {
    // Reading a file in a format it does not have would show nonsense: no format, no import.
    Fail(kFormat.missingText, descriptionPath_);
    return 1.0;
  }
  if (!FindKey(in, kPolarity.key)) {
    Fail(kPolarity.missingText, descriptionPath_);
    return 1.0;
  }
  bipolar_ = ReadWord(in) == "BI";
  return *spf;
}

int DaqImport::CountValues() {
  std::ifstream in(dataPath_, std::ios::binary);
  if (!in.is_open()) {
    Fail(daq_ids::kCannotOpen, std::string(dataPath_));
    return 0;
  }
  if (format_ == kBinary) {
    std::error_code error;
    const std::uintmax_t size = fs::file_size(dataPath_, error);
    const std::uintmax_t count = error ? 0 : size / 2;
    if (count <= kMaxSamples) return static_cast<int>(count);
    // Refused before anything is allocated: the message names the count and the limit.
    const std::string path = dataPath_;
    dataPath_.clear();
    ErrorMessage(analysis_ids::kDisplayFailure, daq_ids::kTooManySamples, path,
                 static_cast<long long>(count), static_cast<long long>(kMaxSamples));
    return 0;
  }
  // A text file is counted no further than the limit: counting on would only cost time.
  std::int64_t count = 0;
  std::string line;
  while (count <= kMaxSamples && ReadLine(in, line)) ++count;
  if (count <= kMaxSamples) return static_cast<int>(count);
  const std::string path = dataPath_;
  dataPath_.clear();
  ErrorMessage(analysis_ids::kDisplayFailure, daq_ids::kMoreThanMaxSamples, path,
               static_cast<long long>(kMaxSamples));
  return 0;
}

int DaqImport::ReadValues(float* values, int count) {
  std::ifstream in(dataPath_, std::ios::binary);
  if (!in.is_open()) {
    Fail(daq_ids::kCannotOpen, std::string(dataPath_));
    return 0;
  }
  int read = 0;
  if (format_ == kBinary) {
    std::vector<unsigned char> bytes;
    while (read < count) {
      const int n = static_cast<int>(std::min<std::size_t>(count - read, kBinaryChunk));
      bytes.resize(2 * static_cast<std::size_t>(n));
      in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
      const int got = static_cast<int>(in.gcount() / 2);
      for (int i = 0; i < got; ++i) {
        const unsigned word = bytes[2 * i] | (bytes[2 * i + 1] << 8);
        values[read + i] = bipolar_ ? static_cast<float>(static_cast<std::int16_t>(word))
                                    : static_cast<float>(word);
      }
      read += got;
      if (got < n) break;
    }
  } else {
    std::string line;
    while (read < count && ReadLine(in, line)) values[read++] = ParseValue(line);
  }
  if (read < count) ErrorMessage(analysis_ids::kDisplayFailure, daq_ids::kIncomplete, dataPath_);
  return read;
}

float DaqImport::ParseValue(const std::string& line) {
  const double v = platform::ParseDouble(line);
  if (!(std::fabs(v) < FLT_MAX)) return 0.0f;
  // The largest float is the missing value: no sample may become one.
  const float f = static_cast<float>(v);
  return std::fabs(f) < FLT_MAX ? f : 0.0f;
}
