#pragma once

// ColorDescr: the colour and marker of an object sequence (also of a connection and of the
// curves of the analysis windows): a colour, a marker width and height in pixels and one of nine
// marker styles. Template: the image patch that tracking compares from frame to frame, with its
// size, shape and offsets. Both start from the program's defaults (g_Defaults; the built-in
// defaults when there is none).

#include <array>
#include <cstdint>
#include <vector>

#include "objects/canvas.h"

// Marker styles 0..8; their words are strings 3022..3030.
enum MarkerStyle : int {
  kMarkerRectangle = 0,
  kMarkerCircle = 1,
  kMarkerTriangle = 2,
  kMarkerRhomb = 3,
  kMarkerCross = 4,
  kMarkerStar = 5,
  kMarkerCrossCircle = 6,
  kMarkerFilledRectangle = 7,
  kMarkerFilledCircle = 8,
};
inline constexpr int kMarkerStyleCount = 9;
// The string id of the word of style 0.
inline constexpr int kMarkerStyleWordId = 3022;

class ColorDescr {
 public:
  // The colour, with marker width, height and style from the defaults.
  explicit ColorDescr(ColorValue color = kBlack);
  ColorDescr(ColorValue color, int width, int height, int style)
      : color(color), markerWidth(width), markerHeight(height), style(style) {}
  ColorDescr(const ColorDescr&) = default;
  ColorDescr& operator=(const ColorDescr&) = default;
  virtual ~ColorDescr() = default;

  void Assign(const ColorDescr& other) { *this = other; }

  // Draws the marker centred on (x, y). Width and height 0 mean the descriptor's own; a style
  // outside 0..8 means the descriptor's own (and an own style outside 0..8 draws nothing).
  // Monochrome draws in black, otherwise in NearestPaletteColor of the canvas's palette.
  void DrawMarker(ObjectCanvas& canvas, int x, int y, int width = 0, int height = 0, int style = -1,
                  bool monochrome = false) const;
  // Half the marker's diagonal.
  float GetMarkerRadius() const;
  // The colour itself without a palette; with one, the palette-index colour when the nearest
  // entry (below 256) holds exactly this colour, else the colour itself.
  ColorValue NearestPaletteColor(const std::vector<PaletteEntry>* palette) const;

  ColorValue color;
  std::int32_t markerWidth;
  std::int32_t markerHeight;
  std::int32_t style;
};

enum TemplateShape : int { kTemplateRectangle = 0, kTemplateCircle = 1 };

class Template {
 public:
  // The working values of a new template and of one read from a file.
  static constexpr std::array<std::int32_t, 5> kInitialWork = {0, 0, 0, 1, 0};

  // Offsets and shape from the defaults, size from the frame size and the default percentages.
  // colour: keep three colour planes besides the grey one.
  Template(int frameWidth, int frameHeight, bool colour,
           std::array<std::int32_t, 5> work = kInitialWork);
  // Every field; fresh planes of the same size (their pixels are not copied).
  Template(const Template& other);
  Template& operator=(const Template&) = delete;
  virtual ~Template() = default;

  // Offsets, shape and size from the defaults for a frame of that size.
  void SetDefaults(int frameWidth, int frameHeight);
  // Sets the size and drops the planes' pixels.
  void SetSize(int width, int height);

  // The template side for a frame side and a percentage: ((p / 2) * side / 100) * 2 + 1, at
  // least 3 (always odd, so the template has a centre pixel).
  static int SideFromPercent(int percent, int frameSide);

  // The planes, width x height bytes each, top line first; made when first asked for. The colour
  // planes are null for a grey template.
  std::uint8_t* GreyPlane();
  std::uint8_t* RedPlane();
  std::uint8_t* GreenPlane();
  std::uint8_t* BluePlane();

  bool isColor;
  std::array<std::int32_t, 5> work;
  std::int32_t width = 3;
  std::int32_t height = 3;
  std::int32_t shape = kTemplateRectangle;
  std::int32_t xOffset = 0;
  std::int32_t yOffset = 0;

 private:
  std::uint8_t* Plane(int index);

  // Grey, red, green, blue. Allocated lazily: a project has a template per object and video,
  // most of which never track.
  std::array<std::vector<std::uint8_t>, 4> planes_;
};
