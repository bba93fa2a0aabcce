#include "app/sequencelist.h"

#include <strings.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <functional>
#include <set>

#include "base/dscparser.h"
#include "base/messages.h"
#include "base/savefile.h"
#include "platform/files.h"
#include "platform/numbers.h"
#include "platform/strings.h"

namespace {

constexpr int kIoError = 31050;
constexpr int kParError = 31024, kParCannotOpen = 31025, kParBadCount = 31026,
              kParMissingEntry = 31027;
constexpr int kRscError = 31028, kRscCannotOpen = 31029, kRscBadCount = 31031,
              kRscMissingEntry = 31032;
constexpr int kManagerMessage = 32500, kUsedTwice = 32502;
constexpr std::size_t kValueSize = 1000;
// A file name in a list may be as long as the system takes one.
constexpr std::size_t kNameSize = PATH_MAX;

bool HasExt(const FileName& f, const char* ext) { return ::strcasecmp(f.Ext().c_str(), ext) == 0; }

}  // namespace

bool IsDocumentFile(const FileName& file) { return HasExt(file, ".rsc"); }
bool IsCameraList(const FileName& file) { return HasExt(file, ".par"); }

SequenceKind KindOfFile(const FileName& file, bool fromList) {
  if (HasExt(file, ".bld") || HasExt(file, ".dsc")) return SequenceKind::kBld;
  if (HasExt(file, ".vraw")) return SequenceKind::kVraw;
  if (fromList) return SequenceKind::kVideo;
  if (HasExt(file, ".vr2")) return SequenceKind::kVr2;
  if (IsDocumentFile(file) || IsCameraList(file)) return SequenceKind::kList;
  return SequenceKind::kVideo;
}

std::optional<std::vector<FileName>> ReadSequenceList(const FileName& list) {
  const bool cameras = IsCameraList(list);
  DSCParser parser(list.Path());
  if (!parser.IsOpen()) {
    ErrorMessage(kIoError, cameras ? kParCannotOpen : kRscCannotOpen, list.Path());
    return std::nullopt;
  }
  int count = 0;
  parser.GetInt(cameras ? "CAMERAS" : "SEQUENCES", count, 0);
  if (count <= 0) {
    ErrorMessage(cameras ? kParError : kRscError, cameras ? kParBadCount : kRscBadCount,
                 list.Path(), count);
    return std::nullopt;
  }
  std::vector<FileName> files;
  std::set<std::string> seen;
  for (int n = 1; n <= count; ++n) {
    std::string tag = platform::Format(cameras ? "CAM_%d" : "SEQUENCE_%d", n);
    std::string name;
    if (!parser.GetString(tag, name, kNameSize, "")) {
      ErrorMessage(cameras ? kParError : kRscError, cameras ? kParMissingEntry : kRscMissingEntry,
                   list.Path(), n);
      return std::nullopt;
    }
    FileName file = FileName::ResolveAgainst(list, name);
    // Paths are compared exactly: on this system two names that differ in case are two files.
    if (!seen.insert(file.Path()).second) {
      ErrorMessage(kManagerMessage, kUsedTwice, file.Path());
      return std::nullopt;
    }
    files.push_back(file);
  }
  return files;
}

std::optional<std::string> ReadDocumentDescription(const FileName& documentFile) {
  DSCParser parser(documentFile.Path());
  std::string text;
  if (!parser.IsOpen() || !parser.GetString("DESCRIPTION", text, kValueSize, ""))
    return std::nullopt;
  return text;
}

std::optional<FileName> ReadCalibrationDataName(const FileName& documentFile, int n) {
  DSCParser parser(documentFile.Path());
  std::string name;
  if (!parser.IsOpen() ||
      !parser.GetString(platform::Format("CALIB_DATA_%d", n), name, kNameSize, "") || name.empty())
    return std::nullopt;
  return FileName::ResolveAgainst(documentFile, name);
}

namespace {

// One line of the document file the program wants, and whether a line already there says the
// same (then that line stays as it was written, backslashes and spacing included).
struct WantedLine {
  std::string tag;  // in capitals
  std::string value;
  std::function<bool(std::string_view value)> same;
};

std::vector<WantedLine> WantedLines(const FileName& documentFile,
                                    const DocumentFileRecord& record) {
  std::string description = record.description;
  // The reader takes a value up to its line end.
  for (char& c : description)
    if (c == '\n' || c == '\r') c = ' ';
  const auto sameName = [documentFile](const FileName& name) {
    return [documentFile, name](std::string_view value) {
      return !value.empty() && FileName::ResolveAgainst(documentFile, value) == name;
    };
  };
  const int count = static_cast<int>(record.sequences.size());
  std::vector<WantedLine> lines;
  lines.push_back({"DESCRIPTION", description,
                   [description](std::string_view value) { return value == description; }});
  lines.push_back({"SEQUENCES", std::to_string(count),
                   [count](std::string_view value) { return platform::ParseLong(value) == count; }});
  for (int i = 0; i < count; ++i) {
    const FileName& sequence = record.sequences[i];
    lines.push_back({platform::Format("SEQUENCE_%d", i + 1), sequence.ValueRelativeTo(documentFile),
                     sameName(sequence)});
    if (i < static_cast<int>(record.calibrationData.size()) &&
        !record.calibrationData[i].IsNull()) {
      const FileName& data = record.calibrationData[i];
      lines.push_back({platform::Format("CALIB_DATA_%d", i + 1),
                       data.ValueRelativeTo(documentFile), sameName(data)});
    }
  }
  return lines;
}

bool IsSkippedByReader(char c) { return static_cast<unsigned char>(c) <= ' ' || c == '\x7f'; }

// The tag (in capitals) and value of a "TAG: value" line as the tagged-file reader finds them;
// nothing for a comment line or a line without a colon.
std::optional<std::pair<std::string, std::string_view>> TagAndValue(std::string_view line) {
  std::size_t start = 0;
  while (start < line.size() && IsSkippedByReader(line[start])) ++start;
  const std::size_t colon = line.find(':', start);
  if (start == line.size() || line[start] == '#' || colon == std::string_view::npos)
    return std::nullopt;
  std::size_t end = colon;
  while (end > start && IsSkippedByReader(line[end - 1])) --end;
  std::string tag(line.substr(start, end - start));
  for (char& c : tag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::size_t value = colon + 1;
  while (value < line.size() && IsSkippedByReader(line[value])) ++value;
  return std::make_pair(tag, line.substr(value));
}

// "PREFIX" followed by a number as the program writes it (1, 2, ..., no leading zero).
bool IsNumberedTag(std::string_view tag, std::string_view prefix) {
  if (tag.substr(0, prefix.size()) != prefix || tag.size() == prefix.size()) return false;
  const std::string_view digits = tag.substr(prefix.size());
  return digits[0] != '0' && digits.find_first_not_of("0123456789") == std::string_view::npos;
}

// The tags the program writes and reads in a document file.
bool IsProgramTag(std::string_view tag) {
  return tag == "DESCRIPTION" || tag == "SEQUENCES" || IsNumberedTag(tag, "SEQUENCE_") ||
         IsNumberedTag(tag, "CALIB_DATA_");
}

struct TextLine {
  std::string_view text;
  std::string_view end;  // "\n", "\r\n" or nothing (a last line without a line end)
};

std::vector<TextLine> LinesWithEnds(std::string_view text) {
  std::vector<TextLine> lines;
  while (!text.empty()) {
    std::size_t nl = text.find('\n');
    std::size_t stop = nl == std::string_view::npos ? text.size() : nl;
    std::size_t cut = stop > 0 && text[stop - 1] == '\r' ? stop - 1 : stop;
    const std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
    lines.push_back({text.substr(0, cut), text.substr(cut, next - cut)});
    text.remove_prefix(next);
  }
  return lines;
}

// The file's own text with the program's lines in place of those it knows: a line that still
// says the same stays as it was, a changed one is replaced where it stands, one no longer
// wanted (or given twice, which the reader would otherwise take in its place) goes, and new ones
// follow the last of them. Comments and lines the program does not know stay as they are.
std::string MergedText(std::string_view old, const std::vector<WantedLine>& wanted,
                       const std::string& defaultDescription) {
  const std::vector<TextLine> lines = LinesWithEnds(old);
  const std::string_view eol =
      !lines.empty() && lines.front().end == "\r\n" ? std::string_view("\r\n") : "\n";
  std::string out;
  std::set<std::string> placed;
  std::size_t insertAt = std::string::npos;
  for (const TextLine& line : lines) {
    const auto tagged = TagAndValue(line.text);
    if (!tagged || !IsProgramTag(tagged->first)) {
      out.append(line.text).append(line.end);
      continue;
    }
    const auto it = std::find_if(wanted.begin(), wanted.end(),
                                 [&](const WantedLine& w) { return w.tag == tagged->first; });
    if (it == wanted.end() || !placed.insert(it->tag).second) continue;
    if (it->same(tagged->second))
      out.append(line.text);
    else
      out.append(it->tag).append(": ").append(it->value);
    out.append(line.end.empty() ? eol : line.end);
    insertAt = out.size();
  }
  std::string added;
  for (const WantedLine& w : wanted) {
    if (placed.count(w.tag)) continue;
    // A file without a description keeps none while the caption is the document's name.
    if (w.tag == "DESCRIPTION" && w.value == defaultDescription) continue;
    added.append(w.tag).append(": ").append(w.value).append(eol);
  }
  if (insertAt == std::string::npos) {
    if (!out.empty() && out.back() != '\n') out.append(eol);
    insertAt = out.size();
  }
  out.insert(insertAt, added);
  return out;
}

}  // namespace

std::string DocumentFileText(const FileName& documentFile, const DocumentFileRecord& record,
                             const std::string* replaced) {
  const std::vector<WantedLine> wanted = WantedLines(documentFile, record);
  if (replaced && !replaced->empty()) return MergedText(*replaced, wanted, documentFile.Name());
  std::string text = "# Zorvatrack generated file " + documentFile.NameExt() + "\n#\n";
  for (const WantedLine& w : wanted) text += w.tag + ": " + w.value + "\n";
  return text;
}

FileSave WriteDocumentFile(const FileName& documentFile, const DocumentFileRecord& record,
                           FileSnapshot& onDisk) {
  const std::string& path = documentFile.Path();
  if (!documentFile.IsNull() && !MayReplace(path, onDisk)) return FileSave::kKept;
  // The file the program read or wrote keeps what the program does not know of it; another
  // one, which the user chose to replace, is replaced whole.
  std::string old;
  const bool merge = onDisk.IsOf(path) && platform::ReadWholeFile(path, old);
  const std::string text = DocumentFileText(documentFile, record, merge ? &old : nullptr);
  if (!SaveFile(path, text)) return FileSave::kFailed;
  onDisk.Wrote(path, text);
  return FileSave::kWritten;
}

std::optional<DocumentFileRecord> ReadDocumentFileRecord(const FileName& documentFile) {
  DSCParser parser(documentFile.Path());
  int count = 0;
  if (!parser.IsOpen() || !parser.GetInt("SEQUENCES", count, 0) || count <= 0)
    return std::nullopt;
  DocumentFileRecord record;
  parser.GetString("DESCRIPTION", record.description, kValueSize, "");
  for (int n = 1; n <= count; ++n) {
    std::string name;
    if (!parser.GetString(platform::Format("SEQUENCE_%d", n), name, kNameSize, ""))
      return std::nullopt;
    record.sequences.push_back(FileName::ResolveAgainst(documentFile, name));
    record.calibrationData.push_back(ReadCalibrationDataName(documentFile, n).value_or(FileName()));
  }
  return record;
}
