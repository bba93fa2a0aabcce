#include "calibration/sxsearch.h"

#include <cmath>
#include <optional>

#include "calibration/calibrat.h"

namespace sxsearch {

namespace {
constexpr double kFirstStep = 0.1;
constexpr double kSmallestStep = 1e-5;
constexpr double kSettled = 1e-5;
constexpr double kNoError = 99999999.0;
}  // namespace

Outcome GradientSearch(double& sx, const std::function<Pass()>& calibrate,
                       const std::function<bool()>& afterPass, int maxPasses) {
  Outcome outcome;
  double step = kFirstStep;
  bool firstReversal = true;
  double previous = kNoError;
  while (step > kSmallestStep || step < -kSmallestStep) {
    if (outcome.passes >= maxPasses) {
      outcome.bounded = true;
      break;
    }
    const Pass pass = calibrate();
    ++outcome.passes;
    if (pass.error != 0) {
      outcome.error = pass.error;
      break;
    }
    const double e = pass.mean;
    if (e < previous) {
      sx += step;
    } else if (firstReversal) {
      step = -step;
      firstReversal = false;
      sx += step;
    } else {
      step = -step * 0.5;
      sx += step;
    }
    const bool settled = std::fabs(e - previous) < kSettled;
    previous = e;
    if (!afterPass()) {
      outcome.aborted = true;
      break;
    }
    if (settled) break;
  }
  return outcome;
}

namespace {

// What a pass leaves in the camera, with its mean divergence.
struct Kept {
  bool calibrated;
  CameraParameters camera;
  CalibrationResult result;
  double mean;
};

Kept Keep(const Calibration& c, double mean) {
  return {c.IsCalibrated(), c.camera, c.result, mean};
}

double MeanDivergence(Calibration& c, bool& valid) {
  double mean = 0, deviation, maximum, squares;
  valid = c.GetErrorStatistics(mean, deviation, maximum, squares);
  return mean;
}

}  // namespace

Outcome GradientSearch(Calibration& camera, const std::function<bool()>& afterPass,
                       int maxPasses) {
  bool hadResult = false;
  const Kept start = Keep(camera, MeanDivergence(camera, hadResult));
  std::optional<Kept> best;
  const Outcome outcome = GradientSearch(
      camera.camera.sx,
      [&] {
        Pass pass{camera.Calibrate(true), 0};
        if (pass.error == 0) {
          bool valid = false;
          pass.mean = MeanDivergence(camera, valid);
          // Taken before the search steps sx on.
          if (!best || pass.mean < best->mean) best = Keep(camera, pass.mean);
        }
        return pass;
      },
      afterPass, maxPasses);
  const Kept& chosen = best && !(hadResult && start.mean <= best->mean) ? *best : start;
  camera.camera = chosen.camera;
  camera.result = chosen.result;
  camera.SetFlag(kFlagCalibrated, chosen.calibrated);
  bool valid = false;
  MeanDivergence(camera, valid);  // the divergence of what is kept
  return outcome;
}

}  // namespace sxsearch
