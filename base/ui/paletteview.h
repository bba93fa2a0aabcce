#pragma once

// PaletteView: the 256 entries of a display palette as a grid of 32 by 8 cells, row by row, in
// the colour-map editor. The control keeps a whole number of cells in each direction.

#include <QWidget>

#include <array>

#include "base/defaults.h"

// The entries of a display palette as the dialogs show them.
using PaletteColors = std::array<MapColor, 256>;

// The grey ramp every display palette starts as (entry i is i, i, i).
PaletteColors GreyRampPalette();

class PaletteView : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kColumns = 32, kRows = 8;

  PaletteView(QWidget* parent, const PaletteColors& colors);

  // The size of the largest whole grid inside size (at least one pixel a cell).
  static QSize WholeCells(QSize size);
  const PaletteColors& Colors() const { return colors_; }

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;

 private:
  PaletteColors colors_;
};
