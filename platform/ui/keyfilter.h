#pragma once

// The application-wide key hook: every key press of the program passes the hook first, which
// may consume it (Enter, Delete, F1 and Esc get program-wide meanings this way).

#include <QObject>

#include <functional>

class QKeyEvent;

namespace platform {

class AppKeyFilter : public QObject {
  Q_OBJECT
 public:
  // hook(receiver, key event) returns true when it consumed the key.
  using Hook = std::function<bool(QObject*, QKeyEvent*)>;

  explicit AppKeyFilter(QObject* parent = nullptr) : QObject(parent) {}
  void SetHook(Hook hook) { hook_ = std::move(hook); }
  // Keys bound to shortcuts never arrive as key presses unless claimed: claim(receiver, key)
  // returning true lets the key reach the hook as a press before any shortcut sees it.
  void SetClaim(Hook claim) { claim_ = std::move(claim); }
  // Sees every key release (its result is not used).
  void SetReleaseHook(Hook release) { release_ = std::move(release); }
  // Installs the filter on the application.
  void Install();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Hook hook_;
  Hook claim_;
  Hook release_;
  const QKeyEvent* last_ = nullptr;
  unsigned long long lastTimestamp_ = 0;
};

}  // namespace platform
