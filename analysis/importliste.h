#pragma once

// ImportListe: the imported acquisition channels of an analysis window, with the range of all of
// them and the scale of their own ordinate. The imported values fill the window's plot height:
// with the window's ordinate factor f (pixels per window unit) and offset o (the window's
// minimum), an imported value v stands at the window ordinate (v - min) * scale / f + o.

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "analysis/importzeichnen.h"

class ImportListe {
 public:
  using List = std::vector<std::unique_ptr<ImportZeichnen>>;

  // The frame at which the first sample of every import lies.
  static constexpr float kStartFrame = 1.0f;

  // Lets the user choose a data file and its description; a failed import is dropped (null).
  // The new one takes the colour index one above the largest of the list (1 for the first).
  ImportZeichnen* AddImport(unsigned penWidth, unsigned penStyle, bool connect,
                            DaqFileDialogs& dialogs);
  // Gives the import a colour that neither another import nor the window (usedByWindow) has,
  // trying each colour of the table once from the index above the largest; when every colour
  // is taken the import keeps the one it has.
  void ChooseFreeColor(ImportZeichnen& import,
                       const std::function<bool(ColorValue)>& usedByWindow) const;
  // The largest colour index of the imports, -1 without any.
  int LargestColorIndex() const;

  const List& Imports() const { return imports_; }
  bool Empty() const { return imports_.empty(); }
  void Clear() { imports_.clear(); }

  void ComputeAll(int order);
  bool AnyValid() const;
  bool AnyHasTwoValues() const;
  void SetStyle(unsigned width, unsigned style, bool connect, bool automatic);
  void SetAutomaticStyle(bool on);
  bool ColorInUseByAnother(ColorValue color, const ImportZeichnen* except) const;

  // Over the valid imports: smallest first sample and min, largest last sample and max; none
  // without a valid import.
  std::optional<CurveRange> RangeOfAll() const;
  // The frames of the earliest and the latest sample of the valid imports; none without one.
  std::optional<std::pair<float, float>> FrameRange() const;

  // Pixels per imported unit: height / (max - min), or for a flat range alternativeHeight /
  // |max| (1 when max is 0 as well), with the sign of the window's ordinate scale.
  void ComputeScale(float height, float alternativeHeight, float referenceScale);
  float Scale() const { return scale_; }
  float Min() const { return min_; }
  float Max() const { return max_; }
  float ToWindowOrdinate(float value, float f, float o) const;
  // The window ordinate of the largest imported value.
  float Top(float f, float o) const { return ToWindowOrdinate(max_, f, o); }
  float FromWindowOrdinate(float p, float f, float o) const;

  // Draws every import; frameMap maps (frame, imported value) to pixels.
  void DrawAll(PlotCanvas& canvas, const PlotMapping& frameMap) const;
  // The first import within reach of the frame t and the window ordinate p (sx pixels per
  // frame; f and o as above), or null.
  ImportZeichnen* HitTest(float t, float p, float sx, float f, float o) const;

 private:
  List imports_;
  float min_ = 0, max_ = 0;
  float scale_ = 1.0f;
};
