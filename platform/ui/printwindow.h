#pragma once

// PrintWindow: the base of every window that can be printed (image views, analysis windows, the
// 3D window). Such a window has one paint routine that draws its picture into a target rectangle
// of any painter: its own paint event, a print-preview page and the printer all call it, so a
// window is never resized to print.

#include <QRect>
#include <QSize>
#include <QString>

class QPainter;

namespace platform {

class PrintWindow {
 public:
  explicit PrintWindow(QString title) : title_(std::move(title)) {}
  virtual ~PrintWindow() = default;
  PrintWindow(const PrintWindow&) = delete;
  PrintWindow& operator=(const PrintWindow&) = delete;

  // The page title a printout of this window carries.
  const QString& PrintTitle() const { return title_; }
  void SetPrintTitle(QString title) { title_ = std::move(title); }

  // Draws the window's picture scaled into target (in the painter's coordinates). printing is
  // true for a preview page or the printer: no selection highlights, no overlay marks that only
  // serve the screen.
  virtual void PaintTo(QPainter& painter, const QRect& target, bool printing) = 0;

  // The size of the picture on the screen, which gives the aspect kept on the page.
  virtual QSize ScreenSize() const = 0;

 private:
  QString title_;
};

}  // namespace platform
