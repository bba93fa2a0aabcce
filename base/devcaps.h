#pragma once

// The lines of the device-capabilities dialog: what a device reports, as numbers and as lines
// of capability words. A value the device does not report is absent and shown as such; a value
// without a name in its table is shown as its number.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What a device reports; absent fields are not known on this system.
struct DeviceCaps {
  std::optional<int> driverVersion;
  int technology = 0;  // 0 plotter, 1 raster display, 2 raster printer, ... 6 display file
  std::optional<int> horzSizeMm, vertSizeMm, horzRes, vertRes, logPixelsX, logPixelsY;
  std::optional<int> bitsPixel, planes, numBrushes, numPens, numFonts, numColors;
  std::optional<int> aspectX, aspectY, aspectXY;
  int clipCaps = 1;
  std::optional<int> sizePalette, numReserved, colorRes;
  std::uint32_t rasterCaps = 0, curveCaps = 0, lineCaps = 0, polygonalCaps = 0, textCaps = 0;
};

// The number fields of the dialog: each static's id with its text.
struct CapsValue {
  int id;
  std::string text;
};
std::vector<CapsValue> CapsValues(const DeviceCaps& caps);

enum class CapsList { kRaster, kCurve, kLine, kPolygonal, kText };
// The lines of one capability list box for its word, unsorted (the list box sorts them).
std::vector<std::string> CapsLines(CapsList list, std::uint32_t word);
// The word of a list.
std::uint32_t CapsWord(const DeviceCaps& caps, CapsList list);
// The list box of each list.
int CapsListId(CapsList list);

std::string TechnologyName(int technology);
