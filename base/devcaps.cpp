#include "base/devcaps.h"

#include <array>
#include <cstdio>
#include <iterator>
#include <span>

namespace {

struct Bit {
  std::uint32_t mask;
  const char* set;
  const char* clear;  // null: no line while the bit is clear
};

constexpr Bit kRaster[] = {
    {0x2, "banding required", "no banding required"},
    {0x1, "bitmaptransfer", "no bitmaptransfer"},
    {0x8, "bitmaps > 64K", "no bitmaps > 64K"},
    {0x80, "DIB support", "no DIB support"},
    {0x200, "SetDIBitsToDevice", "no SetDIBitsToDevice"},
    {0x10, "Windows 2.0 support", "no Windows 2.0 support"},
    {0x100, "palette based", "not palette based"},
    {0x4, "scaling", "no scaling"},
    {0x800, "StretchBlt", "no StretchBlt"},
    {0x2000, "StretchDIBits", "no StretchDIBits"},
};
constexpr Bit kCurve[] = {
    {0x1, "circles", "no circles"},
    {0x2, "pie wedges", "no pie wedges"},
    {0x4, "chord arcs", "no chord arcs"},
    {0x8, "ellipses", "no ellipses"},
    {0x10, "wide borders", "no wide borders"},
    {0x20, "styled borders", "no styled borders"},
    {0x40, "widestyled borders", "no widestyled borders"},
    {0x80, "interiors", "no interiors"},
    {0x100, "rounded rectangles", "no rounded rectangles"},
};
constexpr Bit kLine[] = {
    {0x2, "polylines", "no polylines"},        {0x4, "marker", "no marker"},
    {0x8, "polymarker", "no polymarker"},      {0x10, "wide lines", "no wide lines"},
    {0x20, "styled lines", "no styled lines"}, {0x40, "widestyled lines", "no widestyled lines"},
    {0x80, "interiors", "no interiors"},
};
constexpr Bit kPolygonal[] = {
    {0x1, "polygons", "no polygons"},
    {0x2, "rectangles", "no rectangles"},
    {0x4, "winding-fill polygons", "no winding-fill polygons"},
    {0x8, "single scanlines", "no single scanlines"},
    {0x10, "wide borders", "no wide borders"},
    {0x20, "styled borders", "no styled borders"},
    {0x40, "widestyled borders", "no widestyled borders"},
    {0x80, "interiors", "no interiors"},
};
constexpr Bit kText[] = {
    {0x1, "char output precision", "no char output precision"},
    {0x2, "stroke output precision", "no stroke output precision"},
    {0x4, "stroke clip precision", "no stroke clip precision"},
    {0x8, "90 degree char rotation", "no 90 degree char rotation"},
    {0x10, "any char rotation", "no any char rotation"},
    {0x20, "scale indep. in x and y", "no scale indep. in x and y"},
    {0x40, "doubled char for scaling", "no doubled char for scaling"},
    {0x80, "ints for scaling", nullptr},
    {0x100, "multiples for ecxact scaling", "no multiples for ecxact scaling"},
    {0x200, "double-weight chars", "no double-weight chars"},
    {0x400, "italicize", "no italicize"},
    {0x800, "underline", "no underline"},
    {0x1000, "strikeouts", "no strikeouts"},
    {0x2000, "raster fonts", "no raster fonts"},
    {0x4000, "vector fonts", "no vector fonts"},
    {0x10000, "scrolling via bit-block transfer", "no scrolling via bit-block transfer"},
};

constexpr const char* kTechnologies[] = {"Plotter",      "Rasterdisplay",   "Rasterprinter",
                                         "Rastercamera", "Characterstream", "Metafile",
                                         "Displayfile"};
constexpr const char* kNotReported = "not reported";

std::string Number(const std::optional<int>& v) {
  return v ? std::to_string(*v) : std::string(kNotReported);
}

std::string Hex(const std::optional<int>& v) {
  if (!v) return kNotReported;
  char text[16];
  std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(*v));
  return text;
}

std::span<const Bit> TableOf(CapsList list) {
  switch (list) {
    case CapsList::kRaster:
      return kRaster;
    case CapsList::kCurve:
      return kCurve;
    case CapsList::kLine:
      return kLine;
    case CapsList::kPolygonal:
      return kPolygonal;
    case CapsList::kText:
      break;
  }
  return kText;
}

}  // namespace

std::string TechnologyName(int technology) {
  if (technology >= 0 && technology < static_cast<int>(std::size(kTechnologies)))
    return kTechnologies[technology];
  return std::to_string(technology);
}

std::vector<CapsValue> CapsValues(const DeviceCaps& c) {
  std::string clip = c.clipCaps == 0 ? "no" : c.clipCaps == 1 ? "yes" : std::to_string(c.clipCaps);
  return {{21201, Hex(c.driverVersion)},  {21202, TechnologyName(c.technology)},
          {21203, Number(c.horzSizeMm)},  {21204, Number(c.vertSizeMm)},
          {21205, Number(c.horzRes)},     {21206, Number(c.vertRes)},
          {21207, Number(c.logPixelsX)},  {21208, Number(c.logPixelsY)},
          {21209, Number(c.bitsPixel)},   {21210, Number(c.planes)},
          {21211, Number(c.numBrushes)},  {21212, Number(c.numPens)},
          {21213, Number(c.numFonts)},    {21214, Number(c.numColors)},
          {21215, Number(c.aspectX)},     {21216, Number(c.aspectY)},
          {21217, Number(c.aspectXY)},    {21218, clip},
          {21219, Number(c.sizePalette)}, {21220, Number(c.numReserved)},
          {21221, Number(c.colorRes)}};
}

std::vector<std::string> CapsLines(CapsList list, std::uint32_t word) {
  const bool zeroMeansNone =
      list == CapsList::kCurve || list == CapsList::kLine || list == CapsList::kPolygonal;
  if (zeroMeansNone && word == 0) return {"not supported"};
  std::vector<std::string> lines;
  for (const Bit& bit : TableOf(list)) {
    if (word & bit.mask)
      lines.emplace_back(bit.set);
    else if (bit.clear)
      lines.emplace_back(bit.clear);
  }
  return lines;
}

int CapsListId(CapsList list) {
  switch (list) {
    case CapsList::kRaster:
      return 21222;
    case CapsList::kLine:
      return 21223;
    case CapsList::kCurve:
      return 21224;
    case CapsList::kPolygonal:
      return 21225;
    case CapsList::kText:
      break;
  }
  return 21226;
}

std::uint32_t CapsWord(const DeviceCaps& c, CapsList list) {
  switch (list) {
    case CapsList::kRaster:
      return c.rasterCaps;
    case CapsList::kCurve:
      return c.curveCaps;
    case CapsList::kLine:
      return c.lineCaps;
    case CapsList::kPolygonal:
      return c.polygonalCaps;
    case CapsList::kText:
      break;
  }
  return c.textCaps;
}
