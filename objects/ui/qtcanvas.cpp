#include "objects/ui/qtcanvas.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// Qt measures arc angles in sixteenths of a degree.
constexpr double kSixteenthsPerRadian = 16.0 * 180.0 / std::numbers::pi;

Qt::PenStyle QtStyle(int style) {
  switch (style) {
    case kPenDash:
      return Qt::DashLine;
    case kPenDot:
      return Qt::DotLine;
    case kPenDashDot:
      return Qt::DashDotLine;
    case kPenDashDotDot:
      return Qt::DashDotDotLine;
    default:
      return Qt::SolidLine;
  }
}

}  // namespace

namespace {

QColor ToQColor(ColorValue c, const std::vector<PaletteEntry>* palette) {
  if ((c & 0xFF000000u) == kPaletteIndexFlag && palette) {
    const std::size_t i = c & 0xFFFF;
    if (i < palette->size())
      return QColor((*palette)[i].red, (*palette)[i].green, (*palette)[i].blue);
  }
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

}  // namespace

void QtCanvas::FrameRect(int left, int top, int right, int bottom, ColorValue color) {
  if (right <= left || bottom <= top) return;
  painter_.save();
  painter_.setPen(QPen(ToQColor(color, palette_), 1));
  painter_.setBrush(Qt::NoBrush);
  painter_.drawRect(left, top, right - left - 1, bottom - top - 1);
  painter_.restore();
}

void QtCanvas::FillRect(int left, int top, int right, int bottom, ColorValue color) {
  painter_.fillRect(left, top, right - left, bottom - top, ToQColor(color, palette_));
}

void QtCanvas::Ellipse(int left, int top, int right, int bottom, const Pen& pen,
                       std::optional<ColorValue> fill) {
  painter_.save();
  painter_.setPen(QPen(ToQColor(pen.color, palette_), pen.width, QtStyle(pen.style)));
  painter_.setBrush(fill ? QBrush(ToQColor(*fill, palette_)) : QBrush(Qt::NoBrush));
  painter_.drawEllipse(left, top, right - left - 1, bottom - top - 1);
  painter_.restore();
}

void QtCanvas::Line(int x1, int y1, int x2, int y2, const Pen& pen) {
  painter_.save();
  painter_.setPen(QPen(ToQColor(pen.color, palette_), pen.width, QtStyle(pen.style)));
  painter_.drawLine(x1, y1, x2, y2);
  painter_.restore();
}

void QtCanvas::SetPixel(int x, int y, ColorValue color) {
  painter_.save();
  painter_.setPen(QPen(ToQColor(color, palette_), 1));
  painter_.drawPoint(x, y);
  painter_.restore();
}

void QtCanvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2,
                   const Pen& pen) {
  const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
  // Angles counter-clockwise with y pointing up, as Qt takes them.
  const double a1 = std::atan2(cy - y1, x1 - cx);
  double span = std::atan2(cy - y2, x2 - cx) - a1;
  if (span <= 0) span += 2 * std::numbers::pi;
  painter_.save();
  painter_.setPen(QPen(ToQColor(pen.color, palette_), pen.width, QtStyle(pen.style)));
  painter_.drawArc(left, top, right - left, bottom - top,
                   static_cast<int>(a1 * kSixteenthsPerRadian),
                   static_cast<int>(span * kSixteenthsPerRadian));
  painter_.restore();
}
