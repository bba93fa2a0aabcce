#pragma once

// analysis/curves/: the curves computed from object sequences (distances, resultants, angles).
//
// The curve lists of the distance, resultant and angle windows (Distanzen, ResultierendenListe,
// WinkelListe): each owns its curves and computes, draws, ranges, hit-tests and highlights them
// together. Which list and which parameters a quantity code takes is CurveParametersOf.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/curves/curves.h"

class ResObjectSequences;
class StickFigure;

enum class CurveKind { kDistance, kResultant, kAngle };

struct CurveParameters {
  CurveKind kind;
  int order = 0;
  ResultantMode mode = ResultantMode::kMagnitudeFirst;
  int plane = 0;
};
// None for codes that plot the series of object sequences.
std::optional<CurveParameters> CurveParametersOf(int code);

template <class Curve>
class KurvenListe {
 public:
  using List = std::vector<std::unique_ptr<Curve>>;

  KurvenListe() = default;
  // Copies every curve (without its series).
  KurvenListe(const KurvenListe& other) {
    for (const auto& c : other.curves_) curves_.push_back(std::make_unique<Curve>(*c));
  }
  KurvenListe& operator=(const KurvenListe&) = delete;

  const List& Curves() const { return curves_; }
  bool Empty() const { return curves_.empty(); }

  // A curve is valid and not hidden.
  bool AnyValid() const {
    return std::any_of(curves_.begin(), curves_.end(), [](auto& c) { return Counts(*c); });
  }
  // Over the valid, not hidden curves: the smallest first frame and min, the largest last frame
  // and max; none without such a curve.
  std::optional<CurveRange> RangeOfAll() const {
    std::optional<CurveRange> all;
    for (const auto& c : curves_) {
      if (!Counts(*c)) continue;
      const CurveRange r = c->GetRange();
      if (!all) {
        all = r;
        continue;
      }
      all->first = std::min(all->first, r.first);
      all->min = std::min(all->min, r.min);
      all->last = std::max(all->last, r.last);
      all->max = std::max(all->max, r.max);
    }
    return all;
  }
  void DrawAll(PlotCanvas& canvas, const PlotMapping& map) const {
    for (const auto& c : curves_) c->Draw(canvas, map);
  }
  // The first curve hit, or null.
  Curve* HitTest(float t, float v, float sx, float sy) const {
    for (const auto& c : curves_)
      if (c->HitTest(t, v, sx, sy)) return c.get();
    return nullptr;
  }
  bool ColorInUse(ColorValue color) const {
    return std::any_of(curves_.begin(), curves_.end(),
                       [&](auto& c) { return c->GetColor() == color; });
  }
  void SetStyle(unsigned width, unsigned style, bool connect, bool markers, bool automatic) {
    for (auto& c : curves_) c->SetStyle(width, style, connect, markers, automatic);
  }
  void SetAutomaticStyle(bool on) {
    for (auto& c : curves_) c->SetAutomaticStyle(on);
  }
  bool AnyHasTwoValues() const {
    return std::any_of(curves_.begin(), curves_.end(),
                       [](auto& c) { return !c->IsHidden() && c->HasTwoValues(c->LastFrame()); });
  }

 protected:
  static bool Counts(const Curve& c) { return c.IsValid() && !c.IsHidden(); }
  // Highlights the first curve that matches and returns it, or null.
  template <class Match>
  Curve* SelectWhere(Match match) {
    for (auto& c : curves_) {
      if (!match(*c)) continue;
      c->SetHighlight(true);
      return c.get();
    }
    return nullptr;
  }

  List curves_;
};

class Distanzen : public KurvenListe<DistanzZeichnen> {
 public:
  // One curve per connection of the stick figure, in the connection's colour.
  void CreateEntries(const StickFigure& figure, unsigned width, unsigned style, bool connect);
  void ComputeAll(int order);
  DistanzZeichnen* Select(const ResObjectSequence* a, const ResObjectSequence* b);
};

class ResultierendenListe : public KurvenListe<ResultierendeZeichnen> {
 public:
  // One curve per sequence that passes the mask and is not hidden.
  void CreateEntries(const ResObjectSequences& sequences, std::uint32_t mask, unsigned width,
                     unsigned style, bool connect);
  void ComputeAll(int order, ResultantMode mode);
  ResultierendeZeichnen* Select(const ResObjectSequence* sequence);
};

class WinkelListe : public KurvenListe<WinkelZeichnen> {
 public:
  // One curve per angle none of whose four sequences is hidden.
  void CreateEntries(const StickFigure& figure, unsigned width, unsigned style, bool connect);
  void ComputeAll(int order, int plane);
  WinkelZeichnen* Select(const AngleSequencePair* angle);
};
