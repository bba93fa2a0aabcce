#include "base/ui/gadgets.h"

#include <QAction>
#include <QPainter>
#include <QStyle>

#include "base/buttonrules.h"

namespace {
constexpr int kIconSize = 16;
constexpr int kButtonSize = 24;
// A separator without a height of its own is as high as four frame widths.
constexpr int kFrameUnits = 4;
}  // namespace

TFlatButtonGadget::TFlatButtonGadget(QAction* action, QWidget* parent) : QToolButton(parent) {
  setDefaultAction(action);
  setAutoRaise(true);
  setIconSize(QSize(kIconSize, kIconSize));
  setFixedSize(kButtonSize, kButtonSize);
  setFocusPolicy(Qt::NoFocus);
  setObjectName(QString::number(action->data().toInt()));
}

void TFlatButtonGadget::enterEvent(QEnterEvent* event) {
  QToolButton::enterEvent(event);
  mouseOver_ = true;
  update();
}

void TFlatButtonGadget::leaveEvent(QEvent* event) {
  mouseOver_ = false;
  update();
  QToolButton::leaveEvent(event);
}

void TFlatButtonGadget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  bool up = !isChecked();
  FlatBorder border = FlatBorderFor(mouseOver_, isEnabled(), isDown(), up);
  QRect r = rect();
  if (border != FlatBorder::kNone) {
    const QPalette& pal = palette();
    if (border == FlatBorder::kSunken) painter.fillRect(r.adjusted(1, 1, -1, -1), pal.midlight());
    QColor topLeft =
        border == FlatBorder::kSunken ? pal.color(QPalette::Dark) : pal.color(QPalette::Light);
    QColor bottomRight =
        border == FlatBorder::kSunken ? pal.color(QPalette::Light) : pal.color(QPalette::Dark);
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
  }
  QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  QPoint offset = border == FlatBorder::kSunken ? QPoint(1, 1) : QPoint(0, 0);
  QRect iconRect(QPoint(0, 0), iconSize());
  iconRect.moveCenter(r.center() + offset);
  icon().paint(&painter, iconRect, Qt::AlignCenter, mode);
}

TFlatSeparatorGadget::TFlatSeparatorGadget(int size, int height, QWidget* parent)
    : QWidget(parent) {
  int h = height ? height : kFrameUnits * style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  setFixedWidth(size);
  setMinimumHeight(h);
}

void TFlatSeparatorGadget::paintEvent(QPaintEvent*) {
  // An etched groove at the right edge of the left half: the middle of the gap.
  QPainter painter(this);
  int x = width() / 2;
  painter.setPen(palette().color(QPalette::Dark));
  painter.drawLine(x, 2, x, height() - 3);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawLine(x + 1, 2, x + 1, height() - 3);
}
