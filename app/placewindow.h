#pragma once

// Where a tool window goes beside, below or over its reference window, kept on the screen.
// Rectangles are in screen pixels: left and top inclusive, right and bottom exclusive.

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

// Placement modes; any other mode centres.
inline constexpr int kPlaceCentre = 1;
inline constexpr int kPlaceRight = 2;
inline constexpr int kPlaceBelow = 3;

struct ScreenPoint {
  int x = 0, y = 0;
};

// The new top-left corner of window w placed by mode against reference r on a screen of
// screenWidth x screenHeight pixels: to the right of r (or to its left when that runs off the
// screen), below r (or above it), or centred over r; then shifted back onto the screen, the
// top-left corner winning for a window larger than the screen.
ScreenPoint PlaceRect(const ScreenRect& w, const ScreenRect& r, int mode, int screenWidth,
                      int screenHeight);
