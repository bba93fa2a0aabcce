#include "base/unitsorigin.h"

#include <gtest/gtest.h>

#include <cmath>

#include "common/settings_fixture.h"

namespace {

struct ConversionCase {
  float value;
  int unit;
  float fps;
  float to;        // ToUnit
  float duration;  // DurationToUnit
};

TEST(UnitsOrigin, ConvertsIntoDisplayUnitsAndBack) {
  UnitsOrigin u;
  const ConversionCase cases[] = {
      {1, unit::kS, 25, 0, 0.04f},
      {26, unit::kS, 25, 1, 1.04f},
      {26, unit::kMs, 25, 1000, 1040},
      {25, unit::kS, 25, 0.96f, 1},
      {1000, unit::kM, 25, 1, 1},
      {1, unit::kInch, 25, 0.03937f, 0.03937f},
      {float(M_PI), unit::kDegree, 25, 180, 180},
      {3601, unit::kH, 1, 1, 3601.f / 3600},
      {7, unit::kFrames, 25, 7, 7},
      {2, unit::kRadian, 25, 2, 2},
      {10, -1, 25, 10, 10},  // the space unit, mm
  };
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(u.ToUnit(c.value, c.unit, c.fps), c.to) << c.value << " in " << c.unit;
    EXPECT_FLOAT_EQ(u.DurationToUnit(c.value, c.unit, c.fps), c.duration)
        << c.value << " in " << c.unit;
    EXPECT_NEAR(u.FromUnit(c.to, c.unit, c.fps), c.value, 1e-3 * std::fabs(c.value));
    EXPECT_NEAR(u.DurationFromUnit(c.duration, c.unit, c.fps), c.value, 1e-3 * std::fabs(c.value));
    for (auto f : {&UnitsOrigin::ToUnit, &UnitsOrigin::DurationToUnit, &UnitsOrigin::FromUnit,
                   &UnitsOrigin::DurationFromUnit})
      EXPECT_EQ((u.*f)(kMissingValue, c.unit, c.fps), kMissingValue);
  }
  u.spaceUnit = unit::kCm;
  EXPECT_FLOAT_EQ(u.ToUnit(10, -1, 25), 1);
  float v[3];
  u.VectorToUnit(v, 10, 20, 30, unit::kPixel);  // pixel is no length here: the space unit
  EXPECT_FLOAT_EQ(v[2], 3);
  u.VectorToUnit(v, 1000, 0, 0, unit::kM);
  EXPECT_FLOAT_EQ(v[0], 1);
  EXPECT_EQ(u.UnitName(20), "cm");
  EXPECT_EQ(u.UnitName(unit::kDegree), "°");
}

using Units = TempSettings;

TEST_F(Units, ReadsWordsWithoutRegardToCaseAndWritesThemBack) {
  WriteSettings("[Zorvatrack]\nSpaceUnits=CM\nTimeUnits=S\nAngleUnits=\xB0\nOrigin=righttop\n");
  UnitsOrigin u;
  u.Read();
  EXPECT_EQ(u.spaceUnit, unit::kCm);
  EXPECT_EQ(u.timeUnit, unit::kS);
  EXPECT_EQ(u.angleUnit, unit::kDegree);
  EXPECT_EQ(u.origin, kOriginRightTop);
  EXPECT_TRUE(u.MirrorsX());
  EXPECT_FALSE(u.MirrorsY());
  u.angleUnit = unit::kRadian;
  u.Write();
  EXPECT_EQ(ReadFile(profile_->FilePath()),
            "[Zorvatrack]\nSpaceUnits=cm\nTimeUnits=s\nAngleUnits=rad\nOrigin=RightTop\n");
}

TEST_F(Units, UnknownWordsLeaveTheFields) {
  WriteSettings(
      "[Zorvatrack]\nSpaceUnits=Pixel\nTimeUnits=fortnights\nAngleUnits=mm\nOrigin=Middle\n");
  UnitsOrigin u;
  u.Read();
  EXPECT_EQ(u.spaceUnit, unit::kPixel);
  EXPECT_EQ(u.timeUnit, unit::kFrames);
  EXPECT_EQ(u.angleUnit, unit::kDegree);
  EXPECT_EQ(u.origin, kOriginLeftBottom);
}

}  // namespace
