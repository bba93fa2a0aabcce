#pragma once

// String ids of the settings section and its keys; the key names are their string-table texts.
namespace key {
inline constexpr int kSection = 3001;  // "Zorvatrack"
inline constexpr int kInitialPath = 3002;
inline constexpr int kDefaultColorMap = 3003;
inline constexpr int kLastFilterIndex = 3004;
inline constexpr int kDefaultAlgorithm = 3006;
inline constexpr int kAlgorithmSSD = 3007;
inline constexpr int kAlgorithmCrossCorrelation = 3008;
inline constexpr int kAlgorithmTextureTracking = 3009;
inline constexpr int kAlgorithmManual = 3010;
inline constexpr int kConnectionColor = 3011;
inline constexpr int kHorizontalLimit = 3012;
inline constexpr int kVerticalLimit = 3013;
inline constexpr int kTemplateXOffset = 3014;
inline constexpr int kTemplateYOffset = 3015;
inline constexpr int kTemplateWidth = 3016;
inline constexpr int kTemplateHeight = 3017;
inline constexpr int kTemplateShape = 3018;
inline constexpr int kMarkWidth = 3019;
inline constexpr int kMarkHeight = 3020;
inline constexpr int kMarkShape = 3021;
inline constexpr int kShapeFirst = 3022;  // "Rectangle" .. 3030 "FilledCircle", shape index 0..8
inline constexpr int kShapeLast = 3030;
inline constexpr int kOrigin = 3031;
inline constexpr int kSpaceUnits = 3032;
inline constexpr int kTimeUnits = 3033;
inline constexpr int kAngleUnits = 3034;
inline constexpr int kFloatingpointPrecision = 3035;
inline constexpr int kDelimeter = 3036;
inline constexpr int kFloatingpoint = 3037;
inline constexpr int kGammaFactorRed = 3039;
inline constexpr int kGammaFactorGreen = 3040;
inline constexpr int kGammaFactorBlue = 3041;
inline constexpr int kUseLinearCorrection = 3042;
inline constexpr int kDefaultUnits = 3043;
inline constexpr int kDefaultRatio = 3044;
inline constexpr int kThresholdSSD = 3050;
inline constexpr int kThresholdCROSS = 3051;
inline constexpr int kAdaptTemplate = 3055;
inline constexpr int kBreakOnBadMatch = 3060;
inline constexpr int kAutoSingleStep = 3070;
inline constexpr int kAlwaysTrackGrayscale = 3080;
inline constexpr int kInitialImportdataPath = 24300;
inline constexpr int kInitialImportdataDescrPath = 24301;
}  // namespace key
