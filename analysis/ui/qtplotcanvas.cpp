#include "analysis/ui/qtplotcanvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <array>

namespace {

// The standard system palette: what a palette index means on a device without its own.
constexpr std::array<ColorValue, 20> kSystemPalette = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),     Rgb(0, 128, 0),     Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128),   Rgb(0, 128, 128),   Rgb(192, 192, 192),
    Rgb(192, 220, 192), Rgb(166, 202, 240), Rgb(255, 251, 240), Rgb(160, 160, 164),
    Rgb(128, 128, 128), Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),   Rgb(255, 255, 255)};

// Pen styles 0..4 (solid, dash, dot, dash-dot, dash-dot-dot).
constexpr std::array<Qt::PenStyle, 5> kQtPenStyles = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                                      Qt::DashDotLine, Qt::DashDotDotLine};

// Fills the polygon with the points, reusing its storage (a curve with many gaps draws many
// short pieces).
const QPolygon& ToPolygon(const std::vector<PlotPoint>& points, QPolygon& polygon) {
  polygon.resize(static_cast<int>(points.size()));
  QPoint* out = polygon.data();
  for (const PlotPoint& p : points) *out++ = QPoint(p.x, p.y);
  return polygon;
}

}  // namespace

QColor QtPlotCanvas::Color(ColorValue c) const {
  if ((c & 0xFF000000u) == kPaletteIndexFlag) {
    const std::size_t i = c & 0xFFFF;
    if (palette_ && i < palette_->size())
      return QColor((*palette_)[i].red, (*palette_)[i].green, (*palette_)[i].blue);
    if (!palette_ && i < kSystemPalette.size()) c = kSystemPalette[i];
  }
  return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}

QPen QtPlotCanvas::MakePen(const Pen& pen) const {
  const Qt::PenStyle style = pen.style >= 0 && pen.style < static_cast<int>(kQtPenStyles.size())
                                 ? kQtPenStyles[pen.style]
                                 : Qt::SolidLine;
  QPen q(Color(pen.color), pen.width <= 1 ? 0 : pen.width, style);
  q.setCapStyle(Qt::RoundCap);
  return q;
}

void QtPlotCanvas::UsePen(const Pen& pen) {
  if (current_ && *current_ == pen) return;
  painter_.setPen(MakePen(pen));
  current_ = pen;
}

void QtPlotCanvas::Line(int x1, int y1, int x2, int y2, const Pen& pen) {
  UsePen(pen);
  if (x1 == x2 && y1 == y2)
    painter_.drawPoint(x1, y1);
  else
    painter_.drawLine(x1, y1, x2, y2);
}

void QtPlotCanvas::Polyline(const std::vector<PlotPoint>& points, const Pen& pen) {
  UsePen(pen);
  painter_.drawPolyline(ToPolygon(points, polygon_));
}

void QtPlotCanvas::FilledPolygon(const std::vector<PlotPoint>& points, ColorValue color) {
  painter_.save();
  painter_.setPen(QPen(Color(color), 0));
  painter_.setBrush(Color(color));
  painter_.drawPolygon(ToPolygon(points, polygon_));
  painter_.restore();
  current_.reset();
}

bool QtPlotCanvas::MeasureText(const std::string& text, TextExtent& extent) {
  const QFontMetrics metrics(painter_.font());
  extent = {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
  return true;
}

bool QtPlotCanvas::DrawText(int x, int y, const std::string& text, int align, ColorValue color) {
  TextExtent e;
  MeasureText(text, e);
  const int left = (align & kAlignRight)     ? x - e.width
                   : (align & kAlignHCenter) ? x - e.width / 2
                                             : x;
  const int top = (align & kAlignBottom)    ? y - e.height
                  : (align & kAlignVCenter) ? y - e.height / 2
                                            : y;
  painter_.setPen(Color(color));
  current_.reset();
  painter_.drawText(QRect(left, top, e.width, e.height), Qt::AlignLeft | Qt::AlignTop,
                    QString::fromStdString(text));
  return true;
}

void QtPlotCanvas::SetOverlay(bool on) {
  painter_.setCompositionMode(on ? QPainter::RasterOp_NotSourceXorDestination
                                 : QPainter::CompositionMode_SourceOver);
}
