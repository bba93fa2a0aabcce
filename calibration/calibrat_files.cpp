// The calibration's files: the camera-parameter file (read and written), the model file (read)
// and the calibration data file (read here, written in calibrat_write.cpp). Files may come from
// Windows: CR LF line ends, backslash paths with drive letters, names in another letter case.

#include <cctype>
#include <climits>
#include <cmath>
#include <ctime>
#include <string>

#include "base/dscparser.h"
#include "base/messages.h"
#include "base/savefile.h"
#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "platform/files.h"
#include "platform/linereader.h"
#include "platform/numbers.h"

namespace {

constexpr int kMinModelPoints = 8;
constexpr double kScaleToMm = 10.0;
// Longest file name and point value a calibration data file may give: a name as long as the
// system takes one.
constexpr std::size_t kNameSize = PATH_MAX;
constexpr std::size_t kValueSize = 100;
constexpr int kFrameCorners = 8;
// The part of a model-file line that is looked at: three numbers take far fewer characters.
constexpr std::size_t kMaxModelLine = 1000;

// Converts up to n numbers from the start of text as "%lf %lf ..." does: white space before each
// number is skipped. Returns how many converted.
int ScanDoubles(std::string_view text, double* out, int n) {
  int got = 0;
  while (got < n) {
    const std::size_t len = platform::NumberPrefixLength(text);  // white space included
    if (len == 0) break;
    out[got++] = platform::ParseDouble(text.substr(0, len));
    text.remove_prefix(len);
  }
  return got;
}

std::string TrimRight(std::string s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.pop_back();
  return s;
}

// The file to open for a name: the name itself, or a file whose name differs only in case.
std::string ExistingPath(const FileName& name) {
  if (name.IsNull()) return std::string();
  std::string found = platform::FindFileIgnoringCase(name.Path());
  return found.empty() ? name.Path() : found;
}

// A frame whose corners do not keep their sides is no placement.
bool FrameShapeValid(const double* x, const double* y) {
  return x[0] < x[1] && y[0] < y[3] && y[1] < y[2] && x[2] > x[3] && x[4] < x[5] && y[4] < y[7] &&
         y[5] < y[6] && x[6] > x[7];
}

std::string DateLine() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char buffer[64];
  // asctime's form, which ends in a line break.
  if (!asctime_r(&local, buffer)) return "\n";
  return buffer;
}

}  // namespace

bool Calibration::SetCameraFile(std::string_view name, bool reread, bool quiet) {
  cameraFile = FileName(name);
  SetFlag(kFlagCameraFile, true);
  if (!reread) return true;
  SetFlag(kFlagCalibrated, false);
  return ReadCameraFile(quiet);
}

bool Calibration::SetModelFile(std::string_view name, bool reread, bool quiet) {
  modelFile = FileName(name);
  SetFlag(kFlagModelFile, true);
  if (!reread) return true;
  return ReadModelFile(quiet);
}

void Calibration::SetCalibrationImage(std::string_view name) {
  calibrationImage = FileName(name);
  SetFlag(kFlagCalibrationImage, true);
  // The calibration view loads the new frame on its next use.
  calibrationFrame.reset();
  displayFrame.reset();
  framePalette.reset();
}

void Calibration::SetCalibrationFile(std::string_view name) {
  calibrationFile = FileName(name);
  // A name without a file yet holds nothing of this record.
  if (!ReadCalibrationFile()) savedCalibrationData.clear();
  SetFlag(kFlagCalibrationFile, true);
}

bool Calibration::ReadCameraFile(bool quiet) {
  camera.Cx = imageWidth * 0.5;
  camera.Cy = imageHeight * 0.5;
  camera.sx = 1.0;
  camera.dpx = lengthScale * kScaleToMm * aspect;
  camera.dpy = lengthScale * kScaleToMm;
  SetFlag(kFlagCameraRead, false);

  DSCParser parser(cameraFile.IsNull() ? std::string() : cameraFile.Path());
  if (!parser.IsOpen()) {
    if (!quiet)
      ErrorMessage(calid::kCameraFileError, calid::kCameraFileCannotOpen, cameraFile.Path());
    return false;
  }
  struct Required {
    const char* tag;
    double* field;
    int message;
  };
  const Required required[] = {{"Ncx", &camera.Ncx, calid::kCameraNcxMissing},
                               {"Nfx", &camera.Nfx, calid::kCameraNfxMissing},
                               {"dx", &camera.dx, calid::kCameraDxMissing},
                               {"dy", &camera.dy, calid::kCameraDyMissing}};
  for (const Required& r : required) {
    *r.field = 0;
    if (!parser.GetDouble(r.tag, *r.field, 0)) {
      ErrorMessage(calid::kCameraFileError, r.message, cameraFile.Path());
      return false;
    }
  }
  parser.GetDouble("Cx", camera.Cx, camera.Cx);
  parser.GetDouble("Cy", camera.Cy, camera.Cy);
  parser.GetDouble("sx", camera.sx, camera.sx);
  camera.dpx = camera.dx * camera.Ncx / (camera.Nfx == 0 ? 1.0 : camera.Nfx);
  camera.dpy = camera.dy;
  SetFlag(kFlagCameraRead, true);
  return true;
}

bool Calibration::ReadModelFile(bool quiet) {
  // Nothing of an earlier model may stay in use, also not in the slots the new one leaves free.
  points.Clear();
  platform::LineReader in =
      modelFile.IsNull() ? platform::LineReader() : platform::LineReader(ExistingPath(modelFile));
  if (!in.IsOpen()) {
    if (!quiet)
      ErrorMessage(calid::kInputOutputError, calid::kModelFileCannotOpen, modelFile.Path());
    return false;
  }
  int n = 0;
  // Read as it goes: the lines after the last point the model can hold are never read.
  for (std::string line; n < kMaxCalibrationPoints && in.ReadLine(line, kMaxModelLine);) {
    double xyz[3];
    if (ScanDoubles(line, xyz, 3) < 3) continue;
    points.worldX[n] = xyz[0];
    points.worldY[n] = xyz[1];
    points.worldZ[n] = xyz[2];
    points.used[n] = 0;
    ++n;
  }
  points.count = n;
  if (n < kMinModelPoints) {
    ErrorMessage(calid::kModelFileError, calid::kModelTooFewPoints, modelFile.Path());
    points.Clear();
    return false;
  }
  ClassifyModel();
  return true;
}

bool Calibration::ReadCalibrationFile() {
  // What the file holds now (or that there is none), for a save to tell another program's change.
  if (calibrationFile.IsNull())
    calibrationDataOnDisk.Clear();
  else
    calibrationDataOnDisk.Take(calibrationFile.Path());
  DSCParser parser(calibrationFile.IsNull() ? std::string() : calibrationFile.Path());
  if (!parser.IsOpen()) return false;

  std::string value;
  const auto fileTag = [&](const char* tag, std::string& path) {
    if (!parser.GetString(tag, value, kNameSize, "")) return false;
    path = FileName::ResolveAgainst(calibrationFile, TrimRight(value)).Path();
    return true;
  };
  std::string path;
  if (fileTag("CALIB_IMAGE", path)) SetCalibrationImage(path);
  if (fileTag("CAMERA", path)) SetCameraFile(path, true, false);
  if (fileTag("MODEL", path)) SetModelFile(path, true, false);

  SetFlag(kFlagCalibrated, false);
  int bit = 0;
  if (parser.GetInt("Calibrated", bit, 0)) SetFlag(kFlagCalibrated, (bit & 1) != 0);
  if (!Has(kFlagCameraRead)) SetFlag(kFlagCalibrated, false);
  if (parser.GetInt("FullOptimized", bit, 0)) SetFlag(kFlagFullOptimized, (bit & 1) != 0);
  if (parser.GetInt("GradientSearch", bit, 0)) SetFlag(kFlagGradientSearch, (bit & 1) != 0);

  parser.GetDouble("Cx", camera.Cx, camera.Cx);
  parser.GetDouble("Cy", camera.Cy, camera.Cy);
  parser.GetDouble("sx", camera.sx, camera.sx);

  struct Constant {
    const char* tag;
    double* field;
  };
  const Constant constants[] = {{"f", &result.f},   {"kappa1", &result.kappa1}, {"Tx", &result.Tx},
                                {"Ty", &result.Ty}, {"Tz", &result.Tz},         {"Rx", &result.Rx},
                                {"Ry", &result.Ry}, {"Rz", &result.Rz}};
  bool complete = true;
  for (const Constant& c : constants) {
    if (!parser.GetDouble(c.tag, *c.field, *c.field)) complete = false;
  }
  if (complete) {
    RotationFromAngles(result);
  } else {
    SetFlag(kFlagCalibrated, false);
  }

  for (int i = 0; i < points.count; ++i) {
    if (!parser.GetString("POINT_" + std::to_string(i + 1), value, kValueSize, "")) continue;
    double xy[2];
    const int got = ScanDoubles(value, xy, 2);
    if (got >= 1) points.imageX[i] = xy[0];
    if (got == 2) points.imageY[i] = xy[1];
    points.used[i] = got == 2 ? 1 : 0;
  }

  SetFlag(kFlagFramePlaced, true);
  for (int k = 0; k < kFrameCorners; ++k) {
    double xy[2];
    if (!parser.GetString("PROJPOINT_" + std::to_string(k + 1), value, kValueSize, "") ||
        ScanDoubles(value, xy, 2) != 2) {
      SetFlag(kFlagFramePlaced, false);
      continue;
    }
    frameX[k] = xy[0];
    frameY[k] = xy[1];
  }
  if (!FrameShapeValid(frameX, frameY)) SetFlag(kFlagFramePlaced, false);

  PlacePointsLinear(points);
  if (IsCalibrated()) {
    double mean, deviation, maximum, sumSquares;
    GetErrorStatistics(mean, deviation, maximum, sumSquares);
  }
  // What the file holds now, in the form the writer gives it.
  savedCalibrationData = CalibrationDataText();
  return true;
}

bool Calibration::WriteCameraFile() {
  const auto line = [](const char* key, double v, const char* comment) {
    return std::string(key) + ": " + platform::FormatG(v) + "\t# " + comment + "\n";
  };
  std::string text = "# Zorvatrack generated file " + cameraFile.NameExt() + "\n";
  text += "# last modified: " + DateLine();
  text += "#\n# this file contains cameraparameters\n#\n\n";
  text += line("Ncx", camera.Ncx, "No. Horizontal Sensor elements (sels) in CCD array");
  text += line("Nfx", camera.Nfx, "No. Horizontal Pixels in computer's frame buffer");
  text += line("dx", camera.dx, "Horizontal distance b/w sensor element centers (mm)");
  text += line("dy", camera.dy, "Vertical distance b/w sensor element centers (mm)");
  text += line("Cx", camera.Cx, "Image Center X-coordinate (pixels)");
  text += line("Cy", camera.Cy, "Image Center Y-coordinate (pixels)");
  text += line("sx", camera.sx, "Grabbing uncertainty factor");
  // The old file stays as it was unless the whole new one could be written.
  return SaveFile(cameraFile.Path(), text);
}
