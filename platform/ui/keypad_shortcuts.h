#pragma once

// Accelerators on keypad keys ("Num+", "Num-"). Qt's shortcut map on X11 drops the keypad flag
// from the keys it compares, so a shortcut bound to a keypad key alone never fires there. This
// filter gives such keys to their action itself, in the window the accelerators belong to, before
// any shortcut or focused control sees them (as accelerator tables take keys first).

#include <QKeyCombination>
#include <QObject>

#include <vector>

class QAction;
class QWidget;

namespace platform {

class KeypadShortcuts : public QObject {
  Q_OBJECT
 public:
  // Installs the filter on the application; keys count while window is the active window.
  explicit KeypadShortcuts(QWidget* window);

  // key must carry Qt::KeypadModifier; the action runs when it is enabled.
  void Add(QKeyCombination key, QAction* action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QAction* Find(QKeyCombination key) const;

  QWidget* window_;
  std::vector<std::pair<QKeyCombination, QAction*>> keys_;
};

}  // namespace platform
