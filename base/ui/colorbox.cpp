#include "base/ui/colorbox.h"

#include <QPainter>

#include "platform/ui/choosers.h"

namespace {
constexpr int kRaisedInset = 4;
constexpr int kPressedInsetLeftTop = 5;
constexpr int kPressedInsetRightBottom = 3;
}  // namespace

ColorBox::ColorBox(QWidget* parent, int id, const ColorPalette* palette)
    : QAbstractButton(parent), palette_(palette) {
  setObjectName(QString::number(id));
  setFocusPolicy(Qt::StrongFocus);
}

void ColorBox::SetColorValue(const QColor& color) {
  color_ = color;
  update();
}

bool ColorBox::SetColor(QWidget* parent) {
  std::optional<QColor> chosen = platform::GetChoosers().ChooseColor(parent, color_);
  if (!chosen) return false;
  SetColorValue(*chosen);
  return true;
}

QSize ColorBox::sizeHint() const { return QSize(32, 24); }

void ColorBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  QRect r = rect();
  p.fillRect(r, pal.button());
  p.setBrush(Qt::NoBrush);
  p.setPen(pal.color(QPalette::WindowText));
  if (isEnabled() && hasFocus()) {
    p.drawRect(r.adjusted(0, 0, -1, -1));
    r.adjust(1, 1, -1, -1);
  }
  p.drawRect(r.adjusted(0, 0, -1, -1));
  r.adjust(1, 1, -1, -1);
  if (isEnabled() && isDown()) {
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    r.adjust(kPressedInsetLeftTop, kPressedInsetLeftTop, -kPressedInsetRightBottom,
             -kPressedInsetRightBottom);
  } else {
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.drawLine(r.topLeft() + QPoint(1, 1), r.topRight() + QPoint(-1, 1));
    p.drawLine(r.topLeft() + QPoint(1, 1), r.bottomLeft() + QPoint(1, -1));
    p.setPen(pal.color(QPalette::Dark));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.drawLine(r.bottomLeft() + QPoint(1, -1), r.bottomRight() + QPoint(-1, -1));
    p.drawLine(r.topRight() + QPoint(-1, 1), r.bottomRight() + QPoint(-1, -1));
    r.adjust(kRaisedInset, kRaisedInset, -kRaisedInset, -kRaisedInset);
  }
  QColor patch = isEnabled() ? color_ : pal.color(QPalette::Disabled, QPalette::WindowText);
  p.fillRect(r, patch);
}
