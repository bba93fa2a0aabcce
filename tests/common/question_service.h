#pragma once

// Answers messages from a script like the recording service, and lets another program act while
// a question is open (writing the file the question is about, say).

#include <deque>
#include <functional>
#include <string>

#include "platform/message_service.h"

namespace testutil {

class QuestionService : public platform::RecordingMessageService {
 public:
  int Show(platform::MessageKind kind, const std::string& caption,
           const std::string& text) override {
    if (kind == platform::MessageKind::kQuestion && !whileAsked.empty()) {
      auto act = std::move(whileAsked.front());
      whileAsked.pop_front();
      if (act) act();
    }
    return RecordingMessageService::Show(kind, caption, text);
  }
  int Questions() const {
    int n = 0;
    for (const auto& m : shown) n += m.kind == platform::MessageKind::kQuestion;
    return n;
  }

  std::deque<std::function<void()>> whileAsked;  // one for each question, in turn
};

}  // namespace testutil
