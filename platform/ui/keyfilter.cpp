#include "platform/ui/keyfilter.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace platform {

void AppKeyFilter::Install() {
  if (auto* app = QCoreApplication::instance()) app->installEventFilter(this);
}

bool AppKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  // A new key stroke announces itself (shortcut check) or ends (release) with events of its own;
  // from then on a key press at the same address is a new one, even with an equal timestamp.
  if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyRelease)
    last_ = nullptr;
  if (claim_ && event->type() == QEvent::ShortcutOverride &&
      claim_(watched, static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  if (release_ && event->type() == QEvent::KeyRelease && watched->isWidgetType())
    release_(watched, static_cast<QKeyEvent*>(event));
  if (hook_ && event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    // A key that no widget takes passes the application filter once per parent on its way up;
    // only its first arrival counts.
    auto* key = static_cast<QKeyEvent*>(event);
    if (key == last_ && key->timestamp() == lastTimestamp_)
      return QObject::eventFilter(watched, event);
    last_ = key;
    lastTimestamp_ = key->timestamp();
    if (hook_(watched, key)) return true;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace platform
