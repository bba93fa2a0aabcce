#include "base/savefile.h"

#include "base/messages.h"
#include "platform/files.h"

namespace {

constexpr int kIoErrorTitle = 31050;
constexpr int kCannotBeWritten = 31012;

}  // namespace

bool SaveFile(const std::string& path, std::string_view bytes) {
  std::string error;
  if (!path.empty() && platform::WriteFileAtomically(path, bytes, &error)) return true;
  ReportFailedWrite(path, error);
  return false;
}

void ReportFailedWrite(const std::string& path, const std::string& writerError) {
  if (writerError.empty()) {
    ErrorMessage(kIoErrorTitle, kCannotBeWritten, path);
  } else {
    ShowErrorMessage(std::string(platform::LoadString(kIoErrorTitle)), writerError);
  }
}
