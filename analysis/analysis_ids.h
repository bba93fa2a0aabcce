#pragma once

// Ids of the kinematic analysis: string-table entries of its messages and captions, the quantity
// codes of the analysis windows and the colour of a selected series.

#include <cstdint>

namespace analysis_ids {

// Messages. Every message of one window carries the caption kDisplayFailure.
inline constexpr int kDisplayFailure = 32000;     // "Failure in display of analysis"
inline constexpr int kAxisCaptionFailed = 32001;  // "%s\nCaption on the axis ..."
inline constexpr int kHorizontalFitImpossible = 32003;
inline constexpr int kVerticalFitImpossible = 32004;
inline constexpr int kOutOfMemory = 32010;  // "%s\nToo little main memory available. ..."
inline constexpr int kWindowTooLow = 32011;
inline constexpr int kWindowTooNarrow = 32012;
inline constexpr int kApproximationFailure = 32016;
inline constexpr int kNoValuesToApproximate = 32017;
inline constexpr int kReducePolynomialOrder = 32018;
inline constexpr int kUndefinedCondition = 32020;  // "Undefined programm condition in module %s"
inline constexpr int kTooFewToSmooth = 32021;
inline constexpr int kNoResultant = 32026;
inline constexpr int kNoDistance = 32027;
inline constexpr int kNoAngle = 32028;
inline constexpr int kOrdinateScaleLimited = 32038;
inline constexpr int kAbscissaScaleLimited = 32039;
inline constexpr int kGapCaption = 32048;  // "%s-coordinate. %d. gap  %s"

// The caption of quantity code c is string kFirstQuantityCaption + c.
inline constexpr int kFirstQuantityCaption = 32101;

}  // namespace analysis_ids

// Quantity codes (AnalysisKind) 0..57: the analysis command id minus 25301.
namespace quantity {
inline constexpr int kX = 0, kX1 = 1, kX2 = 2, kY = 3, kY1 = 4, kY2 = 5, kZ = 6, kZ1 = 7, kZ2 = 8;
inline constexpr int kYOverX = 9;
inline constexpr int kResultingVelocity = 10, kAbsResultingVelocity = 11;
inline constexpr int kResultingAcceleration = 12, kAbsResultingAcceleration = 13;
inline constexpr int kDistance = 14, kDistance1 = 15, kDistance2 = 16;
inline constexpr int kAngle = 17, kLastAngle = 28;
inline constexpr int kCenterOfMassX = 29, kCenterOfMassLast = 41;
inline constexpr int kCmResultingVelocity = 38, kCmAbsResultingVelocity = 39;
inline constexpr int kCmResultingAcceleration = 40, kCmAbsResultingAcceleration = 41;
inline constexpr int kImpulseX = 42, kForceX = 46, kMomentOfMomentumX = 50, kTorsionX = 54;
inline constexpr int kImpulseMagnitude = 45, kForceMagnitude = 49;
inline constexpr int kMomentOfMomentumMagnitude = 53, kTorsionMagnitude = 57;
inline constexpr int kCount = 58;
// The centre-of-mass codes 29..37 select the same arrays as 0..8.
inline constexpr int kCenterOfMassOffset = 29;
}  // namespace quantity

// The drawing colour of the selected series or curve: pure red.
inline constexpr std::uint32_t kHighlightColor = 0x000000FF;
