#include "analysis/quantity.h"

#include <array>

#include "analysis/analysis_ids.h"

namespace {

using enum CaptionUnit;

constexpr QuantityInfo kLength{false, 1, 0, false, kOrdinate, ""};
constexpr QuantityInfo kLengthRate{false, 1, 1, false, kPerTime, ""};
constexpr QuantityInfo kLengthRate2{false, 1, 2, false, kPerTimeSquared, ""};
constexpr QuantityInfo kAngle{true, 1, 0, false, kOrdinate, ""};
constexpr QuantityInfo kAngleRate{true, 1, 1, false, kPerTime, ""};
constexpr QuantityInfo kAngleRate2{true, 1, 2, false, kPerTimeSquared, ""};
constexpr QuantityInfo kImpulse{false, 1, 1, true, kFixed, "Ns"};
constexpr QuantityInfo kForce{false, 1, 2, true, kFixed, "N"};
constexpr QuantityInfo kMomentum{false, 2, 1, true, kFixed, "Nms"};
constexpr QuantityInfo kTorsion{false, 2, 2, true, kFixed, "Nm"};

constexpr std::array<QuantityInfo, quantity::kCount> kTable = {
    // 0..9: x, x', x'', y, y', y'', z, z', z'', y over x
    kLength, kLengthRate, kLengthRate2, kLength, kLengthRate, kLengthRate2, kLength, kLengthRate,
    kLengthRate2, kLength,
    // 10..13: resultants
    kLengthRate, kLengthRate, kLengthRate2, kLengthRate2,
    // 14..16: distance
    kLength, kLengthRate, kLengthRate2,
    // 17..28: angles in four planes
    kAngle, kAngleRate, kAngleRate2, kAngle, kAngleRate, kAngleRate2, kAngle, kAngleRate,
    kAngleRate2, kAngle, kAngleRate, kAngleRate2,
    // 29..37: centre of mass
    kLength, kLengthRate, kLengthRate2, kLength, kLengthRate, kLengthRate2, kLength, kLengthRate,
    kLengthRate2,
    // 38..41: centre-of-mass resultants
    kLengthRate, kLengthRate, kLengthRate2, kLengthRate2,
    // 42..57: impulse, force, moment of momentum, moment of torsion
    kImpulse, kImpulse, kImpulse, kImpulse, kForce, kForce, kForce, kForce, kMomentum, kMomentum,
    kMomentum, kMomentum, kTorsion, kTorsion, kTorsion, kTorsion};

}  // namespace

const QuantityInfo& Quantity(int code) {
  return code >= 0 && code < quantity::kCount ? kTable[code] : kLength;
}

std::optional<SeriesSlot> SeriesSlotOf(int code) {
  using namespace quantity;
  if (code == kYOverX) return SeriesSlot{1, 0};
  // The centre of mass plots its own x, y, z and their derivatives.
  if (code >= kCenterOfMassX && code < kCenterOfMassX + 9) code -= kCenterOfMassOffset;
  if (code >= kX && code <= kZ2) return SeriesSlot{code / 3, code % 3};
  // The body-model quantities plot a coordinate of their result sequence: X, Y, Z, magnitude.
  if (code >= kImpulseX && code <= kTorsionMagnitude) {
    const int axis = (code - kImpulseX) % 4;
    if (axis < 3) return SeriesSlot{axis, 0};
  }
  return std::nullopt;
}
