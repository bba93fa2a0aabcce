#pragma once

// The turn of the 3D picture as the user gives it: one angle per coordinate axis, in whole
// degrees, kept as the short decimal texts that the angle panel's edits show (at most four
// characters each). Only the angle of the current axis is non-zero: the axis changed last wins
// and the other two are cleared.

#include <array>
#include <string>

class ViewAngles {
 public:
  static constexpr std::size_t kMaxLength = 4;

  // The text of axis 1 (X), 2 (Y) or 3 (Z).
  const std::string& Text(int axis) const { return text_[Index(axis)]; }
  // Takes the text as typed, cut to kMaxLength characters.
  void SetText(int axis, const std::string& text);
  // The number the text starts with (optional sign, digits); 0 when it has none.
  int Value(int axis) const;
  // The text "%i" of the value.
  void Set(int axis, int degrees);

  // 0 before any axis was turned, else 1..3.
  int CurrentAxis() const { return currentAxis_; }
  void SetCurrentAxis(int axis) { currentAxis_ = axis; }

  // For X, Y, Z in this order: an axis that is not the current one but has a non-zero angle
  // becomes the current one and the other two angles become 0.
  void KeepOneAxis();
  // Every angle to its value in 0..359 (so -90 becomes 270), then KeepOneAxis.
  void Normalize();
  // The user enters the edit of an axis: unless it is the current axis, the two others become 0.
  void EnterAxis(int axis);
  // All three angles 0 (the current axis stays).
  void Clear();

  // A scroll-bar position moved beyond 0..359 wraps around: above 359 to 0, below 0 to 359.
  static int WrapScroll(int position);

 private:
  static std::size_t Index(int axis);

  std::array<std::string, 3> text_{"0", "0", "0"};
  int currentAxis_ = 0;
};
