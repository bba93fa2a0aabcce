#include "platform/message_service.h"

namespace platform {
namespace {
MessageService* g_service = nullptr;
}

MessageService* SetMessageService(MessageService* service) {
  MessageService* old = g_service;
  g_service = service;
  return old;
}

MessageService* GetMessageService() { return g_service; }

RecordingMessageService::RecordingMessageService() : previous_(SetMessageService(this)) {}

RecordingMessageService::~RecordingMessageService() { SetMessageService(previous_); }

int RecordingMessageService::Show(MessageKind kind, const std::string& caption,
                                  const std::string& text) {
  shown.push_back({kind, caption, text});
  if (kind == MessageKind::kError) return kIdOk;
  if (answers.empty()) return kIdCancel;
  int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace platform
