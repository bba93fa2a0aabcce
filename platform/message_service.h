#pragma once

// Where the program's message boxes go. The program installs the dialog-backed service; tests
// install a RecordingMessageService that keeps what was shown and answers from a script.

#include <deque>
#include <string>
#include <vector>

namespace platform {

enum class MessageKind { kError, kQuestion };

// Results as the dialogs return them.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class MessageService {
 public:
  virtual ~MessageService() = default;
  // Shows a modal message and returns the user's answer (kIdOk, kIdYes, kIdNo, kIdCancel).
  virtual int Show(MessageKind kind, const std::string& caption, const std::string& text) = 0;
};

// Installs the service (none: errors answer OK and questions Cancel, unseen). Returns the old one.
MessageService* SetMessageService(MessageService* service);
MessageService* GetMessageService();

struct ShownMessage {
  MessageKind kind;
  std::string caption;
  std::string text;
};

// For tests: records every message; answers questions from `answers` (Cancel when it runs out)
// and errors with OK. Installs itself while it lives.
class RecordingMessageService : public MessageService {
 public:
  RecordingMessageService();
  ~RecordingMessageService() override;
  int Show(MessageKind kind, const std::string& caption, const std::string& text) override;

  std::vector<ShownMessage> shown;
  std::deque<int> answers;

 private:
  MessageService* previous_;
};

}  // namespace platform
