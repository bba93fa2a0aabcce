#pragma once

// The player controls of the main toolbar, the frame slider and the frame-number field, and the
// abort button that long work puts on the toolbar while it runs.

#include <QLineEdit>
#include <QObject>
#include <QScrollBar>

#include <functional>

class QToolBar;
class QToolButton;
class QAction;

// The frame slider: every scroll action that moves it sends the active document the frame-change
// message with the new position as the frame number.
class FrameScrollBar : public QScrollBar {
  Q_OBJECT
 public:
  FrameScrollBar(QWidget* parent, int id, int width, int height);

  // Where frame changes go (the active document window, or null).
  void SetTarget(std::function<QObject*()> target) { target_ = std::move(target); }

 private:
  void Action(int action);

  std::function<QObject*()> target_;
};

// The frame-number field: digits only. Enter in it is the application's (the frame goes to the
// active document).
class FrameEdit : public QLineEdit {
  Q_OBJECT
 public:
  FrameEdit(QWidget* parent, int id, const QString& text, int width, int height, int textLimit);
};

// The abort button of long work: Esc or a click on it aborts. PumpMessages lets through what
// keeps the program painted and the button usable, and holds back everything that could disturb
// the running work (other toolbar buttons, menus, keys, the rest of the main window).
class AbortGadget : public QObject {
  Q_OBJECT
 public:
  // Adds the button to the toolbar; removes it again when destroyed.
  AbortGadget(QToolBar* toolbar, QWidget* mainWindow);
  ~AbortGadget() override;

  // Runs the pending events through the filter; true once the user aborted.
  bool PumpMessages();

  bool Aborted() const { return aborted_; }
  bool Pressed() const { return pressed_; }
  QToolButton* Button() const { return button_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Abort();

  QToolBar* toolbar_;
  QWidget* mainWindow_;
  QAction* action_ = nullptr;
  QToolButton* button_ = nullptr;
  bool aborted_ = false;
  bool pressed_ = false;
};
