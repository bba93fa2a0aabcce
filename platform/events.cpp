#include "platform/events.h"

#include <QCoreApplication>

namespace platform {

QEvent::Type MessageEvent::Type() {
  static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

std::intptr_t SendMessage(QObject* target, int message, std::intptr_t wParam,
                          std::intptr_t lParam) {
  if (!target) return 0;
  MessageEvent event(message, wParam, lParam);
  QCoreApplication::sendEvent(target, &event);
  return event.result;
}

void PostMessage(QObject* target, int message, std::intptr_t wParam, std::intptr_t lParam) {
  if (!target) return;
  QCoreApplication::postEvent(target, new MessageEvent(message, wParam, lParam));
}

}  // namespace platform
