#include "app/ui/helpwindow.h"

#include <QApplication>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

#include "base/app_ids.h"
#include "platform/strings.h"

namespace {
constexpr int kWidth = 720;
constexpr int kHeight = 640;

QString LocalPath(const QString& url) { return url.startsWith("qrc:") ? url.mid(3) : url; }
}  // namespace

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder_(folder) {
  setWindowTitle(QString::fromUtf8(platform::LoadString(ids::kHelpCaption).data()));
  setAttribute(Qt::WA_QuitOnClose, false);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QToolBar(this);
  browser_ = new QTextBrowser(this);
  browser_->setOpenExternalLinks(true);
  bar->addAction(tr("Contents"), this, [this] { ShowTopic({kHelpContentsPage, {}}); });
  bar->addAction(tr("Back"), browser_, &QTextBrowser::backward);
  bar->addAction(tr("Forward"), browser_, &QTextBrowser::forward);
  layout->addWidget(bar);
  layout->addWidget(browser_);
  resize(kWidth, kHeight);
}

bool HelpWindow::ShowTopic(const HelpTopic& topic) {
  QString page = folder_ + QString::fromStdString(topic.page);
  if (!QFile::exists(LocalPath(page))) return false;
  QUrl url(page);
  if (!topic.anchor.empty()) url.setFragment(QString::fromStdString(topic.anchor));
  browser_->setSource(url);
  ShowInFront();
  return true;
}

void HelpWindow::ShowInFront() {
  // A modal dialog blocks every window but its own: while one is up, the help belongs to it, so
  // that it stands above it and takes the keys. The window manager learns the owner when the
  // window is mapped, so a change of owner maps it anew.
  QWidget* modal = QApplication::activeModalWidget();
  QWindow* owner = modal && modal != this ? modal->windowHandle() : nullptr;
  if (!windowHandle()) create();
  QWindow* window = windowHandle();
  if (owner && window->transientParent() != owner) {
    if (isVisible()) hide();
    window->setTransientParent(owner);
    // When the dialog closes, its own owner (the main window) takes the help over, so that the
    // help stays in front of it.
    connect(
        owner, &QWindow::visibleChanged, this,
        [this, owner](bool visible) {
          if (visible || windowHandle()->transientParent() != owner) return;
          const bool shown = isVisible();
          if (shown) hide();
          windowHandle()->setTransientParent(owner->transientParent());
          if (shown) {
            show();
            raise();
          }
        },
        Qt::SingleShotConnection);
  }
  show();
  raise();
  activateWindow();
}

QString HelpWindow::CurrentPage() const { return browser_->source().toString(); }
