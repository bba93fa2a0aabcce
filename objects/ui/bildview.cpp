#include "objects/ui/bildview.h"

#include <QFocusEvent>
#include <QPainter>

#include "app/documentwindow.h"
#include "app/resource.h"
#include "platform/events.h"
#include "sequences/framesequence.h"
#include "sequences/ui/dibpaint.h"

namespace {
// The command that rebuilds a window's picture (the filter and gamma dialogs send it).
constexpr int kRebuildPicture = 24371;
}  // namespace

BildView::BildView(FrameSequence& sequence, QWidget* parent)
    : QWidget(parent), sequence_(sequence), frame_(&sequence) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(16, 16);
}

bool BildView::ShowFrame(int number) {
  const CDIB* dib = sequence_.ReadFrame(number);
  if (!dib) return false;
  if (!hasImage_) frame_.SetupImage();
  hasImage_ = frame_.PrepareImage(dib) != nullptr;
  update();
  return hasImage_;
}

void BildView::UpdateImage() {
  if (!hasImage_) return;
  frame_.PrepareImage(&sequence_.FrameBitmap());
  update();
}

int BildView::NotifyDocument(int code, std::intptr_t parameter) {
  Resource* doc = sequence_.document;
  auto* window = doc ? dynamic_cast<QObject*>(doc->Window()) : nullptr;
  if (!window) return 0;
  return static_cast<int>(platform::SendMessage(window, WM_VIEWNOTIFY, code, parameter));
}

bool BildView::event(QEvent* e) {
  auto* m = platform::AsMessage(e);
  if (!m) return QWidget::event(e);
  if (m->message == WM_VNNOTIFY) {
    switch (m->wParam) {
      case vnShowFrame:
        m->result = ShowFrame(static_cast<int>(m->lParam)) ? 1 : 0;
        return true;
      case vnRepaintFrame:
        if (!hasImage_) ShowFrame(static_cast<int>(m->lParam));
        repaint();
        m->result = 1;
        return true;
      case vnPaletteChanged:
        update();
        m->result = 1;
        return true;
      default:
        return true;
    }
  }
  if (m->message == kRebuildPicture) {
    UpdateImage();
    m->result = 1;
    return true;
  }
  return QWidget::event(e);
}

QRect BildView::FitRect(const QRect& area) const {
  const int w = sequence_.Width(), h = sequence_.Height();
  if (w <= 0 || h <= 0 || area.isEmpty()) return area;
  const double aspect = sequence_.aspect > 0 ? sequence_.aspect : 1.0;
  const double imageW = w * aspect, imageH = h;
  const double scale = std::min(area.width() / imageW, area.height() / imageH);
  const int fitW = std::max(1, static_cast<int>(imageW * scale));
  const int fitH = std::max(1, static_cast<int>(imageH * scale));
  return QRect(area.x() + (area.width() - fitW) / 2, area.y() + (area.height() - fitH) / 2, fitW,
               fitH);
}

void BildView::PaintFrame(QPainter& painter, const QRect& target) {
  painter.fillRect(target, Qt::darkGray);
  if (!hasImage_) return;
  const QRect place = FitRect(target);
  zoomX_ = sequence_.Width() > 0 ? double(place.width()) / sequence_.Width() : 1.0;
  zoomY_ = sequence_.Height() > 0 ? double(place.height()) / sequence_.Height() : 1.0;
  PaintDib(painter, frame_.Image(), place, QRect(0, 0, sequence_.Width(), sequence_.Height()),
           true);
}

void BildView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintFrame(painter, rect());
  if (hasFocus()) {
    painter.setPen(QPen(palette().highlight().color(), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
  }
}

void BildView::focusInEvent(QFocusEvent* e) {
  NotifyDocument(DN_ACTIVEVIEW, reinterpret_cast<std::intptr_t>(&sequence_));
  NotifyDocument(DN_CURRENTOBJECTCHANGED);
  update();
  QWidget::focusInEvent(e);
}

void BildView::focusOutEvent(QFocusEvent* e) {
  update();
  QWidget::focusOutEvent(e);
}

void BildView::mousePressEvent(QMouseEvent*) { setFocus(Qt::MouseFocusReason); }

void BildView::mouseDoubleClickEvent(QMouseEvent*) { NotifyDocument(DN_TOGGLEZOOM); }
