#include "analysis/series/approximation.h"

#include <algorithm>

#include "calibration/matrix.h"

namespace {

// The sequence-wide variable spans 0..4 over all frames.
constexpr double kSequenceSpan = 4.0;

std::optional<ScaledPolynomial> FitIn(const std::vector<double>& index,
                                      const std::vector<double>& value, int degree, double offset,
                                      double factor, std::uint8_t& status) {
  std::vector<double> u(index.size());
  std::transform(index.begin(), index.end(), u.begin(),
                 [&](double i) { return (i - offset) * factor; });
  ScaledPolynomial p{offset, factor, std::vector<double>(degree + 1, 0.0)};
  PolynomialFit(u.data(), value.data(), static_cast<int>(u.size()), degree, p.coefficients.data(),
                &status);
  if (status != kFitDone) return std::nullopt;
  return p;
}

}  // namespace

double ScaledPolynomial::Evaluate(double index) const {
  const double u = (index - offset) * factor;
  double sum = 0.0, power = 1.0;
  for (double c : coefficients) {
    sum += c * power;
    power *= u;
  }
  return sum;
}

std::optional<ScaledPolynomial> FitPolynomial(const std::vector<double>& index,
                                              const std::vector<double>& value, int degree,
                                              int frameCount) {
  const int count = static_cast<int>(index.size());
  if (degree < 0 || count <= degree + 1 || frameCount <= 0) return std::nullopt;
  std::uint8_t status = kFitDone;
  auto fit = FitIn(index, value, degree, 0.0, kSequenceSpan / frameCount, status);
  if (fit || status != kFitIllConditioned) return fit;
  const auto [lo, hi] = std::minmax_element(index.begin(), index.end());
  if (*hi <= *lo) return std::nullopt;
  return FitIn(index, value, degree, (*lo + *hi) / 2.0, 2.0 / (*hi - *lo), status);
}
