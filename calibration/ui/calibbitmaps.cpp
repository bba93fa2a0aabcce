#include "calibration/ui/calibbitmaps.h"

#include <QPainter>
#include <QPainterPath>

#include "base/ui/bitmaps.h"

namespace {

QColor Ink(QColor c, bool disabled) { return disabled ? QColor(160, 160, 160) : c; }

void Arrow(QPainter& p, bool left, bool off) {
  p.setPen(QPen(Ink(Qt::black, off), 0.8));
  p.setBrush(Ink(QColor(0, 110, 200), off));
  QPolygonF camera;
  camera << QPointF(4, 5) << QPointF(12, 5) << QPointF(12, 11) << QPointF(4, 11);
  p.drawPolygon(camera);
  p.setBrush(Ink(Qt::black, off));
  const qreal tip = left ? 0.5 : 15.5, back = left ? 4 : 12;
  QPolygonF arrow;
  arrow << QPointF(tip, 8) << QPointF(back, 5) << QPointF(back, 11);
  p.drawPolygon(arrow);
}

// A tick or cross on a disc, with "2" or "3" for the kind of divergence.
void Indicator(QPainter& p, bool within, const char* kind) {
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 0.6));
  p.setBrush(within ? QColor(0, 170, 0) : QColor(210, 0, 0));
  p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
  p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap));
  if (within) {
    p.drawLine(QPointF(4, 8.5), QPointF(7, 11.5));
    p.drawLine(QPointF(7, 11.5), QPointF(12, 4.5));
  } else {
    p.drawLine(QPointF(5, 5), QPointF(11, 11));
    p.drawLine(QPointF(11, 5), QPointF(5, 11));
  }
  QFont font = p.font();
  font.setPixelSize(5);
  font.setBold(true);
  p.setFont(font);
  p.setPen(Qt::white);
  p.drawText(QRectF(10, 10, 6, 6), Qt::AlignCenter, kind);
}

}  // namespace

void RegisterCalibrationBitmaps() {
  if (bitmaps::Has(25601)) return;
  bitmaps::Register(24507, [](QPainter& p, bool off) { Arrow(p, true, off); });
  bitmaps::Register(24508, [](QPainter& p, bool off) { Arrow(p, false, off); });
  // The exit picture (24505) is the one the print preview's bar shows too.
  bitmaps::Register(25010, [](QPainter& p, bool off) {
    p.setPen(QPen(Ink(Qt::black, off), 0.8));
    p.setBrush(Ink(QColor(230, 230, 230), off));
    QPolygonF funnel;
    funnel << QPointF(1.5, 2) << QPointF(14.5, 2) << QPointF(9.5, 8) << QPointF(9.5, 14)
           << QPointF(6.5, 12) << QPointF(6.5, 8);
    p.drawPolygon(funnel);
  });
  bitmaps::Register(25011, [](QPainter& p, bool off) {
    p.setPen(QPen(Ink(Qt::black, off), 0.8));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    QPainterPath curve(QPointF(2, 14));
    curve.cubicTo(QPointF(4, 5), QPointF(8, 3), QPointF(14, 2));
    p.setPen(QPen(Ink(QColor(0, 110, 200), off), 1.4));
    p.drawPath(curve);
  });
  bitmaps::Register(25601, [](QPainter& p, bool) { Indicator(p, true, "2"); });
  bitmaps::Register(25604, [](QPainter& p, bool) { Indicator(p, false, "2"); });
  bitmaps::Register(25602, [](QPainter& p, bool) { Indicator(p, true, "3"); });
  bitmaps::Register(25605, [](QPainter& p, bool) { Indicator(p, false, "3"); });
}
