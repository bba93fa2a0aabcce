#pragma once

// DreiDAnlWin: the 3D stick-figure window. It shows the document's stick figure at the current
// frame in perspective inside a labelled box (analysis/dreidscene.h computes it), follows the
// document's frame, turns the picture while the user drags an axis edge or types angles in the
// angle panel beside it, and moves plane and eye nearer or farther while the user drags
// elsewhere.
//
// The picture is kept in an off-screen image, which the paint event shows. With "Single Frame"
// (the default) every redraw draws the image afresh; without it a frame change draws the new
// figure over the old ones, so the figures of all shown frames stay until the view changes.

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <cstdint>
#include <vector>

#include "analysis/dreid/dreidscene.h"
#include "platform/ui/printwindow.h"

class Document;
class WinkelAngebenDB;

class DreiDAnlWin : public QWidget, public platform::PrintWindow {
  Q_OBJECT
 public:
  DreiDAnlWin(QWidget* parent, const QString& title, int currentFrame, Document* document);
  ~DreiDAnlWin() override;

  // Builds the scene for the frame (with reset: plane, eye and zoom start again; the turns stay).
  // Shows the too-small messages it gives.
  void Rebuild(int frame, bool reset);
  // The document's points changed: rebuild with reset and draw everything again.
  void RebuildCurves(int frame);
  // The analysis font changed: the room of the labels is measured again and all is redrawn.
  void FontChanged();
  // Follows the document to the frame (kept within the figure's frames); false when it is the
  // frame shown.
  bool GotoFrame(int frame);
  // Draws the picture again (SceneRedraw flags) and schedules its showing.
  void Redraw(unsigned flags);
  // No turns, angles 0, plane and eye at their start.
  void OriginalView();

  // The angles are the angle panel's transfer buffer.
  ViewAngles& AngleStrings() { return scene_.Angles(); }
  void SetAngleDialog(WinkelAngebenDB* dialog) { dialog_ = dialog; }
  bool Accumulate() const { return accumulate_; }
  void SetAccumulate(bool on) { accumulate_ = on; }

  unsigned DocumentSerial() const { return serial_; }
  Document* GetDocument() const { return document_; }
  DreiDScene& Scene() { return scene_; }
  const QImage& Picture() const { return image_; }
  // The frames whose figures the picture holds (one without accumulation).
  const std::vector<std::uint32_t>& ShownFrames() const { return shownFrames_; }

  // The picture into target: the window's image on the screen; for a printout the box and every
  // shown figure drawn afresh, fitted to target.
  void PaintTo(QPainter& painter, const QRect& target, bool printing) override;
  QSize ScreenSize() const override { return size(); }
  unsigned PrintDocument() const override { return serial_; }

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // The viewport of a target rectangle with this window's margin and the text "X" in font.
  SceneViewport ViewportFor(const QRect& target, const QFont& font) const;
  void TakeLook();
  // Fits the zoom to the window's size and the font's labels, and draws everything again.
  void Refit();
  void ShowFitMessages(unsigned messages) const;
  bool IsMinimised() const;
  // The mouse position kept inside the window, as the drag is confined to it.
  QPoint Confined(const QPoint& p) const;
  void ShowDialogAngles() const;

  Document* document_;
  unsigned serial_;
  DreiDScene scene_;
  WinkelAngebenDB* dialog_ = nullptr;
  QImage image_;
  std::vector<std::uint32_t> shownFrames_;
  int margin_;
  bool accumulate_ = false;
  bool painting_ = false;
  bool stale_ = false;  // a redraw was left out while minimised
  bool sized_ = false;
  bool rotateDrag_ = false;
  bool zoomDrag_ = false;
  QPoint lastMouse_;
};
