#pragma once

// String-table ids of the camera model's messages (texts in resources/strings/calibration.inc).

namespace calid {

// Solver failures, shown under kCalibrationError.
inline constexpr int kCalibrationError = 120;
inline constexpr int kMoreColumnsThanRows = 121;
inline constexpr int kDeterminantTooSmall = 122;
inline constexpr int kOutOfMemory = 123;
inline constexpr int kCoplanarZNotZero = 125;
inline constexpr int kUnexpectedError = 126;
inline constexpr int kEmptyMatrix = 127;
inline constexpr int kOutOfMemoryMatrix = 128;

// Camera-parameter file.
inline constexpr int kCameraFileError = 31010;
inline constexpr int kCameraFileCannotOpen = 31011;
inline constexpr int kCameraNcxMissing = 31013;
inline constexpr int kCameraNfxMissing = 31014;
inline constexpr int kCameraDxMissing = 31015;
inline constexpr int kCameraDyMissing = 31016;

// Model file and input/output.
inline constexpr int kModelFileCannotOpen = 31020;
inline constexpr int kModelFileError = 31022;
inline constexpr int kModelTooFewPoints = 31023;
inline constexpr int kInputOutputError = 31050;

}  // namespace calid
