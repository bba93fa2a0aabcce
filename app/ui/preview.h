#pragma once

// PreviewWindow: the print preview that the page-setup command shows in place of the main
// window. It shows one page of the printout with the margin and print-area frames beside the
// page-setup panel, pages through the printout, prints, sets up the printer and opens the
// printer's device capabilities (command 25078). Run returns 2 when the user leaves it (Exit or
// the close box).

#include <QEventLoop>
#include <QMainWindow>

#include <memory>

class MyTPrinter;
class PageSetupDialog;
class QAction;
class QLabel;
class QMdiArea;
class TApxPrintout;

// The page of a printout drawn into a widget at the printer's page extent.
class PreviewPage : public QWidget {
  Q_OBJECT
 public:
  PreviewPage(const TApxPrintout& printout, QWidget* parent);
  void SetPage(int page);
  int Page() const { return page_; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  const TApxPrintout& printout_;
  int page_ = 1;
};

class PreviewWindow : public QMainWindow {
  Q_OBJECT
 public:
  // The printout lists the printable windows of the open documents and of mdiClient.
  PreviewWindow(QWidget* parent, MyTPrinter& printer, QMdiArea* mdiClient, const QString& title);
  ~PreviewWindow() override;

  // Runs modally until Exit; returns 2.
  int Run();

  int CurrentPage() const { return page_; }
  const TApxPrintout& Printout() const { return *printout_; }
  PreviewPage* Page() const { return pageView_; }
  PageSetupDialog* Panel() const { return panel_; }
  QAction* Action(int id) const;

  void CmPrevious();
  void CmNext();
  void CmExit();
  void CmPrint();
  void CmPrinterSetup();
  void CmDevCaps();
  void ShowPageNumber();
  void LayoutPage();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void UpdateCommands();

  MyTPrinter& printer_;
  std::unique_ptr<TApxPrintout> printout_;
  QWidget* client_ = nullptr;
  PageSetupDialog* panel_ = nullptr;
  PreviewPage* pageView_ = nullptr;
  QLabel* pageNumber_ = nullptr;
  int page_ = 1;
  QEventLoop loop_;
};
