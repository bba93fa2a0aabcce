#pragma once

// ImportZeichnen: one imported acquisition channel as a curve of an analysis window. Its series
// is indexed by sample - 1; the samples lie on the window's frame axis by the description's rate:
// sample 1 at the start frame and each further sample 1 / samples-per-frame frames later, so a
// derivative stays where its samples were recorded. Its values have their own ordinate, whose
// scale the ImportListe keeps.

#include "analysis/import/daqimport.h"
#include "analysis/curves/kurve.h"

class ImportZeichnen : public AnlWinKurve, public DaqImport {
 public:
  // The frame at which the first sample lies.
  static constexpr float kStartFrame = 1.0f;

  // Lets the user choose the data file and reads its description; IsImported() tells whether
  // both succeeded.
  ImportZeichnen(unsigned penWidth, unsigned penStyle, bool connect, int colorIndex,
                 DaqFileDialogs& dialogs);
  friend bool operator==(const ImportZeichnen& a, const ImportZeichnen& b) {
    return static_cast<const DaqImport&>(a) == static_cast<const DaqImport&>(b);
  }

  // The import succeeded so far (a data file and its description were read).
  bool IsImported() const { return DaqImport::IsValid(); }
  // The computed series holds a value.
  using AnlWinKurve::IsValid;

  // Reads the samples (their count at the first call) and derives them by the order per sample.
  void Compute(int order);

  float FramesPerSample() const { return framesPerSample_; }
  // Where a sample lies on the frame axis, and back.
  float SampleToFrame(float sample, float start) const;
  float FrameToSample(float abscissa, float start) const;
  // The value of the sample nearest to the abscissa; the missing value beyond the samples or
  // without a series.
  float ValueAt(float abscissa, float start) const;
  // First and last sample with a value, smallest and largest value.
  CurveRange GetRange() const;
  int FirstSample() const { return first_; }
  int LastSample() const { return last_; }
  // What the curve lists ask of their curves: imports are never hidden, and count samples.
  int LastFrame() const { return last_; }
  bool IsHidden() const { return false; }

  int ColorIndex() const { return colorIndex_; }
  // The colour of the index in the predefined object colours (modulo their count).
  void SetColorIndex(int index);

  // A mapping of (frame, imported value) to pixels made into one of (sample, imported value).
  PlotMapping SampleMapping(const PlotMapping& frameMap, float start) const;
  void Draw(PlotCanvas& canvas, const PlotMapping& frameMap, float start = kStartFrame) const;
  // t is a frame, v an imported value; sx and sy their scales.
  bool HitTest(float t, float v, float sx, float sy, float start = kStartFrame) const;
  // Moves the crosshair (frame t, imported value v) onto the curve.
  void SnapCrosshair(float& t, float& v, float sx, float sy, float start);

 private:
  int colorIndex_;
  float framesPerSample_ = 1.0f;
  float min_ = kMissingValue, max_ = kMissingValue;
  int first_ = -1, last_ = -1;
};

// The colour of index i in the predefined object colours (modulo their count).
ColorValue PredefinedObjectColor(int index);
// How many predefined object colours there are.
int PredefinedObjectColorCount();
