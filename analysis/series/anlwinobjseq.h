#pragma once

// analysis/series/: the series of object sequences and their numerics (derivative filter,
// smoothing, approximation, gap filling, summaries and the memory they reuse).
//
// AnlWinObjectSequence: one object sequence as a 2D analysis window sees it. It keeps its own
// copies of the x, y and z series of the sequence's world points (mm) and their first and second
// derivatives per frame (Savitzky-Golay, 5 and 7 points), and answers, by quantity code, which
// series to plot and its statistics. Smoothing, approximation and gap filling alter the copies and
// write them back into the sequence's points; drawing and hit testing work on the copies.
//
// Frames count from 1; series are indexed by frame - 1 and hold n + 1 floats for a sequence of n
// frames (the last one spare). The missing value (the largest float) marks a frame without value.
// When a series cannot be allocated the program reports 32000/32010 and ends (exit code 1).

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "analysis/plot/curvelook.h"
#include "analysis/plot/seriesdraw.h"
#include "analysis/series/seriesmemory.h"
#include "analysis/series/seriessummary.h"
#include "objects/canvas.h"

class ResObjectSequence;
class GapProgress;

// An allocator that leaves new elements uninitialised: for series written whole right after they
// are made, so that long recordings are not written twice.
template <class T>
struct UninitialisedAllocator : std::allocator<T> {
  template <class U>
  struct rebind {
    using other = UninitialisedAllocator<U>;
  };
  UninitialisedAllocator() = default;
  template <class U>
  UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}
  template <class U>
  void construct(U* p) noexcept {
    ::new (static_cast<void*>(p)) U;
  }
  template <class U, class... A>
  void construct(U* p, A&&... args) {
    ::new (static_cast<void*>(p)) U(std::forward<A>(args)...);
  }
  T* allocate(std::size_t n) {
    if (n > std::size_t(-1) / sizeof(T)) throw std::bad_alloc();
    return static_cast<T*>(seriesmemory::Allocate(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept { seriesmemory::Release(p, n * sizeof(T)); }
};
using SeriesArray = std::vector<float, UninitialisedAllocator<float>>;

// The statistics of a sequence's series: sixteen pairs, each (first, second).
struct AnalysisRange {
  using FloatPair = std::array<float, 2>;
  using FramePair = std::array<std::int32_t, 2>;
  // Derivative slots: x', x'', y', y'', z', z''.
  static constexpr int kDerivatives = 6;
  static constexpr int DerivativeSlot(int coordinate, int order) {
    return coordinate * 2 + order - 1;
  }

  std::array<FloatPair, 3> position{};  // x, y, z: min, max
  FramePair frames{};                   // first and last frame with a position
  std::array<FloatPair, kDerivatives> derivative{};
  std::array<FramePair, kDerivatives> derivativeFrames{};

  // Each first word becomes the smaller of both records' (min-merge), each second word the
  // larger (max-merge).
  void MergeMin(const AnalysisRange& other);
  void MergeMax(const AnalysisRange& other);
};

class AnlWinObjectSequence : public CurveLook {
 public:
  AnlWinObjectSequence(ResObjectSequence* sequence, unsigned penWidth, unsigned penStyle,
                       bool connect, bool markers);
  // Sequence, colours, style and crosshair; no series and a zero range.
  AnlWinObjectSequence(const AnlWinObjectSequence& other);
  AnlWinObjectSequence& operator=(const AnlWinObjectSequence&) = delete;
  // Style assignment: sequence, colours and style only.
  void AssignStyle(const AnlWinObjectSequence& other);
  friend bool operator==(const AnlWinObjectSequence& a, const AnlWinObjectSequence& b) {
    return a.sequence_ == b.sequence_;
  }

  ResObjectSequence* Sequence() const { return sequence_; }
  // The sequence's frame count (its point array's size) when the series were read.
  int FrameCount() const;

  void SetHighlight(bool on) { SetHighlightColor(on); }
  int CrosshairIndex() const { return crosshairIndex_; }

  // The range after bringing the part of the code up to date (positions are read from the
  // sequence at the first request, derivatives computed at theirs); other codes leave it as it is.
  AnalysisRange GetStatistics(int code);
  const AnalysisRange& Range() const { return range_; }
  // Leaves series and range as GetStatistics of x, y, z, x', x'', y', y'', z', z'' in turn would,
  // reading each point once and filtering and scanning block by block while the block is in the
  // cache.
  void GatherAllSeries();
  // The series of the code, or null (none for the code, or not made yet).
  const float* SelectArray(int code) const;
  // False for a hidden sequence; for derivative codes whether the derivative holds a value.
  bool IsDerivativeValid(int code) const;
  bool HasTwoValues(int code) const;
  // The only value of the series truncated, and its index; (0, 0) unless there is exactly one.
  std::pair<int, int> SingleValue(int code) const;

  // Smoothing, approximation and gap filling of a position series (codes 0, 3, 6; the window has
  // asked for its statistics first). Each alters the entry's series only; WerteZurueckschreiben
  // then writes it into the sequence's points.
  // 5-point moving average in place; false when nothing could be smoothed.
  bool LowPass(int code);
  // Least-squares polynomial of the degree over the frames from the first to the last point;
  // false after message 32016/32017 (no values) or 32016/32018 (the fit is not possible).
  bool Approximate(int code, int degree);
  // Fills every gap between the first and the last value by a small network trained on its
  // neighbours; progress (may be null) is the abort window. Always true.
  bool InterpolateGaps(int code, const std::string& coordinateName, GapProgress* progress,
                       bool resetPosition);
  // Writes the series of code 0, 3, 6 or 9 (as y) into the points of every frame from the first
  // to the last value, creating points (other coordinates missing) where a value has none.
  void WerteZurueckschreiben(int code);

  // Draws the code's series (nothing for a hidden sequence).
  void Draw(PlotCanvas& canvas, int code, const PlotMapping& map);
  // True when the drawn series passes within 7 pixels of (t, v).
  bool HitTest(int code, float t, float v, float sx, float sy) const;
  // Moves the crosshair onto the series: to the nearest value (sx not 0, or no crosshair yet), or
  // along the level v (sx 0) to the nearest frame at that level.
  void SnapCrosshair(int code, float& t, float& v, float sx, float sy);

 private:
  SeriesArray& Position(int coordinate) { return positions_[coordinate]; }
  void GatherPosition(int coordinate, bool startPair, bool mergeFrames);
  // Reads x, y, z and which frames have a point in one pass over the points, at the first
  // request of any coordinate; a coordinate's series shows from its own first request.
  void FillPositions();
  void GatherDerivative(int coordinate, int order);
  void ComputeDerivative(int coordinate, int order);
  float PointCoordinate(int frame, int coordinate, bool& hasPoint) const;
  // GatherAllSeries in three steps: the series are made on the calling thread (false when the
  // entry is not fresh and goes the way of GetStatistics), every block of frames can be filled
  // on any thread, and the blocks' statistics make the range.
  friend void GatherAllSeries(std::span<AnlWinObjectSequence* const> entries);
  bool AllocateAllSeries();
  struct BlockStatistics;
  void FillBlock(int from, int to, BlockStatistics& statistics);
  void FinishAllSeries(std::span<const BlockStatistics> blocks);
  void GatherOneByOne();
  SeriesView View(int code) const;

  ResObjectSequence* sequence_;
  std::array<bool, AnalysisRange::kDerivatives> derivativeValid_{};
  int crosshairIndex_ = -1;
  AnalysisRange range_;
  std::array<SeriesArray, AnalysisRange::kDerivatives> derivatives_;
  std::array<SeriesArray, 3> positions_;
  std::array<bool, 3> positionRequested_{};
  // 1 where the frame has a point (kept up to date by the write-back's new points).
  std::vector<char, UninitialisedAllocator<char>> hasPoint_;
  // The drawn series' summary; every change of a series drops it.
  mutable SeriesSummaryCache summary_;
};

// GatherAllSeries of every entry (each entry once), the blocks of frames of all of them side by
// side on the worker threads of objects/parallel.h. Only the calling thread allocates, so only it
// can report a lack of memory.
void GatherAllSeries(std::span<AnlWinObjectSequence* const> entries);

// Reports 32000/32010 (too little memory) and ends the program with exit code 1.
[[noreturn]] void AnalysisOutOfMemory();

// Makes the array n elements of fill, or ends the program as AnalysisOutOfMemory says.
template <class V>
void AllocateSeries(V& series, std::size_t n, typename V::value_type fill) {
  try {
    series.assign(n, fill);
  } catch (const std::bad_alloc&) {
    AnalysisOutOfMemory();
  }
}

// Makes the array n elements long, their values left to the caller.
template <class V>
void AllocateUninitialised(V& series, std::size_t n) {
  try {
    series.resize(n);
  } catch (const std::bad_alloc&) {
    AnalysisOutOfMemory();
  }
}
