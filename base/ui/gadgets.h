#pragma once

// The flat toolbar button and the flat separator of the program's toolbars.

#include <QToolButton>
#include <QWidget>

class QAction;

// A toolbar button for one command: its bitmap is the picture of the command id; it shows no
// border at rest, a raised border under the mouse and a sunken one while pressed or down. The
// hint and tooltip are the command's.
class TFlatButtonGadget : public QToolButton {
  Q_OBJECT
 public:
  TFlatButtonGadget(QAction* action, QWidget* parent = nullptr);

  bool MouseOver() const { return mouseOver_; }

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  bool mouseOver_ = false;
};

// A gap of the given width between toolbar buttons with a vertical groove in its middle.
class TFlatSeparatorGadget : public QWidget {
  Q_OBJECT
 public:
  TFlatSeparatorGadget(int size, int height = 0, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
