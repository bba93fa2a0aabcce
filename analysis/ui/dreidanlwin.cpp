#include "analysis/ui/dreidanlwin.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>

#include <algorithm>
#include <cmath>

#include "analysis/analysis_ids.h"
#include "analysis/dreid/dreid_ids.h"
#include "analysis/ui/analysisfont.h"
#include "analysis/ui/qtplotcanvas.h"
#include "analysis/ui/winkelangebendb.h"
#include "base/document.h"
#include "base/messages.h"
#include "base/unitsorigin.h"
#include "platform/events.h"

namespace {

// The room kept free at each edge: one and a half scroll-bar widths.
constexpr double kMarginPerScrollBar = 1.5;

ColorValue ToColorValue(const QColor& c) {
  return Rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
             static_cast<std::uint8_t>(c.blue()));
}

double TextDiagonal(const QFont& font) {
  const QFontMetrics metrics(font);
  return std::hypot(metrics.horizontalAdvance(QStringLiteral("X")), metrics.height());
}

}  // namespace

DreiDAnlWin::DreiDAnlWin(QWidget* parent, const QString& title, int currentFrame,
                         Document* document)
    : QWidget(parent),
      PrintWindow(title),
      document_(document),
      serial_(document ? document->Serial() : 0),
      scene_(document),
      margin_(static_cast<int>(kMarginPerScrollBar *
                               style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this))) {
  setWindowTitle(title);
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  Rebuild(currentFrame, true);
}

DreiDAnlWin::~DreiDAnlWin() = default;

void DreiDAnlWin::TakeLook() {
  const QPalette& p = palette();
  scene_.SetBoxLook(g_UnitsOrigin.origin, ToColorValue(p.color(QPalette::Text)),
                    ToColorValue(p.color(QPalette::Disabled, QPalette::Text)));
}

SceneViewport DreiDAnlWin::ViewportFor(const QRect& target, const QFont& font) const {
  SceneViewport v;
  v.width = target.width();
  v.height = target.height();
  v.left = target.left();
  v.top = target.top();
  v.margin = margin_;
  v.textDiagonal = TextDiagonal(font);
  return v;
}

void DreiDAnlWin::ShowFitMessages(unsigned messages) const {
  const std::string title = PrintTitle().toStdString();
  if (messages & kWidthTooSmall)
    ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kWindowTooNarrow, title);
  if (messages & kHeightTooSmall)
    ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kWindowTooLow, title);
}

void DreiDAnlWin::Rebuild(int frame, bool reset) {
  TakeLook();
  // Until the window has its size there is nothing to fit and no size to complain about.
  scene_.SetViewport(ViewportFor(sized_ ? rect() : QRect(), AnalysisFont()));
  ShowFitMessages(scene_.Rebuild(static_cast<std::uint32_t>(std::max(frame, 0)), reset));
}

void DreiDAnlWin::RebuildCurves(int frame) {
  Rebuild(frame, true);
  Redraw(kRedrawAll);
}

void DreiDAnlWin::FontChanged() { Refit(); }

void DreiDAnlWin::Refit() {
  scene_.SetViewport(ViewportFor(rect(), AnalysisFont()));
  if (scene_.Extents().IsSet()) ShowFitMessages(scene_.FitZoom());
  Redraw(kRedrawAll);
}

bool DreiDAnlWin::GotoFrame(int frame) {
  unsigned flags = kRedrawFrame;
  if (!scene_.GotoFrame(static_cast<std::uint32_t>(std::max(frame, 0)), &flags)) return false;
  Redraw(flags);
  return true;
}

bool DreiDAnlWin::IsMinimised() const {
  for (const QWidget* w = this; w; w = w->parentWidget())
    if (w->isMinimized()) return true;
  return false;
}

void DreiDAnlWin::Redraw(unsigned flags) {
  if (painting_) return;
  // A minimised window draws nothing; it draws everything when it is shown again.
  if (IsMinimised()) {
    stale_ = true;
    return;
  }
  if (stale_ || image_.size() != size()) {
    image_ = QImage(size(), QImage::Format_RGB32);
    flags |= kRedrawAll;
  }
  stale_ = false;
  if (image_.isNull()) return;
  const bool fresh = !accumulate_ || (flags & (kRedrawAll | kRedrawView)) != 0;
  if (fresh) {
    image_.fill(palette().color(QPalette::Base));
    shownFrames_.clear();
  }
  bool labelsWritten = true;
  if (!scene_.CannotDraw()) {
    painting_ = true;
    QPainter painter(&image_);
    painter.setFont(AnalysisFont());
    scene_.ApplyAngles();
    QtPlotCanvas canvas(painter);
    labelsWritten = scene_.Draw(canvas, fresh);
    shownFrames_.push_back(scene_.CurrentFrame());
    painting_ = false;
  }
  update();
  if (!labelsWritten) ErrorMessage(analysis_ids::kDisplayFailure, dreid_ids::kTextNotDisplayed);
}

void DreiDAnlWin::ShowDialogAngles() const {
  if (!dialog_) return;
  dialog_->ShowAngles();
  dialog_->RepaintControls();
}

void DreiDAnlWin::OriginalView() {
  scene_.OriginalView();
  ShowDialogAngles();
  Redraw(kRedrawView);
}

void DreiDAnlWin::PaintTo(QPainter& painter, const QRect& target, bool printing) {
  if (!printing) {
    painter.drawImage(target, image_);
    return;
  }
  // A printout draws the picture afresh at the page's resolution: the box and every figure the
  // window shows, as the screen shows them but without the highlight of a picked edge.
  DreiDScene page = scene_;
  page.ReleasePick();
  page.SetViewport(ViewportFor(target, painter.font()));
  page.FitZoom();
  if (page.CannotDraw()) return;
  painter.save();
  painter.setClipRect(target);
  QtPlotCanvas canvas(painter);
  page.ApplyAngles();
  page.Draw(canvas, true);
  for (std::uint32_t frame : shownFrames_) {
    if (frame == page.CurrentFrame()) continue;
    page.Rebuild(frame, false);
    page.ApplyAngles();
    page.Draw(canvas, false);
  }
  painter.restore();
}

bool DreiDAnlWin::event(QEvent* event) {
  if (platform::MessageEvent* m = platform::AsMessage(event)) {
    if (m->message == dreid_ids::kRedrawMessage) {
      Redraw(static_cast<unsigned>(m->wParam));
      m->result = 1;
      return true;
    }
    if (m->message == dreid_ids::kOriginalViewMessage) {
      OriginalView();
      m->result = 1;
      return true;
    }
  }
  return QWidget::event(event);
}

void DreiDAnlWin::paintEvent(QPaintEvent*) {
  if (stale_ || image_.size() != size()) Redraw(kRedrawAll);
  QPainter painter(this);
  PaintTo(painter, rect(), false);
}

void DreiDAnlWin::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  sized_ = true;
  Refit();
}

QPoint DreiDAnlWin::Confined(const QPoint& p) const {
  return QPoint(std::clamp(p.x(), 1, std::max(1, width() - 2)),
                std::clamp(p.y(), 1, std::max(1, height() - 2)));
}

void DreiDAnlWin::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
  lastMouse_ = event->position().toPoint();
  if (scene_.PickAxis(lastMouse_.x(), lastMouse_.y())) {
    rotateDrag_ = true;
    setCursor(Qt::SizeAllCursor);
  } else {
    zoomDrag_ = true;
    setCursor(Qt::SizeVerCursor);
  }
  Redraw(kRedrawAll);
}

void DreiDAnlWin::mouseMoveEvent(QMouseEvent* event) {
  const QPoint p = Confined(event->position().toPoint());
  if (p == lastMouse_) return;
  if (zoomDrag_) {
    const bool up = p.y() < lastMouse_.y();
    lastMouse_ = p;
    scene_.ZoomDrag(up);
    Redraw(kRedrawView);
  } else if (rotateDrag_) {
    scene_.RotateDrag(p.x(), p.y());
    ShowDialogAngles();
    Redraw(kRedrawView);
  }
}

void DreiDAnlWin::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
  if (!rotateDrag_ && !zoomDrag_) return;
  unsetCursor();
  if (rotateDrag_) scene_.ReleasePick();
  scene_.ForgetDrawn();
  rotateDrag_ = zoomDrag_ = false;
  Redraw(kRedrawAll);
}
