#pragma once

// BitmapButton: a button that shows the bitmap of its id by state (normal, focused, pressed,
// default, disabled: ids b .. b + 4) and, with an auto-repeat style, sends its command at once
// when pressed and again while it is held. Its command goes out as the Command signal with the
// control id.

#include <QAbstractButton>
#include <QTimer>

#include <map>
#include <memory>

#include "base/buttonrules.h"

class BitmapButton : public QAbstractButton {
  Q_OBJECT
 public:
  // style: the placement and repeat bits of bbs; (x, y): the button's place in its parent before
  // the alignment and offsets move it.
  BitmapButton(QWidget* parent, int id, unsigned style, int x = 0, int y = 0, int xOffset = 0,
               int yOffset = 0);
  ~BitmapButton() override;

  int Id() const { return id_; }
  bool PressedInside() const { return repeat_ && repeat_->PressedInside(); }
  void SetDefault(bool on) {
    default_ = on;
    update();
  }

  QSize sizeHint() const override;

 signals:
  void Command(int id);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  class Timers;

  int id_;
  unsigned style_;
  bool default_ = false;
  std::unique_ptr<Timers> timers_;
  std::unique_ptr<AutoRepeat> repeat_;
};
