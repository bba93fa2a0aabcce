#include "analysis/dreid/viewangles.h"

#include <algorithm>

#include "analysis/dreid/dreidsegments.h"

std::size_t ViewAngles::Index(int axis) {
  return static_cast<std::size_t>(std::clamp(axis, 1, 3) - 1);
}

void ViewAngles::SetText(int axis, const std::string& text) {
  text_[Index(axis)] = text.substr(0, kMaxLength);
}

int ViewAngles::Value(int axis) const {
  const std::string& t = Text(axis);
  std::size_t i = 0;
  while (i < t.size() && (t[i] == ' ' || t[i] == '\t')) ++i;
  bool negative = false;
  if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
  int v = 0;
  // At most four characters: no overflow is possible, but a longer text set by a caller stops
  // before it could.
  for (int digits = 0; i < t.size() && t[i] >= '0' && t[i] <= '9' && digits < 9; ++i, ++digits)
    v = v * 10 + (t[i] - '0');
  return negative ? -v : v;
}

void ViewAngles::Set(int axis, int degrees) { text_[Index(axis)] = std::to_string(degrees); }

void ViewAngles::KeepOneAxis() {
  for (int axis = 1; axis <= 3; ++axis) {
    if (currentAxis_ == axis || Value(axis) == 0) continue;
    for (int other = 1; other <= 3; ++other)
      if (other != axis) Set(other, 0);
    currentAxis_ = axis;
  }
}

void ViewAngles::Normalize() {
  for (int axis = 1; axis <= 3; ++axis) Set(axis, NormalizeDegrees(Value(axis)));
  KeepOneAxis();
}

void ViewAngles::EnterAxis(int axis) {
  if (currentAxis_ == axis) return;
  for (int other = 1; other <= 3; ++other)
    if (other != axis) Set(other, 0);
}

void ViewAngles::Clear() {
  for (int axis = 1; axis <= 3; ++axis) Set(axis, 0);
}

int ViewAngles::WrapScroll(int position) {
  if (position > 359) return 0;
  if (position < 0) return 359;
  return position;
}
