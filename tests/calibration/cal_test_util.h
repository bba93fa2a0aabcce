#pragma once

// Helpers of the camera-model tests: a temporary folder that removes itself, and synthetic
// cameras built from angles, translation and lens.

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/temp_dir.h"

#include "calibration/calibrat.h"
#include "calibration/camera.h"

namespace caltest {

// Test folders of this suite.
struct TempDir : testutil::TempDir {
  TempDir() : testutil::TempDir("zorvat_cal") {}
};

struct Camera {
  CameraParameters p;
  CalibrationResult c;
};

// A camera looking at the model from angles (radians) and translation, with lens f (mm),
// distortion kappa1, scale sx and centre (cx, cy) on a 768-pixel-wide sensor.
inline Camera MakeCamera(double rx, double ry, double rz, double tx, double ty, double tz, double f,
                         double kappa1, double sx = 1.0, double cx = 384, double cy = 288) {
  Camera cam;
  cam.p.Ncx = 768;
  cam.p.Nfx = 768;
  cam.p.dx = cam.p.dpx = 0.0086;
  cam.p.dy = cam.p.dpy = 0.0083;
  cam.p.Cx = cx;
  cam.p.Cy = cy;
  cam.p.sx = sx;
  CalibrationResult& r = cam.c;
  r.f = f;
  r.kappa1 = kappa1;
  r.Tx = tx;
  r.Ty = ty;
  r.Tz = tz;
  r.Rx = rx;
  r.Ry = ry;
  r.Rz = rz;
  RotationFromAngles(r);
  return cam;
}

// A camera at `distance` from world point `at`, turned by the angles (degrees) and aimed so that
// `at` lies on its optical axis.
inline Camera AimedAt(double rxDeg, double ryDeg, double rzDeg, const double at[3], double distance,
                      double f, double kappa1, double sx = 1.0, double cx = 384, double cy = 288) {
  constexpr double kDeg = M_PI / 180.0;
  Camera cam = MakeCamera(rxDeg * kDeg, ryDeg * kDeg, rzDeg * kDeg, 0, 0, 0, f, kappa1, sx, cx, cy);
  double xc, yc, zc;
  WorldToCameraCoord(at[0], at[1], at[2], cam.c, xc, yc, zc);
  cam.c.Tx = -xc;
  cam.c.Ty = -yc;
  cam.c.Tz = distance - zc;
  return cam;
}

// The camera on a sensor of width x height square pixels of `pixel` mm, centred.
inline Camera OnSensor(Camera cam, int width, int height, double pixel) {
  cam.p.Ncx = cam.p.Nfx = width;
  cam.p.dx = cam.p.dy = cam.p.dpx = cam.p.dpy = pixel;
  cam.p.Cx = width / 2.0;
  cam.p.Cy = height / 2.0;
  return cam;
}

// The same camera for a world measured in units of `mmPerUnit` millimetres (1000: metres).
inline Camera InUnit(Camera cam, double mmPerUnit) {
  cam.c.Tx /= mmPerUnit;
  cam.c.Ty /= mmPerUnit;
  cam.c.Tz /= mmPerUnit;
  return cam;
}

// The flags of a calibration whose four file names are all given.
inline constexpr uint32_t kAllFiles =
    kFlagCameraFile | kFlagModelFile | kFlagCalibrationImage | kFlagCalibrationFile;

}  // namespace caltest
