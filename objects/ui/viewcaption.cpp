#include "objects/ui/viewcaption.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kPadding = 3;
}

ViewCaption::ViewCaption(const QString& title, QWidget* parent, std::function<void()> clicked)
    : QWidget(parent), title_(title), clicked_(std::move(clicked)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setToolTip(title);
}

int ViewCaption::HeightFor(const QWidget& parent) {
  return parent.fontMetrics().height() + 2 * kPadding;
}

void ViewCaption::SetActive(bool active) {
  if (active == active_) return;
  active_ = active;
  update();
}

void ViewCaption::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), active_ ? pal.color(QPalette::Active, QPalette::Highlight)
                             : pal.color(QPalette::Active, QPalette::Mid));
  p.setPen(active_ ? pal.color(QPalette::Active, QPalette::HighlightedText)
                   : pal.color(QPalette::Active, QPalette::Light));
  QFont bold = font();
  bold.setBold(true);
  p.setFont(bold);
  const QRect text = rect().adjusted(kPadding + 1, 0, -kPadding, 0);
  // The end of a long path is the file's name: that part stays.
  p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
             QFontMetrics(bold).elidedText(title_, Qt::ElideLeft, text.width()));
}

void ViewCaption::mousePressEvent(QMouseEvent* e) {
  e->accept();
  if (clicked_) clicked_();
}
