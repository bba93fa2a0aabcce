// Calibration files: the input is read as a camera-parameter file (".cam"), a calibration model
// (".cmo") and a calibration data file (".cdc"), which names the other two.

#include "calibration/calibrat.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input = fuzz::Bytes(data, size);
  Calibration camera;
  camera.SetCameraFile(fuzz::WriteInput("camera.cam", input), true, true);
  Calibration model;
  model.SetModelFile(fuzz::WriteInput("model.cmo", input), true, true);
  Calibration all;
  all.SetCalibrationFile(fuzz::WriteInput("calibration.cdc", input));
  return 0;
}
