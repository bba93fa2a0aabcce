#include "calibration/ui/modelpainter.h"

#include <QPainter>

#include "calibration/modeloverlay.h"

namespace {

QColor ColourOf(overlay::Colour c) {
  switch (c) {
    case overlay::Colour::kRed: return QColor(255, 0, 0);
    case overlay::Colour::kGreen: return QColor(0, 255, 0);
    case overlay::Colour::kBlue: return QColor(0, 0, 255);
    default: return QColor(255, 255, 255);
  }
}

}  // namespace

void PaintModel(QPainter& painter, const Calibration& c, int offX, int offY, float zx, float zy) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  for (const overlay::Shape& s : overlay::ModelShapes(c, offX, offY, zx, zy)) {
    const QColor colour = ColourOf(s.colour);
    // Inverting shapes: white combined by exclusive or, so they show on light and dark alike.
    painter.setCompositionMode(s.inverting ? QPainter::RasterOp_SourceXorDestination
                                           : QPainter::CompositionMode_SourceOver);
    painter.setPen(QPen(colour, s.penWidth));
    if (s.kind == overlay::Shape::kLine) {
      painter.setBrush(Qt::NoBrush);
      painter.drawLine(s.x1, s.y1, s.x2, s.y2);
    } else {
      painter.setBrush(colour);
      // The box's far edges are exclusive.
      painter.drawEllipse(QRect(QPoint(s.x1, s.y1), QPoint(s.x2 - 1, s.y2 - 1)));
    }
  }
  painter.restore();
}
