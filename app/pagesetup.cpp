#include "app/pagesetup.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/numbers.h"

namespace {
constexpr int kMaxTypedChars = 200;

std::int32_t Room(const PrinterSettings& s, bool horizontal) {
  const std::int64_t room = horizontal ? std::int64_t(s.PaperWidth) - s.MarginLeft - s.MarginRight
                                       : std::int64_t(s.PaperHeight) - s.MarginTop - s.MarginBottom;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(room, 0, INT32_MAX));
}

struct Axis {
  std::int32_t& start;
  std::int32_t& size;
};
Axis AxisOf(PrinterSettings& s, bool horizontal) {
  return horizontal ? Axis{s.AreaLeft, s.AreaWidth} : Axis{s.AreaTop, s.AreaHeight};
}
}  // namespace

std::int32_t ReadLength(std::string_view text, bool inches, std::int32_t limit) {
  const double v = platform::ParseDouble(text.substr(0, kMaxTypedChars));
  if (!std::isfinite(v)) return 0;
  const double hundredths = v * (inches ? kHundredthsPerInch : 100.0);
  return TruncToInt(std::clamp(hundredths, 0.0, double(std::max(limit, 0))));
}

namespace {
double InUnit(std::int32_t hundredths, bool inches) {
  return inches ? hundredths / double(kHundredthsPerInch) : hundredths * 0.01;
}
}  // namespace

std::string FormatLength(std::int32_t hundredths, bool inches) {
  return platform::FormatFixed(InUnit(hundredths, inches), 2);
}

std::string FormatPaperSize(const PrinterSettings& s, bool inches) {
  const int decimals = inches ? 2 : 1;
  return platform::FormatFixed(InUnit(s.PaperWidth, inches), decimals) + " x " +
         platform::FormatFixed(InUnit(s.PaperHeight, inches), decimals);
}

bool SetMargins(PrinterSettings& s, const double typed[4]) {
  std::int32_t* fields[4] = {&s.MarginLeft, &s.MarginRight, &s.MarginTop, &s.MarginBottom};
  bool changed = false;
  for (int i = 0; i < 4; ++i) {
    if (float(typed[i]) == float(*fields[i])) continue;
    *fields[i] = TruncToInt(typed[i]);
    changed = true;
  }
  if (changed) s.Clamp();
  return changed;
}

bool SetAreaStart(PrinterSettings& s, bool horizontal, std::int32_t value) {
  Axis a = AxisOf(s, horizontal);
  if (value == a.start) return false;
  const std::int32_t room = Room(s, horizontal);
  a.start = std::clamp(value, 0, room);
  if (std::int64_t(a.start) + a.size > room) {
    a.size = room - a.start;
    if (a.size < kMinAreaSize) {
      // Keep 10 mm where the margins leave that much, always starting inside them.
      a.size = std::min(kMinAreaSize, room);
      a.start = room - a.size;
    }
  }
  return true;
}

bool SetAreaSize(PrinterSettings& s, bool horizontal, std::int32_t value) {
  Axis a = AxisOf(s, horizontal);
  if (value == a.size) return false;
  const std::int32_t room = Room(s, horizontal);
  a.size = std::min(std::max(value, kMinAreaSize), std::max(room, 0));
  if (std::int64_t(a.start) + a.size > room) a.start = std::max(room - a.size, 0);
  return true;
}

namespace {
// One axis of the picker: the third clicked gives the position, and the area moves to that side
// of the free room or into its middle.
void PickAlong(int at, int cell, std::int32_t freeRoom, std::int32_t nearSide, std::int32_t farSide,
               std::int32_t& position, std::int32_t& start) {
  if (at > 2 * cell) {
    position = farSide;
    start = std::max(freeRoom, 0);
  } else if (at > cell) {
    position = PosCenter;
    start = std::max(freeRoom / 2, 0);
  } else {
    position = nearSide;
    start = 0;
  }
}
}  // namespace

void PickPosition(PrinterSettings& s, int x, int y, int cw, int ch) {
  PickAlong(x, cw, Room(s, true) - s.AreaWidth, PosLeft, PosRight, s.HorzPosition, s.AreaLeft);
  PickAlong(y, ch, Room(s, false) - s.AreaHeight, PosTop, PosBottom, s.VertPosition, s.AreaTop);
}

QRect PreviewPageRect(QSize client, int panelWidth, std::int32_t paperWidth,
                      std::int32_t paperHeight) {
  constexpr int kGap = 5;
  if (paperWidth <= 0 || paperHeight <= 0) return {};
  const int left = panelWidth + kGap, top = kGap;
  const float ratio = float(paperHeight) / float(paperWidth);
  if (float(client.width() - panelWidth) * ratio <= float(client.height())) {
    const int width = std::max(client.width() - kGap - left, 0);
    const std::int64_t percent = std::int64_t(paperHeight) * 98 / paperWidth;
    return QRect(left, top, width, TruncToInt(double(width) * percent / 100));
  }
  const int height = std::max(client.height() - kGap - top, 0);
  const std::int64_t percent = std::int64_t(paperWidth) * 98 / paperHeight;
  return QRect(left, top, TruncToInt(double(height) * percent / 100), height);
}
