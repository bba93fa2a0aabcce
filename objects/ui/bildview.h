#pragma once

// BildView: the image view of one image sequence. It reads the frames its document tells it to
// show, shows them zoomed to fit its window, and tells its document when it takes the focus or
// is double-clicked.

#include <QWidget>

#include "sequences/frame.h"

class FrameSequence;

class BildView : public QWidget {
  Q_OBJECT
 public:
  BildView(FrameSequence& sequence, QWidget* parent);

  FrameSequence& Sequence() const { return sequence_; }
  Frame& DisplayFrame() { return frame_; }
  double ZoomX() const { return zoomX_; }
  double ZoomY() const { return zoomY_; }

  // Reads frame number through the sequence and shows it; false when it cannot be read.
  bool ShowFrame(int number);
  // Rebuilds the displayed image from the current frame (filter and colour correction changed).
  void UpdateImage();
  // Paints the shown frame into target (the minimised document paints its picture this way).
  void PaintFrame(QPainter& painter, const QRect& target);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void mousePressEvent(QMouseEvent*) override;

 private:
  // The place of the frame in the window: as large as fits, keeping the pixels' proportions.
  QRect FitRect(const QRect& area) const;
  int NotifyDocument(int code, std::intptr_t parameter = 0);

  FrameSequence& sequence_;
  Frame frame_;
  double zoomX_ = 1.0;
  double zoomY_ = 1.0;
  bool hasImage_ = false;
};
