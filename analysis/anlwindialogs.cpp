#include "analysis/anlwindialogs.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace {

constexpr CoordinateButton kButtons[] = {
    {23208, "x", 0, 0},        {23207, "y", 3, 0},         {23205, "z", 6, 0},
    {23261, "xy", 9, 0},       {23206, "x'", 1, 6},        {23204, "y'", 4, 6},
    {23201, "z'", 7, 6},       {23257, "|r|'", 10, 6},     {23259, "|r'|", 11, 6},
    {23200, "x''", 2, 7},      {23203, "y''", 5, 7},       {23202, "z''", 8, 7},
    {23256, "|r|''", 12, 7},   {23258, "|r''|", 13, 7},    {23215, "Angle", 17, 1},
    {23216, "1. Der.", 18, 1}, {23217, "2. Der.", 19, 1},  {23218, "AngleXY", 20, 2},
    {23219, "1. Der.", 21, 2}, {23220, "2. Der.", 22, 2},  {23221, "AngleXZ", 23, 3},
    {23222, "1. Der.", 24, 3}, {23223, "2. Der.", 25, 3},  {23224, "AngleYZ", 26, 4},
    {23225, "1. Der.", 27, 4}, {23226, "2. Der.", 28, 4},  {23253, "Dist.", 14, 5},
    {23254, "1. Der.", 15, 5}, {23255, "2. Der.", 16, 5},
};
static_assert(std::size(kButtons) == 29);

constexpr LineStyleItem kStyles[] = {
    {22204, 24200, 1, 0, true, false, 1},  {22203, 24201, 2, 0, true, false, 1},
    {22201, 24202, 3, 0, true, false, 1},  {22202, 24203, 4, 0, true, false, 1},
    {22207, 24208, 1, 0, false, false, 2}, {22208, 24209, 2, 0, false, false, 2},
    {22209, 24210, 3, 0, false, false, 2}, {22210, 24211, 1, 0, false, true, 2},
    {22212, 24204, 1, 1, true, false, 3},  {22211, 24205, 1, 2, true, false, 3},
    {22206, 24206, 1, 3, true, false, 3},  {22205, 24207, 1, 4, true, false, 3},
};

bool AllDigits(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

std::span<const CoordinateButton> CoordinateButtons() { return kButtons; }

void CoordinateTransfer::Mark(int kind) {
  states.fill(0);
  for (std::size_t i = 0; i < std::size(kButtons); ++i)
    if (kButtons[i].kind == kind) states[i] = 1;
}

std::optional<int> CoordinateTransfer::Chosen() const {
  for (std::size_t i = 0; i < std::size(kButtons); ++i)
    if (states[i]) return kButtons[i].kind;
  return std::nullopt;
}

std::span<const LineStyleItem> LineStyleItems() { return kStyles; }

const LineStyleItem* LineStyleOf(int command) {
  for (const LineStyleItem& s : kStyles)
    if (s.command == command) return &s;
  return nullptr;
}

const LineStyleItem* MatchingLineStyle(unsigned width, unsigned penStyle, bool connect,
                                       bool marker) {
  for (const LineStyleItem& s : kStyles) {
    if (s.connect != connect) continue;
    if (connect ? (s.width == width && s.penStyle == penStyle)
                : (s.marker == marker && (marker || s.width == width)))
      return &s;
  }
  return nullptr;
}

bool LineStyleOffered(const LineStyleItem& item, bool markerAllowed) {
  return !item.marker || markerAllowed;
}

void StyleDragStep(CurveStyleValues& s, bool downwards) {
  s.penStyle = 0;
  s.marker = false;
  if (downwards) {
    if (s.connect) {
      if (s.width > 1) --s.width;
      else s.connect = false;
    } else if (s.width < 3) {
      ++s.width;
    }
  } else {
    if (!s.connect) {
      if (s.width > 1) --s.width;
      else s.connect = true;
    } else if (s.width < 4) {
      ++s.width;
    }
  }
}

bool MatchesRealPicture(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const std::size_t point = text.find('.');
  const std::string_view whole = text.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
  return AllDigits(whole) && AllDigits(fraction) && whole.size() + fraction.size() > 0;
}

bool IsIntegerInRange(std::string_view text, int min, int max) {
  if (text.empty() || text.size() > 9 || !AllDigits(text)) return false;
  int value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value >= min && value <= max;
}

std::optional<float> ParseScaleFactor(std::string_view text) {
  if (!MatchesRealPicture(text)) return std::nullopt;
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

int GaugePercent(unsigned count, unsigned maximum) {
  if (maximum == 0) return 100;
  return static_cast<int>(static_cast<unsigned long long>(count) * 100 / maximum);
}
