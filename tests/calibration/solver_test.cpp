// The solver's matrix routines, linear least squares, angle conversion, refused input and the
// calibration record's use of the solver.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/calibration_ids.h"
#include "calibration/solver.h"
#include "calibration/solver_matrix.h"
#include "tests/calibration/cal_test_util.h"
#include "tests/calibration/solver_test_util.h"

namespace {

using solver::SolverMatrix;
using solver::SolverMatrixPtr;

constexpr double kDeg = M_PI / 180.0;

SolverMatrixPtr Make(int rows, int cols, std::vector<double> values = {}) {
  int error = -1;
  SolverMatrixPtr m = solver::MatrixCreate(0, rows - 1, 0, cols - 1, &error);
  EXPECT_EQ(error, 0);
  for (size_t i = 0; i < values.size(); ++i) m->storage[i] = values[i];
  return m;
}

void ExpectIdentityProduct(const SolverMatrix& a, const SolverMatrix& inverse, double tol) {
  SolverMatrixPtr product = Make(a.Rows(), a.Cols());
  ASSERT_EQ(solver::MatrixMultiply(a, inverse, *product), 0);
  for (int i = 0; i < a.Rows(); ++i) {
    for (int j = 0; j < a.Cols(); ++j) EXPECT_NEAR((*product)(i, j), i == j ? 1 : 0, tol);
  }
}

struct InvertCase {
  std::string name;
  int n;
  std::vector<double> values;
  double determinant;
};

TEST(SolverMatrixTest, InvertsWithPivotingAndKeepsTheDeterminantSign) {
  const InvertCase cases[] = {
      {"Identity", 3, {1, 0, 0, 0, 1, 0, 0, 0, 1}, 1},
      {"SwapNeedsPivot", 2, {0, 1, 1, 0}, -1},
      {"CyclicPermutation", 3, {0, 1, 0, 0, 0, 1, 1, 0, 0}, 1},
      {"ZeroOnDiagonal", 3, {0, 2, 1, 3, 0, 4, 1, 1, 0}, 11},
      {"General", 3, {4, -2, 1, 3, 6, -4, 2, 1, 8}, 263},
  };
  for (const InvertCase& c : cases) {
    SCOPED_TRACE(c.name);
    SolverMatrixPtr a = Make(c.n, c.n, c.values);
    SolverMatrixPtr inverse = Make(c.n, c.n, c.values);
    EXPECT_NEAR(solver::MatrixInvert(*inverse), c.determinant, 1e-12 * std::fabs(c.determinant));
    ExpectIdentityProduct(*a, *inverse, 1e-12);
  }
}

TEST(SolverMatrixTest, InvertsMatricesAboveTheLocalIndexTables) {
  const int n = 120;
  SolverMatrixPtr a = Make(n, n);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) (*a)(i, j) = (i == j ? n : 0) + std::sin(i * 7.0 + j * 3.0);
  }
  SolverMatrixPtr inverse = Make(n, n);
  ASSERT_EQ(solver::MatrixCopy(*a, *inverse), 0);
  EXPECT_NE(solver::MatrixInvert(*inverse), 0.0);
  ExpectIdentityProduct(*a, *inverse, 1e-12);
}

TEST(SolverMatrixTest, SingularAndMisshapenMatricesReportZero) {
  SolverMatrixPtr zeroColumn = Make(3, 3, {1, 0, 2, 3, 0, 4, 5, 0, 6});
  EXPECT_EQ(solver::MatrixInvert(*zeroColumn), 0.0);

  int error = 0;
  SolverMatrixPtr wide = solver::MatrixCreate(0, 1, 0, 2, &error);
  ASSERT_TRUE(wide);
  EXPECT_EQ(solver::MatrixInvert(*wide), 0.0);
  EXPECT_EQ(solver::MatrixError, solver::kMatrixBadRange);

  EXPECT_FALSE(solver::MatrixCreate(0, -1, 0, 2, &error));
  EXPECT_EQ(error, solver::kMatrixBadRange);
  EXPECT_EQ(solver::MatrixError, solver::kMatrixBadRange);

  SolverMatrixPtr b = Make(2, 2);
  EXPECT_EQ(solver::MatrixMultiply(*wide, *wide, *b), -1);
  EXPECT_EQ(solver::MatrixError, solver::kMatrixBadRange);
  EXPECT_EQ(solver::MatrixTranspose(*wide, *b), -1);
  EXPECT_EQ(solver::MatrixCopy(*wide, *b), -1);
}

TEST(SolverMatrixTest, ProductAndTransposeOverTheirOwnOperands) {
  SolverMatrixPtr a = Make(2, 2, {1, 2, 3, 4});
  SolverMatrixPtr b = Make(2, 2, {5, 6, 7, 8});
  ASSERT_EQ(solver::MatrixMultiply(*a, *b, *a), 0);
  EXPECT_EQ(std::vector<double>(a->storage.get(), a->storage.get() + 4),
            (std::vector<double>{19, 22, 43, 50}));
  ASSERT_EQ(solver::MatrixTranspose(*a, *a), 0);
  EXPECT_EQ(std::vector<double>(a->storage.get(), a->storage.get() + 4),
            (std::vector<double>{19, 43, 22, 50}));
}

int Solve(int rows, int cols, const std::vector<double>& m, const std::vector<double>& a,
          std::vector<double>& b) {
  SolverMatrixPtr mm = Make(rows, cols, m);
  SolverMatrixPtr am = Make(rows, 1, a);
  SolverMatrixPtr bm = Make(cols, 1);
  const int result = solver::SolveLinearSystem(*mm, *am, *bm);
  b.assign(bm->storage.get(), bm->storage.get() + cols);
  return result;
}

TEST(SolverLinearSystemTest, SolvesSquareAndOverdeterminedSystems) {
  std::vector<double> b;
  ASSERT_EQ(Solve(2, 2, {2, 1, 1, 3}, {5, 10}, b), 0);
  EXPECT_NEAR(b[0], 1, 1e-12);
  EXPECT_NEAR(b[1], 3, 1e-12);
  // Least squares line through (0, 1), (1, 2), (2, 4): y = 5/6 + 3/2 x.
  ASSERT_EQ(Solve(3, 2, {1, 0, 1, 1, 1, 2}, {1, 2, 4}, b), 0);
  EXPECT_NEAR(b[0], 5.0 / 6, 1e-12);
  EXPECT_NEAR(b[1], 1.5, 1e-12);
}

TEST(SolverLinearSystemTest, RefusesUnderdeterminedAndDependentSystems) {
  std::vector<double> b;
  EXPECT_EQ(Solve(2, 3, {1, 2, 3, 4, 5, 6}, {1, 2}, b), calid::kMoreColumnsThanRows);
  EXPECT_EQ(Solve(3, 2, {1, 0, 2, 0, 3, 0}, {1, 2, 3}, b), calid::kDeterminantTooSmall);
  // Large entries do not hide dependent columns.
  EXPECT_EQ(Solve(3, 2, {1e6, 2e6, 2e6, 4e6 + 1e-6, 3e6, 6e6}, {1, 2, 3}, b),
            calid::kDeterminantTooSmall);
}

// The conditioning test must not depend on units: small entries are as solvable as large ones.
TEST(SolverLinearSystemTest, DeterminantTestIgnoresUnits) {
  std::vector<double> b;
  ASSERT_EQ(Solve(3, 2, {0.001, 0, 0.001, 0.001, 0.001, 0.002}, {0.001, 0.002, 0.004}, b), 0);
  EXPECT_NEAR(b[0], 5.0 / 6, 1e-9);
  EXPECT_NEAR(b[1], 1.5, 1e-9);
}

TEST(SolverRotationTest, AnglesAndMatrixConvertBothWays) {
  const double angles[][3] = {{20, 5, 88}, {-30, 12, -4}, {170, -80, 179}, {0, 0, 0}};
  for (const auto& a : angles) {
    SCOPED_TRACE(testing::Message() << a[0] << " " << a[1] << " " << a[2]);
    CalibrationResult c;
    c.Rx = a[0] * kDeg;
    c.Ry = a[1] * kDeg;
    c.Rz = a[2] * kDeg;
    solver::ApplyRpyTransform(c);
    const double r[9] = {c.r1, c.r2, c.r3, c.r4, c.r5, c.r6, c.r7, c.r8, c.r9};
    // Rows orthonormal, right-handed.
    EXPECT_NEAR(r[0] * r[3] + r[1] * r[4] + r[2] * r[5], 0, 1e-15);
    EXPECT_NEAR(r[0] * r[4] - r[1] * r[3], r[8], 1e-15);
    CalibrationResult back = c;
    solver::SolveRpyTransform(back);
    EXPECT_NEAR(back.Rx, c.Rx, 1e-12);
    EXPECT_NEAR(back.Ry, c.Ry, 1e-12);
    EXPECT_NEAR(back.Rz, c.Rz, 1e-12);
  }
}

// One valid model per kind, one thing broken per row, the exact message expected.
struct BadInput {
  std::string name;
  bool coplanar;
  std::function<void(solver::SolverContext&)> breakIt;
  int expected;
};

void ValidContext(solver::SolverContext& s, bool coplanar) {
  const caltest::Camera cam =
      caltest::MakeCamera(30 * kDeg, -10 * kDeg, 5 * kDeg, -90, -60, 450, 8, -2e-3);
  soltest::FillFromCamera(
      s, coplanar ? soltest::Grid(6, 6, 30, {0}) : soltest::Grid(5, 5, 35, {0, 40, 80}), cam.p,
      cam.c, cam.p);
}

void KeepPoints(solver::SolverContext& s, int count) { s.cd.count = count; }

TEST(SolverBadInputTest, RefusesWithTheMessageOfTheFault) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const BadInput cases[] = {
      {"Valid", true, [](auto&) {}, 0},
      {"ValidNoncoplanar", false, [](auto&) {}, 0},
      {"PointOffThePlane", true, [](auto& s) { s.cd.zw[17] = 0.001; }, calid::kCoplanarZNotZero},
      {"FourPoints", true, [](auto& s) { KeepPoints(s, 4); }, calid::kMoreColumnsThanRows},
      {"SixPointsNoncoplanar", false, [](auto& s) { KeepPoints(s, 6); },
       calid::kMoreColumnsThanRows},
      {"PointsOnALine", true,
       [](auto& s) {
         for (int i = 0; i < s.cd.count; ++i) {
           s.cd.yw[i] = 2 * s.cd.xw[i];
           s.cd.Xf[i] = 100 + i;
           s.cd.Yf[i] = 100 + 2 * i;
         }
       },
       calid::kDeterminantTooSmall},
      {"FlatModelNoncoplanar", false,
       [](auto& s) {
         for (int i = 0; i < s.cd.count; ++i) s.cd.zw[i] = 50;
       },
       calid::kDeterminantTooSmall},
      {"ImagePointNotANumber", true, [nan](auto& s) { s.cd.Yf[3] = nan; }, calid::kUnexpectedError},
      {"WorldPointInfinite", false, [inf](auto& s) { s.cd.xw[3] = inf; }, calid::kUnexpectedError},
      {"ScaleFactorZero", true, [](auto& s) { s.cp.sx = 0; }, calid::kUnexpectedError},
      {"PixelHeightZero", false, [](auto& s) { s.cp.dpy = 0; }, calid::kUnexpectedError},
      {"CentreNotANumber", false, [nan](auto& s) { s.cp.Cx = nan; }, calid::kUnexpectedError},
  };
  for (const BadInput& c : cases) {
    SCOPED_TRACE(c.name);
    static solver::SolverContext s;
    for (bool full : {false, true}) {
      ValidContext(s, c.coplanar);
      c.breakIt(s);
      const double cx = s.cp.Cx;
      int result;
      if (c.coplanar) {
        result = full ? solver::CoplanarCalibrationFullOpt(s) : solver::CoplanarCalibrationBasic(s);
      } else {
        result = full ? solver::NoncoplanarCalibrationFullOpt(s)
                      : solver::NoncoplanarCalibrationBasic(s);
      }
      EXPECT_EQ(result, c.expected) << (full ? "full" : "basic");
      // A refused calibration stops before the passes that move the centre.
      if (result != 0 && !std::isnan(cx)) {
        EXPECT_EQ(s.cp.Cx, cx);
      }
    }
  }
}

// The same model in metres instead of millimetres calibrates to the same camera.
TEST(SolverBadInputTest, ModelInMetresCalibrates) {
  const caltest::Camera cam =
      caltest::MakeCamera(30 * kDeg, 1 * kDeg, 2 * kDeg, -0.1, -0.085, 0.5, 8, -1e-3);
  std::vector<soltest::WorldPoint> model = soltest::Grid(3, 2, 0.06, {0, 0.03, 0.06});
  static solver::SolverContext s;
  soltest::FillFromCamera(s, model, cam.p, cam.c, cam.p);
  ASSERT_EQ(solver::NoncoplanarCalibrationBasic(s), 0);
  EXPECT_NEAR(s.cc.f, 8, 1e-6);
  EXPECT_NEAR(s.cc.Tz, 0.5, 1e-6);
}

// The calibration record: readiness, the points it hands over, and what it keeps on failure.
class CalibrateTest : public testing::Test {
 protected:
  void SetUp() override {
    cal_ = std::make_unique<Calibration>();
    cal_->flags = caltest::kAllFiles;
    camera_ = caltest::MakeCamera(30 * kDeg, -10 * kDeg, 5 * kDeg, -90, -60, 450, 8, -2e-3, 1.0,
                                  380, 290);
    cal_->camera = camera_.p;
  }
  void SetModel(const std::vector<soltest::WorldPoint>& model, int used) {
    CalibrationPoints& p = cal_->points;
    p.count = static_cast<int>(model.size());
    for (int i = 0; i < p.count; ++i) {
      p.worldX[i] = model[i].x;
      p.worldY[i] = model[i].y;
      p.worldZ[i] = model[i].z;
      WorldToImageCoord(model[i].x, model[i].y, model[i].z, camera_.p, camera_.c, p.imageX[i],
                        p.imageY[i]);
      p.used[i] = i < used ? 1 : 0;
    }
  }
  std::unique_ptr<Calibration> cal_;
  caltest::Camera camera_;
};

TEST_F(CalibrateTest, NeedsReadinessAndEnoughPoints) {
  SetModel(soltest::Grid(4, 4, 40, {0}), 8);
  EXPECT_EQ(cal_->Calibrate(), -1);
  SetModel(soltest::Grid(4, 4, 40, {0}), 9);
  cal_->flags &= ~kFlagModelFile;
  EXPECT_EQ(cal_->Calibrate(), -1);
  EXPECT_FALSE(cal_->IsCalibrated());
  cal_->flags |= kFlagModelFile;
  ASSERT_EQ(cal_->Calibrate(), 0);
  EXPECT_TRUE(cal_->IsCalibrated());
  EXPECT_NEAR(cal_->result.f, camera_.c.f, 1e-6);
  EXPECT_NEAR(cal_->result.Tz, camera_.c.Tz, 1e-4);
}

TEST_F(CalibrateTest, HandsOverOnlyUsedPoints) {
  SetModel(soltest::Grid(4, 4, 40, {0}), 16);
  // A point the user switched off takes no part, whatever its height or image position.
  cal_->points.worldZ[5] = 7;
  cal_->points.imageX[5] = -1000;
  cal_->points.used[5] = 0;
  ASSERT_EQ(cal_->Calibrate(), 0);
  EXPECT_EQ(solver::TheSolver().cd.count, 15);
  EXPECT_EQ(solver::TheSolver().cd.xw[5], cal_->points.worldX[6]);
  EXPECT_NEAR(cal_->result.f, camera_.c.f, 1e-6);
}

TEST_F(CalibrateTest, FailureKeepsTheEarlierResult) {
  SetModel(soltest::Grid(4, 4, 40, {0}), 16);
  cal_->flags |= kFlagFullOptimized;
  ASSERT_EQ(cal_->Calibrate(), 0);
  const CalibrationResult before = cal_->result;
  const CameraParameters cameraBefore = cal_->camera;
  EXPECT_NEAR(cal_->camera.Cx, 380, 0.05);
  EXPECT_NEAR(cal_->camera.Cy, 290, 0.05);
  cal_->points.worldZ[3] = 0.5;
  EXPECT_EQ(cal_->Calibrate(), calid::kCoplanarZNotZero);
  EXPECT_TRUE(cal_->IsCalibrated());
  EXPECT_EQ(cal_->result.f, before.f);
  EXPECT_EQ(cal_->result.Tz, before.Tz);
  EXPECT_EQ(cal_->camera.Cx, cameraBefore.Cx);
}

// The scale factor found must not depend on the one an earlier calibration left behind.
TEST_F(CalibrateTest, NoncoplanarCalibratingTwiceGivesTheSameCamera) {
  camera_ = caltest::MakeCamera(-25 * kDeg, 15 * kDeg, 60 * kDeg, 50, -40, 450, 12, -1.5e-3, 1.02,
                                378, 295);
  cal_->camera = camera_.p;
  cal_->camera.sx = 1.0;
  cal_->flags |= kFlagNonCoplanar;
  SetModel(soltest::Grid(4, 4, 40, {0, 40, 80}), 48);
  ASSERT_EQ(cal_->Calibrate(), 0);
  const CalibrationResult first = cal_->result;
  EXPECT_NEAR(cal_->camera.sx, 1.02, 1e-9);
  ASSERT_EQ(cal_->Calibrate(), 0);
  EXPECT_NEAR(cal_->camera.sx, 1.02, 1e-9);
  EXPECT_EQ(cal_->result.f, first.f);
  EXPECT_EQ(cal_->result.Tx, first.Tx);
  EXPECT_NEAR(cal_->result.Tx, camera_.c.Tx, 1e-6);
  EXPECT_NEAR(cal_->result.f, camera_.c.f, 1e-6);
}

}  // namespace
