#include "analysis/units.h"

#include <gtest/gtest.h>

#include <cmath>

#include "analysis/quantity.h"
#include "analysis_test_util.h"

namespace {

UnitsOrigin Units(int space, int time, int angle) {
  UnitsOrigin u;
  u.spaceUnit = space;
  u.timeUnit = time;
  u.angleUnit = angle;
  return u;
}

// Every quantity code: its caption with cm, s and degrees, and the factor by which a value of 1
// internal unit is shown at 50 frames per second.
TEST(QuantityUnits, CaptionsAndDisplayFactorsOfAllQuantityCodes) {
  struct Row {
    const char* caption;
    double factor;
  };
  const double kDeg = 180.0 / M_PI;
  const Row rows[quantity::kCount] = {
      {"x [cm]", 0.1},
      {"x' [cm/s]", 5},
      {"x'' [cm/s²]", 250},
      {"y [cm]", 0.1},
      {"y' [cm/s]", 5},
      {"y'' [cm/s²]", 250},
      {"z [cm]", 0.1},
      {"z' [cm/s]", 5},
      {"z'' [cm/s²]", 250},
      {"y [cm]", 0.1},
      {"Resulting velocity [cm/s]", 5},
      {"Absolute resulting velocity [cm/s]", 5},
      {"Resulting acceleration [cm/s²]", 250},
      {"Absolute resulting acceleration [cm/s²]", 250},
      {"Distance [cm]", 0.1},
      {"1. distance derivation [cm/s]", 5},
      {"2. distance derivation [cm/s²]", 250},
      {"Angle [°]", kDeg},
      {"1. angle derivation [°/s]", kDeg * 50},
      {"2. angle derivation [°/s²]", kDeg * 2500},
      {"Angle(XY) [°]", kDeg},
      {"1. angle(xy) derivation [°/s]", kDeg * 50},
      {"2. angle(xy) derivation [°/s²]", kDeg * 2500},
      {"Angle(XZ) [°]", kDeg},
      {"1. angle(xz) derivation [°/s]", kDeg * 50},
      {"2. angle(xz) derivation [°/s²]", kDeg * 2500},
      {"Angle(YZ) [°]", kDeg},
      {"1. angle(yz) derivation [°/s]", kDeg * 50},
      {"2. angle(yz) derivation [°/s²]", kDeg * 2500},
      {"CM X [cm]", 0.1},
      {"CM X' [cm/s]", 5},
      {"CM X'' [cm/s²]", 250},
      {"CM Y [cm]", 0.1},
      {"CM Y' [cm/s]", 5},
      {"CM Y'' [cm/s²]", 250},
      {"CM Z [cm]", 0.1},
      {"CM Z' [cm/s]", 5},
      {"CM Z'' [cm/s²]", 250},
      {"CM resulting velocity [cm/s]", 5},
      {"CM absolute resulting velocity [cm/s]", 5},
      {"CM resulting acceleration [cm/s²]", 250},
      {"CM absolute resulting acceleration [cm/s²]", 250},
      // The body-model quantities: metres and seconds whatever the user chose.
      {"Impulse X [Ns]", 0.05},
      {"Impulse Y [Ns]", 0.05},
      {"Impulse Z [Ns]", 0.05},
      {"Impulse magnitude [Ns]", 0.05},
      {"Force X [N]", 2.5},
      {"Force Y [N]", 2.5},
      {"Force Z [N]", 2.5},
      {"Force magnitude [N]", 2.5},
      {"Moment of momentum X [Nms]", 5e-5},
      {"Moment of momentum Y [Nms]", 5e-5},
      {"Moment of momentum Z [Nms]", 5e-5},
      {"Moment of momentum magnitude [Nms]", 5e-5},
      {"Moment of torsion X [Nm]", 2.5e-3},
      {"Moment of torsion Y [Nm]", 2.5e-3},
      {"Moment of torsion Z [Nm]", 2.5e-3},
      {"Moment of torsion magnitude [Nm]", 2.5e-3},
  };
  SequenceDocument d(1);
  d.doc.framesPerSecond = 50.0f;
  for (int code = 0; code < quantity::kCount; ++code) {
    AnlWinUnits u;
    u.Set(code, Units(unit::kCm, unit::kS, unit::kDegree), &d.doc);
    EXPECT_EQ(u.OrdinateUnitCaption(), rows[code].caption) << code;
    EXPECT_NEAR(u.OrdinateToUnit(1.0f), rows[code].factor, rows[code].factor * 1e-5) << code;
  }
}

TEST(QuantityUnits, EveryConversionReturnsToItsValueAndLetsTheMissingValuePass) {
  SequenceDocument d(1);
  d.doc.framesPerSecond = 25.0f;
  const int spaces[] = {unit::kMm,   unit::kCm,   unit::kM,     unit::kKm,
                        unit::kInch, unit::kFeet, unit::kMiles, unit::kPixel};
  const int times[] = {unit::kMs, unit::kS, unit::kH, unit::kFrames};
  for (int code = 0; code < quantity::kCount; ++code) {
    for (int space : spaces) {
      for (int time : times) {
        for (int angle : {unit::kDegree, unit::kRadian}) {
          AnlWinUnits u;
          u.Set(code, Units(space, time, angle), &d.doc);
          for (float v : {1.0f, -37.5f, 1234.5f}) {
            const float back = u.OrdinateFromUnit(u.OrdinateToUnit(v));
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-5) << code << " " << space << " " << time;
          }
          EXPECT_EQ(u.OrdinateToUnit(M), M);
          EXPECT_EQ(u.OrdinateFromUnit(M), M);
          EXPECT_EQ(u.FrameToTime(M), M);
        }
      }
    }
  }
}

TEST(QuantityUnits, TimeAxisAndTheEdgeCasesOfTheUnits) {
  SequenceDocument d(1);
  d.doc.framesPerSecond = 25.0f;
  AnlWinUnits u;
  // Per frame when the time unit is frames.
  u.Set(quantity::kX1, Units(unit::kMm, unit::kFrames, unit::kDegree), &d.doc);
  EXPECT_EQ(u.OrdinateUnitCaption(), "x' [mm/frames]");
  EXPECT_EQ(u.OrdinateToUnit(3.0f), 3.0f);
  // Frame 1 is time 0: frame 26 at 25 frames per second is 1000 ms.
  u.Set(quantity::kX, Units(unit::kMm, unit::kMs, unit::kDegree), &d.doc);
  EXPECT_FLOAT_EQ(u.FrameToTime(26.0f), 1000.0f);
  EXPECT_EQ(u.AbscissaCaption(), "t");
  EXPECT_EQ(u.AbscissaUnitText(), "[ms]");
  EXPECT_EQ(u.AbscissaCaptionWithUnit(), "t [ms]");
  // Code 9: x in the space unit on the abscissa.
  u.Set(quantity::kYOverX, Units(unit::kCm, unit::kS, unit::kDegree), &d.doc);
  EXPECT_EQ(u.abscissaKind, AnlWinUnits::kAbscissaX);
  EXPECT_FLOAT_EQ(u.FrameToTime(250.0f), 25.0f);
  EXPECT_EQ(u.AbscissaCaption(), "x");
  EXPECT_EQ(u.AbscissaUnitText(), "[cm]");
  // The body-model quantities stay in metres and seconds.
  u.Set(quantity::kForceMagnitude, Units(unit::kCm, unit::kMs, unit::kDegree), &d.doc);
  EXPECT_EQ(u.ordinateUnit, unit::kM);
  EXPECT_EQ(u.timeUnit, unit::kS);
  EXPECT_EQ(u.AbscissaUnitText(), "[s]");
  // Without a document the rate is 1 frame per second.
  u.Set(quantity::kX1, Units(unit::kMm, unit::kS, unit::kDegree), nullptr);
  EXPECT_EQ(u.OrdinateToUnit(4.0f), 4.0f);
}

TEST(QuantityUnits, CodesSelectTheirSeries) {
  struct Case {
    int code;
    std::optional<SeriesSlot> slot;
  };
  const Case cases[] = {
      {0, SeriesSlot{0, 0}},  {1, SeriesSlot{0, 1}},  {5, SeriesSlot{1, 2}},
      {8, SeriesSlot{2, 2}},  {9, SeriesSlot{1, 0}},  {29, SeriesSlot{0, 0}},
      {37, SeriesSlot{2, 2}}, {42, SeriesSlot{0, 0}}, {47, SeriesSlot{1, 0}},
      {56, SeriesSlot{2, 0}}, {45, std::nullopt},     {57, std::nullopt},
      {14, std::nullopt},     {17, std::nullopt},     {58, std::nullopt},
      {-1, std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(SeriesSlotOf(c.code), c.slot) << c.code;
}

}  // namespace
