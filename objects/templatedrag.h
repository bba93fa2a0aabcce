#pragma once

// The template rectangle of the template panel: where it lies around the current point, which
// zone of it the mouse is over, and how dragging an edge, a corner or the whole of it changes
// the template's size and offsets. Sizes always end odd and at least 3 pixels, and never larger
// than the frame.

#include <optional>
#include <utility>

class Template;

namespace tpl {

// The value of all four edges when the point has no position at the current frame.
inline constexpr float kNoRectangle = 999999.0f;
inline constexpr int kMinimumSize = 3;

// Hover zones and drag modes: 0 none, 1 top, 2 top-right, 3 right, 4 bottom-right, 5 bottom,
// 6 bottom-left, 7 left, 8 top-left, 9 move.
enum Zone : int {
  kNone = 0,
  kTop = 1,
  kTopRight = 2,
  kRight = 3,
  kBottomRight = 4,
  kBottom = 5,
  kBottomLeft = 6,
  kLeft = 7,
  kTopLeft = 8,
  kMove = 9,
};

// The cursor a zone shows.
enum class Cursor {
  kArrow,
  kSizeAll,
  kSizeVertical,
  kSizeHorizontal,
  kSizeDiagonalUp,
  kSizeDiagonalDown
};
Cursor CursorOf(int zone);

struct Rect {
  float left = kNoRectangle, top = kNoRectangle, right = kNoRectangle, bottom = kNoRectangle;
  bool Valid() const { return left != kNoRectangle; }
};

// The size and offsets being edited, with the point they are placed around.
struct Geometry {
  int width = 0, height = 0, xOffset = 0, yOffset = 0;
  Rect rect;
  float pointX = 0, pointY = 0;
};

// The rectangle around a point: left = x + x offset - width / 2 and so on; no point gives the
// no-rectangle value.
Rect RectAround(const std::optional<std::pair<float, float>>& point, int width, int height,
                int xOffset, int yOffset);

// The zone of the rectangle at (x, y), with tolerances of a tenth of the size.
int HoverZone(const Rect& r, int width, int height, float x, float y);

// A size typed or dragged: odd, at least 3 and at most the (odd) frame side.
int OddSize(long long value, int frameSide);

// One mouse move of a drag in mode; last is the last drag point of a move (mode 9) and follows
// the mouse. Sizes end odd and at least 3; offsets follow the rectangle.
void DragTo(Geometry& g, int mode, float x, float y, float last[2], int frameWidth,
            int frameHeight);

}  // namespace tpl
