#pragma once

// Which reader opens a calibration frame, and the file it opens: a frame file is read through
// its ".bld" companion (whatever the case of its extension on disk).

#include <string>

enum class CalibrationFrameKind { kFrameFile, kVraw, kVr2, kVideo };

struct CalibrationFrameFile {
  CalibrationFrameKind kind;
  std::string path;
};

CalibrationFrameFile ResolveCalibrationFrame(const std::string& path);

// The file of path's folder and name with extension ext, compared without regard to case;
// path with the extension replaced by ext when no such file exists.
std::string FindCompanion(const std::string& path, const std::string& ext);
