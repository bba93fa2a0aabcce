#pragma once

// ColorPalette: the display palette of an image sequence, 256 entries. On a palette display the
// frames of a true-colour sequence are shown through it; entries 10..33 carry the object colours
// of the tracking display and entries 34..245 the sequence's colours (212 of them). A Linux
// display is never a palette display, so nothing is drawn through it; it keeps the data.

#include <array>
#include <cstdint>

#include "sequences/dib.h"

class ColorPalette {
 public:
  static constexpr int kSize = 256;
  static constexpr int kFirstObjectEntry = 10, kObjectEntries = 24;
  static constexpr int kFirstSequenceEntry = 34, kSequenceEntries = 212;
  // A colour reference to a palette entry: this flag plus the index.
  static constexpr std::uint32_t kPaletteIndexFlag = 0x01000000;

  // Starts as the grey ramp (entry i = i, i, i).
  ColorPalette();

  const PaletteEntry& operator[](int index) const { return entries_[index]; }
  const std::array<PaletteEntry, kSize>& Entries() const { return entries_; }

  // Object colours: sets entry index mod 24 + 10.
  void SetEntry(int index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // The sequence's colours from its 256-entry colour table into entries 34..245: a position
  // starts at 0 and grows by 1 for a colour sequence (the first 212 colours), by 2.4170616 for a
  // grey one (212 greys spread over the ramp, restarting at half the step once it reaches 255);
  // each entry takes the table entry at the position.
  void SetEntries(const std::array<PaletteEntry, kSize>& table, bool colour);
  // The nearest entry to colour (0x00BBGGRR): a palette-index reference (kPaletteIndexFlag |
  // index) when that entry is exactly the colour, else the colour itself.
  std::uint32_t NearestIndex(std::uint32_t colour) const;

 private:
  std::array<PaletteEntry, kSize> entries_{};
};
