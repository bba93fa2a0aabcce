#include "base/filesnapshot.h"

#include "base/filename.h"
#include "base/messages.h"
#include "platform/files.h"

namespace {

constexpr int kChangedTitle = 31120, kChangedQuestion = 31121, kKeptNotice = 31122;
constexpr int kUsageError = 31102, kNameNotReadBack = 31123;

}  // namespace

void FileSnapshot::Take(const std::string& path) {
  path_ = path;
  facts_ = platform::ReadFileFacts(path);
}

void FileSnapshot::Wrote(const std::string& path, std::string bytes) {
  path_ = path;
  facts_.reset();
  const std::optional<platform::FileIdentity> identity = platform::IdentityOf(path);
  if (!identity) return;
  platform::Sha256 digest;
  digest.Add(bytes);
  facts_ = platform::FileFacts{*identity, bytes.size(), digest.Finish()};
}

bool FileSnapshot::ChangedElsewhere(const std::string& path) const {
  if (!IsOf(path)) return false;
  const std::optional<platform::FileFacts> now = platform::ReadFileFacts(path);
  if (!now) return false;
  return !facts_ || *facts_ != *now;
}

bool MayReplace(const std::string& path, const FileSnapshot& snapshot) {
  if (!snapshot.ChangedElsewhere(path)) return true;
  FileSnapshot asked;  // the version the question is about
  for (;;) {
    asked.Take(path);
    // Only a plain Yes overwrites; No, Cancel and Esc keep what the other program wrote.
    if (QuestionMessage(kChangedTitle, kChangedQuestion, path) != platform::kIdYes) break;
    if (!asked.ChangedElsewhere(path)) return true;
  }
  ErrorMessage(kChangedTitle, kKeptNotice, path);
  return false;
}

bool AcceptChosenName(const std::string& path) {
  if (NameReadsBack(path)) return true;
  ErrorMessage(kUsageError, kNameNotReadBack, path);
  return false;
}
