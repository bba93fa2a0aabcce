#include "base/filesnapshot.h"

#include <utility>

#include "base/filename.h"
#include "base/messages.h"
#include "platform/files.h"

namespace {

constexpr int kChangedTitle = 31120, kChangedQuestion = 31121, kKeptNotice = 31122;
constexpr int kUsageError = 31102, kNameNotReadBack = 31123;

}  // namespace

void FileSnapshot::Take(const std::string& path) {
  path_ = path;
  std::string bytes;
  if (platform::ReadWholeFile(path, bytes))
    bytes_ = std::move(bytes);
  else
    bytes_.reset();
}

void FileSnapshot::Wrote(const std::string& path, std::string bytes) {
  path_ = path;
  bytes_ = std::move(bytes);
}

bool FileSnapshot::ChangedElsewhere(const std::string& path) const {
  if (!IsOf(path)) return false;
  std::string now;
  if (!platform::ReadWholeFile(path, now)) return false;
  return !bytes_ || *bytes_ != now;
}

bool MayReplace(const std::string& path, const FileSnapshot& snapshot) {
  if (!snapshot.ChangedElsewhere(path)) return true;
  // Only a plain Yes overwrites; No, Cancel and Esc keep what the other program wrote.
  if (QuestionMessage(kChangedTitle, kChangedQuestion, path) == platform::kIdYes) return true;
  ErrorMessage(kChangedTitle, kKeptNotice, path);
  return false;
}

bool AcceptChosenName(const std::string& path) {
  if (NameReadsBack(path)) return true;
  ErrorMessage(kUsageError, kNameNotReadBack, path);
  return false;
}
