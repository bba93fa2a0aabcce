#include "platform/ui/keypad_shortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace platform {

KeypadShortcuts::KeypadShortcuts(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

void KeypadShortcuts::Add(QKeyCombination key, QAction* action) { keys_.emplace_back(key, action); }

QAction* KeypadShortcuts::Find(QKeyCombination key) const {
  for (const auto& [k, action] : keys_)
    if (k == key) return action;
  return nullptr;
}

bool KeypadShortcuts::eventFilter(QObject*, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::ShortcutOverride && type != QEvent::KeyPress) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!(key->modifiers() & Qt::KeypadModifier) || QApplication::activeWindow() != window_)
    return false;
  QAction* action = Find(key->keyCombination());
  if (!action) return false;
  if (type == QEvent::ShortcutOverride) {
    // Claiming the key keeps it from the shortcut map (which fires it on some platforms), so it
    // arrives as a press, once.
    event->accept();
    return true;
  }
  if (action->isEnabled()) action->trigger();
  return true;
}

}  // namespace platform
