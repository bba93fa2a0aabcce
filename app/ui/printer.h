#pragma once

// MyTPrinter: the one printer of the program (the application owns it). It keeps the chosen
// printer or PDF file, the paper and the margins between jobs, runs the print and page-setup
// dialogs, hands the printer's page metrics to the page layout, and runs the print loop with the
// abort dialog. Pages are placed on the whole sheet; the margins of the page layout keep them off
// the edges.

#include <QDialog>
#include <QString>

#include <memory>

#include "app/printersettings.h"

class QLabel;
class QPrinter;
class QWidget;
class TApxPrintout;

class MyTPrinter {
 public:
  MyTPrinter();
  ~MyTPrinter();

  QPrinter& Printer() { return *printer_; }
  // What the printer reports of its page.
  PrinterMetrics Metrics() const;
  // The printer's name, or "PDF" for a file; and where the output goes (the file, or the queue).
  QString DeviceName() const;
  QString PortName() const;

  // The print dialog; when confirmed the page layout takes the chosen printer's metrics.
  bool ExecPrintDialog(QWidget* parent, int minPage, int maxPage, bool selection);
  // The page-setup dialog with the current margins; when confirmed the page layout takes the
  // printer's metrics and the margins back.
  bool ExecPageSetupDialog(QWidget* parent);
  // The printer setup: the page-setup dialog.
  bool Setup(QWidget* parent) { return ExecPageSetupDialog(parent); }

  // Prints the pages of printout, after the print dialog when prompt is set. True when the job
  // ended without error; a cancelled dialog, an aborted job or a printer that cannot be opened
  // give false (the last after its message). The print counter is raised meanwhile, only the
  // abort dialog takes input, and counter and cursor are restored on every path.
  bool Print(QWidget* parent, TApxPrintout& printout, bool prompt);

 private:
  std::unique_ptr<QPrinter> printer_;
};

// MyTPrinterAbortDlg ("Print"): shows the page being printed and lets the user stop the job.
class MyTPrinterAbortDlg : public QDialog {
  Q_OBJECT
 public:
  MyTPrinterAbortDlg(QWidget* parent, const TApxPrintout& printout, const QString& device,
                     const QString& port);

  // Shows page n (its number and its window's title) when n > 0.
  void ShowPage(int n);
  bool AbortRequested() const { return aborted_; }
  QString PageText() const;
  void reject() override;

 private:
  const TApxPrintout& printout_;
  QLabel* page_;
  bool aborted_ = false;
};
