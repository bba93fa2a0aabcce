#include "analysis/units.h"

#include "analysis/analysis_ids.h"
#include "analysis/quantity.h"
#include "base/document.h"
#include "platform/strings.h"

namespace {

// The body-model quantities state their values in metres and seconds.
bool IsBodyModelQuantity(int code) {
  return code >= quantity::kImpulseX && code <= quantity::kTorsionMagnitude;
}

}  // namespace

void AnlWinUnits::Set(int c, const UnitsOrigin& units, const Document* document) {
  code = c;
  units_ = units;
  document_ = document;
  const QuantityInfo& q = Quantity(code);
  timeUnit = units.timeUnit;
  ordinateUnit = q.angle ? units.angleUnit : units.spaceUnit;
  abscissaKind = kAbscissaTime;
  if (q.fixedMetreSecond) {
    timeUnit = unit::kS;
    ordinateUnit = unit::kM;
  }
  if (code == quantity::kYOverX) {
    timeUnit = ordinateUnit;
    abscissaKind = kAbscissaX;
  }
  ordinateUnitName = units.UnitName(ordinateUnit);
  timeUnitName = units.UnitName(timeUnit);
  ordinateCaption = std::string(platform::LoadString(analysis_ids::kFirstQuantityCaption + code));
  abscissaCaption = abscissaKind == kAbscissaX ? "x" : "t";
}

float AnlWinUnits::FramesPerSecond() const {
  return document_ ? document_->GetFramesPerSecond() : 1.0f;
}

float AnlWinUnits::SpaceToUnit(float value) const {
  const QuantityInfo& q = Quantity(code);
  if (q.ratePower == 0 && !IsBodyModelQuantity(code))
    return units_.ToUnit(value, ordinateUnit, 1.0f);
  float d = value;
  for (int i = 0; i < q.spaceConversions; ++i) d = units_.DurationToUnit(d, ordinateUnit, 1.0f);
  return d;
}

float AnlWinUnits::SpaceFromUnit(float value) const {
  const QuantityInfo& q = Quantity(code);
  if (q.ratePower == 0 && !IsBodyModelQuantity(code))
    return units_.FromUnit(value, ordinateUnit, 1.0f);
  float d = value;
  for (int i = 0; i < q.spaceConversions; ++i) d = units_.DurationFromUnit(d, ordinateUnit, 1.0f);
  return d;
}

float AnlWinUnits::OrdinateToUnit(float value) const {
  if (value == kMissingValue) return value;
  float d = SpaceToUnit(value);
  for (int i = 0; i < Quantity(code).ratePower; ++i) d = PerFrameToPerTime(d);
  return d;
}

float AnlWinUnits::OrdinateFromUnit(float value) const {
  if (value == kMissingValue) return value;
  float d = value;
  for (int i = 0; i < Quantity(code).ratePower; ++i)
    d = units_.DurationToUnit(d, timeUnit, FramesPerSecond());
  return SpaceFromUnit(d);
}

float AnlWinUnits::FrameToTime(float frame) const {
  return units_.ToUnit(frame, timeUnit, FramesPerSecond());
}

float AnlWinUnits::PerFrameToPerTime(float value) const {
  return units_.DurationFromUnit(value, timeUnit, FramesPerSecond());
}

std::string AnlWinUnits::OrdinateUnitCaption() const {
  const QuantityInfo& q = Quantity(code);
  std::string unitPart;
  switch (q.captionUnit) {
    case CaptionUnit::kFixed:
      unitPart = q.fixedUnit;
      break;
    case CaptionUnit::kPerTime:
      unitPart = ordinateUnitName + "/" + timeUnitName;
      break;
    case CaptionUnit::kPerTimeSquared:
      unitPart = ordinateUnitName + "/" + timeUnitName + "²";
      break;
    case CaptionUnit::kOrdinate:
      unitPart = ordinateUnitName;
      break;
  }
  return ordinateCaption + " [" + unitPart + "]";
}

std::string AnlWinUnits::AbscissaUnitText() const { return "[" + timeUnitName + "]"; }

std::string AnlWinUnits::AbscissaCaptionWithUnit() const {
  return abscissaCaption + " " + AbscissaUnitText();
}
