#pragma once

// DefaultValueStruct: the program-wide defaults that new object sequences and the tracking
// commands start from, the tracking options, and the colour map of predefined object colours.
// Loaded from the settings (g_Profile) and the colour-map file; saved back at exit and by the
// OK buttons of the presettings and colour-map dialogs.

#include <array>
#include <cstdint>
#include <string>

// One colour of the colour map: red, green, blue.
struct MapColor {
  std::uint8_t red = 0, green = 0, blue = 0;
  friend bool operator==(const MapColor&, const MapColor&) = default;
};

inline constexpr int kMaxMapColors = 236;
inline constexpr int kBuiltInColors = 24;

// Tracking algorithms by their command ids.
namespace algorithm {
inline constexpr int kSSD = 25205, kCrossCorrelation = 25206, kTextureTracking = 25207,
                     kManual = 25208;
}

// Marker shapes 0..8; their words are strings 3022..3030.
namespace shape {
inline constexpr int kRectangle = 0, kCircle = 1, kFilledRectangle = 7, kFilledCircle = 8,
                     kCount = 9;
}

struct TrackingOptions {
  int thresholdSSD = 45;
  double thresholdCross = 0.495;
  bool adaptTemplate = true;
  bool breakOnBadMatch = true;
  bool autoSingleStep = false;
  bool alwaysTrackGrayscale = true;
};

struct DefaultValueStruct {
  std::string colorMapPath;
  int colorCount = kBuiltInColors;
  int markWidth = 7;
  int markHeight = 7;
  int markShape = shape::kFilledRectangle;
  int horizontalLimit = 16;
  int verticalLimit = 16;
  int templateWidth = 8;
  int templateHeight = 8;
  int templateXOffset = 0;
  int templateYOffset = 0;
  int templateShape = shape::kRectangle;
  int defaultAlgorithm = algorithm::kSSD;
  double gammaRed = 1.0;
  double gammaGreen = 1.0;
  double gammaBlue = 1.0;
  bool linearCorrection = false;

  TrackingOptions tracking;
  std::array<MapColor, kMaxMapColors> colors{};

  // Fills everything from the settings and the colour-map file. A missing or empty colour map
  // gives the built-in colours; the default file is written only when it does not exist yet or
  // is empty, so a user's colours are never overwritten unasked. Settings out of their ranges
  // take their defaults.
  void Load();
  // Writes the colour map (unless the file holds these colours already) and every key; false
  // when the colour map could not be written, after telling the user why (the keys are written
  // all the same).
  bool Save();
  // The values of the presettings dialog's "Default values" (colour map untouched).
  void ResetToDefaultValues();
};

// The built-in colour i (0..23).
MapColor BuiltInColor(int i);

// The default colour-map path: the settings folder + "/Zorvat.col", or the program's path with
// ".col" when there is no settings folder.
std::string DefaultColorMapPath();

// Reads up to 236 colours (three bytes each; a trailing incomplete colour is ignored) into
// colors; returns how many were read (0 when the file is missing or empty).
int ReadColorMap(const std::string& path, std::array<MapColor, kMaxMapColors>& colors);
// Writes count colours, three bytes each; false on failure (the old file then stays).
bool WriteColorMap(const std::string& path, const std::array<MapColor, kMaxMapColors>& colors,
                   int count);
// WriteColorMap for a save the user asked for: a failure is reported with its cause.
bool SaveColorMap(const std::string& path, const std::array<MapColor, kMaxMapColors>& colors,
                  int count);

// The program's one instance, made after the settings store.
extern DefaultValueStruct* g_Defaults;
