#pragma once

// The curves an analysis window computes from object sequences: the distance between the two
// sequences of a stick-figure connection, the resultant of one sequence's coordinates, and an
// angle of the stick figure, each the plain value (order 0) or its first or second derivative per
// frame. Frame ranges are -1 until found. None of them owns its sequences.

#include "analysis/curves/kurve.h"
#include "base/unitsorigin.h"

class AngleSequencePair;
class ResObjectSequence;

class DistanzZeichnen : public AnlWinKurve {
 public:
  DistanzZeichnen(ResObjectSequence* a, ResObjectSequence* b, unsigned penWidth, unsigned penStyle,
                  bool connect);
  DistanzZeichnen(const DistanzZeichnen& other) = default;
  friend bool operator==(const DistanzZeichnen& p, const DistanzZeichnen& q) {
    return p.a_ == q.a_ && p.b_ == q.b_;
  }

  // The frames where both sequences have points.
  void FindRange();
  // The distance at every frame where both points have all three coordinates, then its
  // derivative of the order.
  void Compute(int order);
  CurveRange GetRange() const;
  int LastFrame() const { return last_; }
  ResObjectSequence* A() const { return a_; }
  ResObjectSequence* B() const { return b_; }
  // A curve of a hidden sequence is neither drawn nor hit.
  bool IsHidden() const;
  void Draw(PlotCanvas& canvas, const PlotMapping& map) const;
  bool HitTest(float t, float v, float sx, float sy) const;

 private:
  float min_ = kMissingValue, max_ = kMissingValue;
  ResObjectSequence* a_;
  ResObjectSequence* b_;
  int first_ = -1, last_ = -1;
};

// How a resultant is formed: the magnitude of the position, then differentiated; or the
// magnitude of the coordinates' derivatives.
enum class ResultantMode { kMagnitudeFirst, kDerivativesFirst };

class ResultierendeZeichnen : public AnlWinKurve {
 public:
  ResultierendeZeichnen(ResObjectSequence* sequence, unsigned penWidth, unsigned penStyle,
                        bool connect);
  ResultierendeZeichnen(const ResultierendeZeichnen& other) = default;

  void FindRange();
  void Compute(int order, ResultantMode mode);
  CurveRange GetRange() const;
  int LastFrame() const { return last_; }
  ResObjectSequence* Sequence() const { return sequence_; }
  bool IsHidden() const { return false; }
  // Markers are the sequence's own.
  void Draw(PlotCanvas& canvas, const PlotMapping& map) const;
  bool HitTest(float t, float v, float sx, float sy) const;

 private:
  void MagnitudeFirst(int order);
  void DerivativesFirst(int order);

  ResObjectSequence* sequence_;
  float min_ = 0, max_ = 0;
  int first_ = -1, last_ = -1;
};

class WinkelZeichnen : public AnlWinKurve {
 public:
  // Orients the angle anew.
  WinkelZeichnen(AngleSequencePair* angle, unsigned penWidth, unsigned penStyle, bool connect);
  WinkelZeichnen(const WinkelZeichnen& other) = default;

  // The frames where all four sequences have points.
  void FindRange();
  // The angle in the plane (0 spatial, 1 XY, 2 XZ, 3 YZ), then its derivative of the order.
  void Compute(int order, int plane);
  CurveRange GetRange() const;
  int LastFrame() const { return last_; }
  AngleSequencePair* Angle() const { return angle_; }
  bool IsHidden() const { return false; }
  void Draw(PlotCanvas& canvas, const PlotMapping& map) const;
  bool HitTest(float t, float v, float sx, float sy) const;

 private:
  AngleSequencePair* angle_;
  float min_ = 0, max_ = 0;
  int first_ = -1, last_ = -1;
};
