#pragma once

// AnlWinUnits: the units of one analysis window. Series hold internal units (millimetres or image
// pixels, radians, and every derivative per frame or per frame squared); this is the only place
// where a value becomes a display value: the ordinate and abscissa conversions, their inverses
// and the unit captions beside the axes. The missing value (the largest float) passes every
// conversion unchanged. Frame 1 is time 0.

#include <string>

#include "base/unitsorigin.h"

class Document;

class AnlWinUnits {
 public:
  // Abscissa kinds: frame numbers, or the x coordinate of quantity code 9.
  static constexpr int kAbscissaTime = 0;
  static constexpr int kAbscissaX = 9;

  // Sets every unit field for the quantity code from the user's units; the frame rate is read
  // from the document at each conversion (1.0 without one).
  void Set(int code, const UnitsOrigin& units, const Document* document);

  // Internal ordinate value to display value, and back (linear: it converts differences too).
  float OrdinateToUnit(float value) const;
  float OrdinateFromUnit(float value) const;
  // Frame number (or x coordinate for code 9) to display value.
  float FrameToTime(float frame) const;
  // A per-frame value times the frames of one time unit.
  float PerFrameToPerTime(float value) const;

  // "x' [m/s]", "Angle [°]", "Force magnitude [N]".
  std::string OrdinateUnitCaption() const;
  // "t" or "x"; "[s]"; and both joined as "t [s]" for measuring.
  const std::string& AbscissaCaption() const { return abscissaCaption; }
  std::string AbscissaUnitText() const;
  std::string AbscissaCaptionWithUnit() const;

  int code = 0;
  int abscissaKind = kAbscissaTime;
  int timeUnit = unit::kFrames;
  int ordinateUnit = unit::kMm;
  std::string ordinateUnitName;
  std::string timeUnitName;
  std::string ordinateCaption;
  std::string abscissaCaption = "t";

 private:
  float FramesPerSecond() const;
  // The space step of the ordinate conversion, forwards or backwards.
  float SpaceToUnit(float value) const;
  float SpaceFromUnit(float value) const;

  UnitsOrigin units_;
  const Document* document_ = nullptr;
};
