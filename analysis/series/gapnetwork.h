#pragma once

// GapNetwork: the one small network (one input, three logistic hidden units, one logistic output)
// that fills gaps in position series, trained per gap on the gap's neighbours by online
// back-propagation (learning rate 0.4, momentum 0.6). Its weights and its own random generator
// live for the whole run: the generator starts at 568731 and is never reset, so a gap's result
// depends on the gaps filled before it. All arithmetic is in double precision.

#include <array>
#include <cstdint>
#include <string>
#include <utility>

namespace GapNetwork {

inline constexpr std::uint32_t kInitialRandomState = 568731;
inline constexpr int kHidden = 3;

struct State {
  std::array<double, kHidden> w1{}, b1{}, w2{};
  double b2 = 0;
  std::array<double, kHidden> dw1{}, db1{}, dw2{};
  double db2 = 0;
  std::array<double, kHidden> h{}, d{};
  std::uint32_t random = kInitialRandomState;
};

// The module's state (read access for tests).
const State& Current();
// Back to the state at program start: generator 568731, every weight 0. Tests only.
void Reset();

// The next draw of the generator, 0..32767.
int Random();
// With initialise: fresh random weights (the output bias and its momentum carry over); returns
// 1.0. Otherwise one epoch over the samples; returns the mean absolute error.
double Train(const double* inputs, const double* targets, int count, bool initialise);
// (output - 0.25) * scale for the input (index - t0) / (t1 - t0).
double Evaluate(int index, int t0, int t1, double scale);

}  // namespace GapNetwork

// The abort window of gap filling: a gauge and an abort button. Tests and headless runs pass
// none.
class GapProgress {
 public:
  virtual ~GapProgress() = default;
  // Opens the window with its caption, its upper-left corner at (x, y), or beside the parent
  // window when x is -1.
  virtual void Open(const std::string& caption, int x, int y) = 0;
  // Moves the gauge to done of total and lets the user's keys and clicks through; false when
  // the user pressed abort.
  virtual bool Step(int done, int total) = 0;
  // Closes the window and gives its upper-left corner.
  virtual std::pair<int, int> Close() = 0;
};
