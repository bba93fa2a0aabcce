#pragma once

// BandOverlay: the rubber band of a drag drawn over an image view, a line (a connection being
// dragged) or two nested rectangles (the template being resized), in image pixels. It lies on
// the view's picture, lets the mouse through and follows the view's zoom and scrolling.

#include <QPointer>
#include <QWidget>

class BildView;

class BandOverlay : public QWidget {
  Q_OBJECT
 public:
  explicit BandOverlay(BildView* view);

  void ShowLine(float x1, float y1, float x2, float y2);
  void ShowRect(float left, float top, float right, float bottom);
  void Clear();
  bool Shown() const { return kind_ != Kind::kNone; }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  enum class Kind { kNone, kLine, kRect };
  void Show(Kind kind, float a, float b, float c, float d);

  QPointer<BildView> view_;
  Kind kind_ = Kind::kNone;
  float v_[4] = {0, 0, 0, 0};
};

// The image view of the document's active video, or null.
BildView* ActiveBildView(class Document& doc);
