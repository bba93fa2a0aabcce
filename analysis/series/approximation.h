#pragma once

// The least-squares polynomial that approximates a position series: fitted in the variable
// u = (index - offset) * factor, where index is the 0-based frame index.

#include <optional>
#include <vector>

struct ScaledPolynomial {
  double offset = 0.0;
  double factor = 1.0;
  std::vector<double> coefficients;  // c0 .. c_degree
  // c0 + c1 u + ... with u^0 = 1.
  double Evaluate(double index) const;
};

// Fits the polynomial of the degree through (index, value) pairs of a sequence of frameCount
// frames, in the variable index * 4 / frameCount. Where that system is too badly conditioned
// (a short run in a long sequence) the fit is made in the variable that maps the run onto
// -1..1. None when there are not more points than coefficients, or the fit fails in both.
std::optional<ScaledPolynomial> FitPolynomial(const std::vector<double>& index,
                                              const std::vector<double>& value, int degree,
                                              int frameCount);
