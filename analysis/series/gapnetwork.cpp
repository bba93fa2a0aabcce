#include "analysis/series/gapnetwork.h"

#include <cmath>
#include <cstdlib>

namespace {

constexpr double kLearningRate = 0.4;
constexpr double kMomentum = 0.6;
constexpr std::uint32_t kRandomMultiplier = 15625;
constexpr std::uint32_t kRandomIncrement = 22221;
constexpr double kRandomRange = 32768.0;
constexpr unsigned kLibrarySeed = 0x3FFF;

GapNetwork::State g_state;

double Logistic(double s) { return 1.0 / (1.0 + std::exp(-s)); }

double RandomWeight() { return GapNetwork::Random() / kRandomRange - 0.5; }

double Forward(double x) {
  auto& s = g_state;
  double sum = s.b2;
  for (int j = 0; j < GapNetwork::kHidden; ++j) {
    s.h[j] = Logistic(x * s.w1[j] + s.b1[j]);
    sum += s.h[j] * s.w2[j];
  }
  return Logistic(sum);
}

void Initialise() {
  std::srand(kLibrarySeed);
  auto& s = g_state;
  for (int j = 0; j < GapNetwork::kHidden; ++j) {
    s.w1[j] = RandomWeight();
    s.w2[j] = RandomWeight();
    s.dw1[j] = RandomWeight();
    s.dw2[j] = RandomWeight();
    s.db1[j] = RandomWeight();
    s.b1[j] = RandomWeight();
  }
}

void Learn(double x, double y, double o) {
  auto& s = g_state;
  const double delta = (1.0 - o) * (y - o) * o;
  for (int j = 0; j < GapNetwork::kHidden; ++j) {
    s.dw2[j] = kMomentum * s.dw2[j] + kLearningRate * delta * s.h[j];
    s.w2[j] += s.dw2[j];
    s.d[j] = (1.0 - s.h[j]) * delta * s.w2[j] * s.h[j];
  }
  s.db2 = kMomentum * s.db2 + kLearningRate * delta;
  s.b2 += s.db2;
  for (int j = 0; j < GapNetwork::kHidden; ++j) {
    s.dw1[j] = kMomentum * s.dw1[j] + kLearningRate * s.d[j] * x;
    s.w1[j] += s.dw1[j];
    s.db1[j] = kMomentum * s.db1[j] + kLearningRate * s.d[j];
    s.b1[j] += s.db1[j];
  }
}

}  // namespace

const GapNetwork::State& GapNetwork::Current() { return g_state; }

void GapNetwork::Reset() { g_state = State{}; }

int GapNetwork::Random() {
  g_state.random = g_state.random * kRandomMultiplier + kRandomIncrement;
  return static_cast<int>((g_state.random >> 16) & 0x7FFF);
}

double GapNetwork::Train(const double* inputs, const double* targets, int count, bool initialise) {
  if (initialise) {
    Initialise();
    return 1.0;
  }
  double error = 0.0;
  for (int i = 0; i < count; ++i) {
    const double o = Forward(inputs[i]);
    error += std::fabs(targets[i] - o);
    Learn(inputs[i], targets[i], o);
  }
  return count > 0 ? error / count : 0.0;
}

double GapNetwork::Evaluate(int index, int t0, int t1, double scale) {
  const double x = static_cast<double>(index - t0) / static_cast<double>(t1 - t0);
  return (Forward(x) - 0.25) * scale;
}
