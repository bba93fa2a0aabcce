#pragma once

// SeriesSummary: the lowest and highest value of every block of 16, 256, 4096... frames of a
// series, and where its missing values lie, so that a plot far denser than its pixels finds each
// pixel column's span in a few steps instead of visiting every frame. A summary belongs to one
// state of its series: whoever changes the series drops it (SeriesSummaryCache).

#include <cstdint>
#include <utility>
#include <vector>

class SeriesSummary {
 public:
  SeriesSummary() = default;
  SeriesSummary(const float* values, int n);

  int Size() const { return n_; }
  // The smallest and largest value of values[a..b) (a < b), which must hold no missing value.
  std::pair<float, float> MinMax(const float* values, int a, int b) const;
  // The indices of the missing values, ascending.
  const std::vector<std::int32_t>& Missing() const { return missing_; }

 private:
  static constexpr int kFanOut = 16;
  int n_ = 0;
  // levels_[0] holds one (min, max) per kFanOut values, levels_[k] one per kFanOut of level k-1.
  std::vector<std::vector<std::pair<float, float>>> levels_;
  std::vector<std::int32_t> missing_;  // ascending
};

// The summary of an owner's series, made when first asked for and kept until the owner says its
// series changed.
class SeriesSummaryCache {
 public:
  // The summary of values[0..n), made now unless it is kept.
  const SeriesSummary* Get(const float* values, int n);
  void Drop() { values_ = nullptr; }

 private:
  const float* values_ = nullptr;
  SeriesSummary summary_;
};
