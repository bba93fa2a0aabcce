#include "analysis/series/anlwinobjseq.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "analysis/analysis_ids.h"
#include "analysis/quantity.h"
#include "analysis/series/sgfilter.h"
#include "base/messages.h"
#include "base/unitsorigin.h"
#include "objects/parallel.h"
#include "objects/resobjseq.h"

void AnalysisOutOfMemory() {
  ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kOutOfMemory, "");
  std::exit(1);
}

void AnalysisRange::MergeMin(const AnalysisRange& o) {
  for (int c = 0; c < 3; ++c) position[c][0] = std::min(position[c][0], o.position[c][0]);
  frames[0] = std::min(frames[0], o.frames[0]);
  for (int d = 0; d < kDerivatives; ++d) {
    derivative[d][0] = std::min(derivative[d][0], o.derivative[d][0]);
    derivativeFrames[d][0] = std::min(derivativeFrames[d][0], o.derivativeFrames[d][0]);
  }
}

void AnalysisRange::MergeMax(const AnalysisRange& o) {
  for (int c = 0; c < 3; ++c) position[c][1] = std::max(position[c][1], o.position[c][1]);
  frames[1] = std::max(frames[1], o.frames[1]);
  for (int d = 0; d < kDerivatives; ++d) {
    derivative[d][1] = std::max(derivative[d][1], o.derivative[d][1]);
    derivativeFrames[d][1] = std::max(derivativeFrames[d][1], o.derivativeFrames[d][1]);
  }
}

namespace {

// Smallest and largest value and the first and last frame (1-based) of a series.
struct Scan {
  bool any = false;
  float min = 0, max = 0;
  int first = 0, last = 0;
};

// A float's bits as an integer that orders as the float does, so that the scans below run on
// integer comparisons, several frames at a time.
inline std::int32_t OrderKey(float v) {
  const auto bits = std::bit_cast<std::int32_t>(v);
  return bits ^ ((bits >> 31) & 0x7FFFFFFF);
}

inline float FromOrderKey(std::int32_t key) {
  return std::bit_cast<float>(key ^ ((key >> 31) & 0x7FFFFFFF));
}

// The smallest and largest order key of the values of a[from..to-1], and how many there are.
struct KeyExtremes {
  std::int32_t lo = std::numeric_limits<std::int32_t>::max();
  std::int32_t hi = std::numeric_limits<std::int32_t>::min();
  int count = 0;
};

KeyExtremes ScanKeys(const float* a, int from, int to) {
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::int32_t missing = std::bit_cast<std::int32_t>(kMissingValue);
  std::int32_t lo = kMax, hi = kMin;
  int count = 0;
  // Masks rather than selects, and the bits loaded as an integer: so the compiler vectorises.
  for (int i = from; i < to; ++i) {
    std::int32_t bits;
    std::memcpy(&bits, a + i, sizeof bits);
    const std::int32_t key = bits ^ ((bits >> 31) & 0x7FFFFFFF);
    const std::int32_t without = -static_cast<std::int32_t>(bits == missing);  // all ones
    lo = std::min(lo, key | (without & kMax));
    hi = std::max(hi, (key & ~without) | (without & kMin));
    count += 1 + without;
  }
  return {lo, hi, count};
}

Scan ScanSeries(const float* a, int n) {
  Scan s;
  int first = 0, last = n - 1;
  while (first < n && a[first] == kMissingValue) ++first;
  if (first >= n) return s;
  while (a[last] == kMissingValue) --last;
  const KeyExtremes e = ScanKeys(a, first, last + 1);
  s = {true, FromOrderKey(e.lo), FromOrderKey(e.hi), first + 1, last + 1};
  return s;
}

float Coordinate(const ObjectBase& p, int coordinate) {
  return coordinate == 0 ? p.x : coordinate == 1 ? p.y : p.z;
}

bool IsDerivativeCode(int code) {
  const auto slot = SeriesSlotOf(code);
  return slot && slot->order > 0;
}

}  // namespace

AnlWinObjectSequence::AnlWinObjectSequence(ResObjectSequence* sequence, unsigned penWidth,
                                           unsigned penStyle, bool connect, bool markers)
    : CurveLook(sequence->color, penWidth, penStyle, connect, markers), sequence_(sequence) {}

AnlWinObjectSequence::AnlWinObjectSequence(const AnlWinObjectSequence& o)
    : CurveLook(o), sequence_(o.sequence_), crosshairIndex_(o.crosshairIndex_) {}

void AnlWinObjectSequence::AssignStyle(const AnlWinObjectSequence& o) {
  sequence_ = o.sequence_;
  TakeColoursAndPen(o);
}

int AnlWinObjectSequence::FrameCount() const {
  // Once read, the series keep the length they were read with, even if the sequence grows.
  return hasPoint_.empty() ? sequence_->Size() : static_cast<int>(hasPoint_.size());
}

float AnlWinObjectSequence::PointCoordinate(int frame, int coordinate, bool& hasPoint) const {
  const ObjectBase* p = sequence_->ItemAt(frame);
  hasPoint = p != nullptr;
  return p ? Coordinate(*p, coordinate) : kMissingValue;
}

void AnlWinObjectSequence::FillPositions() {
  if (!hasPoint_.empty()) return;
  const int n = FrameCount();
  for (auto& a : positions_) AllocateSeries(a, n + 1, kMissingValue);
  AllocateSeries(hasPoint_, n, char{0});
  for (int i = 0; i < n; ++i) {
    const ObjectBase* p = sequence_->ItemAt(i + 1);
    if (!p) continue;
    hasPoint_[i] = 1;
    positions_[0][i] = p->x;
    positions_[1][i] = p->y;
    positions_[2][i] = p->z;
  }
}

void AnlWinObjectSequence::GatherPosition(int coordinate, bool startPair, bool mergeFrames) {
  FillPositions();
  positionRequested_[coordinate] = true;
  const Scan s = ScanSeries(Position(coordinate).data(), FrameCount());
  if (!s.any) return;  // without values the range keeps what it had
  auto& pair = range_.position[coordinate];
  if (startPair) {
    pair = {s.min, s.max};
  } else {
    pair = {std::min(pair[0], s.min), std::max(pair[1], s.max)};
  }
  if (mergeFrames)
    range_.frames = {std::min(range_.frames[0], s.first), std::max(range_.frames[1], s.last)};
  else
    range_.frames = {s.first, s.last};
}

void AnlWinObjectSequence::ComputeDerivative(int coordinate, int order) {
  const int n = FrameCount();
  FillPositions();
  const float* position = Position(coordinate).data();
  // The filter writes every frame; the spare entry stays without value.
  SeriesArray output;
  AllocateUninitialised(output, n + 1);
  output[n] = kMissingValue;
  // The filter runs on the series as it is. A frame without value (no point, or a point whose
  // coordinate is missing) spoils every output whose window reaches it, and exactly those are
  // marked below: the outputs that stay are those of windows of values alone, the same as if
  // the frames without value had entered as 0.
  SavitzkyGolayFilter(position, n, order, order, output.data());
  MarkUndefinedDerivatives(output.data(), order, n,
                           [&](int i) { return !hasPoint_[i] || position[i] == kMissingValue; });

  const int slot = AnalysisRange::DerivativeSlot(coordinate, order);
  const Scan s = ScanSeries(output.data(), n);
  derivativeValid_[slot] = s.any;
  if (s.any) {
    range_.derivative[slot] = {s.min, s.max};
    range_.derivativeFrames[slot] = {s.first, s.last};
  } else {
    range_.derivativeFrames[slot] = {n + 1, n + 1};
  }
  derivatives_[slot] = std::move(output);
}

void AnlWinObjectSequence::GatherDerivative(int coordinate, int order) {
  const int slot = AnalysisRange::DerivativeSlot(coordinate, order);
  if (derivatives_[slot].empty()) {
    ComputeDerivative(coordinate, order);
    return;
  }
  derivativeValid_[slot] = false;
  const Scan s = ScanSeries(derivatives_[slot].data(), FrameCount());
  if (!s.any) return;
  derivativeValid_[slot] = true;
  range_.derivative[slot] = {s.min, s.max};
  range_.derivativeFrames[slot] = {s.first, s.last};
}

AnalysisRange AnlWinObjectSequence::GetStatistics(int code) {
  summary_.Drop();
  const auto slot = SeriesSlotOf(code);
  if (!slot) return range_;
  if (code == quantity::kYOverX) {
    // y then x; the x pair starts from the first x value, so the abscissa shows x alone.
    GatherPosition(1, true, false);
    const bool yHadValues = ScanSeries(Position(1).data(), FrameCount()).any;
    GatherPosition(0, true, yHadValues);
  } else if (slot->order == 0) {
    GatherPosition(slot->coordinate, true, false);
  } else {
    GatherDerivative(slot->coordinate, slot->order);
  }
  return range_;
}

const float* AnlWinObjectSequence::SelectArray(int code) const {
  const auto slot = SeriesSlotOf(code);
  if (!slot) return nullptr;
  if (slot->order == 0)
    return positionRequested_[slot->coordinate] ? positions_[slot->coordinate].data() : nullptr;
  const SeriesArray& a = derivatives_[AnalysisRange::DerivativeSlot(slot->coordinate, slot->order)];
  return a.empty() ? nullptr : a.data();
}

bool AnlWinObjectSequence::IsDerivativeValid(int code) const {
  if (sequence_->IsHidden()) return false;
  if (!IsDerivativeCode(code)) return true;
  const auto slot = SeriesSlotOf(code);
  return derivativeValid_[AnalysisRange::DerivativeSlot(slot->coordinate, slot->order)];
}

bool AnlWinObjectSequence::HasTwoValues(int code) const {
  const float* a = SelectArray(code);
  if (!a) return false;
  int count = 0;
  for (int i = 0, n = FrameCount(); i < n && count < 2; ++i) count += a[i] != kMissingValue;
  return count >= 2;
}

std::pair<int, int> AnlWinObjectSequence::SingleValue(int code) const {
  const float* a = SelectArray(code);
  if (!a) return {0, 0};
  int count = 0, index = 0;
  for (int i = 0, n = FrameCount(); i < n; ++i) {
    if (a[i] == kMissingValue) continue;
    if (++count > 1) return {0, 0};
    index = i;
  }
  return count == 1 ? std::pair{static_cast<int>(a[index]), index} : std::pair{0, 0};
}

// The blocks of GatherAllSeries: each worker reads the points of a block of frames, writes their
// positions, filters them and scans the block's series while all of them (about 150 kB) are in
// its core's cache, instead of one pass over the whole recording per series and per scan.
namespace {

constexpr int kBlockFrames = 4096;
// How far a block reads positions beyond its own frames: the widest window (7 points) and the
// reach of a frame without value into the second derivative.
constexpr int kHalo = sg::SpoiledRadius(2);
constexpr int kSeriesPerEntry = 3 + AnalysisRange::kDerivatives;
constexpr int kGatheredCodes[] = {quantity::kX,  quantity::kY,  quantity::kZ,
                                  quantity::kX1, quantity::kX2, quantity::kY1,
                                  quantity::kY2, quantity::kZ1, quantity::kZ2};

}  // namespace

struct AnlWinObjectSequence::BlockStatistics {
  // What ScanSeries finds, for a part of a series: the smallest and largest order key, and the
  // number, first and last index (0-based) of the values. Keys merge exactly, in any order.
  struct Extremes {
    std::int32_t lo = std::numeric_limits<std::int32_t>::max();
    std::int32_t hi = std::numeric_limits<std::int32_t>::min();
    int count = 0, first = 0, last = 0;

    void Add(const float* a, int from, int to) {
      const KeyExtremes k = ScanKeys(a, from, to);
      if (k.count == 0) return;
      int f = from, e = to - 1;
      while (a[f] == kMissingValue) ++f;
      while (a[e] == kMissingValue) --e;
      Merge({k.lo, k.hi, k.count, f, e});
    }
    void Merge(const Extremes& o) {
      if (o.count == 0) return;
      first = count ? std::min(first, o.first) : o.first;
      last = count ? std::max(last, o.last) : o.last;
      lo = std::min(lo, o.lo);
      hi = std::max(hi, o.hi);
      count += o.count;
    }
  };
  // x, y, z, then the derivative slots.
  std::array<Extremes, kSeriesPerEntry> series;
};

bool AnlWinObjectSequence::AllocateAllSeries() {
  summary_.Drop();
  const int n = FrameCount();
  const bool fresh = hasPoint_.empty() &&
                     std::all_of(positions_.begin(), positions_.end(),
                                 [](const SeriesArray& a) { return a.empty(); }) &&
                     std::all_of(derivatives_.begin(), derivatives_.end(),
                                 [](const SeriesArray& a) { return a.empty(); });
  if (!fresh || n == 0) return false;
  // Every frame is written by its block; the spare entries stay without value.
  const auto allocate = [n](SeriesArray& a) {
    AllocateUninitialised(a, n + 1);
    a[n] = kMissingValue;
  };
  std::for_each(positions_.begin(), positions_.end(), allocate);
  std::for_each(derivatives_.begin(), derivatives_.end(), allocate);
  AllocateUninitialised(hasPoint_, n);
  return true;
}

void AnlWinObjectSequence::FillBlock(int from, int to, BlockStatistics& statistics) {
  const int n = FrameCount();
  // The block's positions and those of the halo on either side: local[c][i - lo] is frame i + 1.
  const int lo = std::max(0, from - kHalo), hi = std::min(n, to + kHalo);
  constexpr int kLocal = kBlockFrames + 2 * kHalo;
  std::array<std::array<float, kLocal>, 3> local;
  // The frames without value of each coordinate, in order: they alone need marking.
  std::array<std::array<int, kLocal>, 3> gaps;
  std::array<int, 3> gapCount{};
  const auto read = [&](int i) {
    const ObjectBase* p = sequence_->ItemAt(i + 1);
    for (int c = 0; c < 3; ++c) {
      const float v = p ? (c == 0 ? p->x : c == 1 ? p->y : p->z) : kMissingValue;
      local[c][i - lo] = v;
      gaps[c][gapCount[c]] = i;
      gapCount[c] += v == kMissingValue;
    }
    return p != nullptr;
  };
  for (int i = lo; i < from; ++i) read(i);
  for (int i = from; i < to; ++i) hasPoint_[i] = read(i);
  for (int i = to; i < hi; ++i) read(i);

  for (int c = 0; c < 3; ++c) {
    const float* position = local[c].data();
    std::memcpy(positions_[c].data() + from, position + (from - lo), sizeof(float) * (to - from));
    statistics.series[c].Add(positions_[c].data(), from, to);
    for (int order = 1; order <= 2; ++order) {
      // As ComputeDerivative: the filter's output, without value at the ends (ends >= the half
      // width, so the copied edges never show) and within the reach of every frame without value
      // (a frame without point has no value in any coordinate).
      const int slot = AnalysisRange::DerivativeSlot(c, order);
      float* out = derivatives_[slot].data();
      const int ends = order == 1 ? 2 : 4;
      const int r = sg::SpoiledRadius(order);
      const int first = std::clamp(ends, from, to);
      const int last = std::clamp(n - ends, first, to);  // one past
      std::fill(out + from, out + first, kMissingValue);
      SavitzkyGolayCentres(position, order, order, out + lo, first - lo, last - lo);
      std::fill(out + last, out + to, kMissingValue);
      for (int g = 0; g < gapCount[c]; ++g) {
        const int i = gaps[c][g];
        const int markFrom = std::max(from, i - r), markTo = std::min(to, i + r + 1);
        if (markFrom < markTo) std::fill(out + markFrom, out + markTo, kMissingValue);
      }
      statistics.series[3 + slot].Add(out, from, to);
    }
  }
}

void AnlWinObjectSequence::FinishAllSeries(std::span<const BlockStatistics> blocks) {
  const int n = FrameCount();
  std::array<BlockStatistics::Extremes, kSeriesPerEntry> all;
  for (const BlockStatistics& b : blocks)
    for (int k = 0; k < kSeriesPerEntry; ++k) all[k].Merge(b.series[k]);
  // As GatherPosition of x, y, z in turn: the frames are the last coordinate's with values.
  for (int c = 0; c < 3; ++c) {
    positionRequested_[c] = true;
    const auto& e = all[c];
    if (e.count == 0) continue;
    range_.position[c] = {FromOrderKey(e.lo), FromOrderKey(e.hi)};
    range_.frames = {e.first + 1, e.last + 1};
  }
  for (int slot = 0; slot < AnalysisRange::kDerivatives; ++slot) {
    const auto& e = all[3 + slot];
    derivativeValid_[slot] = e.count > 0;
    if (e.count > 0) {
      range_.derivative[slot] = {FromOrderKey(e.lo), FromOrderKey(e.hi)};
      range_.derivativeFrames[slot] = {e.first + 1, e.last + 1};
    } else {
      range_.derivativeFrames[slot] = {n + 1, n + 1};
    }
  }
}

void AnlWinObjectSequence::GatherOneByOne() {
  for (int code : kGatheredCodes) GetStatistics(code);
}

void AnlWinObjectSequence::GatherAllSeries() {
  AnlWinObjectSequence* self = this;
  ::GatherAllSeries({&self, 1});
}

void GatherAllSeries(std::span<AnlWinObjectSequence* const> entries) {
  struct Block {
    AnlWinObjectSequence* entry;
    int from, to;
  };
  std::vector<Block> blocks;
  std::vector<std::size_t> firstBlock;  // of each entry filled by blocks, and one past the last
  std::vector<AnlWinObjectSequence*> filled;
  for (AnlWinObjectSequence* e : entries) {
    if (!e->AllocateAllSeries()) {
      e->GatherOneByOne();
      continue;
    }
    filled.push_back(e);
    firstBlock.push_back(blocks.size());
    const int n = e->FrameCount();
    for (int from = 0; from < n; from += kBlockFrames)
      blocks.push_back({e, from, std::min(n, from + kBlockFrames)});
  }
  firstBlock.push_back(blocks.size());
  std::vector<AnlWinObjectSequence::BlockStatistics> statistics(blocks.size());
  ParallelFor(blocks.size(), [&](std::size_t i) {
    blocks[i].entry->FillBlock(blocks[i].from, blocks[i].to, statistics[i]);
  });
  for (std::size_t k = 0; k < filled.size(); ++k)
    filled[k]->FinishAllSeries(
        std::span(statistics).subspan(firstBlock[k], firstBlock[k + 1] - firstBlock[k]));
}
