#include "objects/templatedrag.h"

#include <algorithm>
#include <cmath>

namespace tpl {
namespace {

constexpr float kTolerance = 0.1f;

// A side from the difference of two edges: ceil, an even result plus 1.
int SideOf(float difference) {
  int side = static_cast<int>(std::ceil(difference));
  if (side % 2 == 0) ++side;
  return side;
}

int Capped(int side, int frameSide) {
  if (frameSide >= kMinimumSize) {
    const int largest = frameSide % 2 == 1 ? frameSide : frameSide - 1;
    side = std::min(side, largest);
  }
  return std::max(side, kMinimumSize);
}

}  // namespace

Cursor CursorOf(int zone) {
  switch (zone) {
    case kMove:
      return Cursor::kSizeAll;
    case kTop:
    case kBottom:
      return Cursor::kSizeVertical;
    case kLeft:
    case kRight:
      return Cursor::kSizeHorizontal;
    case kTopRight:
    case kBottomLeft:
      return Cursor::kSizeDiagonalUp;
    case kBottomRight:
    case kTopLeft:
      return Cursor::kSizeDiagonalDown;
    default:
      return Cursor::kArrow;
  }
}

Rect RectAround(const std::optional<std::pair<float, float>>& point, int width, int height,
                int xOffset, int yOffset) {
  if (!point) return {};
  Rect r;
  r.left = point->first + xOffset - width * 0.5f;
  r.top = point->second + yOffset - height * 0.5f;
  r.right = r.left + width;
  r.bottom = r.top + height;
  return r;
}

int HoverZone(const Rect& r, int width, int height, float x, float y) {
  if (!r.Valid()) return kNone;
  const float tx = kTolerance * width, ty = kTolerance * height;
  if (x < r.left - 2 * tx || x > r.right + 2 * tx || y < r.top - 2 * ty || y > r.bottom + 2 * ty)
    return kNone;
  const bool innerX = x >= r.left + tx && x <= r.right - tx;
  const bool innerY = y >= r.top + ty && y <= r.bottom - ty;
  if (innerX && innerY) return kMove;
  const bool atTop = y <= r.top + ty, atBottom = y >= r.bottom - ty;
  if (x > r.left + tx && x < r.right - tx) return atTop ? kTop : kBottom;
  if (x >= r.right - tx) return atTop ? kTopRight : atBottom ? kBottomRight : kRight;
  return atTop ? kTopLeft : atBottom ? kBottomLeft : kLeft;
}

int OddSize(long long value, int frameSide) {
  long long side = std::clamp<long long>(value, 0, 1 << 24);
  if (side % 2 == 0) ++side;
  return Capped(static_cast<int>(side), frameSide);
}

void DragTo(Geometry& g, int mode, float x, float y, float last[2], int frameWidth,
            int frameHeight) {
  Rect& r = g.rect;
  if (mode == kBottomRight || mode == kBottom || mode == kBottomLeft) {
    r.bottom = std::max(y, r.top + kMinimumSize);
    g.height = Capped(SideOf(r.bottom - r.top), frameHeight);
    r.bottom = r.top + g.height;
  }
  if (mode == kTop || mode == kTopRight || mode == kTopLeft) {
    r.top = std::min(y, r.bottom - kMinimumSize);
    g.height = Capped(SideOf(r.bottom - r.top), frameHeight);
    r.top = r.bottom - g.height;
  }
  if (mode == kTopRight || mode == kRight || mode == kBottomRight) {
    r.right = std::max(x, r.left + kMinimumSize);
    g.width = Capped(SideOf(r.right - r.left), frameWidth);
    r.right = r.left + g.width;
  }
  if (mode == kBottomLeft || mode == kLeft || mode == kTopLeft) {
    r.left = std::min(x, r.right - kMinimumSize);
    g.width = Capped(SideOf(r.right - r.left), frameWidth);
    r.left = r.right - g.width;
  }
  if (mode == kMove) {
    const int dx = static_cast<int>(x - last[0]), dy = static_cast<int>(y - last[1]);
    if (dx != 0 || dy != 0) {
      r.left += dx;
      r.right += dx;
      r.top += dy;
      r.bottom += dy;
      last[0] = x;
      last[1] = y;
    }
  }
  g.xOffset = static_cast<int>(r.left - g.pointX + g.width * 0.5f);
  g.yOffset = static_cast<int>(r.top - g.pointY + g.height * 0.5f);
}

}  // namespace tpl
