#include "calibration/sxsearch.h"

#include <cmath>

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

}  // namespace sxsearch
