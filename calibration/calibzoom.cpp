#include "calibration/calibzoom.h"

#include <algorithm>

namespace calibzoom {

bool ZoomIn(Zoom& zoom) {
  const float z = std::max(zoom.x, zoom.y);
  for (float step : kSteps) {
    if (step > z) {
      zoom.x = zoom.y = step;
      return true;
    }
  }
  return false;
}

bool ZoomOut(Zoom& zoom) {
  const float z = std::min(zoom.x, zoom.y);
  int i = 0;
  while (i < kStepCount && kSteps[i] < z) ++i;
  if (i == 0) return false;
  zoom.x = zoom.y = kSteps[i - 1];
  return true;
}

float FitOffFactor(const Zoom& zoom) {
  const float z = std::max(zoom.x, zoom.y);
  for (float step : kSteps)
    if (step >= z) return step;
  return kSteps[kStepCount - 1];
}

bool CanZoomIn(const Zoom& zoom) { return !(zoom.x >= 32 && zoom.y >= 32); }
bool CanZoomOut(const Zoom& zoom) { return !(zoom.x <= 0.125f && zoom.y <= 0.125f); }

Scroller UpdateScroller(const Scroller& old, int imageW, int imageH, const Zoom& zoom, int clientW,
                        int clientH, bool hBarShown, bool vBarShown, int barW, int barH) {
  const double fx = old.rangeX > 0 ? double(old.posX) / old.rangeX : 0.5;
  const double fy = old.rangeY > 0 ? double(old.posY) / old.rangeY : 0.5;
  int excessW = static_cast<int>(imageW * zoom.x) - clientW;
  int excessH = static_cast<int>(imageH * zoom.y) - clientH;
  // The client excludes the bars now shown: measure against the whole area.
  if (hBarShown) excessH -= barH;
  if (vBarShown) excessW -= barW;
  if (excessW >= 1 && excessH >= 1) {
    excessW += barW;
    excessH += barH;
  } else if (excessW < 1 && excessH > 0) {
    excessW += barW;
    if (excessW > 0) excessH += barH;
  } else if (excessW >= 1 && excessH < 1) {
    excessH += barH;
    if (excessH > 0) excessW += barW;
  }
  Scroller s;
  s.rangeX = std::max(excessW, 0);
  s.rangeY = std::max(excessH, 0);
  s.posX = static_cast<int>(fx * s.rangeX);
  s.posY = static_cast<int>(fy * s.rangeY);
  s.pageX = clientW / 2;
  s.pageY = clientH / 2;
  s.lineX = zoom.x < 2 ? 1 : static_cast<int>(zoom.x);
  s.lineY = zoom.y < 2 ? 1 : static_cast<int>(zoom.y);
  return s;
}

}  // namespace calibzoom
