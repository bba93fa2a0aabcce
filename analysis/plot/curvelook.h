#pragma once

// How a series or curve of an analysis window is drawn: its own colour and the colour it is
// drawn in (the highlight while it is selected), the pen, whether points are joined and marked,
// and whether it follows the window's style.

#include "analysis/analysis_ids.h"
#include "objects/canvas.h"

class CurveLook {
 public:
  CurveLook(ColorValue color, unsigned penWidth, unsigned penStyle, bool connect, bool markers)
      : ownColor_(color),
        drawingColor_(color),
        penWidth_(penWidth),
        penStyle_(penStyle),
        connect_(connect),
        markers_(markers) {}

  // With automatic set the call applies only while the entry follows the window's style;
  // without, it always applies and the entry stops following.
  void SetStyle(unsigned width, unsigned style, bool connect, bool markers, bool automatic) {
    if (automatic && !automaticStyle_) return;
    if (!automatic) automaticStyle_ = false;
    penWidth_ = width;
    penStyle_ = style;
    connect_ = connect;
    markers_ = markers;
  }
  unsigned PenWidth() const { return penWidth_; }
  unsigned PenStyle() const { return penStyle_; }
  bool Connect() const { return connect_; }
  bool Markers() const { return markers_; }
  bool IsAutomaticStyle() const { return automaticStyle_; }
  void SetAutomaticStyle(bool on) { automaticStyle_ = on; }
  ColorValue DrawingColor() const { return drawingColor_; }
  ColorValue OwnColor() const { return ownColor_; }

 protected:
  void SetOwnColor(ColorValue color) { ownColor_ = drawingColor_ = color; }
  void SetHighlightColor(bool on) { drawingColor_ = on ? kHighlightColor : ownColor_; }
  // Colours and pen of another look; whether this one follows the window stays.
  void TakeColoursAndPen(const CurveLook& o) {
    const bool automatic = automaticStyle_;
    *this = o;
    automaticStyle_ = automatic;
  }

  ColorValue ownColor_;
  ColorValue drawingColor_;
  unsigned penWidth_;
  unsigned penStyle_;
  bool connect_;
  bool markers_;
  bool automaticStyle_ = true;
};
