// A calibration either finds a camera that can see its target or says it cannot: no focal length
// at or below 0 and no used point behind the camera is reported as success; a target calibrates
// wherever the world origin lies; the full optimisation needs as many points as parameters.
// Synthetic targets projected through known cameras, in millimetres and metres, near and far
// from the origin, from frontal to oblique views.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "calibration/solver.h"
#include "tests/calibration/cal_test_util.h"
#include "tests/calibration/solver_test_util.h"

namespace {

using soltest::WorldPoint;

// The camera's sensor height in mm (576 rows of MakeCamera's 0.0083 mm), and the part of it the
// target's extent fills.
constexpr double kSensorHeight = 576 * 0.0083;
constexpr double kFill = 0.6;

// What a row expects of every run.
constexpr int kRecovers = 0;
// Either refused with kUnexpectedError, or a camera that sees every used point.
constexpr int kPossibleOrRefused = -100;

enum class Spoil { kNone, kShuffled, kBehind };  // kBehind: twenty points behind the camera

struct Target {
  int nx, ny;
  double step;  // mm
  std::vector<double> heights;
};

struct Lens {
  double f, kappa1;
};

struct SoundCase {
  std::string name;
  Target target;
  std::array<double, 3> corner;  // where the target's first corner lies, mm
  double mmPerUnit;              // 1: millimetres, 1000: metres
  double tiltDeg;                // angle between the optical axis and the target's normal
  Lens lens;
  double noisePx;
  Spoil spoil;
  bool full;
  int expected;
  int runs = 1;
};

void PrintTo(const SoundCase& c, std::ostream* os) { *os << c.name; }

bool Coplanar(const SoundCase& c) { return c.target.heights.size() == 1; }

std::vector<WorldPoint> TargetPoints(const SoundCase& c) {
  std::vector<WorldPoint> points;
  for (double h : c.target.heights) {
    for (int i = 0; i < c.target.nx; ++i) {
      for (int j = 0; j < c.target.ny; ++j) {
        points.push_back({(c.corner[0] + i * c.target.step) / c.mmPerUnit,
                          (c.corner[1] + j * c.target.step) / c.mmPerUnit,
                          (c.corner[2] + h) / c.mmPerUnit});
      }
    }
  }
  return points;
}

// The middle of the target, mm.
std::array<double, 3> TargetCentreMm(const SoundCase& c) {
  return {c.corner[0] + (c.target.nx - 1) * c.target.step / 2,
          c.corner[1] + (c.target.ny - 1) * c.target.step / 2,
          c.corner[2] + c.target.heights.back() / 2};
}

// The same in the row's unit.
std::array<double, 3> TargetCentre(const SoundCase& c) {
  std::array<double, 3> centre = TargetCentreMm(c);
  for (double& v : centre) v /= c.mmPerUnit;
  return centre;
}

// The true camera, aimed at the target's centre from a distance at which the target fills the
// frame, in the row's unit.
caltest::Camera TrueCamera(const SoundCase& c) {
  const double extent = std::max(c.target.nx, c.target.ny) * c.target.step;
  const double distance = c.lens.f * extent / (kFill * kSensorHeight);
  return caltest::InUnit(caltest::AimedAt(c.tiltDeg, 0, 30, TargetCentreMm(c).data(), distance,
                                          c.lens.f, c.lens.kappa1),
                         c.mmPerUnit);
}

// Moves the camera along its axis until exactly `behind` of the points lie behind it.
void PutPointsBehind(caltest::Camera& cam, const std::vector<WorldPoint>& model, int behind) {
  std::vector<double> depth;
  for (const WorldPoint& w : model) {
    double xc, yc, zc;
    WorldToCameraCoord(w.x, w.y, w.z, cam.c, xc, yc, zc);
    depth.push_back(zc);
  }
  std::sort(depth.begin(), depth.end());
  cam.c.Tz -= (depth[behind - 1] + depth[behind]) / 2;
}

void Disturb(solver::SolverContext& s, const SoundCase& c, int run) {
  std::mt19937 random(1234 + run);
  std::normal_distribution<double> noise(0.0, c.noisePx);
  for (int i = 0; c.noisePx > 0 && i < s.cd.count; ++i) {
    s.cd.Xf[i] += noise(random);
    s.cd.Yf[i] += noise(random);
  }
  if (c.spoil == Spoil::kShuffled) {
    std::vector<int> order(s.cd.count);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), random);
    const solver::SolverCalibrationData kept = s.cd;
    for (int i = 0; i < s.cd.count; ++i) {
      s.cd.Xf[i] = kept.Xf[order[i]];
      s.cd.Yf[i] = kept.Yf[order[i]];
    }
  }
}

// The camera a calibration reports can see its points: f above 0, every point in front.
testing::AssertionResult SeesItsTarget(const solver::SolverContext& s) {
  if (!(s.cc.f > 0)) return testing::AssertionFailure() << "f = " << s.cc.f;
  for (int i = 0; i < s.cd.count; ++i) {
    double xc, yc, zc;
    WorldToCameraCoord(s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], s.cc, xc, yc, zc);
    if (!(zc > 0)) return testing::AssertionFailure() << "point " << i << " at depth " << zc;
  }
  return testing::AssertionSuccess();
}

// Root mean square distance in pixels between the image points and their projection through
// camera (p, c).
double RmsReprojection(const solver::SolverContext& s, const CameraParameters& p,
                       const CalibrationResult& c) {
  double sum = 0;
  for (int i = 0; i < s.cd.count; ++i) {
    double x, y;
    WorldToImageCoord(s.cd.xw[i], s.cd.yw[i], s.cd.zw[i], p, c, x, y);
    sum += std::pow(x - s.cd.Xf[i], 2) + std::pow(y - s.cd.Yf[i], 2);
  }
  return std::sqrt(sum / s.cd.count);
}

// Where the camera is: -R^T T.
std::array<double, 3> ProjectionCentre(const CalibrationResult& c) {
  return {-(c.r1 * c.Tx + c.r4 * c.Ty + c.r7 * c.Tz), -(c.r2 * c.Tx + c.r5 * c.Ty + c.r8 * c.Tz),
          -(c.r3 * c.Tx + c.r6 * c.Ty + c.r9 * c.Tz)};
}

void ExpectRecovered(const solver::SolverContext& s, const SoundCase& c,
                     const caltest::Camera& truth) {
  // With half a pixel of noise a flat target pins f down to a few per cent.
  const double tolerance = c.noisePx > 0 ? 0.05 : 1e-6;
  EXPECT_NEAR(s.cc.f / truth.c.f, 1.0, tolerance);
  // The projection centre, relative to the distance from the target.
  const std::array<double, 3> found = ProjectionCentre(s.cc);
  const std::array<double, 3> trueCentre = ProjectionCentre(truth.c);
  const std::array<double, 3> target = TargetCentre(c);
  const double distance =
      std::hypot(trueCentre[0] - target[0], trueCentre[1] - target[1], trueCentre[2] - target[2]);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(found[k], trueCentre[k], tolerance * distance);
  EXPECT_NEAR(s.cc.r7, truth.c.r7, tolerance);
  EXPECT_NEAR(s.cc.r8, truth.c.r8, tolerance);
  // At the noise floor: the fit leaves no more than the true camera does on the same data.
  const double floor = c.noisePx > 0 ? RmsReprojection(s, truth.p, truth.c) : 1e-4;
  EXPECT_LE(RmsReprojection(s, s.cp, s.cc), floor);
}

int Calibrate(solver::SolverContext& s, const SoundCase& c) {
  if (Coplanar(c)) {
    return c.full ? solver::CoplanarCalibrationFullOpt(s) : solver::CoplanarCalibrationBasic(s);
  }
  return c.full ? solver::NoncoplanarCalibrationFullOpt(s) : solver::NoncoplanarCalibrationBasic(s);
}

const Target kFlat{10, 10, 20, {0}};
const Target kThreePlanes{8, 8, 25, {0, 30, 60}};
const Target kNinePoints{3, 3, 60, {0}};
const Lens kLens8{8, 1.5e-3};
const Lens kLens12{12, -1e-3};
const Lens kPinhole{8, 0};

std::vector<SoundCase> Cases() {
  using enum Spoil;
  constexpr int kRefused = calid::kUnexpectedError;
  constexpr int kSingular = calid::kDeterminantTooSmall;
  constexpr int kTooFew = calid::kMoreColumnsThanRows;
  constexpr int kEither = kPossibleOrRefused;
  constexpr std::array<double, 3> kOrigin = {0, 0, 0};
  constexpr std::array<double, 3> kFar = {2000, -2000, 2000};  // 3.5 m from the origin
  constexpr std::array<double, 3> kFarFlat = {3e4, -2e4, 0};
  constexpr std::array<double, 3> kVeryFarFlat = {-1e6, 1e6, 0};
  // clang-format off
  return {
      // name                     target        corner        unit  tilt lens      noise spoil     full   expected   runs
      // A camera with f <= 0 or its target behind it.
      {"FrontalFlat",               kFlat,        kOrigin,      1,    0,   kLens8,   0,   kNone,     false, kRefused},
      // Seen frontally, image heights and camera heights are proportional: the centre passes
      // find the system for f and Tz singular.
      {"FrontalFlatFull",           kFlat,        kOrigin,      1,    0,   kLens8,   0,   kNone,     true,  kSingular},
      {"NearFrontalHalfDegreeFull", kFlat,        kOrigin,      1,    0.5, kLens8,   0.5, kNone,     true,  kEither,   16},
      {"NearFrontalOneDegreeFull",  kFlat,        kOrigin,      1,    1,   kLens8,   0.5, kNone,     true,  kEither,   16},
      {"Shuffled",                  kFlat,        kOrigin,      1,    30,  kLens8,   0,   kShuffled, false, kRefused,  16},
      {"TwentyBehindTheCamera",     kFlat,        kOrigin,      1,    60,  kPinhole, 0,   kBehind,   false, kRefused},
      {"TwentyBehindTheCameraFull", kFlat,        kOrigin,      1,    60,  kPinhole, 0,   kBehind,   true,  kRefused},
      // Targets anywhere in the world.
      {"ThreePlanesAtOrigin",       kThreePlanes, kOrigin,      1,    30,  kLens12,  0,   kNone,     false, kRecovers},
      {"ThreePlanesFar",            kThreePlanes, kFar,         1,    30,  kLens12,  0,   kNone,     false, kRecovers},
      {"ThreePlanesFarFull",        kThreePlanes, kFar,         1,    30,  kLens12,  0,   kNone,     true,  kRecovers},
      {"ThreePlanesFarNoisyFull",   kThreePlanes, kFar,         1,    30,  kLens12,  0.5, kNone,     true,  kRecovers, 4},
      {"ThreePlanesFarMetresFull",  kThreePlanes, kFar,         1000, 45,  kLens12,  0,   kNone,     true,  kRecovers},
      {"FlatFar",                   kFlat,        kFarFlat,     1,    40,  kLens8,   0,   kNone,     false, kRecovers},
      {"FlatFarFull",               kFlat,        kFarFlat,     1,    40,  kLens8,   0,   kNone,     true,  kRecovers},
      {"FlatVeryFarNoisyFull",      kFlat,        kVeryFarFlat, 1,    40,  kLens8,   0.5, kNone,     true,  kRecovers, 4},
      // The full optimisation's last pass has ten parameters.
      {"NinePointsBasic",           kNinePoints,  kOrigin,      1,    30,  kLens8,   0,   kNone,     false, kRecovers},
      {"NinePointsFull",            kNinePoints,  kOrigin,      1,    30,  kLens8,   0,   kNone,     true,  kTooFew},
  };
  // clang-format on
}

class SolverSoundTest : public testing::TestWithParam<SoundCase> {};

TEST_P(SolverSoundTest, SucceedsOnlyWithACameraThatSeesItsTarget) {
  const SoundCase& c = GetParam();
  const std::vector<WorldPoint> model = TargetPoints(c);
  caltest::Camera truth = TrueCamera(c);
  if (c.spoil == Spoil::kBehind) PutPointsBehind(truth, model, 20);
  static solver::SolverContext s;
  for (int run = 0; run < c.runs; ++run) {
    SCOPED_TRACE(testing::Message() << "run " << run);
    soltest::FillFromCamera(s, model, truth.p, truth.c, truth.p);
    Disturb(s, c, run);
    const int result = Calibrate(s, c);
    if (result == 0) {
      EXPECT_TRUE(SeesItsTarget(s));
    }
    if (c.expected == kPossibleOrRefused) {
      EXPECT_TRUE(result == 0 || result == calid::kUnexpectedError) << result;
      continue;
    }
    ASSERT_EQ(result, c.expected) << "f " << s.cc.f << " Tz " << s.cc.Tz;
    if (result == 0) {
      ExpectRecovered(s, c, truth);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Targets, SolverSoundTest, testing::ValuesIn(Cases()),
                         [](const auto& info) { return info.param.name; });

// A camera the solver refuses leaves the record as it was: not calibrated.
TEST(SolverSoundTest, RefusedCameraLeavesTheRecordUncalibrated) {
  SoundCase frontal = Cases().front();
  const caltest::Camera truth = TrueCamera(frontal);
  auto cal = std::make_unique<Calibration>();
  cal->flags = caltest::kAllFiles;
  cal->camera = truth.p;
  const std::vector<WorldPoint> model = TargetPoints(frontal);
  CalibrationPoints& p = cal->points;
  p.count = static_cast<int>(model.size());
  for (int i = 0; i < p.count; ++i) {
    p.worldX[i] = model[i].x;
    p.worldY[i] = model[i].y;
    WorldToImageCoord(model[i].x, model[i].y, 0, truth.p, truth.c, p.imageX[i], p.imageY[i]);
    p.used[i] = 1;
  }
  EXPECT_EQ(cal->Calibrate(), calid::kUnexpectedError);
  EXPECT_FALSE(cal->IsCalibrated());
  EXPECT_EQ(cal->result.f, 0);
}

}  // namespace
