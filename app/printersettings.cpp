#include "app/printersettings.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "platform/numbers.h"

bool g_PageSetupInInches = true;

PrinterSettings& ThePrinterSettings() {
  static PrinterSettings settings;
  return settings;
}

std::int32_t TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  return platform::ClampToInt(value, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max());
}

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) return 0;
  const std::int64_t product = std::int64_t(a) * b;
  const std::int64_t half = std::llabs(c) / 2;
  const bool negative = (product < 0) != (c < 0);
  std::int64_t q = (std::llabs(product) + half) / std::llabs(c);
  if (negative) q = -q;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      q, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

namespace {
std::int32_t Clamp32(std::int64_t v) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// Clamps one axis: margins first, then the area inside them.
void ClampAxis(std::int32_t paper, std::int32_t& marginA, std::int32_t& marginB,
               std::int32_t& areaStart, std::int32_t& areaSize) {
  // A negative margin would put the window off the paper.
  marginA = std::max(marginA, 0);
  marginB = std::max(marginB, 0);
  if (std::int64_t(paper) - kMarginRoom < std::int64_t(marginA) + marginB)
    marginA = marginB = std::max<std::int32_t>((paper - kMarginRoom) / 2, 0);
  if (areaStart < 0) areaStart = 0;
  areaSize = std::max(areaSize, 0);
  const std::int64_t room = std::int64_t(paper) - marginA - marginB;
  if (room < std::int64_t(areaStart) + areaSize) {
    const std::int64_t start = room - areaSize;
    if (start < 0) {
      areaSize = Clamp32(std::max<std::int64_t>(areaSize + start, 0));
      areaStart = 0;
    } else {
      areaStart = Clamp32(start);
    }
  }
}
}  // namespace

int PrinterSettings::Px(double v) const { return TruncToInt(v / kHundredthsPerInch * ScreenPpiX); }
int PrinterSettings::Py(double v) const { return TruncToInt(v / kHundredthsPerInch * ScreenPpiY); }

QSize PrinterSettings::PrintSize(int w, int h) const {
  if (ScreenPpiX <= 0 || ScreenPpiY <= 0) return {};
  const double W = std::trunc(double(w) * kHundredthsPerInch / ScreenPpiX);
  const double H = std::trunc(double(h) * kHundredthsPerInch / ScreenPpiY);
  const bool sized = w != 0 && h != 0;
  if (!WholePage && sized) {
    if (!KeepAspect) return {Px(AreaWidth), Py(AreaHeight)};
    if (W == 0 || H == 0) return {};
    const float sx = float(AreaWidth) / float(W), sy = float(AreaHeight) / float(H);
    const float s = sx <= sy ? sx : sy;
    return {Px(W * s), Py(H * s)};
  }
  if (!KeepAspect || !sized) {
    if (PrinterPpiX <= 0 || PrinterPpiY <= 0) return {};
    return {MulDiv(PageWidthPx, ScreenPpiX, PrinterPpiX) - Px(double(MarginLeft) + MarginRight),
            MulDiv(PageHeightPx, ScreenPpiY, PrinterPpiY) - Py(double(MarginTop) + MarginBottom)};
  }
  if (W == 0 || H == 0) return {};
  const double sx = (double(PaperWidth) - MarginLeft - MarginRight) / W;
  const double sy = (double(PaperHeight) - MarginTop - MarginBottom) / H;
  const double s = sx <= sy ? sx : sy;
  return {Px(W * s), Py(H * s)};
}

namespace {
// The near edge of a window of the given length along one axis: at the near side, centred or at
// the far side of the space from start to end (screen pixels).
int PlaceAlong(std::int32_t position, std::int32_t nearSide, int start, int end, int length) {
  if (position == nearSide) return start;
  if (position == PosCenter) return start + TruncToInt((double(end - start) - length) * 0.5);
  return end - length;
}
}  // namespace

QRect PrinterSettings::PlaceOnPage(QSize size) const {
  const int w = size.width(), h = size.height();
  int x = 0, y = 0;
  if (WholePage) {
    // The centre is taken over the room between the margins, the sides at the margins.
    const int left = Px(MarginLeft), top = Py(MarginTop);
    const int right = HorzPosition == PosCenter
                          ? left + Px(double(PaperWidth) - MarginLeft - MarginRight)
                          : Px(double(PaperWidth) - MarginRight);
    const int bottom = VertPosition == PosCenter
                           ? top + Py(double(PaperHeight) - MarginTop - MarginBottom)
                           : Py(double(PaperHeight) - MarginBottom);
    x = PlaceAlong(HorzPosition, PosLeft, left, right, w);
    y = PlaceAlong(VertPosition, PosTop, top, bottom, h);
  } else {
    const int left = Px(double(MarginLeft) + AreaLeft), top = Py(double(MarginTop) + AreaTop);
    const int right = HorzPosition == PosCenter ? left + Px(AreaWidth)
                                                : Px(double(MarginLeft) + AreaLeft + AreaWidth);
    const int bottom = VertPosition == PosCenter ? top + Py(AreaHeight)
                                                 : Py(double(MarginTop) + AreaTop + AreaHeight);
    x = PlaceAlong(HorzPosition, PosLeft, left, right, w);
    y = PlaceAlong(VertPosition, PosTop, top, bottom, h);
  }
  return QRect(x, y, w, h);
}

void PrinterSettings::Clamp() {
  ClampAxis(PaperWidth, MarginLeft, MarginRight, AreaLeft, AreaWidth);
  ClampAxis(PaperHeight, MarginTop, MarginBottom, AreaTop, AreaHeight);
}

void PrinterSettings::FromPrinter(const PrinterMetrics& m,
                                  const std::optional<PageMargins>& margins) {
  PageWidthPx = std::max(m.pageWidthPx, 0);
  PageHeightPx = std::max(m.pageHeightPx, 0);
  PrinterPpiX = std::max(m.ppiX, 0);
  PrinterPpiY = std::max(m.ppiY, 0);
  PaperWidth = Clamp32(std::int64_t(std::max(m.widthMm, 0)) * 100);
  PaperHeight = Clamp32(std::int64_t(std::max(m.heightMm, 0)) * 100);
  if (margins) {
    MarginLeft = margins->left;
    MarginTop = margins->top;
    MarginRight = margins->right;
    MarginBottom = margins->bottom;
  }
  if (AreaWidth == 0 || AreaHeight == 0 || WholePage) {
    AreaLeft = AreaTop = 0;
    AreaWidth = Clamp32(std::int64_t(PaperWidth) - MarginLeft - MarginRight);
    AreaHeight = Clamp32(std::int64_t(PaperHeight) - MarginTop - MarginBottom);
  }
  Clamp();
}

QRect PrinterSettings::MarginFrame() const {
  const int left = Px(MarginLeft), top = Py(MarginTop);
  return QRect(QPoint(left, top), QPoint(Px(double(PaperWidth) - MarginRight),
                                         Py(double(PaperHeight) - MarginBottom)));
}

QRect PrinterSettings::AreaFrame() const {
  return QRect(Px(double(AreaLeft) + MarginLeft), Py(double(AreaTop) + MarginTop), Px(AreaWidth),
               Py(AreaHeight));
}
