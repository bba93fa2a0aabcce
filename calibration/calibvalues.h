#pragma once

// What the calibration dialog shows of a camera: the centre and sx, the method, the result and
// the divergences with their within-limit indicators; and the position read-out of the
// calibration window.

#include <string>

#include "calibration/calibrat.h"

struct CalibDialogValues {
  std::string cx, cy, sx;
  int method = 20602;  // 20602 normal, 20603 optimised, 20604 with gradient search
  bool linearSizingEnabled = true;
  bool calibrateEnabled = false;
  // f, kappa1, Tx, Ty, Tz, Rx, Ry, Rz (degrees); empty while not calibrated.
  std::string f, kappa1, t[3], r[3];
  std::string mean2d, deviation2d, mean3d, deviation3d;
  bool within2d = false, within3d = false;
};

// The values of calibration c in a document of sequenceCount sequences; when more than one is
// calibrated, mean3d and deviation3d are the three-dimensional divergence over all pairs.
// Reads the error statistics, which keeps them in c.
CalibDialogValues ValuesOf(Calibration& c, int sequenceCount, bool multipleCalibrated,
                           double mean3d, double deviation3d);

// The position field: "P_n (X;Y;Z)" for the first point within 4 pixels (sum of the x and y
// distances) of (x, y) when onPoint, else "x,y".
std::string PositionText(const Calibration& c, double x, double y, bool onPoint);

// printf into a std::string.
std::string Format(const char* format, double value);
