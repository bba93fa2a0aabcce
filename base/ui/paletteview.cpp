#include "base/ui/paletteview.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>

namespace {
constexpr int kCellSide = 6;
}

PaletteColors GreyRampPalette() {
  PaletteColors ramp;
  for (int i = 0; i < static_cast<int>(ramp.size()); ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    ramp[i] = MapColor{v, v, v};
  }
  return ramp;
}

PaletteView::PaletteView(QWidget* parent, const PaletteColors& colors)
    : QWidget(parent), colors_(colors) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(kColumns, kRows);
}

QSize PaletteView::WholeCells(QSize size) {
  return {std::max(1, size.width() / kColumns) * kColumns,
          std::max(1, size.height() / kRows) * kRows};
}

QSize PaletteView::sizeHint() const { return {kColumns * kCellSide, kRows * kCellSide}; }

void PaletteView::resizeEvent(QResizeEvent* event) {
  // The layout may give any size: the grid takes the whole cells of it, from the top left.
  const QSize whole = WholeCells(event->size());
  if (whole != event->size()) resize(whole);
}

void PaletteView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QSize whole = WholeCells(size());
  const int w = whole.width() / kColumns, h = whole.height() / kRows;
  p.fillRect(rect(), palette().window());
  for (int i = 0; i < kColumns * kRows; ++i) {
    const MapColor& c = colors_[i];
    p.fillRect((i % kColumns) * w, (i / kColumns) * h, w, h, QColor(c.red, c.green, c.blue));
  }
}
