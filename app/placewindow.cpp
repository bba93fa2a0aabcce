#include "app/placewindow.h"

ScreenPoint PlaceRect(const ScreenRect& w, const ScreenRect& r, int mode, int screenWidth,
                      int screenHeight) {
  int width = w.Width();
  int height = w.Height();
  ScreenPoint p;
  if (mode == kPlaceRight) {
    p = {r.right, r.top};
    if (p.x + width > screenWidth) p.x = r.left - width;
  } else if (mode == kPlaceBelow) {
    p = {r.left, r.bottom};
    if (p.y + height > screenHeight) p.y = r.top - height;
  } else {
    // Integer halves round towards zero, as C division does.
    p = {r.left + (r.Width() - width) / 2, r.top + (r.Height() - height) / 2};
  }
  if (p.x + width > screenWidth) p.x -= p.x + width - screenWidth;
  if (p.y + height > screenHeight) p.y -= p.y + height - screenHeight;
  if (p.x < 0) p.x = 0;
  if (p.y < 0) p.y = 0;
  return p;
}
