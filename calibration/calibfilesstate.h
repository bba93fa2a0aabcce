#pragma once

// What the document-files dialog shows for one image sequence: the file names in the order they
// must be given (calibration data file, calibration frame, camera file; the model once a data
// file is named) and which buttons are shown and usable.

#include <string>

#include "calibration/calibrat.h"

struct SequenceFilesView {
  std::string sequenceFile, calibrationFile, cameraFile, calibrationFrame, modelFile;
  bool previousEnabled = false, nextEnabled = false;
  bool cameraLoadVisible = true, cameraLoadEnabled = false;  // "Load/New..." of the camera file
  bool cameraEditVisible = false;                            // "Edit..."
  bool frameEnabled = false, modelEnabled = false;
  bool calibrated = false;
  int number = 1;
};

// The view of sequence number n (1-based) of count, whose own file is sequenceFile.
SequenceFilesView ShowSequenceFiles(const Calibration& c, const std::string& sequenceFile, int n,
                                    int count);
