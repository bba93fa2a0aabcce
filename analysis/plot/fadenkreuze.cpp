#include "analysis/plot/fadenkreuze.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "analysis/plot/axes.h"
#include "base/unitsorigin.h"

namespace {

constexpr ColorValue kGreyText = Rgb(128, 128, 128);

bool InBox(int x, int y, FloatPoint c) {
  const int cx = static_cast<int>(c.x), cy = static_cast<int>(c.y);
  return x >= cx - Fadenkreuze::kHalfBox && x < cx + Fadenkreuze::kHalfBox &&
         y >= cy - Fadenkreuze::kHalfBox && y < cy + Fadenkreuze::kHalfBox;
}

int WantedDecimals(float v) {
  if (v == 0 || v == kMissingValue) return 4;
  const double l = std::log10(std::fabs(static_cast<double>(v)));
  if (l <= 3) return 4;
  return std::max(0, 8 - static_cast<int>(l));
}

}  // namespace

PlotRect PlotRect::Of(const AnlWinAxes& a) {
  const float x1 = a.ValueToPixelX(a.xMin), x2 = a.ValueToPixelX(a.xMax);
  const float y1 = a.ValueToPixelY(a.yMin), y2 = a.ValueToPixelY(a.yMax);
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool Fadenkreuze::HitTest(int x, int y, bool allowLineGrab) {
  horizontalOnly_ = verticalOnly_ = false;
  bool first = InBox(x, y, first_), second = InBox(x, y, second_);
  if (second) first = false;
  auto lineGrab = [&](FloatPoint c) {
    if (std::abs(x - static_cast<int>(c.x)) < kHalfBox) {
      horizontalOnly_ = true;
      return true;
    }
    if (std::abs(y - static_cast<int>(c.y)) < kHalfBox) {
      verticalOnly_ = true;
      return true;
    }
    return false;
  };
  if (!first && !second && allowLineGrab) {
    if (firstSelected_) first = lineGrab(first_);
    if (!first && secondSelected_) second = lineGrab(second_);
  }
  if (!first && !second) return false;
  firstSelected_ = first;
  secondSelected_ = second;
  return true;
}

void Fadenkreuze::MoveSelected(float x, float y) {
  FloatPoint* p = firstSelected_ ? &first_ : secondSelected_ ? &second_ : nullptr;
  if (!p) return;
  if (!verticalOnly_) p->x = x;
  if (!horizontalOnly_) p->y = y;
}

void Fadenkreuze::SetSelectedPosition(float x, float y) {
  if (firstSelected_) first_ = {x, y};
  else if (secondSelected_) second_ = {x, y};
}

void Fadenkreuze::EnableFirst(bool on) {
  if (!on && firstSelected_ && firstEnabled_) horizontalOnly_ = verticalOnly_ = false;
  firstEnabled_ = on;
}

void Fadenkreuze::EnableSecond(bool on) {
  if (!on && secondSelected_ && secondEnabled_) horizontalOnly_ = verticalOnly_ = false;
  secondEnabled_ = on;
}

void Fadenkreuze::DrawLines(PlotCanvas& canvas, int left, int right, int top, int bottom) const {
  const Pen pen{kBlack, 1, kPenSolid};
  auto lines = [&](FloatPoint c) {
    const int cx = static_cast<int>(c.x), cy = static_cast<int>(c.y);
    if (left < cx - kHalfBox) canvas.Line(left, cy, cx - kHalfBox, cy, pen);
    if (cx + kHalfBox + 1 < right) canvas.Line(cx + kHalfBox + 1, cy, right, cy, pen);
    if (top < cy - kHalfBox) canvas.Line(cx, top, cx, cy - kHalfBox, pen);
    if (cy + kHalfBox + 1 < bottom) canvas.Line(cx, cy + kHalfBox + 1, cx, bottom, pen);
  };
  if (firstSelected_ && firstEnabled_) lines(first_);
  if (secondSelected_ && secondEnabled_) lines(second_);
}

void Fadenkreuze::DrawMarkers(PlotCanvas& canvas) const {
  auto cross = [&](FloatPoint c, const Pen& pen) {
    const int cx = static_cast<int>(c.x), cy = static_cast<int>(c.y);
    canvas.Line(cx - 6, cy, cx + 7, cy, pen);
    canvas.Line(cx, cy - 6, cx, cy + 7, pen);
  };
  const Pen one{firstSelected_ ? kBlack : kGreyText, 1, kPenSolid};
  const Pen two{secondSelected_ ? kBlack : kGreyText, 1, kPenSolid};
  if (firstEnabled_) {
    const int cx = static_cast<int>(first_.x), cy = static_cast<int>(first_.y);
    canvas.Ellipse(cx - kHalfBox, cy - kHalfBox, cx + kHalfBox + 1, cy + kHalfBox + 1, one,
                   std::nullopt);
    cross(first_, one);
  }
  if (secondEnabled_) {
    const int cx = static_cast<int>(second_.x), cy = static_cast<int>(second_.y);
    canvas.FrameRect(cx - kHalfBox, cy - kHalfBox, cx + kHalfBox, cy + kHalfBox, two.color);
    cross(second_, two);
  }
}

FloatPoint ClampCrosshair(FloatPoint p, const AnlWinAxes& axes) {
  const PlotRect r = PlotRect::Of(axes);
  const float maxX = std::max(8.0f, r.right + axes.xMargin - 7);
  const float maxY = std::max(8.0f, r.bottom + axes.yMargin - 7);
  return {std::clamp(p.x, 8.0f, maxX), std::clamp(p.y, 8.0f, maxY)};
}

CrosshairAnchor::Place CrosshairAnchor::Record(FloatPoint p, const PlotRect& r,
                                               const AnlWinAxes& axes) {
  Place place;
  place.pixel = p;
  place.outside = !r.Contains(p);
  place.value = {axes.PixelToValueX(p.x), axes.PixelToValueY(p.y)};
  if (p.y <= r.top) place.sides |= 1;
  if (p.x >= r.right) place.sides |= 2;
  if (p.x <= r.left) place.sides |= 4;
  if (p.y >= r.bottom) place.sides |= 8;
  place.farDistance = {p.x - r.right, p.y - r.bottom};
  place.nearDistance = {r.left - p.x, r.top - p.y};
  const float w = r.right - r.left, h = r.bottom - r.top;
  place.relative = {w != 0 ? (p.x - r.left) / w : 0.0f, h != 0 ? (p.y - r.top) / h : 0.0f};
  return place;
}

FloatPoint CrosshairAnchor::Restore(const Place& place, const PlotRect& r,
                                    const AnlWinAxes& axes) {
  if (!place.outside) return {axes.ValueToPixelX(place.value.x), axes.ValueToPixelY(place.value.y)};
  FloatPoint p{r.left + place.relative.x * (r.right - r.left),
               r.top + place.relative.y * (r.bottom - r.top)};
  if (place.sides & 2) p.x = r.right + place.farDistance.x;
  if (place.sides & 4) p.x = r.left - place.nearDistance.x;
  if (place.sides & 8) p.y = r.bottom + place.farDistance.y;
  if (place.sides & 1) p.y = r.top - place.nearDistance.y;
  return p;
}

bool CrosshairAnchor::Take(int code, const Fadenkreuze& crosshairs, const AnlWinAxes& axes) {
  if (Pending()) return false;
  const PlotRect r = PlotRect::Of(axes).Widened();
  code_ = code;
  first_ = Record(crosshairs.First(), r, axes);
  second_ = Record(crosshairs.Second(), r, axes);
  return true;
}

bool CrosshairAnchor::Replace(int code, Fadenkreuze& crosshairs, const AnlWinAxes& axes) {
  if (code_ != code) return false;
  code_ = kNone;
  const PlotRect r = PlotRect::Of(axes).Widened();
  const FloatPoint a = ClampCrosshair(Restore(first_, r, axes), axes);
  const FloatPoint b = ClampCrosshair(Restore(second_, r, axes), axes);
  crosshairs.SetPositions(a.x, a.y, b.x, b.y);
  crosshairs.EnableFirst(r.Contains(a));
  crosshairs.EnableSecond(r.Contains(b));
  return true;
}

int PaneDecimals(std::initializer_list<float> values) {
  if (values.size() == 0) return 4;
  int decimals = WantedDecimals(*values.begin());
  for (float v : values) decimals = std::min(decimals, WantedDecimals(v));
  return decimals;
}

std::string FormatPaneValue(float value, int decimals) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, static_cast<double>(value));
  return buffer;
}
