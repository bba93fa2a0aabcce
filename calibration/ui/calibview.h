#pragma once

// CalibView: the picture pane of the calibration window. It shows the camera's calibration frame
// (or its current video frame), zoomed or fitted to the pane, paints the model overlay over it,
// and lets the user drag the model frame's handles (model mode) or set single calibration points
// (points mode). Every change repaints the picture with its overlay; drags keep the mouse inside
// the pane.

#include <QAbstractScrollArea>
#include <QImage>

#include "calibration/calibzoom.h"

class Calibration;
class CalibrationHost;
class CalibrationWindow;

class CalibView : public QAbstractScrollArea {
  Q_OBJECT
 public:
  enum Mode { kModelMode = 0, kPointsMode = 1 };
  // Commands the view answers.
  static constexpr int kZoomIn = 24368, kZoomOut = 24369, kToggleFit = 24370, kFilter = 25010,
                       kGamma = 25011, kAllPointsOn = 25411, kAllPointsOff = 25412,
                       kPositionPoints = 25413;

  CalibView(CalibrationWindow& window, CalibrationHost& host, QWidget* parent);

  // Shows camera number: its calibration frame when one loads, else its video frame; the
  // caption names the file shown. Clears the selections and closes the open filter and gamma
  // dialogs, keeping what they chose for the picture shown before.
  void SetCalibrationFrame(int number);
  int Camera() const { return number_; }
  Calibration* CalibrationOnShow() const;
  const QString& Caption() const { return caption_; }

  void SetMode(int mode);
  int Mode() const { return mode_; }
  int SelectedHandle() const { return handle_; }
  bool FitToWindow() const { return fit_; }
  calibzoom::Zoom Zoom() const { return zoom_; }

  void Command(int id);
  // Whether id is one of the view's commands; then enabled and checked say its state.
  bool CommandState(int id, bool& enabled, bool& checked) const;

  // Image coordinates of a point of the pane.
  QPointF ToImage(QPoint p) const;

  // The mouse handlers, which tests drive with positions of the pane.
  void LeftDown(QPoint p);
  void Move(QPoint p, bool leftHeld);
  void LeftUp(QPoint p);
  void DoubleClick(QPoint p);

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void UpdateScroller();
  void FitZoom();
  QPoint Clamp(QPoint p) const;
  void SetHandleCursor(int handle);
  void PointsChanged();

  CalibrationWindow& window_;
  CalibrationHost& host_;
  int number_ = 0;
  QImage picture_;
  QString caption_;
  bool fit_ = true;
  bool dragPending_ = false;
  bool dragging_ = false;
  calibzoom::Zoom zoom_;
  int mode_ = kModelMode;
  int handle_ = -1;
  double lastX_ = 0, lastY_ = 0;
  calibzoom::Scroller scroller_;
};
