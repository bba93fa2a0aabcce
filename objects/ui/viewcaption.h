#pragma once

// ViewCaption: the title bar of an image view. It names the view's file, shows whether the view
// has the keyboard (active colours with the focus, inactive without) and gives the view the
// focus when clicked; it does not move the view.

#include <QWidget>

#include <functional>

class ViewCaption : public QWidget {
  Q_OBJECT
 public:
  ViewCaption(const QString& title, QWidget* parent, std::function<void()> clicked);

  void SetActive(bool active);
  bool IsActive() const { return active_; }
  QString Title() const { return title_; }
  // The height of the bar in the parent's font.
  static int HeightFor(const QWidget& parent);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  // A double click on the bar is a click: it never reaches the picture below.
  void mouseDoubleClickEvent(QMouseEvent* e) override { mousePressEvent(e); }

 private:
  QString title_;
  std::function<void()> clicked_;
  bool active_ = false;
};
