#pragma once

// What the filter and gamma dialogs do, apart from their windows. Both work on the bitmap a
// window shows and, after each change, tell the window to prepare and repaint its image (the
// notify function, which the dialogs bind to command 24371 to their parent).

#include <functional>
#include <string>
#include <string_view>

#include "sequences/dib.h"

// The filter dialog: chooses the filter id and the paint delay of the shown bitmap.
class FilterDlgModel {
 public:
  FilterDlgModel(CDIB& dib, std::function<void()> notify);

  int Filter() const { return dib_.filterId; }
  int FilterAtOpening() const { return original_; }
  // The clicked radio button's id becomes the filter at once.
  void Choose(int filterId);
  // The paint delay edit lost the focus: its number (text that is no number: 0) becomes the
  // paint delay in milliseconds, kept within 0..CDIB::kMaxPaintDelayMs.
  void SetPaintDelayText(std::string_view text);
  std::string PaintDelayText() const;
  // Restores the filter of the opening.
  void Cancel();

 private:
  CDIB& dib_;
  std::function<void()> notify_;
  int original_;
};

// The gamma dialog: three factors as scroll positions 25..200 (factor = position / 100).
class GammaDialogModel {
 public:
  static constexpr int kMinPosition = 25;
  static constexpr int kMaxPosition = 200;
  static constexpr int kLineStep = 1;
  static constexpr int kPageStep = 10;
  enum Colour { kRed = 0, kGreen = 1, kBlue = 2 };

  // Takes the bitmap's factors; "Keep together RGB" starts checked when the three are equal.
  // defaults receives "Save as Default" (none: nothing is saved).
  GammaDialogModel(CDIB& dib, std::function<void()> notify, GammaDefaults* defaults);

  // factor x 100, truncated.
  int Position(Colour c) const;
  double Factor(Colour c) const { return factors_[c]; }
  // The factor with two decimals.
  std::string FactorText(Colour c) const;
  bool KeepTogether() const { return keepTogether_; }
  bool Linear() const { return linear_; }

  // A scroll bar moved (clamped to 25..200); with "Keep together RGB" all three follow.
  void SetPosition(Colour c, int position);
  // Checking it sets green and blue to the red position.
  void SetKeepTogether(bool on);
  void SetLinear(bool on);
  // All three factors 1.00; "Keep together RGB" keeps its state.
  void Reset();
  void SaveAsDefault() const;

 private:
  void Apply();

  CDIB& dib_;
  std::function<void()> notify_;
  GammaDefaults* defaults_;
  double factors_[3];
  bool linear_;
  bool keepTogether_;
};
