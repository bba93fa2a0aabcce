#include "base/unitsorigin.h"

#include <strings.h>

#include <cmath>

#include "base/profile.h"
#include "platform/strings.h"

UnitsOrigin g_UnitsOrigin;

namespace {

constexpr double kFactors[8] = {1.0, 0.1, 0.001, 0.000001, 0.03937, 0.00328, 0.00000062137119, 1.0};
constexpr const char* kCorners[4] = {"LeftTop", "RightTop", "LeftBottom", "RightBottom"};
constexpr std::size_t kWordSize = 41;  // words of at most 40 characters

bool IsLength(int u) { return u >= 0 && u <= unit::kPixel; }

// Files written on Windows spell the degree sign as the single Latin-1 byte 0xB0.
std::string FromLatin1Degree(std::string word) {
  return word == "\xB0" ? std::string(platform::LoadString(unit::kFirstName + unit::kDegree))
                        : word;
}

bool SameWord(const std::string& a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The first unit in first..last whose name equals word, or -1.
int FindUnit(const std::string& word, int first, int last) {
  for (int u = first; u <= last; ++u)
    if (SameWord(word, platform::LoadString(unit::kFirstName + u))) return u;
  return -1;
}

std::string ReadWord(int keyId) {
  std::string word;
  g_Profile->GetString(key::kSection, keyId, word, kWordSize, "");
  return FromLatin1Degree(word);
}

float ToTime(double v, int u, double fps) {
  switch (u) {
    case unit::kMs:
      return static_cast<float>(v / fps * 1000.0);
    case unit::kS:
      return static_cast<float>(v / fps);
    default:
      return static_cast<float>(v / fps / 3600.0);
  }
}

float FromTime(double v, int u, double fps) {
  switch (u) {
    case unit::kMs:
      return static_cast<float>(v * fps * 0.001);
    case unit::kS:
      return static_cast<float>(v * fps);
    default:
      return static_cast<float>(v * fps * 3600.0);
  }
}

bool IsTime(int u) { return u >= unit::kMs && u <= unit::kH; }

}  // namespace

double LengthFactor(int u) { return IsLength(u) ? kFactors[u] : 1.0; }

float UnitsOrigin::ToUnit(float value, int u, float fps) const {
  if (value == kMissingValue) return value;
  if (u < 0) u = spaceUnit;
  if (IsLength(u)) return static_cast<float>(value * kFactors[u]);
  if (u == unit::kDegree) return static_cast<float>(value / M_PI * 180.0);
  if (IsTime(u)) return ToTime(static_cast<double>(value) - 1.0, u, fps);
  return value;
}

float UnitsOrigin::DurationToUnit(float value, int u, float fps) const {
  if (value == kMissingValue) return value;
  if (u < 0) u = spaceUnit;
  if (IsTime(u)) return ToTime(value, u, fps);
  return ToUnit(value, u, fps);
}

float UnitsOrigin::FromUnit(float value, int u, float fps) const {
  if (value == kMissingValue) return value;
  if (u < 0) u = spaceUnit;
  if (IsLength(u)) return static_cast<float>(value / kFactors[u]);
  if (u == unit::kDegree) return static_cast<float>(value * M_PI / 180.0);
  if (IsTime(u)) return FromTime(value, u, fps) + 1.0f;
  return value;
}

float UnitsOrigin::DurationFromUnit(float value, int u, float fps) const {
  if (value == kMissingValue) return value;
  if (u < 0) u = spaceUnit;
  if (IsTime(u)) return FromTime(value, u, fps);
  return FromUnit(value, u, fps);
}

void UnitsOrigin::VectorToUnit(float out[3], float x, float y, float z, int u) const {
  double f = (u >= 0 && u <= unit::kMiles) ? kFactors[u] : LengthFactor(spaceUnit);
  out[0] = static_cast<float>(x * f);
  out[1] = static_cast<float>(y * f);
  out[2] = static_cast<float>(z * f);
}

std::string UnitsOrigin::UnitName(int u) const {
  if (u < 0 || u >= 15) u = spaceUnit;
  return std::string(platform::LoadString(unit::kFirstName + u));
}

void UnitsOrigin::Read() {
  if (!g_Profile) return;
  if (int u = FindUnit(ReadWord(key::kSpaceUnits), unit::kMm, unit::kPixel); u >= 0) spaceUnit = u;
  if (int u = FindUnit(ReadWord(key::kTimeUnits), unit::kMs, unit::kFrames); u >= 0) timeUnit = u;
  if (int u = FindUnit(ReadWord(key::kAngleUnits), unit::kDegree, unit::kRadian); u >= 0)
    angleUnit = u;
  std::string corner = ReadWord(key::kOrigin);
  for (int c = 0; c < 4; ++c)
    if (SameWord(corner, kCorners[c])) origin = c;
}

void UnitsOrigin::Write() const {
  if (!g_Profile) return;
  g_Profile->WriteString(key::kSection, key::kSpaceUnits, UnitName(spaceUnit));
  g_Profile->WriteString(key::kSection, key::kTimeUnits, UnitName(timeUnit));
  g_Profile->WriteString(key::kSection, key::kAngleUnits, UnitName(angleUnit));
  if (origin >= 0 && origin < 4)
    g_Profile->WriteString(key::kSection, key::kOrigin, kCorners[origin]);
}
