#pragma once

// The print and page-setup dialogs behind one interface, so tests can answer them. The program
// uses Qt's dialogs on the printer itself; a test installs ScriptedPrintDialogs, whose answers
// write the printer as a user's choice would (output file, range, copies, margins).

#include <QMarginsF>
#include <QString>

#include <deque>
#include <optional>

class QPrinter;
class QWidget;

namespace platform {

// What the print dialog offers: the printout's pages and whether a selection (the page of the
// focused window) exists.
struct PrintOffer {
  int minPage = 1;
  int maxPage = 0;
  bool selection = false;
};

class PrintDialogs {
 public:
  virtual ~PrintDialogs() = default;
  // The print dialog on printer: true when the user confirmed; the printer then holds the
  // choice (printer or file, print range, from and to page, copies, collation).
  virtual bool ExecPrintDialog(QWidget* parent, QPrinter& printer, const PrintOffer& offer) = 0;
  // The page-setup dialog (paper, orientation, margins) on printer; true when confirmed.
  virtual bool ExecPageSetupDialog(QWidget* parent, QPrinter& printer) = 0;
};

// The installed dialogs (Qt's unless a test installed others).
PrintDialogs& GetPrintDialogs();
// Installs dialogs (null: Qt's again); returns the previous ones.
PrintDialogs* SetPrintDialogs(PrintDialogs* dialogs);

// For tests: answers from queues (an empty queue answers Cancel) and counts what was asked.
class ScriptedPrintDialogs : public PrintDialogs {
 public:
  struct PrintAnswer {
    QString outputFile;  // the PDF the job writes
    enum Range { kAll, kPages, kSelection } range = kAll;
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    bool collate = false;
  };
  struct PageSetupAnswer {
    QMarginsF marginsMm;
  };

  ScriptedPrintDialogs();
  ~ScriptedPrintDialogs() override;
  bool ExecPrintDialog(QWidget* parent, QPrinter& printer, const PrintOffer& offer) override;
  bool ExecPageSetupDialog(QWidget* parent, QPrinter& printer) override;

  std::deque<std::optional<PrintAnswer>> printAnswers;
  std::deque<std::optional<PageSetupAnswer>> pageSetupAnswers;
  std::deque<PrintOffer> offers;
  int pageSetupsAsked = 0;

 private:
  PrintDialogs* previous_;
};

}  // namespace platform
