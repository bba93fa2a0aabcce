#include "calibration/ui/calibview.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

#include "calibration/calibrat.h"
#include "calibration/ui/calibhost.h"
#include "calibration/ui/calibrationwindow.h"
#include "calibration/ui/modelpainter.h"
#include "platform/events.h"
#include "platform/ui/modeless.h"

namespace {

constexpr int kInside = 20;
// The filter and gamma dialogs ask their parent to rebuild its picture by this command.
constexpr int kWmCommand = 273, kRefreshImage = 24371;

QString MenuText(int id) {
  switch (id) {
    case CalibView::kFilter: return QStringLiteral("&Filter...");
    case CalibView::kGamma: return QStringLiteral("&Gamma Correction");
    case CalibView::kAllPointsOn: return QStringLiteral("All Points on");
    case CalibView::kAllPointsOff: return QStringLiteral("All Points off");
    default: return QStringLiteral("Position Points");
  }
}

}  // namespace

CalibView::CalibView(CalibrationWindow& window, CalibrationHost& host, QWidget* parent)
    : QAbstractScrollArea(parent), window_(window), host_(host) {
  setFocusPolicy(Qt::StrongFocus);
  setFrameShape(QFrame::Box);
  viewport()->setMouseTracking(true);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

Calibration* CalibView::CalibrationOnShow() const {
  return number_ > 0 ? &host_.Camera(number_) : nullptr;
}

void CalibView::SetCalibrationFrame(int number) {
  // The open filter and gamma dialogs work on the picture shown so far; they close keeping their
  // choice for it.
  platform::AcceptOpenDialogs(this);
  number_ = number;
  Calibration& c = host_.Camera(number);
  const bool framed = c.Has(kFlagCalibrationImage) && host_.LoadCalibrationFrame(number, this);
  caption_ = QString::fromStdString(framed ? c.calibrationImage.NameExt()
                                           : FileName(host_.SequenceFile(number)).NameExt());
  window_.ShowViewCaption(caption_);
  picture_ = host_.Picture(number);
  c.selectedPoint = -1;
  handle_ = -1;
  if (fit_) FitZoom();
  UpdateScroller();
  viewport()->update();
}

void CalibView::SetMode(int mode) {
  mode_ = mode;
  handle_ = -1;
  if (Calibration* c = CalibrationOnShow()) c->selectedPoint = -1;
}

QPointF CalibView::ToImage(QPoint p) const {
  return {calibzoom::ImageX(scroller_.posX, p.x(), zoom_.x),
          calibzoom::ImageY(scroller_.posY, p.y(), zoom_.y)};
}

void CalibView::FitZoom() {
  if (picture_.isNull()) return;
  zoom_.x = float(viewport()->width()) / picture_.width();
  zoom_.y = float(viewport()->height()) / picture_.height();
}

void CalibView::UpdateScroller() {
  if (picture_.isNull()) return;
  if (fit_) {
    scroller_ = calibzoom::Scroller();
    FitZoom();
  } else {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 1;
    scroller_ = calibzoom::UpdateScroller(
        scroller_, picture_.width(), picture_.height(), zoom_, viewport()->width(),
        viewport()->height(), horizontalScrollBar()->isVisible(),
        verticalScrollBar()->isVisible(), bar, bar);
  }
  const calibzoom::Scroller s = scroller_;
  horizontalScrollBar()->setRange(0, s.rangeX);
  verticalScrollBar()->setRange(0, s.rangeY);
  horizontalScrollBar()->setPageStep(std::max(s.pageX, 1));
  verticalScrollBar()->setPageStep(std::max(s.pageY, 1));
  horizontalScrollBar()->setSingleStep(s.lineX);
  verticalScrollBar()->setSingleStep(s.lineY);
  horizontalScrollBar()->setValue(s.posX);
  verticalScrollBar()->setValue(s.posY);
  // The bars may have come or gone, which changes the room: the excess follows the new room.
  scroller_.posX = horizontalScrollBar()->value();
  scroller_.posY = verticalScrollBar()->value();
}

void CalibView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScroller();
  viewport()->update();
}

void CalibView::scrollContentsBy(int, int) {
  scroller_.posX = horizontalScrollBar()->value();
  scroller_.posY = verticalScrollBar()->value();
  viewport()->update();
}

bool CalibView::event(QEvent* event) {
  if (auto* m = platform::AsMessage(event);
      m && m->message == kWmCommand && m->wParam == kRefreshImage) {
    if (number_ > 0) {
      host_.RebuildPicture(number_);
      picture_ = host_.Picture(number_);
      viewport()->update();
    }
    m->result = 1;
    return true;
  }
  return QAbstractScrollArea::event(event);
}

void CalibView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  const QRect client = viewport()->rect();
  painter.fillRect(client, palette().color(QPalette::Window));
  Calibration* c = CalibrationOnShow();
  if (!c || picture_.isNull()) return;
  if (fit_) {
    painter.drawImage(client, picture_);
    PaintModel(painter, *c, 0, 0, zoom_.x, zoom_.y);
    return;
  }
  const QRect target(-scroller_.posX, -scroller_.posY, int(picture_.width() * zoom_.x),
                     int(picture_.height() * zoom_.y));
  painter.drawImage(target, picture_);
  PaintModel(painter, *c, -scroller_.posX, -scroller_.posY, zoom_.x, zoom_.y);
}

void CalibView::Command(int id) {
  Calibration* c = CalibrationOnShow();
  if (!c) return;
  switch (id) {
    case kZoomIn:
    case kZoomOut:
      if (fit_) return;
      if (!(id == kZoomIn ? calibzoom::ZoomIn(zoom_) : calibzoom::ZoomOut(zoom_))) return;
      break;
    case kToggleFit:
      fit_ = !fit_;
      if (!fit_) zoom_.x = zoom_.y = calibzoom::FitOffFactor(zoom_);
      break;
    case kFilter:
      host_.OpenFilterDialog(number_, this);
      return;
    case kGamma:
      host_.OpenGammaDialog(number_, this);
      return;
    case kAllPointsOn:
    case kAllPointsOff:
      c->SetAllPointsUsed(id == kAllPointsOn ? 1 : 0);
      PointsChanged();
      return;
    case kPositionPoints:
      c->ProjectModelPoints();
      PointsChanged();
      return;
    default:
      return;
  }
  UpdateScroller();
  viewport()->update();
}

bool CalibView::CommandState(int id, bool& enabled, bool& checked) const {
  const Calibration* c = CalibrationOnShow();
  checked = false;
  switch (id) {
    case kZoomIn:
      enabled = c && !fit_ && calibzoom::CanZoomIn(zoom_);
      return true;
    case kZoomOut:
      enabled = c && !fit_ && calibzoom::CanZoomOut(zoom_);
      return true;
    case kToggleFit:
      enabled = true;
      checked = fit_;
      return true;
    case kFilter:
    case kGamma:
      enabled = c != nullptr;
      return true;
    case kAllPointsOn:
    case kAllPointsOff:
      enabled = c && !c->UsesLinearSizing();
      return true;
    case kPositionPoints:
      enabled = c && c->IsCalibrated() && !c->UsesLinearSizing();
      return true;
    default:
      return false;
  }
}

void CalibView::PointsChanged() {
  viewport()->update();
  window_.UpdateDialogs();
}

void CalibView::keyPressEvent(QKeyEvent* event) {
  if (fit_) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  switch (event->key()) {
    case Qt::Key_PageUp: v->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_PageDown: v->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Home: h->triggerAction(QAbstractSlider::SliderPageStepSub); break;
    case Qt::Key_End: h->triggerAction(QAbstractSlider::SliderPageStepAdd); break;
    case Qt::Key_Up: v->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Down: v->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    case Qt::Key_Left: h->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
    case Qt::Key_Right: h->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
    default: QAbstractScrollArea::keyPressEvent(event);
  }
}

// A drag keeps the mouse inside the pane: positions outside count as its nearest edge.
QPoint CalibView::Clamp(QPoint p) const {
  const QRect r = viewport()->rect();
  return {std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom())};
}

void CalibView::LeftDown(QPoint p) {
  setFocus();
  Calibration* c = CalibrationOnShow();
  if (!c) return;
  dragPending_ = false;
  if (mode_ == kModelMode && handle_ != -1) {
    const QPointF at = ToImage(p);
    lastX_ = at.x();
    lastY_ = at.y();
    dragPending_ = true;
  } else if (mode_ == kPointsMode && c->selectedPoint != -1) {
    dragPending_ = true;
  }
}

void CalibView::SetHandleCursor(int handle) {
  Qt::CursorShape shape = Qt::SizeAllCursor;
  if (handle < 0) shape = Qt::ArrowCursor;
  else if (handle < 8) shape = handle % 2 == 0 ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
  else if (handle < 16) shape = handle % 2 == 0 ? Qt::SizeVerCursor : Qt::SizeHorCursor;
  else if (handle == kInside) shape = Qt::SizeAllCursor;
  viewport()->setCursor(shape);
}

void CalibView::Move(QPoint p, bool leftHeld) {
  Calibration* c = CalibrationOnShow();
  if (!c) return;
  const bool drag = leftHeld && (dragPending_ || dragging_);
  if (drag) p = Clamp(p);
  const QPointF at = ToImage(p);
  const double meanZoom = (zoom_.x + zoom_.y) / 2.0;
  if (mode_ == kModelMode) {
    if (drag && handle_ != -1) {
      if (dragPending_) {
        dragPending_ = false;
        dragging_ = true;
        if (handle_ < 8) viewport()->setCursor(Qt::ClosedHandCursor);
      }
      c->MoveHandle(handle_, at.x() - lastX_, at.y() - lastY_);
      c->PlacePointsLinear(c->points);
      lastX_ = at.x();
      lastY_ = at.y();
      viewport()->update();
    } else if (!leftHeld) {
      handle_ = c->HitTestHandle(at.x(), at.y(), meanZoom);
      SetHandleCursor(handle_);
    }
    return;
  }
  if (drag && c->selectedPoint != -1) {
    if (dragPending_) {
      dragPending_ = false;
      dragging_ = true;
      c->SetPointUsed(c->selectedPoint, 0, true);
    }
    c->SetImagePoint(c->selectedPoint, at.x(), at.y());
    viewport()->update();
  } else if (!leftHeld) {
    c->selectedPoint = c->FindPoint(at.x(), at.y(), meanZoom);
    const bool onPoint = c->selectedPoint != -1;
    viewport()->setCursor(onPoint ? Qt::OpenHandCursor : Qt::ArrowCursor);
    window_.ShowPosition(at.x(), at.y(), onPoint);
  }
}

void CalibView::LeftUp(QPoint) {
  Calibration* c = CalibrationOnShow();
  if (c && dragging_) {
    viewport()->setCursor(Qt::ArrowCursor);
    if (mode_ == kPointsMode && c->selectedPoint != -1) {
      c->SetPointUsed(c->selectedPoint, 1, false);
      PointsChanged();
    }
  }
  dragging_ = false;
  dragPending_ = false;
}

void CalibView::DoubleClick(QPoint) {
  setFocus();
  Calibration* c = CalibrationOnShow();
  if (!c || mode_ != kPointsMode || c->selectedPoint == -1) return;
  if (!c->SetPointUsed(c->selectedPoint, 1, false)) c->SetPointUsed(c->selectedPoint, 0, false);
  PointsChanged();
  dragPending_ = true;  // the button-up that follows changes nothing
  dragging_ = false;
}

void CalibView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) LeftDown(event->position().toPoint());
}

void CalibView::mouseMoveEvent(QMouseEvent* event) {
  Move(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void CalibView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) LeftUp(event->position().toPoint());
}

void CalibView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) DoubleClick(event->position().toPoint());
}

void CalibView::contextMenuEvent(QContextMenuEvent* event) {
  if (QGuiApplication::mouseButtons() & Qt::LeftButton) return;
  setFocus();
  QMenu menu(this);
  for (int id : {kFilter, kGamma, 0, kAllPointsOn, kAllPointsOff, kPositionPoints}) {
    if (id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(MenuText(id));
    bool enabled = false, checked = false;
    CommandState(id, enabled, checked);
    action->setEnabled(enabled);
    connect(action, &QAction::triggered, this, [this, id] { Command(id); });
  }
  menu.exec(event->globalPos());
}
