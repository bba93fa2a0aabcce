#pragma once

// AnlWinKurve: the base of the curves an analysis window computes from object sequences
// (distances, resultants, angles) or reads from files. It owns a float series indexed by frame
// (or sample) - 1 with the missing value for none, its style and colours, its valid flag and its
// crosshair position. Derived curves pass their own frame count (their last frame) to the
// operations that need one.

#include <vector>

#include "analysis/plot/curvelook.h"
#include "analysis/plot/seriesdraw.h"
#include "analysis/series/seriessummary.h"
#include "objects/canvas.h"

class ColorDescr;

// The frame range and value range of a curve, as floats.
struct CurveRange {
  float first = 0, min = 0, last = 0, max = 0;
};

class AnlWinKurve : public CurveLook {
 public:
  AnlWinKurve(unsigned penWidth, unsigned penStyle, bool connect, bool markers);
  // Every field but the series (the copy has none).
  AnlWinKurve(const AnlWinKurve& other);
  AnlWinKurve& operator=(const AnlWinKurve&) = delete;

  void SetColor(ColorValue color) { SetOwnColor(color); }
  ColorValue GetColor() const { return OwnColor(); }
  // Highlight colour on or off; the crosshair leaves the curve.
  void SetHighlight(bool on);
  int CrosshairIndex() const { return crosshairIndex_; }

  bool IsValid() const { return valid_; }
  // The series, or null before the curve is computed.
  const float* Values() const { return series_.empty() ? nullptr : series_.data(); }
  // The first n entries hold at least two values.
  bool HasTwoValues(int n) const;

  // The Savitzky-Golay filter (sgfilter.h).
  static void Differentiate(const float* input, int n, int w, int order, float* output);
  // Marks the derivative entries that frames without a value of the curve's own series spoil.
  void MarkUndefined(float* output, int order, int n) const;
  // The same for angle series, where a value below -0.01 is undefined.
  void MarkUndefinedAngles(float* output, int order, int n) const;

  // Draws frames 1..last; marker (may be null) is drawn at each value without connect.
  void DrawPolyline(PlotCanvas& canvas, const PlotMapping& map, int last,
                    const ColorDescr* marker) const;
  // True when the curve of n frames passes within 7 pixels of (t, v) near t.
  bool HitTest(float t, float v, float sx, float sy, int n) const;
  // Moves the crosshair onto the curve (see AnlWinObjectSequence::SnapCrosshair); at a local
  // extremum a level beyond it keeps the crosshair where it is.
  void SnapCrosshair(float& t, float& v, float sx, float sy, int n);

 protected:
  // The derivative of the order of the first `last` entries replaces them: input holds 0 where
  // undefinedInput(value) holds; marks(output) marks the entries the undefined ones spoil; an
  // entry keeps a value where the output has one and keepsValue(series value) holds. Sets the
  // valid flag, min and max (missing when no value is left).
  template <class Undefined, class Marks, class Keeps>
  void DeriveSeries(int order, int last, Undefined undefinedInput, Marks marks, Keeps keepsValue,
                    float& min, float& max);
  // The ordinary rules: a value is the missing value.
  void Derive(int order, int last, float& min, float& max);
  // Angle rules: an angle at or below -0.001 is undefined, below -0.01 it spoils its neighbours.
  void DeriveAngles(int order, int last, float& min, float& max);

  // The series for writing: its drawing summary is dropped.
  std::vector<float>& MutableSeries() {
    summary_.Drop();
    return series_;
  }

  bool valid_ = false;
  int crosshairIndex_ = -1;

 private:
  SeriesView View(int n) const;

  std::vector<float> series_;
  mutable SeriesSummaryCache summary_;
};
