#pragma once

// UnitsOrigin: the display units the user chose and the image corner where coordinates start.
// Stored values stay in internal units: lengths in millimetres, times as frame numbers counted
// from 1 (or durations in frames), angles in radians. The conversions work in single precision;
// the missing value (the largest float) passes every scalar conversion unchanged.
//
// Unit indices: 0 mm, 1 cm, 2 m, 3 km, 4 inch, 5 feet, 6 miles, 7 pixel (lengths); 9 ms, 10 s,
// 11 h, 12 frames (times); 13 degree, 14 radian (angles). Index 8 is unused. The name of unit i
// is string 20151 + i.

#include <string>

enum OriginCorner : int {
  kOriginLeftTop = 0,
  kOriginRightTop = 1,
  kOriginLeftBottom = 2,
  kOriginRightBottom = 3
};

namespace unit {
inline constexpr int kMm = 0, kCm = 1, kM = 2, kKm = 3, kInch = 4, kFeet = 5, kMiles = 6,
                     kPixel = 7, kMs = 9, kS = 10, kH = 11, kFrames = 12, kDegree = 13,
                     kRadian = 14;
inline constexpr int kFirstName = 20151;  // string id of unit 0's name
}  // namespace unit

struct UnitsOrigin {
  int spaceUnit = unit::kMm;
  int timeUnit = unit::kFrames;
  int angleUnit = unit::kDegree;
  int imageViewUnit = unit::kPixel;
  int origin = kOriginLeftBottom;

  // Corners 1 and 3 put the origin at the right edge, 2 and 3 at the bottom edge.
  bool MirrorsX() const { return origin == kOriginRightTop || origin == kOriginRightBottom; }
  bool MirrorsY() const { return origin == kOriginLeftBottom || origin == kOriginRightBottom; }

  // A length, frame number or angle in display units; u < 0 means the space unit; frame 1 is
  // time 0. fps must not be 0.
  float ToUnit(float value, int u, float fps) const;
  // The same for durations in frames (no frame-1 offset).
  float DurationToUnit(float value, int u, float fps) const;
  float FromUnit(float value, int u, float fps) const;
  float DurationFromUnit(float value, int u, float fps) const;
  // A point in millimetres in length unit u (0..6), otherwise in the space unit.
  void VectorToUnit(float out[3], float x, float y, float z, int u) const;
  // The name of unit u; outside 0..14 the space unit's.
  std::string UnitName(int u) const;

  // Reads SpaceUnits, TimeUnits, AngleUnits and Origin from the settings (g_Profile); a word
  // that names nothing leaves its field as it is.
  void Read();
  // Writes the four keys.
  void Write() const;
};

// The largest float: a frame without a value.
inline constexpr float kMissingValue = 3.40282347e+38f;

// The factor that converts millimetres into length unit u (0..7).
double LengthFactor(int u);

// The program's one instance, made before the program entry runs.
extern UnitsOrigin g_UnitsOrigin;
