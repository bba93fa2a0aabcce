#include "objects/osguard.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "base/document.h"
#include "base/filesnapshot.h"
#include "base/messages.h"
#include "objects/docaccess.h"
#include "objects/osfile.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/files.h"
#include "sequences/framesequence.h"

namespace osfile {
namespace {

constexpr int kReplaceTitle = 31230, kReplaceQuestion = 31231;
constexpr int kFileLine = 31232, kNeverReadReason = 31233, kChangedReason = 31234;
constexpr int kUnreadableLine = 31235;

// Why a file may not be replaced without asking.
enum class Risk {
  kNone,          // no file, or the file this document last read or wrote
  kNeverRead,     // a file this document never read or wrote
  kChangedSince,  // changed since this document read or wrote it
};

std::string WrittenAt(const std::string& path) {
  std::error_code error;
  const auto written = std::filesystem::last_write_time(path, error);
  if (error) return "?";
  const std::time_t t = std::chrono::system_clock::to_time_t(
      std::chrono::time_point_cast<std::chrono::system_clock::duration>(
          std::chrono::file_clock::to_sys(written)));
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

// The file's line of the question: its name, why it is asked about, when it was written and what
// it holds.
std::string Describe(const std::string& path, Risk risk) {
  const std::string reason(
      platform::LoadString(risk == Risk::kNeverRead ? kNeverReadReason : kChangedReason));
  std::string bytes;
  std::optional<FileRecord> record;
  if (platform::ReadWholeFile(path, bytes)) record = Decode(bytes);
  if (!record) return platform::FormatString(kUnreadableLine, path, reason, WrittenAt(path));
  int points = 0;
  for (const SubRecord& sub : record->sequences) points += static_cast<int>(sub.points.size());
  return platform::FormatString(kFileLine, path, reason, WrittenAt(path),
                                static_cast<int>(record->sequences.size()), points);
}

bool VersionTaken(const Document* document, int version) {
  for (int i = 0; i < objdoc::VideoCount(document); ++i) {
    const FileName name = FileNameOf(objdoc::Video(document, i)->GetFileName(), version);
    if (!platform::FindFileIgnoringCase(name.Path()).empty()) return true;
  }
  return false;
}

// The video's file of the version a save writes.
std::string SelectedFile(FrameSequence& video, const ResObjectSequences& all) {
  return FileNameOf(video.GetFileName(), std::max(all.selectedVersion, 0)).Path();
}

Risk RiskOf(const std::string& path, const FileSnapshot& known) {
  if (!platform::FileExists(path)) return Risk::kNone;
  if (!known.IsOf(path)) return Risk::kNeverRead;
  return known.ChangedElsewhere(path) ? Risk::kChangedSince : Risk::kNone;
}

// A file the save would replace that the user is asked about, and the version of it they see.
struct AtRisk {
  std::string path;
  Risk risk;
  FileSnapshot seen;
};

std::vector<AtRisk> FilesAtRisk(const ResObjectSequences& all) {
  const Document* doc = all.GetDocument();
  std::vector<AtRisk> files;
  for (int i = 0; i < objdoc::VideoCount(doc); ++i) {
    FrameSequence& video = *objdoc::Video(doc, i);
    const std::string path = SelectedFile(video, all);
    const Risk risk = RiskOf(path, objdoc::SubsOf(video).onDisk);
    if (risk == Risk::kNone) continue;
    files.push_back({path, risk, {}});
    files.back().seen.Take(path);
  }
  return files;
}

// The same files as the user was asked about, each still as it was then.
bool SameVersions(const std::vector<AtRisk>& asked, const std::vector<AtRisk>& now) {
  if (asked.size() != now.size()) return false;
  for (std::size_t i = 0; i < asked.size(); ++i) {
    if (asked[i].path != now[i].path || asked[i].seen.ChangedElsewhere(asked[i].path)) return false;
  }
  return true;
}

}  // namespace

bool ConfirmSaveVersion(ResObjectSequences& all) {
  const Document* doc = all.GetDocument();
  std::vector<AtRisk> asked = FilesAtRisk(all);
  while (!asked.empty()) {
    std::string list;
    for (const AtRisk& file : asked) list += Describe(file.path, file.risk) + "\n";
    const int next = NextFreeVersion(doc);
    std::string names;
    for (int i = 0; i < objdoc::VideoCount(doc); ++i)
      names += (i ? ", " : "") + FileNameOf(objdoc::Video(doc, i)->GetFileName(), next).NameExt();
    const int answer = QuestionMessage(kReplaceTitle, kReplaceQuestion, list, next, names);
    if (answer == platform::kIdNo) {
      all.selectedVersion = next;
      return true;
    }
    if (answer != platform::kIdYes) return false;
    // Yes covers the versions the user was shown: a file written while the question was open
    // is asked about again.
    std::vector<AtRisk> now = FilesAtRisk(all);
    if (SameVersions(asked, now)) return true;
    asked = std::move(now);
  }
  return true;
}

int NextFreeVersion(const Document* document) {
  int version = 0;
  for (int i = 0; i < objdoc::VideoCount(document); ++i)
    version = std::max(version, objdoc::SubsOf(*objdoc::Video(document, i)).HighestVersion() + 1);
  while (VersionTaken(document, version)) ++version;
  return version;
}

std::vector<std::string> FilesReplacedSinceSaved(const Document* document) {
  std::vector<std::string> files;
  const ResObjectSequences* all = document ? document->ObjectSequences() : nullptr;
  if (!all) return files;
  for (int i = 0; i < objdoc::VideoCount(document); ++i) {
    FrameSequence& video = *objdoc::Video(document, i);
    const std::string path = SelectedFile(video, *all);
    const FileSnapshot& known = objdoc::SubsOf(video).onDisk;
    if (known.IsOf(path) && (!platform::FileExists(path) || known.ChangedElsewhere(path)))
      files.push_back(path);
  }
  return files;
}

}  // namespace osfile
