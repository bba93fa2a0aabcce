#include "base/messages.h"

#include <cstdio>

namespace {

int Show(platform::MessageKind kind, const std::string& caption, const std::string& text,
         int unseenAnswer) {
  if (auto* service = platform::GetMessageService()) return service->Show(kind, caption, text);
  // Without a user interface the message still reaches someone.
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return unseenAnswer;
}

}  // namespace

int ShowErrorMessage(const std::string& caption, const std::string& text) {
  return Show(platform::MessageKind::kError, caption, text, platform::kIdOk);
}

int ShowQuestionMessage(const std::string& caption, const std::string& text) {
  return Show(platform::MessageKind::kQuestion, caption, text, platform::kIdCancel);
}
