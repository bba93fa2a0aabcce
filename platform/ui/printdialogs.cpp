#include "platform/ui/printdialogs.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>

namespace platform {

namespace {

class QtPrintDialogs : public PrintDialogs {
 public:
  bool ExecPrintDialog(QWidget* parent, QPrinter& printer, const PrintOffer& offer) override {
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(offer.minPage, std::max(offer.minPage, offer.maxPage));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, offer.selection);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, offer.maxPage >= offer.minPage);
    dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
    return dialog.exec() == QDialog::Accepted;
  }
  bool ExecPageSetupDialog(QWidget* parent, QPrinter& printer) override {
    QPageSetupDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }
};

QtPrintDialogs& QtDialogs() {
  static QtPrintDialogs dialogs;
  return dialogs;
}

PrintDialogs* g_dialogs = nullptr;

}  // namespace

PrintDialogs& GetPrintDialogs() { return g_dialogs ? *g_dialogs : QtDialogs(); }

PrintDialogs* SetPrintDialogs(PrintDialogs* dialogs) {
  PrintDialogs* previous = g_dialogs;
  g_dialogs = dialogs;
  return previous;
}

ScriptedPrintDialogs::ScriptedPrintDialogs() : previous_(SetPrintDialogs(this)) {}
ScriptedPrintDialogs::~ScriptedPrintDialogs() { SetPrintDialogs(previous_); }

bool ScriptedPrintDialogs::ExecPrintDialog(QWidget*, QPrinter& printer, const PrintOffer& offer) {
  offers.push_back(offer);
  if (printAnswers.empty()) return false;
  std::optional<PrintAnswer> answer = printAnswers.front();
  printAnswers.pop_front();
  if (!answer) return false;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(answer->outputFile);
  printer.setPrintRange(answer->range == PrintAnswer::kPages       ? QPrinter::PageRange
                        : answer->range == PrintAnswer::kSelection ? QPrinter::Selection
                                                                   : QPrinter::AllPages);
  printer.setFromTo(answer->fromPage, answer->toPage);
  printer.setCopyCount(answer->copies);
  printer.setCollateCopies(answer->collate);
  return true;
}

bool ScriptedPrintDialogs::ExecPageSetupDialog(QWidget*, QPrinter& printer) {
  ++pageSetupsAsked;
  if (pageSetupAnswers.empty()) return false;
  std::optional<PageSetupAnswer> answer = pageSetupAnswers.front();
  pageSetupAnswers.pop_front();
  if (!answer) return false;
  printer.setPageMargins(answer->marginsMm, QPageLayout::Millimeter);
  return true;
}

}  // namespace platform
