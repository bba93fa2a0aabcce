#include "app/ui/preview.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QStatusBar>
#include <QToolBar>

#include "app/pagesetup.h"
#include "app/printersettings.h"
#include "app/ui/pagesetupdlg.h"
#include "app/ui/printer.h"
#include "app/ui/printout.h"
#include "base/application.h"
#include "base/ui/bitmaps.h"
#include "base/ui/gadgets.h"
#include "base/ui/devcapsdlg.h"
#include "platform/strings.h"

namespace {
constexpr int kPrevious = 24500, kNext = 24501, kPageNumber = 24504, kExit = 24505;
constexpr int kPrint = 24337, kPrinterSetup = 24338, kDevCaps = 25078, kPageWord = 24503;
constexpr int kBarFontPoints = 10;

QString Tip(int id) {
  const QString text = QString::fromUtf8(platform::LoadString(id).data());
  const int cut = text.indexOf('\n');
  return cut < 0 ? text : text.mid(cut + 1);
}
QString Hint(int id) {
  const QString text = QString::fromUtf8(platform::LoadString(id).data());
  const int cut = text.indexOf('\n');
  return cut < 0 ? text : text.left(cut);
}

// Puts the preview back in order however a print or setup ends.
class Relayout {
 public:
  explicit Relayout(PreviewWindow& preview) : preview_(preview) {}
  ~Relayout() {
    preview_.LayoutPage();
    preview_.Panel()->ShowValues();
    preview_.update();
  }
  Relayout(const Relayout&) = delete;
  Relayout& operator=(const Relayout&) = delete;

 private:
  PreviewWindow& preview_;
};
}  // namespace

PreviewPage::PreviewPage(const TApxPrintout& printout, QWidget* parent)
    : QWidget(parent), printout_(printout) {}

void PreviewPage::SetPage(int page) {
  page_ = page;
  update();
}

void PreviewPage::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  const PrinterSettings& s = ThePrinterSettings();
  if (s.PageWidthPx <= 0 || s.PageHeightPx <= 0) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.scale(double(width()) / s.PageWidthPx, double(height()) / s.PageHeightPx);
  printout_.PrintPage(painter, page_, s);
}

PreviewWindow::PreviewWindow(QWidget* parent, MyTPrinter& printer, QMdiArea* mdiClient,
                             const QString& title)
    : QMainWindow(parent, Qt::Window), printer_(printer) {
  setObjectName(QStringLiteral("PreviewWindow"));
  setWindowTitle(title);
  setAttribute(Qt::WA_DeleteOnClose, false);
  printout_ = std::make_unique<TApxPrintout>(title, mdiClient, true);

  auto* bar = addToolBar(QStringLiteral("Preview"));
  bar->setMovable(false);
  QFont font = bar->font();
  font.setPointSize(kBarFontPoints);
  bar->setFont(font);
  // Each button shows its picture; its hint goes to the preview's own status bar.
  auto add = [&](int id, void (PreviewWindow::*handler)()) {
    auto* action = new QAction(bitmaps::Icon(id), Tip(id), this);
    action->setObjectName(QString::number(id));
    action->setData(id);
    action->setStatusTip(Hint(id));
    action->setToolTip(Tip(id));
    connect(action, &QAction::triggered, this, handler);
    bar->addWidget(new TFlatButtonGadget(action, bar));
  };
  auto separator = [bar](int size) { bar->addWidget(new TFlatSeparatorGadget(size, 0, bar)); };
  add(kPrevious, &PreviewWindow::CmPrevious);
  add(kNext, &PreviewWindow::CmNext);
  separator(6);
  pageNumber_ = new QLabel(bar);
  pageNumber_->setObjectName(QString::number(kPageNumber));
  pageNumber_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  pageNumber_->setMinimumWidth(pageNumber_->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 10);
  bar->addWidget(pageNumber_);
  separator(6);
  add(kPrint, &PreviewWindow::CmPrint);
  separator(6);
  add(kPrinterSetup, &PreviewWindow::CmPrinterSetup);
  separator(12);
  add(kExit, &PreviewWindow::CmExit);
  statusBar();
  // The hidden diagnostics command: no button, only its keys.
  auto* caps = new QAction(this);
  caps->setObjectName(QString::number(kDevCaps));
  caps->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_D));
  connect(caps, &QAction::triggered, this, &PreviewWindow::CmDevCaps);
  addAction(caps);

  client_ = new QWidget(this);
  client_->setAutoFillBackground(true);
  QPalette workspace = client_->palette();
  workspace.setBrush(QPalette::Window, workspace.brush(QPalette::Dark));
  client_->setPalette(workspace);
  setCentralWidget(client_);
  panel_ = new PageSetupDialog(client_, ThePrinterSettings());
  connect(panel_, &PageSetupDialog::LayoutChanged, this, [this] { pageView_->update(); });
  pageView_ = new PreviewPage(*printout_, client_);
  LayoutPage();
  ShowPageNumber();
}

PreviewWindow::~PreviewWindow() = default;

QAction* PreviewWindow::Action(int id) const { return findChild<QAction*>(QString::number(id)); }

int PreviewWindow::Run() { return loop_.exec(); }

void PreviewWindow::LayoutPage() {
  const QSize client = client_->size();
  const int panelWidth = panel_->sizeHint().width();
  panel_->setGeometry(0, 0, panelWidth, std::max(client.height(), panel_->sizeHint().height()));
  const PrinterSettings& s = ThePrinterSettings();
  pageView_->setGeometry(PreviewPageRect(client, panelWidth, s.PaperWidth, s.PaperHeight));
  pageView_->SetPage(page_);
  UpdateCommands();
}

void PreviewWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  LayoutPage();
}

void PreviewWindow::ShowPageNumber() {
  pageNumber_->setText(QStringLiteral("%1 %2")
                           .arg(QString::fromUtf8(platform::LoadString(kPageWord).data()))
                           .arg(page_));
  UpdateCommands();
}

void PreviewWindow::UpdateCommands() {
  Action(kPrevious)->setEnabled(page_ > 1);
  Action(kNext)->setEnabled(page_ < printout_->PageCount());
}

void PreviewWindow::CmPrevious() {
  if (page_ > 1) pageView_->SetPage(--page_);
  ShowPageNumber();
}

void PreviewWindow::CmNext() {
  if (page_ < printout_->PageCount()) pageView_->SetPage(++page_);
  ShowPageNumber();
}

void PreviewWindow::CmExit() { loop_.exit(2); }

void PreviewWindow::closeEvent(QCloseEvent* event) {
  event->ignore();
  CmExit();
}

void PreviewWindow::CmPrint() {
  Relayout relayout(*this);
  const int shown = page_;
  // The dialog's selection is the page on show.
  printout_->SetFocusPage(printout_->HasPage(shown) ? shown : 0);
  printer_.Print(this, *printout_, true);
  page_ = shown;
}

void PreviewWindow::CmPrinterSetup() {
  Relayout relayout(*this);
  printer_.Setup(this);
}

void PreviewWindow::CmDevCaps() {
  Application* app = TheApplication();
  DevCapsDlg dialog(app ? static_cast<QWidget*>(app->MainWindow()) : this,
                    PrinterCaps(printer_.Printer()));
  dialog.Execute();
  setFocus();
}
