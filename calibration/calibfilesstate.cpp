#include "calibration/calibfilesstate.h"

SequenceFilesView ShowSequenceFiles(const Calibration& c, const std::string& sequenceFile, int n,
                                    int count) {
  SequenceFilesView v;
  v.sequenceFile = sequenceFile;
  v.previousEnabled = n > 1;
  v.nextEnabled = count > n;
  if (c.Has(kFlagCalibrationFile)) {
    v.calibrationFile = c.calibrationFile.NameExt();
    v.cameraLoadEnabled = v.frameEnabled = v.modelEnabled = true;
    if (c.Has(kFlagCalibrationImage)) {
      v.calibrationFrame = c.calibrationImage.NameExt();
      if (c.Has(kFlagCameraFile)) {
        v.cameraFile = c.cameraFile.NameExt();
        v.cameraLoadVisible = false;
        v.cameraEditVisible = true;
      }
    } else {
      v.cameraLoadEnabled = false;
    }
    if (c.Has(kFlagModelFile)) v.modelFile = c.modelFile.NameExt();
  }
  v.calibrated = c.IsCalibrated();
  v.number = n;
  return v;
}
