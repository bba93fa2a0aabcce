#include "objects/colordescr.h"

#include <algorithm>
#include <cmath>

#include "base/defaults.h"
#include "objects/docaccess.h"

namespace {

constexpr int kMinTemplateSide = 3;
constexpr std::size_t kPaletteLimit = 256;

void DrawCross(ObjectCanvas& c, int x, int y, int w, int h, const Pen& pen) {
  c.Line(x, y - h / 2, x, y - h / 2 + h, pen);
  c.Line(x - w / 2, y, x - w / 2 + w, y, pen);
}

}  // namespace

ColorDescr::ColorDescr(ColorValue color)
    : color(color),
      markerWidth(objdoc::Defaults().markWidth),
      markerHeight(objdoc::Defaults().markHeight),
      style(objdoc::Defaults().markShape) {}

float ColorDescr::GetMarkerRadius() const {
  const double w = markerWidth, h = markerHeight;
  return static_cast<float>(std::sqrt(w * w + h * h) * 0.5);
}

ColorValue ColorDescr::NearestPaletteColor(const std::vector<PaletteEntry>* palette) const {
  if (!palette) return color;
  const std::size_t n = std::min(palette->size(), kPaletteLimit);
  for (std::size_t i = 0; i < n; ++i) {
    const PaletteEntry& e = (*palette)[i];
    if (e.red == RedOf(color) && e.green == GreenOf(color) && e.blue == BlueOf(color)) {
      return PaletteIndex(static_cast<int>(i));
    }
  }
  return color;
}

void ColorDescr::DrawMarker(ObjectCanvas& c, int x, int y, int width, int height, int markStyle,
                            bool monochrome) const {
  const int w = width == 0 ? markerWidth : width;
  const int h = height == 0 ? markerHeight : height;
  const int s = (markStyle < 0 || markStyle >= kMarkerStyleCount) ? style : markStyle;
  const ColorValue col = monochrome ? kBlack : NearestPaletteColor(c.Palette());
  const Pen pen{col, 1, kPenSolid};
  const int left = x - w / 2, top = y - h / 2, right = left + w, bottom = top + h;
  switch (s) {
    case kMarkerRectangle:
      c.FrameRect(left, top, right, bottom, col);
      break;
    case kMarkerCircle:
      c.Ellipse(left, top, right, bottom, pen, std::nullopt);
      break;
    case kMarkerTriangle:
      c.Line(x, y - h / 2, x - h / 2 - 1, y + h / 2 + 1, pen);
      c.Line(x, y - h / 2, x + h / 2 + 1, y + h / 2 + 1, pen);
      c.Line(x - h / 2, y + h / 2, x + w / 2 + 1, y + h / 2, pen);
      break;
    case kMarkerRhomb:
      c.Line(x, y - h / 2, x + w / 2, y, pen);
      c.Line(x + w / 2, y, x, y + h / 2, pen);
      c.Line(x, y + h / 2, x - w / 2, y, pen);
      c.Line(x - w / 2, y, x, y - h / 2, pen);
      break;
    case kMarkerCross:
      DrawCross(c, x, y, w, h, pen);
      break;
    case kMarkerStar:
      DrawCross(c, x, y, w, h, pen);
      c.Line(left, top, right, bottom, pen);
      c.Line(x + w / 2, top, x + w / 2 - w, bottom, pen);
      break;
    case kMarkerCrossCircle:
      DrawCross(c, x, y, w, h, pen);
      c.Ellipse(left, top, right, bottom, pen, std::nullopt);
      break;
    case kMarkerFilledRectangle:
      c.FillRect(left, top, right, bottom, col);
      break;
    case kMarkerFilledCircle:
      c.Ellipse(left, top, right, bottom, pen, col);
      break;
    default:
      break;
  }
}

Template::Template(int frameWidth, int frameHeight, bool colour, std::array<std::int32_t, 5> work)
    : isColor(colour), work(work) {
  SetDefaults(frameWidth, frameHeight);
}

Template::Template(const Template& other)
    : isColor(other.isColor),
      work(other.work),
      width(other.width),
      height(other.height),
      shape(other.shape),
      xOffset(other.xOffset),
      yOffset(other.yOffset) {}

int Template::SideFromPercent(int percent, int frameSide) {
  const long long side = static_cast<long long>(percent / 2) * frameSide / 100 * 2 + 1;
  return static_cast<int>(std::max<long long>(side, kMinTemplateSide));
}

void Template::SetDefaults(int frameWidth, int frameHeight) {
  const DefaultValueStruct& d = objdoc::Defaults();
  xOffset = d.templateXOffset;
  yOffset = d.templateYOffset;
  shape = d.templateShape == kTemplateCircle ? kTemplateCircle : kTemplateRectangle;
  SetSize(SideFromPercent(d.templateWidth, frameWidth),
          SideFromPercent(d.templateHeight, frameHeight));
}

void Template::SetSize(int w, int h) {
  for (auto& p : planes_) std::vector<std::uint8_t>().swap(p);
  width = w;
  height = h;
}

std::uint8_t* Template::Plane(int index) {
  if (width <= 0 || height <= 0) return nullptr;
  auto& p = planes_[index];
  if (p.empty()) p.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
  return p.data();
}

std::uint8_t* Template::GreyPlane() { return Plane(0); }
std::uint8_t* Template::RedPlane() { return isColor ? Plane(1) : nullptr; }
std::uint8_t* Template::GreenPlane() { return isColor ? Plane(2) : nullptr; }
std::uint8_t* Template::BluePlane() { return isColor ? Plane(3) : nullptr; }
