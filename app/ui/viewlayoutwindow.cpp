#include "app/ui/viewlayoutwindow.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPainter>

#include "app/resource.h"
#include "app/zorvatrackapp.h"
#include "objects/ui/bildview.h"
#include "objects/ui/viewcaption.h"
#include "sequences/framesequence.h"

namespace {
constexpr int kZoomCommand = 25014;
}

ViewLayoutWindow::ViewLayoutWindow(Resource& document, QWidget* parent)
    : QWidget(parent), document_(document) {}

QWidget* ViewLayoutWindow::ViewOf(int index) const {
  FrameSequence* s = document_.Sequence(index);
  return s ? qobject_cast<QWidget*>(s->view.data()) : nullptr;
}

int ViewLayoutWindow::ActiveIndex() const {
  FrameSequence* active = document_.GetActiveFrameSequence();
  return active ? active->number - 1 : 0;
}

void ViewLayoutWindow::ArrangeViews() {
  if (!laidOut_) {
    row_ = FirstLayoutRow(document_.SequenceCount());
    const LayoutRow& r = LayoutTable()[row_];
    // A panel docked before the first arrangement stands beside the views from the start.
    // Every row of views has its title bars above the pictures.
    const auto* view = qobject_cast<const BildView*>(ViewOf(0));
    const int caption = view ? ViewCaption::HeightFor(*view) : 0;
    QSize client(r.columns * document_.MaxFrameWidth() + (panel_ ? panel_->width() : 0),
                 std::max(r.rows * (document_.MaxFrameHeight() + caption),
                          panel_ ? panel_->height() : 0));
    // The document window shows every frame whole, as far as the main window's client allows.
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget() ? parentWidget()->parentWidget()
                                                                : nullptr)) {
      const QSize wanted = client + (sub->size() - sub->widget()->size());
      const QSize area = sub->mdiArea() ? sub->mdiArea()->viewport()->size() : QSize();
      if (area.isEmpty()) {
        sub->resize(wanted);
      } else {
        const QPoint at = sub->pos();
        const LayoutRect r =
            FitInsideClient({at.x(), at.y(), at.x() + wanted.width(), at.y() + wanted.height()},
                            area.width(), area.height());
        sub->setGeometry(r.left, r.top, r.Width(), r.Height());
      }
    } else {
      resize(client);
    }
  }
  Place();
  laidOut_ = true;
  document_.UpdateDialogs();
  if (QWidget* active = ViewOf(ActiveIndex())) active->setFocus();
}

void ViewLayoutWindow::Place() {
  LayoutInput in;
  in.row = row_;
  in.viewCount = document_.SequenceCount();
  in.activeView = ActiveIndex();
  in.zoomed = zoomed_;
  in.width = width();
  in.height = height();
  in.panelDocked = panel_ != nullptr;
  in.dockMode = dockMode_;
  in.panelWidth = panel_ ? panel_->width() : 0;
  geometry_ = ComputeLayout(in);
  if (panel_ && geometry_.panel) {
    const LayoutRect& p = *geometry_.panel;
    panel_->setGeometry(p.left, p.top, p.Width(), p.Height());
    panel_->show();
  }
  for (int i = 0; i < document_.SequenceCount(); ++i) {
    QWidget* view = ViewOf(i);
    if (!view) continue;
    const auto& place = geometry_.views[i];
    if (place) {
      view->setGeometry(place->left, place->top, place->Width(), place->Height());
      view->show();
    } else {
      view->hide();
    }
  }
}

void ViewLayoutWindow::ResizeDocumentWindow(int dx, int height) {
  QWidget* target =
      parentWidget() && parentWidget()->parentWidget() ? parentWidget()->parentWidget() : this;
  const int grow = std::max(0, height - this->height());
  target->resize(target->width() + dx, target->height() + grow);
}

void ViewLayoutWindow::DockWindow(QWidget* panel, int mode) {
  if (!panel) return;
  if (!panel_) {
    // Before the first arrangement the window is sized for views and panel together.
    if (laidOut_) ResizeDocumentWindow(panel->width(), panel->height());
  } else if (panel_ != panel) {
    panel_->hide();
  }
  panel_ = panel;
  panel_->setParent(this);
  if (mode != 0) dockMode_ = mode;  // 0 keeps the side
  ArrangeViews();
}

void ViewLayoutWindow::UndockWindow() {
  if (!panel_) return;
  ResizeDocumentWindow(-panel_->width(), 0);
  panel_->hide();
  panel_ = nullptr;
  ArrangeViews();
}

void ViewLayoutWindow::ToggleDockMode() {
  dockMode_ = dockMode_ == kDockLeft ? kDockRight : kDockLeft;
  ArrangeViews();
}

void ViewLayoutWindow::resizeEvent(QResizeEvent*) {
  if (laidOut_) Place();
}

void ViewLayoutWindow::ToggleZoom() {
  if (document_.SequenceCount() <= 1) return;
  zoomed_ = !zoomed_;
  // Hidden views did not follow the frame changes.
  if (!zoomed_) document_.ForwardCommand(vnShowFrame, document_.CurrentFrame());
  if (g_App)
    if (QAction* zoom = g_App->Actions().Get(kZoomCommand)) {
      zoom->setCheckable(true);
      zoom->setChecked(zoomed_);
    }
  ArrangeViews();
}

void ViewLayoutWindow::CmLayout(int id) {
  if (id == kZoomCommand) {
    ToggleZoom();
    return;
  }
  int row = LayoutRowForCommand(document_.SequenceCount(), id);
  if (row < 0) return;
  row_ = row;
  BuildLayoutMenu();
  ArrangeViews();
}

QIcon ViewLayoutWindow::LayoutIcon(const LayoutRow& row) {
  QPixmap pixmap(32, 24);
  pixmap.fill(Qt::white);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  const double cw = 31.0 / row.columns, ch = 23.0 / row.rows;
  for (int c = 0; c < row.columns; ++c)
    for (int r = 0; r < row.rows; ++r) {
      QRectF cell(c * cw, r * ch, cw, ch);
      p.fillRect(cell.adjusted(1, 1, -1, -1), QColor(90, 130, 200));
      p.drawRect(cell);
    }
  // The first view is marked, so the order of the views shows.
  p.fillRect(QRectF(1, 1, cw - 2, ch - 2), QColor(230, 120, 40));
  return QIcon(pixmap);
}

void ViewLayoutWindow::BuildLayoutMenu() {
  if (!g_App) return;
  auto& actions = g_App->Actions();
  QAction* zoom = actions.Get(kZoomCommand);
  if (!zoom) return;
  for (QObject* owner : zoom->associatedObjects()) {
    auto* menu = qobject_cast<QMenu*>(owner);
    if (!menu) continue;
    for (QAction* a : menu->actions())
      if (a != zoom) menu->removeAction(a);
    const int n = document_.SequenceCount();
    for (int i = 0; i < static_cast<int>(LayoutTable().size()); ++i) {
      const LayoutRow& row = LayoutTable()[i];
      if (row.views != n || row.commandId == 0) continue;
      QAction* item = actions.Get(row.commandId);
      if (!item)
        item = actions.Add(row.commandId, QString("%1 x %2").arg(row.columns).arg(row.rows));
      item->setIcon(LayoutIcon(row));
      item->setText(QString("%1 x %2").arg(row.columns).arg(row.rows));
      item->setCheckable(true);
      item->setChecked(i == row_);
      menu->addAction(item);
    }
  }
  zoom->setCheckable(true);
  zoom->setChecked(zoomed_);
}
