#pragma once

// TApxPrintout: the pages of one print job or preview. When it is built it lists every printable
// window of the open documents, one a page: document after document in the order of the list of
// open documents, each with its image views in sequence order and then the analysis and 3D
// windows that show it, in the order of the MDI client's windows. A page is drawn by the
// window's own paint routine into its place on the page (PrinterSettings), scaled from screen
// pixels to printer pixels.

#include <QString>

#include "app/ui/printwindowlist.h"

class QMdiArea;
class QPainter;
class QWidget;
class PrinterSettings;

class TApxPrintout : public PrintWindowList {
 public:
  // title: the job's document name; drawPageFrame: the preview's margin and print-area frames.
  TApxPrintout(QString title, QMdiArea* mdiClient, bool drawPageFrame);

  const QString& Title() const { return title_; }
  int PageCount() const { return Count(); }
  // The page of the window that had the focus when the list was made, 0 when none.
  int FocusPage() const { return focusPage_; }
  void SetFocusPage(int page) { focusPage_ = page; }
  bool HasPage(int page) const { return page >= 1 && page <= PageCount(); }
  // "%d: %s" with the page and its window's title, "%d" for a window without title.
  QString PageLine(int page) const;

  // Draws page on a painter whose coordinates are device pixels of the printable page, with the
  // page layout of settings. A window that is gone leaves its page empty.
  void PrintPage(QPainter& painter, int page, const PrinterSettings& settings) const;

 private:
  void AddWindow(platform::PrintWindow* window, QWidget* focus, QWidget* focusScope);

  QString title_;
  bool drawPageFrame_;
  int focusPage_ = 0;
};
