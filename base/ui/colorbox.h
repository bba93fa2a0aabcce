#pragma once

// ColorBox: a button that shows a colour and lets the user pick another.

#include <QAbstractButton>
#include <QColor>

class ColorPalette;

class ColorBox : public QAbstractButton {
  Q_OBJECT
 public:
  ColorBox(QWidget* parent, int id, const ColorPalette* palette = nullptr);

  QColor Color() const { return color_; }
  void SetColorValue(const QColor& color);

  // Lets the user choose the colour in the colour dialog, starting from the current one; true
  // and repainted when the user confirmed, false (colour unchanged) otherwise.
  bool SetColor(QWidget* parent);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor color_ = Qt::black;
  // The palette the colour was matched against on palette displays; a Linux display shows true
  // colour, where the nearest palette entry of an exact colour is that colour itself.
  const ColorPalette* palette_;
};
