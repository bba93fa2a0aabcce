#include "app/ui/printer.h"

#include <QApplication>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>

#include <cmath>

#include "app/printplan.h"
#include "app/ui/printout.h"
#include "app/zorvatrackapp.h"
#include "base/messages.h"
#include "platform/strings.h"
#include "platform/ui/printdialogs.h"

namespace {

constexpr int kPrinterError = 32742;
constexpr int kPageStatic = 104;
constexpr int kAtStatic = 21030, kConnectedStatic = 21031;

// Everything a print job changes around it, put back however it ends: the print counter and the
// wait cursor.
class PrintScope {
 public:
  PrintScope() {
    if (g_App) g_App->RaisePrintCounter();
  }
  ~PrintScope() {
    if (cursor_) QApplication::restoreOverrideCursor();
    if (g_App) g_App->LowerPrintCounter();
  }
  PrintScope(const PrintScope&) = delete;
  PrintScope& operator=(const PrintScope&) = delete;

  void WaitCursor() {
    if (cursor_) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    cursor_ = true;
  }

 private:
  bool cursor_ = false;
};

PrintRangeKind RangeOf(const QPrinter& printer) {
  switch (printer.printRange()) {
    case QPrinter::PageRange:
      return PrintRangeKind::kPages;
    case QPrinter::Selection:
      return PrintRangeKind::kSelection;
    default:
      return PrintRangeKind::kAll;
  }
}

PageMargins MarginsOf(const QPrinter& printer) {
  const QMarginsF mm = printer.pageLayout().margins(QPageLayout::Millimeter);
  auto h = [](double v) { return TruncToInt(v * 100.0); };
  return {h(mm.left()), h(mm.top()), h(mm.right()), h(mm.bottom())};
}

}  // namespace

MyTPrinter::MyTPrinter() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
  PrinterSettings& settings = ThePrinterSettings();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    settings.ScreenPpiX = static_cast<int>(std::lround(screen->logicalDotsPerInchX()));
    settings.ScreenPpiY = static_cast<int>(std::lround(screen->logicalDotsPerInchY()));
  }
  // The layout places windows on the whole sheet; its margins keep them off the edges.
  printer_->setFullPage(true);
  if (QPrinterInfo::availablePrinterNames().isEmpty()) {
    // No printer on this machine: a PDF file is the printer.
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QDir::home().filePath("zorvat.pdf"));
  }
  settings.FromPrinter(Metrics(), std::nullopt);
}

MyTPrinter::~MyTPrinter() = default;

PrinterMetrics MyTPrinter::Metrics() const {
  return {printer_->width(),       printer_->height(),  printer_->logicalDpiX(),
          printer_->logicalDpiY(), printer_->widthMM(), printer_->heightMM()};
}

QString MyTPrinter::DeviceName() const {
  return printer_->outputFormat() == QPrinter::PdfFormat ? QStringLiteral("PDF")
                                                         : printer_->printerName();
}

QString MyTPrinter::PortName() const {
  if (printer_->outputFormat() == QPrinter::PdfFormat || !printer_->outputFileName().isEmpty())
    return printer_->outputFileName();
  return QStringLiteral("CUPS");
}

bool MyTPrinter::ExecPrintDialog(QWidget* parent, int minPage, int maxPage, bool selection) {
  if (!platform::GetPrintDialogs().ExecPrintDialog(parent, *printer_,
                                                   {minPage, maxPage, selection}))
    return false;
  ThePrinterSettings().FromPrinter(Metrics(), std::nullopt);
  return true;
}

bool MyTPrinter::ExecPageSetupDialog(QWidget* parent) {
  const PrinterSettings& s = ThePrinterSettings();
  printer_->setPageMargins(QMarginsF(s.MarginLeft * 0.01, s.MarginTop * 0.01, s.MarginRight * 0.01,
                                     s.MarginBottom * 0.01),
                           QPageLayout::Millimeter);
  if (g_PageSetupInInches) {
    QPageLayout layout = printer_->pageLayout();
    layout.setUnits(QPageLayout::Inch);
    printer_->setPageLayout(layout);
  }
  if (!platform::GetPrintDialogs().ExecPageSetupDialog(parent, *printer_)) return false;
  ThePrinterSettings().FromPrinter(Metrics(), MarginsOf(*printer_));
  return true;
}

bool MyTPrinter::Print(QWidget* parent, TApxPrintout& printout, bool prompt) {
  PrintScope scope;
  const int count = printout.PageCount();
  printer_->setFromTo(count > 0 ? 1 : 0, count);
  printer_->setPrintRange(QPrinter::AllPages);
  if (prompt && !ExecPrintDialog(parent, 1, count, printout.FocusPage() != 0)) return false;
  printer_->setDocName(printout.Title());

  PrintRequest request;
  request.minPage = 1;
  request.maxPage = count;
  if (prompt) {
    request.range = RangeOf(*printer_);
    request.fromPage = printer_->fromPage();
    request.toPage = printer_->toPage();
  }
  request.selectionPage = printout.FocusPage();
  request.copies = printer_->copyCount();
  request.collate = printer_->collateCopies();
  request.deviceMakesCopies = printer_->supportsMultipleCopies();
  const std::vector<int> pages = PagesToPrint(request);
  if (pages.empty()) return false;

  scope.WaitCursor();
  QPainter painter;
  if (!painter.begin(printer_.get())) {
    ShowErrorMessage(std::string(platform::LoadString(kPrinterError)),
                     (DeviceName() + ": " + PortName()).toStdString());
    return false;
  }
  MyTPrinterAbortDlg abort(parent, printout, DeviceName(), PortName());
  // Modal: while the job runs only the abort dialog takes input.
  abort.setWindowModality(Qt::ApplicationModal);
  abort.show();
  const PrinterSettings& settings = ThePrinterSettings();
  bool ok = true;
  for (std::size_t i = 0; i < pages.size() && ok; ++i) {
    if (i > 0 && !printer_->newPage()) ok = false;
    abort.ShowPage(pages[i]);
    QCoreApplication::processEvents();
    if (abort.AbortRequested()) {
      printer_->abort();
      ok = false;
    }
    if (ok) printout.PrintPage(painter, pages[i], settings);
  }
  if (!painter.end()) ok = false;
  return ok && printer_->printerState() != QPrinter::Error;
}

MyTPrinterAbortDlg::MyTPrinterAbortDlg(QWidget* parent, const TApxPrintout& printout,
                                       const QString& device, const QString& port)
    : QDialog(parent), printout_(printout) {
  setWindowTitle(QStringLiteral("Print"));
  // The job ends only through Cancel.
  setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint);
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(QStringLiteral("Printing page"), this), 0, 0);
  page_ = new QLabel(this);
  page_->setObjectName(QString::number(kPageStatic));
  grid->addWidget(page_, 0, 1);
  auto* at = new QLabel(QStringLiteral("at ") + device, this);
  at->setObjectName(QString::number(kAtStatic));
  grid->addWidget(at, 1, 0, 1, 2);
  auto* connected = new QLabel(QStringLiteral("connected with ") + port, this);
  connected->setObjectName(QString::number(kConnectedStatic));
  grid->addWidget(connected, 2, 0, 1, 2);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(QStringLiteral("2"));
  grid->addWidget(cancel, 3, 1, Qt::AlignRight);
  connect(cancel, &QPushButton::clicked, this, [this, cancel] {
    aborted_ = true;
    cancel->setEnabled(false);
  });
}

void MyTPrinterAbortDlg::reject() {
  // Esc stops the job as Cancel does; the dialog stays until the job has ended.
  aborted_ = true;
}

void MyTPrinterAbortDlg::ShowPage(int n) {
  if (n <= 0) return;
  page_->setText(printout_.PageLine(n));
  page_->repaint();
}

QString MyTPrinterAbortDlg::PageText() const { return page_->text(); }
