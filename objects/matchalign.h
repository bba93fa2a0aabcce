#pragma once

// Sub-pixel alignment of a tracking template to a frame (Lucas-Kanade, inverse compositional).
//
// The template lands in the image by a similarity warp about the object's point: the template
// pixel at u (relative to the point) lies at point + m u, m = scale (cos a + i sin a). The
// alignment moves the point alone, or the point with turn and scale; of turn and scale it
// estimates only what the template's content can show: a plain round marker shows no turn, and
// a turn estimated from its noise would carry the point around the marker's centre wherever the
// point is not at that centre. At every iteration the
// image under the template is brought to the template's mean and contrast first, so a uniform
// change of brightness or contrast of the frame does not move the point.

#include <array>
#include <complex>
#include <cstdint>
#include <utility>
#include <vector>

#include "objects/match.h"

namespace match {

// The mask of a template as [first, last + 1) per row.
using Spans = std::vector<std::pair<int, int>>;
Spans SpansOf(const std::vector<std::uint8_t>& mask, int width, int height);
int CountOf(const Spans& spans);

// Mean and standard deviation over the mask of all planes of a patch-sized sample.
std::pair<double, double> Moments(const std::vector<float>& v, const Spans& spans, int tw, int th,
                                  int planes);

// Where a template lies in an image (pixel coordinates of the image patch).
struct Warp {
  double x = 0, y = 0;  // the object's point
  std::complex<double> m{1, 0};
};

// How well the template fits the image under a warp.
struct Fit {
  double rms = 0;   // root mean square grey-level difference, as it is
  double zncc = 0;  // zero-mean normalised cross-correlation, -1..1
  // root mean square difference once the image is brought to the template's mean and contrast
  double fittedRms = 0;
  // Each cell of a kCells x kCells grid over the template, rows first: what of the template's
  // cell is left once the image's cell is brought to it by a brightness and contrast of its own,
  // mean square over twice the template's variance (so comparable with 1 - ZNCC). Something in
  // the way shows in its cells only, not spread by the fit of the whole.
  static constexpr int kCells = 3;
  std::array<double, kCells * kCells> cells{};
};

class Aligner {
 public:
  // t with its mask (both copied); (pointX, pointY) the object's point relative to t's top left
  // pixel. With similarity the warp may turn and scale where t shows them, else it moves only.
  Aligner(const Patch& t, const Spans& spans, float pointX, float pointY, bool similarity);

  // Whether the alignment estimates the scale and the turn.
  bool Scales() const { return used_[2]; }
  bool Turns() const { return used_[3]; }

  // Gauss-Newton from w; false when it does not converge, reaches beyond the image, or the point
  // moves further than limit pixels.
  bool Align(const Patch& img, Warp& w, double limit);
  // The fit under w; false when the template reaches beyond the image.
  bool Measure(const Patch& img, const Warp& w, Fit& out);

 private:
  bool Sample(const Patch& img, const Warp& w);
  // Keeps scale and turn only where the template shows them apart from a shift.
  void ChooseParameters();

  Patch t_;
  Spans spans_;
  float px_, py_;
  int params_;                // 2: moving only, 4: turning and scaling where shown
  bool used_[4] = {true, true, false, false};
  std::vector<float> sd_[4];  // steepest-descent images: d/dx, d/dy, scale, turn
  double h_[4][4] = {};
  double tMean_ = 0, tSd_ = 0;
  std::vector<float> sample_;
};

}  // namespace match
