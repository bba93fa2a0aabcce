#pragma once

// BildView: the image view of one image sequence of a document. It shows the frame the document
// is on with the object sequences drawn over it, zooms in fixed steps or fits the frame to the
// window, scrolls, and takes the mouse and keys that set, move, pick and delete objects. Its
// commands reach it through the document window, which hands them to the active view.

#include <QAbstractScrollArea>
#include <QBasicTimer>

#include <cstdint>

#include "objects/viewmsgs.h"
#include "platform/commands.h"
#include "platform/ui/printwindow.h"
#include "sequences/frame.h"

class FrameSequence;
class Document;
class ViewCaption;

class BildView : public QAbstractScrollArea,
                 public platform::CommandTarget,
                 public platform::PrintWindow {
  Q_OBJECT
 public:
  BildView(FrameSequence& sequence, QWidget* parent);
  ~BildView() override;

  FrameSequence& Sequence() const { return sequence_; }
  Frame& DisplayFrame() { return frame_; }
  double ZoomX() const { return zoomX_; }
  double ZoomY() const { return zoomY_; }
  bool Fit() const { return fit_; }
  unsigned DisplayFlags() const { return displayFlags_; }
  // Hides the current object's template frame while the template panel drags its rectangle,
  // and shows it again; the picture is repainted at once.
  void ShowTemplateFrame(bool shown);
  int Pending() const { return state_.setting ? view::kSetObject : view::kIdle; }
  const view::SetState& Setting() const { return state_; }
  int ScrollX() const;
  int ScrollY() const;

  // Reads frame number through the sequence and prepares it; false when it cannot be read. A
  // frame the sequence cannot give without waiting (a video still counting its frames) is shown
  // once it can: meanwhile the view shows no picture and takes no points.
  bool ShowFrame(int number);
  // The frame the view waits for, 0 when none.
  int WaitingFor() const { return waitingFor_; }
  // Rebuilds the displayed image from the frame's current pixels and repaints.
  void UpdateImage();
  // Paints the shown frame into target (the minimised document paints its picture this way).
  void PaintFrame(QPainter& painter, const QRect& target);
  // The frame with its objects scaled into target: the view's own painting, the preview and the
  // printer. Only the part of the frame inside the painter's device is scaled on the screen.
  void PaintTo(QPainter& painter, const QRect& target, bool printing) override;
  // The size of the current frame bitmap; empty while there is none.
  QSize ScreenSize() const override;
  // The title bar above the picture.
  ViewCaption* Caption() const { return caption_; }

  // Image position of a client point, and client point of an image position.
  QPointF ClientToImage(QPointF client) const;
  QPoint ImageToClient(float x, float y) const;

  const platform::CommandTable& Commands() const override;

  // Commands.
  void CmZoomIn();
  void CmZoomOut();
  void CmToggleFit();
  void CmUpdateImage() { UpdateImage(); }
  void CmFilter();
  void CmGamma();
  void CmDisplay(int id);
  void CmCancel();
  void CmSetObject();
  void CmDeleteObject();
  void CmEditObjectSequence();
  void CmBodyModel(int id);
  void CmDevCaps();
  void CeZoomIn(platform::CommandEnabler& ce);
  void CeZoomOut(platform::CommandEnabler& ce);
  void CeToggleFit(platform::CommandEnabler& ce);
  void CeDisplay(platform::CommandEnabler& ce);
  void CeNotMinimised(platform::CommandEnabler& ce);
  void CeSetObject(platform::CommandEnabler& ce);
  void CeDeleteObject(platform::CommandEnabler& ce);
  void CeBodyModel(platform::CommandEnabler& ce);

  // The mouse, by image position (the window's handlers convert and call these).
  virtual void EvLButtonDown(unsigned keys, QPointF client);
  virtual void EvLButtonUp(unsigned keys, QPointF client);
  virtual void EvRButtonDown(unsigned keys, QPointF client);
  virtual void EvLButtonDblClk(unsigned keys, QPointF client);
  virtual void EvMouseMove(unsigned keys, QPointF client);
  void EvTimer();

 protected:
  bool event(QEvent* event) override;
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void focusInEvent(QFocusEvent*) override;
  void focusOutEvent(QFocusEvent*) override;
  void keyPressEvent(QKeyEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  bool viewportEvent(QEvent*) override;
  void timerEvent(QTimerEvent*) override;

 private:
  Document* GetDocument() const;
  // Reads the document's current frame when the view does not hold it yet.
  void FollowDocumentFrame();
  // Shows no picture until frame `number` can be read without waiting; the timer looks again.
  void WaitForFrame(int number);
  void PaintWaiting(QPainter& painter, const QRect& client);
  // The frame and its objects with the image's top left at origin, scaled by zx, zy; only the
  // part under visible is drawn.
  void PaintScaled(QPainter& painter, QPoint origin, double zx, double zy, const QRect& visible);
  bool Minimised() const;
  int NotifyDocument(int code, std::intptr_t parameter = 0);
  int NotifyAt(int code, QPointF image);
  void SetZoom(double z);
  void FitToClient();
  void ResetScroller();
  void BeginDrag();
  void EndDrag();
  void ShowPosition(QPointF image);
  double Tolerance() const { return (zoomX_ + zoomY_) * 0.5; }
  void SendToDocument(int command);
  // The document's other image view whose picture lies under a global position, or null.
  BildView* OtherViewAt(QPointF global) const;
  // Ends this view's setting (its point goes back) and starts setting in view instead.
  void HandSettingTo(BildView* view);

  FrameSequence& sequence_;
  Frame frame_;
  bool hasImage_ = false;
  bool fit_ = true;
  double zoomX_ = 1.0;
  double zoomY_ = 1.0;
  unsigned displayFlags_ = view::kInitialDisplayFlags;
  view::SetState state_;
  QBasicTimer holdTimer_;
  int waitingFor_ = 0;  // the frame the view waits for, 0 when it waits for none
  QBasicTimer waitTimer_;
  ViewCaption* caption_ = nullptr;
  bool dragging_ = false;
};
