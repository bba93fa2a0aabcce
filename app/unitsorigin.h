#pragma once

// UnitsOrigin: the display units the user chose and the image corner where coordinates start.
// Stored values stay in internal units (millimetres, frames counted from 1, radians).

// Origin corners.
enum OriginCorner : int { kOriginLeftTop = 0, kOriginRightTop = 1, kOriginLeftBottom = 2, kOriginRightBottom = 3 };

struct UnitsOrigin {
  int spaceUnit = 0;       // mm
  int timeUnit = 12;       // frames
  int angleUnit = 13;      // degree
  int imageViewUnit = 7;   // pixel
  int origin = kOriginLeftBottom;

  // Corners 1 and 3 put the origin at the right edge, 2 and 3 at the bottom edge.
  bool MirrorsX() const { return origin == kOriginRightTop || origin == kOriginRightBottom; }
  bool MirrorsY() const { return origin == kOriginLeftBottom || origin == kOriginRightBottom; }
};

// The program's one instance, made before the program entry runs.
extern UnitsOrigin g_UnitsOrigin;
