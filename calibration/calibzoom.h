#pragma once

// Zoom and scroll arithmetic of the calibration view: the zoom steps, the fit-to-window toggle,
// the scroll ranges that leave room for the scroll bars, and window-to-image coordinates.

namespace calibzoom {

inline constexpr int kStepCount = 11;
inline constexpr float kSteps[kStepCount] = {0.125f, 0.25f, 0.5f, 1, 2, 3, 4, 6, 8, 16, 32};

struct Zoom {
  float x = 1.0f;
  float y = 1.0f;
};

// The next step above the larger factor for both axes; false (unchanged) at the top.
bool ZoomIn(Zoom& zoom);
// The step below the first step not less than the smaller factor; false at the bottom.
bool ZoomOut(Zoom& zoom);
// Leaving fit-to-window: the first step not less than the larger factor (32 above the top).
float FitOffFactor(const Zoom& zoom);
bool CanZoomIn(const Zoom& zoom);
bool CanZoomOut(const Zoom& zoom);

struct Scroller {
  int rangeX = 0, rangeY = 0;  // scrollable excess, pixels
  int posX = 0, posY = 0;
  int pageX = 0, pageY = 0;
  int lineX = 1, lineY = 1;
};

// The scroller for a picture of imageW x imageH pixels at zoom in a client of clientW x clientH
// (without the bars currently shown), keeping the relative scroll positions. barW is the
// vertical bar's width, barH the horizontal bar's height.
Scroller UpdateScroller(const Scroller& old, int imageW, int imageH, const Zoom& zoom, int clientW,
                        int clientH, bool hBarShown, bool vBarShown, int barW, int barH);

// Image coordinates of window point (px, py).
inline double ImageX(int scroll, int px, float zoom) { return (scroll + px) / double{zoom}; }
inline double ImageY(int scroll, int py, float zoom) { return (scroll + py) / double{zoom}; }

}  // namespace calibzoom
