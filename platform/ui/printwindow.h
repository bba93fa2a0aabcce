#pragma once

// PrintWindow: the base of every window that can be printed (image views, analysis windows, the
// 3D window). Such a window has one paint routine that draws its picture into a target rectangle
// of any painter: its own paint event, a print-preview page and the printer all call it, so a
// window is never resized to print.
//
// Every printable window is listed while it lives (PrintWindows), so the printout finds the
// windows of any kind without knowing their classes.

#include <QRect>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

namespace platform {

class PrintWindow {
 public:
  explicit PrintWindow(QString title);
  virtual ~PrintWindow();
  PrintWindow(const PrintWindow&) = delete;
  PrintWindow& operator=(const PrintWindow&) = delete;

  // The page title a printout of this window carries.
  const QString& PrintTitle() const { return title_; }
  void SetTitle(QString title) { title_ = std::move(title); }

  // Draws the window's picture scaled into target (in the painter's coordinates). printing is
  // true for a preview page or the printer: no selection highlights, no overlay marks that only
  // serve the screen.
  virtual void PaintTo(QPainter& painter, const QRect& target, bool printing) = 0;

  // The size of the picture on the screen, which gives the aspect kept on the page.
  virtual QSize ScreenSize() const = 0;

  // The serial of the document whose data the window shows, for a window that lives apart from
  // its document's window (an analysis or 3D window); 0 when the printout is to learn it from an
  // analysis link beside the window, or for an image view, which its document lists itself.
  virtual unsigned PrintDocument() const { return 0; }

 private:
  QString title_;
};

// The printable windows that live now, oldest first.
const std::vector<PrintWindow*>& PrintWindows();

}  // namespace platform
