#pragma once

// ImportListe: the imported acquisition channels of an analysis window, with the range of all of
// them and the scale of their own ordinate. The imported values fill the window's plot height:
// with the window's ordinate factor f (pixels per window unit) and offset o (the window's
// minimum), an imported value v stands at the window ordinate (v - min) * scale / f + o.

#include <functional>
#include <optional>
#include <utility>

#include "analysis/curves/curvelists.h"
#include "analysis/import/importzeichnen.h"

// The derivative order an import takes in a window of the quantity code: that of the quantity
// (x' and velocities 1, y'' and accelerations 2), 0 for the others.
int ImportOrderOf(int code);

class ImportListe : public KurvenListe<ImportZeichnen> {
 public:
  // The frame at which the first sample of every import lies.
  static constexpr float kStartFrame = ImportZeichnen::kStartFrame;

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

  void Clear() { curves_.clear(); }
  void Remove(const ImportZeichnen* import) {
    std::erase_if(curves_, [&](const auto& c) { return c.get() == import; });
  }

  // Reads and derives every import; the imported range follows (RangeOfAll: smallest first
  // sample and min, largest last sample and max of the imports with values).
  void ComputeAll(int order);
  bool ColorInUseByAnother(ColorValue color, const ImportZeichnen* except) const;

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

  // DrawAll draws every import with a mapping of (frame, imported value) to pixels.
  // The first import within reach of the frame t and the window ordinate p (sx pixels per
  // frame; f and o as above), or null.
  ImportZeichnen* HitTest(float t, float p, float sx, float f, float o) const;

 private:
  float min_ = 0, max_ = 0;
  float scale_ = 1.0f;
};
