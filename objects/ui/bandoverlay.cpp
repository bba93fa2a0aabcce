#include "objects/ui/bandoverlay.h"

#include <QPainter>

#include "base/document.h"
#include "objects/ui/bildview.h"
#include "sequences/framesequence.h"

BandOverlay::BandOverlay(BildView* view) : QWidget(view ? view->viewport() : nullptr), view_(view) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  hide();
}

void BandOverlay::Show(Kind kind, float a, float b, float c, float d) {
  kind_ = kind;
  v_[0] = a;
  v_[1] = b;
  v_[2] = c;
  v_[3] = d;
  if (parentWidget()) setGeometry(parentWidget()->rect());
  show();
  raise();
  update();
}

void BandOverlay::ShowLine(float x1, float y1, float x2, float y2) {
  Show(Kind::kLine, x1, y1, x2, y2);
}

void BandOverlay::ShowRect(float left, float top, float right, float bottom) {
  Show(Kind::kRect, left, top, right, bottom);
}

void BandOverlay::Clear() {
  kind_ = Kind::kNone;
  hide();
}

void BandOverlay::paintEvent(QPaintEvent*) {
  if (!view_ || kind_ == Kind::kNone) return;
  QPainter p(this);
  // White and black dashes stay visible on any picture, as the inverted band did.
  QPen pen(Qt::white, 1, Qt::DashLine);
  const QPoint a = view_->ImageToClient(v_[0], v_[1]);
  const QPoint b = view_->ImageToClient(v_[2], v_[3]);
  for (const QColor& colour : {QColor(Qt::black), QColor(Qt::white)}) {
    pen.setColor(colour);
    pen.setStyle(colour == Qt::black ? Qt::SolidLine : Qt::DashLine);
    p.setPen(pen);
    if (kind_ == Kind::kLine) {
      p.drawLine(a, b);
    } else {
      const QRect r = QRect(a, b).normalized();
      p.drawRect(r.adjusted(-1, -1, 0, 0));
      p.drawRect(r.adjusted(-2, -2, 1, 1));
    }
  }
}

BildView* ActiveBildView(Document& doc) {
  FrameSequence* active = doc.GetActiveFrameSequence();
  return active ? qobject_cast<BildView*>(active->view.data()) : nullptr;
}
