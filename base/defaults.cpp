#include "base/defaults.h"

#include <strings.h>

#include <cmath>

#include "base/profile.h"
#include "base/savefile.h"
#include "platform/files.h"
#include "platform/program_path.h"
#include "platform/strings.h"

DefaultValueStruct* g_Defaults = nullptr;

namespace {

constexpr MapColor kBuiltIn[kBuiltInColors] = {
    {255, 0, 0},   {255, 255, 0}, {0, 255, 0},   {0, 255, 255}, {0, 0, 255},   {255, 0, 255},
    {255, 128, 0}, {128, 255, 0}, {0, 255, 128}, {0, 128, 255}, {128, 0, 255}, {255, 0, 128},
    {255, 64, 0},  {191, 255, 0}, {0, 255, 64},  {0, 191, 255}, {64, 0, 255},  {255, 0, 191},
    {255, 191, 0}, {64, 255, 0},  {0, 255, 191}, {0, 64, 255},  {191, 0, 255}, {255, 0, 64},
};

constexpr std::size_t kWordSize = 41;
constexpr std::size_t kPathSize = 4096;

bool SameWord(const std::string& a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string Word(int id) { return std::string(platform::LoadString(id)); }

int GetInt(int keyId, int def, int low, int high) {
  int v = g_Profile->GetInt(key::kSection, keyId, def);
  return v < low || v > high ? def : v;
}

bool GetFlag(int keyId, bool def) { return g_Profile->GetInt(key::kSection, keyId, def) != 0; }

double GetReal(int keyId, float def, double low, double high) {
  double v = g_Profile->GetDouble(key::kSection, keyId, def);
  return std::isfinite(v) && v >= low && v <= high ? v : def;
}

std::string GetWord(int keyId) {
  std::string w;
  g_Profile->GetString(key::kSection, keyId, w, kWordSize, "");
  return w;
}

void PutInt(int keyId, int v) { g_Profile->WriteInt(key::kSection, keyId, v); }
void PutReal(int keyId, double v) {
  g_Profile->WriteValue(key::kSection, keyId, static_cast<float>(v));
}
void PutWord(int keyId, const std::string& w) { g_Profile->WriteString(key::kSection, keyId, w); }

int AlgorithmOf(const std::string& word) {
  if (SameWord(word, Word(key::kAlgorithmCrossCorrelation))) return algorithm::kCrossCorrelation;
  if (SameWord(word, Word(key::kAlgorithmManual))) return algorithm::kManual;
  if (SameWord(word, Word(key::kAlgorithmTextureTracking))) return algorithm::kTextureTracking;
  return algorithm::kSSD;
}

std::string AlgorithmWord(int algorithmId) {
  switch (algorithmId) {
    case algorithm::kManual:
      return Word(key::kAlgorithmManual);
    case algorithm::kCrossCorrelation:
      return Word(key::kAlgorithmCrossCorrelation);
    case algorithm::kTextureTracking:
      return Word(key::kAlgorithmTextureTracking);
    default:
      return Word(key::kAlgorithmSSD);
  }
}

int MarkShapeOf(const std::string& word) {
  for (int s = 0; s < shape::kCount; ++s)
    if (SameWord(word, Word(key::kShapeFirst + s))) return s;
  return shape::kFilledRectangle;
}

}  // namespace

MapColor BuiltInColor(int i) { return kBuiltIn[i]; }

std::string DefaultColorMapPath() {
  std::string folder = SettingsFolder();
  if (!folder.empty()) return folder + "/Zorvat.col";
  std::string path = platform::ProgramPath();
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
  return path + ".col";
}

int ReadColorMap(const std::string& path, std::array<MapColor, kMaxMapColors>& colors) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return 0;
  int count = static_cast<int>(std::min<std::size_t>(bytes.size() / 3, kMaxMapColors));
  for (int i = 0; i < count; ++i) {
    colors[i] = {static_cast<std::uint8_t>(bytes[3 * i]),
                 static_cast<std::uint8_t>(bytes[3 * i + 1]),
                 static_cast<std::uint8_t>(bytes[3 * i + 2])};
  }
  return count;
}

namespace {

std::string ColorMapBytes(const std::array<MapColor, kMaxMapColors>& colors, int count) {
  std::string bytes;
  for (int i = 0; i < count && i < kMaxMapColors; ++i) {
    bytes += static_cast<char>(colors[i].red);
    bytes += static_cast<char>(colors[i].green);
    bytes += static_cast<char>(colors[i].blue);
  }
  return bytes;
}

}  // namespace

bool WriteColorMap(const std::string& path, const std::array<MapColor, kMaxMapColors>& colors,
                   int count) {
  return platform::WriteFileAtomically(path, ColorMapBytes(colors, count));
}

bool SaveColorMap(const std::string& path, const std::array<MapColor, kMaxMapColors>& colors,
                  int count) {
  return SaveFile(path, ColorMapBytes(colors, count));
}

void DefaultValueStruct::Load() {
  const std::string defaultPath = DefaultColorMapPath();
  colorMapPath = defaultPath;
  if (g_Profile)
    g_Profile->GetString(key::kSection, key::kDefaultColorMap, colorMapPath, kPathSize,
                         defaultPath);

  colorCount = ReadColorMap(colorMapPath, colors);
  if (colorCount == 0 && colorMapPath != defaultPath) {
    colorMapPath = defaultPath;
    colorCount = ReadColorMap(colorMapPath, colors);
  }
  if (colorCount == 0) {
    std::copy(std::begin(kBuiltIn), std::end(kBuiltIn), colors.begin());
    colorCount = kBuiltInColors;
    WriteColorMap(colorMapPath, colors, colorCount);  // the file is missing or empty
  }

  if (!g_Profile) return;
  templateXOffset = GetInt(key::kTemplateXOffset, 0, -99, 99);
  templateYOffset = GetInt(key::kTemplateYOffset, 0, -99, 99);
  templateWidth = GetInt(key::kTemplateWidth, 8, 1, 50);
  templateHeight = GetInt(key::kTemplateHeight, 8, 1, 50);
  markWidth = GetInt(key::kMarkWidth, 7, 1, 99);
  markHeight = GetInt(key::kMarkHeight, 7, 1, 99);
  horizontalLimit = GetInt(key::kHorizontalLimit, 16, 1, 50);
  verticalLimit = GetInt(key::kVerticalLimit, 16, 1, 50);
  templateShape = SameWord(GetWord(key::kTemplateShape), Word(key::kShapeFirst + shape::kCircle))
                      ? shape::kCircle
                      : shape::kRectangle;
  markShape = MarkShapeOf(GetWord(key::kMarkShape));
  defaultAlgorithm = AlgorithmOf(GetWord(key::kDefaultAlgorithm));
  gammaRed = GetReal(key::kGammaFactorRed, 1.0f, 1e-3, 1e3);
  gammaGreen = GetReal(key::kGammaFactorGreen, 1.0f, 1e-3, 1e3);
  gammaBlue = GetReal(key::kGammaFactorBlue, 1.0f, 1e-3, 1e3);
  linearCorrection = GetFlag(key::kUseLinearCorrection, false);
  tracking.thresholdSSD = GetInt(key::kThresholdSSD, 45, 0, 255);
  tracking.thresholdCross = GetReal(key::kThresholdCROSS, 0.495f, -1.0, 1.0);
  tracking.adaptTemplate = GetFlag(key::kAdaptTemplate, true);
  tracking.breakOnBadMatch = GetFlag(key::kBreakOnBadMatch, true);
  tracking.autoSingleStep = GetFlag(key::kAutoSingleStep, false);
  tracking.alwaysTrackGrayscale = GetFlag(key::kAlwaysTrackGrayscale, true);
}

bool DefaultValueStruct::Save() {
  // A colour map that already holds these colours is left alone: a shared, write-protected map
  // the user loaded is not reported at every save.
  std::string onDisk;
  const bool colorsWritten = (platform::ReadWholeFile(colorMapPath, onDisk) &&
                              onDisk == ColorMapBytes(colors, colorCount)) ||
                             SaveColorMap(colorMapPath, colors, colorCount);
  if (!g_Profile) return colorsWritten;
  PutWord(key::kDefaultColorMap, colorMapPath);
  PutWord(key::kDefaultAlgorithm, AlgorithmWord(defaultAlgorithm));
  PutInt(key::kTemplateXOffset, templateXOffset);
  PutInt(key::kTemplateYOffset, templateYOffset);
  PutInt(key::kTemplateWidth, templateWidth);
  PutInt(key::kTemplateHeight, templateHeight);
  PutWord(key::kTemplateShape,
          Word(key::kShapeFirst + (templateShape == shape::kRectangle ? 0 : 1)));
  PutInt(key::kHorizontalLimit, horizontalLimit);
  PutInt(key::kVerticalLimit, verticalLimit);
  PutInt(key::kMarkWidth, markWidth);
  PutInt(key::kMarkHeight, markHeight);
  PutWord(key::kMarkShape, Word(key::kShapeFirst + (markShape >= 0 && markShape < shape::kCount
                                                        ? markShape
                                                        : shape::kFilledRectangle)));
  PutReal(key::kGammaFactorRed, gammaRed);
  PutReal(key::kGammaFactorGreen, gammaGreen);
  PutReal(key::kGammaFactorBlue, gammaBlue);
  PutInt(key::kUseLinearCorrection, linearCorrection ? 1 : 0);
  PutInt(key::kThresholdSSD, tracking.thresholdSSD);
  PutReal(key::kThresholdCROSS, tracking.thresholdCross);
  PutInt(key::kAdaptTemplate, tracking.adaptTemplate);
  PutInt(key::kBreakOnBadMatch, tracking.breakOnBadMatch);
  PutInt(key::kAutoSingleStep, tracking.autoSingleStep);
  PutInt(key::kAlwaysTrackGrayscale, tracking.alwaysTrackGrayscale);
  std::string initial;
  g_Profile->GetString(key::kSection, key::kInitialPath, initial, kPathSize, "");
  std::string app = GetAppDataFolder();
  if (initial.empty() && !app.empty()) PutWord(key::kInitialPath, app + "/Harvelund/Zorvatrack");
  return colorsWritten;
}

void DefaultValueStruct::ResetToDefaultValues() {
  const std::string path = colorMapPath;
  const int count = colorCount;
  const auto map = colors;
  *this = DefaultValueStruct{};
  tracking.alwaysTrackGrayscale = false;  // "Default values" turns grey-scale tracking off
  colorMapPath = path;
  colorCount = count;
  colors = map;
}
