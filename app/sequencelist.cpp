#include "app/sequencelist.h"

#include <strings.h>

#include <set>

#include "base/dscparser.h"
#include "base/messages.h"
#include "platform/files.h"
#include "platform/strings.h"

namespace {

constexpr int kIoError = 31050;
constexpr int kParError = 31024, kParCannotOpen = 31025, kParBadCount = 31026,
              kParMissingEntry = 31027;
constexpr int kRscError = 31028, kRscCannotOpen = 31029, kRscBadCount = 31031,
              kRscMissingEntry = 31032;
constexpr int kManagerMessage = 32500, kUsedTwice = 32502;
constexpr int kCannotWrite = 31012;
constexpr std::size_t kValueSize = 1000;

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
    if (!parser.GetString(tag, name, kValueSize, "")) {
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
      !parser.GetString(platform::Format("CALIB_DATA_%d", n), name, kValueSize, "") || name.empty())
    return std::nullopt;
  return FileName::ResolveAgainst(documentFile, name);
}

std::string DocumentFileText(const FileName& documentFile, const DocumentFileRecord& record) {
  std::string description = record.description;
  // The reader takes a value up to its line end.
  for (char& c : description)
    if (c == '\n' || c == '\r') c = ' ';
  std::string text = "# Zorvatrack generated file " + documentFile.NameExt() + "\n#\n";
  text += "DESCRIPTION: " + description + "\n";
  text += platform::Format("SEQUENCES: %d\n", static_cast<int>(record.sequences.size()));
  for (std::size_t i = 0; i < record.sequences.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    text += platform::Format("SEQUENCE_%d: ", n) + record.sequences[i].RelativeTo(documentFile) +
            "\n";
    if (i < record.calibrationData.size() && !record.calibrationData[i].IsNull())
      text += platform::Format("CALIB_DATA_%d: ", n) +
              record.calibrationData[i].RelativeTo(documentFile) + "\n";
  }
  return text;
}

bool WriteDocumentFile(const FileName& documentFile, const DocumentFileRecord& record) {
  if (documentFile.IsNull() ||
      !platform::WriteFileAtomically(documentFile.Path(), DocumentFileText(documentFile, record))) {
    ErrorMessage(kIoError, kCannotWrite, documentFile.Path());
    return false;
  }
  return true;
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
    if (!parser.GetString(platform::Format("SEQUENCE_%d", n), name, kValueSize, ""))
      return std::nullopt;
    record.sequences.push_back(FileName::ResolveAgainst(documentFile, name));
    record.calibrationData.push_back(ReadCalibrationDataName(documentFile, n).value_or(FileName()));
  }
  return record;
}
