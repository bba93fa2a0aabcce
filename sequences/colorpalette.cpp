#include "sequences/colorpalette.h"

#include <limits>

namespace {

constexpr double kGreyStep = 2.4170616;  // 255 / 105.5: the ramp twice over 212 entries
constexpr double kLastPosition = 255.0;

}  // namespace

ColorPalette::ColorPalette() {
  for (int i = 0; i < kSize; ++i) {
    const auto v = static_cast<std::uint8_t>(i);
    entries_[i] = {v, v, v, 0};
  }
}

void ColorPalette::SetEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  const int slot = ((index % kObjectEntries) + kObjectEntries) % kObjectEntries;
  entries_[kFirstObjectEntry + slot] = {red, green, blue, 0};
}

void ColorPalette::SetEntries(const std::array<PaletteEntry, kSize>& table, bool colour) {
  const double step = colour ? 1.0 : kGreyStep;
  double position = 0.0;
  for (int i = 0; i < kSequenceEntries; ++i) {
    entries_[kFirstSequenceEntry + i] = table[static_cast<int>(position) % kSize];
    position += step;
    if (position >= kLastPosition) position = step / 2;
  }
}

std::uint32_t ColorPalette::NearestIndex(std::uint32_t colour) const {
  const int red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
  int best = 0;
  int bestDistance = std::numeric_limits<int>::max();
  for (int i = 0; i < kSize; ++i) {
    const int dr = entries_[i].red - red, dg = entries_[i].green - green,
              db = entries_[i].blue - blue;
    const int distance = dr * dr + dg * dg + db * db;
    if (distance < bestDistance) {
      best = i;
      bestDistance = distance;
    }
  }
  return bestDistance == 0 ? kPaletteIndexFlag | static_cast<std::uint32_t>(best) : colour;
}
