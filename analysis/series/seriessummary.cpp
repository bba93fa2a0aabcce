#include "analysis/series/seriessummary.h"

#include <algorithm>

#include "base/unitsorigin.h"

namespace {

using MinMaxPair = std::pair<float, float>;

// One (min, max) per fanOut entries of the level below (the last block may be shorter).
template <class Lower, class Low, class High>
std::vector<MinMaxPair> Reduce(const Lower& lower, int count, int fanOut, Low low, High high) {
  std::vector<MinMaxPair> level((count + fanOut - 1) / fanOut);
  for (std::size_t b = 0; b < level.size(); ++b) {
    const int from = static_cast<int>(b) * fanOut;
    const int to = std::min(count, from + fanOut);
    float lo = low(lower[from]), hi = high(lower[from]);
    for (int i = from + 1; i < to; ++i) {
      lo = std::min(lo, low(lower[i]));
      hi = std::max(hi, high(lower[i]));
    }
    level[b] = {lo, hi};
  }
  return level;
}

}  // namespace

SeriesSummary::SeriesSummary(const float* values, int n) : n_(std::max(n, 0)) {
  for (int i = 0; i < n_; ++i)
    if (values[i] == kMissingValue) missing_.push_back(i);
  auto same = [](float v) { return v; };
  levels_.push_back(Reduce(values, n_, kFanOut, same, same));
  while (levels_.back().size() > 1) {
    const auto& below = levels_.back();
    levels_.push_back(Reduce(below, static_cast<int>(below.size()), kFanOut,
                             [](const MinMaxPair& p) { return p.first; },
                             [](const MinMaxPair& p) { return p.second; }));
  }
}

std::pair<float, float> SeriesSummary::MinMax(const float* values, int a, int b) const {
  float lo = values[a], hi = values[a];
  auto take = [&](float l, float h) {
    lo = std::min(lo, l);
    hi = std::max(hi, h);
  };
  // The values up to the first whole block and after the last one, then the same on each level
  // with the blocks that are left.
  auto alignUp = [](int i) { return (i + kFanOut - 1) / kFanOut * kFanOut; };
  int from = std::min(alignUp(a), b), to = std::max(b / kFanOut * kFanOut, from);
  for (int i = a; i < from; ++i) take(values[i], values[i]);
  for (int i = to; i < b; ++i) take(values[i], values[i]);
  from /= kFanOut;
  to /= kFanOut;
  for (const auto& level : levels_) {
    if (from >= to) break;
    const int innerFrom = std::min(alignUp(from), to), innerTo = std::max(to / kFanOut * kFanOut, innerFrom);
    for (int i = from; i < innerFrom; ++i) take(level[i].first, level[i].second);
    for (int i = innerTo; i < to; ++i) take(level[i].first, level[i].second);
    from = innerFrom / kFanOut;
    to = innerTo / kFanOut;
  }
  return {lo, hi};
}

const SeriesSummary* SeriesSummaryCache::Get(const float* values, int n) {
  if (!values) return nullptr;
  if (values_ != values || summary_.Size() != n) {
    summary_ = SeriesSummary(values, n);
    values_ = values;
  }
  return &summary_;
}
