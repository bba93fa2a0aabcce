#pragma once

// The gradient search on the scale factor sx: calibrate, compare the mean divergence with the
// pass before, step sx on while it improves, reverse and halve the step when it does not, until
// the step or the improvement is negligible. Bounded in passes and abortable between passes.

#include <functional>

class Calibration;

namespace sxsearch {

// A search that has not settled after this many calibrations stops.
inline constexpr int kMaxPasses = 200;

struct Pass {
  int error = 0;      // the calibration's message id, 0 on success
  double mean = 0.0;  // the mean divergence after it
};

struct Outcome {
  int error = 0;  // the message id that ended the search, 0 for none
  int passes = 0;
  bool aborted = false;
  bool bounded = false;  // stopped at kMaxPasses
};

// sx is changed in place. calibrate runs one calibration at the current sx; afterPass is called
// after each successful pass (with sx already stepped) and returns false to abort.
Outcome GradientSearch(double& sx, const std::function<Pass()>& calibrate,
                       const std::function<bool()>& afterPass, int maxPasses = kMaxPasses);

// The search on a camera: every pass calibrates it at the current sx, which the calibration
// keeps (also on a non-coplanar model, which would otherwise find its own sx and give every pass
// the same divergence). The camera ends with the calibration of the pass of least divergence,
// sx included, or with the calibration it started from when that one's was not greater; so the
// search never leaves it worse than it was.
Outcome GradientSearch(Calibration& camera, const std::function<bool()>& afterPass,
                       int maxPasses = kMaxPasses);

}  // namespace sxsearch
