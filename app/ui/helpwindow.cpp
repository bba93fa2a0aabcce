#include "app/ui/helpwindow.h"

#include <QFile>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "app/app_ids.h"
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
  show();
  raise();
  activateWindow();
  return true;
}

QString HelpWindow::CurrentPage() const { return browser_->source().toString(); }
