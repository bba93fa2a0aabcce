// The calibration data file as the program writes it: everything its reader takes back, so that
// a calibration made here outlives the session. Numbers are written in the shortest form that
// reads back as the same double; the names are relative to the file's own folder, the way the
// reader joins them.

#include <string>

#include "base/messages.h"
#include "base/savefile.h"
#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "platform/files.h"
#include "platform/numbers.h"

namespace {

constexpr int kFrameCorners = 8;

std::string Number(double v) { return platform::FormatShortest(v); }

std::string Line(const std::string& tag, const std::string& value) {
  return tag + ": " + value + "\n";
}

// A file name as the reader finds it again: relative to the data file's folder.
void AddName(std::string& text, const char* tag, const FileName& name, const FileName& dataFile) {
  if (name.IsNull()) return;
  text += Line(tag, dataFile.IsNull() ? name.Path() : name.ValueRelativeTo(dataFile));
}

}  // namespace

std::string Calibration::CalibrationDataText() const {
  std::string text = "# Zorvatrack generated file " + calibrationFile.NameExt() + "\n";
  text += "#\n# this file contains calibration data\n#\n\n";
  if (Has(kFlagCalibrationImage)) AddName(text, "CALIB_IMAGE", calibrationImage, calibrationFile);
  if (Has(kFlagCameraFile)) AddName(text, "CAMERA", cameraFile, calibrationFile);
  if (Has(kFlagModelFile)) AddName(text, "MODEL", modelFile, calibrationFile);
  text += Line("Calibrated", IsCalibrated() ? "1" : "0");
  text += Line("FullOptimized", Has(kFlagFullOptimized) ? "1" : "0");
  text += Line("GradientSearch", Has(kFlagGradientSearch) ? "1" : "0");
  text += Line("Cx", Number(camera.Cx));
  text += Line("Cy", Number(camera.Cy));
  text += Line("sx", Number(camera.sx));
  const std::pair<const char*, double> constants[] = {
      {"f", result.f},   {"kappa1", result.kappa1}, {"Tx", result.Tx}, {"Ty", result.Ty},
      {"Tz", result.Tz}, {"Rx", result.Rx},         {"Ry", result.Ry}, {"Rz", result.Rz}};
  for (const auto& [tag, value] : constants) text += Line(tag, Number(value));
  // A point without two numbers is read as not used.
  for (int i = 0; i < points.count; ++i) {
    const std::string tag = "POINT_" + std::to_string(i + 1);
    text +=
        Line(tag, points.used[i] != 0 ? Number(points.imageX[i]) + " " + Number(points.imageY[i])
                                      : std::string("unused"));
  }
  if (Has(kFlagFramePlaced)) {
    for (int k = 0; k < kFrameCorners; ++k)
      text +=
          Line("PROJPOINT_" + std::to_string(k + 1), Number(frameX[k]) + " " + Number(frameY[k]));
  }
  return text;
}

FileSave Calibration::WriteCalibrationFile() {
  const std::string text = CalibrationDataText();
  const std::string& path = calibrationFile.Path();
  if (!calibrationFile.IsNull() && !MayReplace(path, calibrationDataOnDisk)) return FileSave::kKept;
  // The old file stays as it was unless the whole new one could be written.
  if (!SaveFile(path, text)) return FileSave::kFailed;
  savedCalibrationData = text;
  calibrationDataOnDisk.Wrote(path, text);
  return FileSave::kWritten;
}

bool Calibration::CalibrationDataChanged() const {
  if (!Has(kFlagCalibrationFile) && !IsCalibrated()) return false;
  return CalibrationDataText() != savedCalibrationData;
}
