#pragma once

// The program's private window messages (frame changes, view notifications, the rebuild-picture
// command ...) travel as one custom event type carrying the message number, two parameters and a
// result. Send delivers at once and returns the receiver's result; Post queues the message.

#include <QEvent>
#include <QObject>

#include <cstdint>

namespace platform {

class MessageEvent : public QEvent {
 public:
  static QEvent::Type Type();

  MessageEvent(int message, std::intptr_t wParam, std::intptr_t lParam)
      : QEvent(Type()), message(message), wParam(wParam), lParam(lParam) {}

  int message;
  std::intptr_t wParam;
  std::intptr_t lParam;
  std::intptr_t result = 0;
};

// The message carried by event, or null when event is of another kind.
inline MessageEvent* AsMessage(QEvent* event) {
  return event && event->type() == MessageEvent::Type() ? static_cast<MessageEvent*>(event)
                                                         : nullptr;
}

// Delivers the message synchronously; the receiver's result (0 when target is null or nobody
// set one).
std::intptr_t SendMessage(QObject* target, int message, std::intptr_t wParam = 0,
                          std::intptr_t lParam = 0);

// Queues the message for target.
void PostMessage(QObject* target, int message, std::intptr_t wParam = 0,
                 std::intptr_t lParam = 0);

}  // namespace platform
