// The model frame under the mouse: which handle a position hits, how each handle moves the
// corners (the whole table), distances to slanted edges, the default frame of models below
// Z = 0, the fit tolerance and the overlay's shapes and colours.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "calibration/calibrat.h"
#include "calibration/modeloverlay.h"
#include "tests/calibration/cal_test_util.h"

namespace {

// A box frame: lower face (100,100)-(200,200), upper face shifted by (20, -30).
Calibration BoxFrame(bool solid) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 640, 480);
  const double x[4] = {100, 200, 200, 100}, y[4] = {100, 100, 200, 200};
  for (int k = 0; k < 4; ++k) {
    c.frameX[k] = x[k];
    c.frameY[k] = y[k];
    c.frameX[k + 4] = x[k] + (solid ? 20 : 0);
    c.frameY[k + 4] = y[k] - (solid ? 30 : 0);
  }
  c.minX = c.minY = 0;
  c.maxX = c.maxY = 100;
  c.minZ = 0;
  c.maxZ = solid ? 50 : 0;
  c.SetFlag(kFlagNonCoplanar, solid);
  return c;
}

TEST(ModelFrame, HitTestOrder) {
  const Calibration solid = BoxFrame(true), flat = BoxFrame(false);
  struct Case {
    const char* what;
    bool solid;
    double x, y, zoom;
    int handle;
  } cases[] = {
      {"corner 0", true, 101, 102, 1, 0},
      {"3 pixels off edge 9 at zoom 1", true, 203, 150, 1, 9},
      {"the same at zoom 2 is only inside", true, 203, 150, 2, 20},
      {"corner 6 of the upper face", true, 221, 171, 1, 6},
      {"corner 6 is not tested on a flat model", false, 221, 171, 1, -1},
      {"between corner 1 and edge 9: the corner first", true, 200, 103, 1, 1},
      {"edge 8", true, 150, 97, 1, 8},
      {"edge 12 of the upper face", true, 150, 72, 1, 12},
      {"edge 11", true, 98, 150, 1, 11},
      {"vertical edge 17", true, 210, 85, 1, 17},
      {"the middle of a flat frame", false, 150, 150, 1, 20},
      {"inside the upper face's reach", true, 210, 150, 1, 20},
      {"inside reaches only the lower face on a flat model", false, 210, 150, 1, -1},
      {"outside", true, 300, 300, 1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ((c.solid ? solid : flat).HitTestHandle(c.x, c.y, c.zoom), c.handle);
  }
}

TEST(ModelFrame, MoveHandleTable) {
  // A move of (+5, +7) and one of (-500, -500), each for every handle: which corners' x and y
  // change. Bits: corner k of x in bit k, of y in bit k + 8.
  struct Row {
    int handle;
    unsigned small;  // moved by (+5, +7)
    unsigned large;  // moved by (-500, -500)
  };
  auto x = [](std::initializer_list<int> ks) {
    unsigned m = 0;
    for (int k : ks) m |= 1u << k;
    return m;
  };
  auto y = [&](std::initializer_list<int> ks) { return x(ks) << 8; };
  const Row rows[] = {
      // Corners on the low side may move far to the left and up, the others stop at neighbours.
      {0, x({0}) | y({0}), x({0}) | y({0})},
      {1, x({1}) | y({1}), y({1})},
      {2, x({2}) | y({2}), 0},
      {3, x({3}) | y({3}), x({3})},
      {4, x({4}) | y({4}), x({4}) | y({4})},
      {5, x({5}) | y({5}), y({5})},
      {6, x({6}) | y({6}), 0},
      {7, x({7}) | y({7}), x({7})},
      {8, y({0, 1}), y({0, 1})},
      {9, x({1, 2}), 0},
      {10, y({2, 3}), 0},
      {11, x({0, 3}), x({0, 3})},
      {12, y({4, 5}), y({4, 5})},
      {13, x({5, 6}), 0},
      {14, y({6, 7}), 0},
      {15, x({4, 7}), x({4, 7})},
      {16, x({0, 4}) | y({0, 4}), x({0, 4}) | y({0, 4})},
      {17, x({1, 5}) | y({1, 5}), y({1, 5})},
      {18, x({2, 6}) | y({2, 6}), 0},
      {19, x({3, 7}) | y({3, 7}), x({3, 7})},
      {20, 0xFFFFu, 0xFFFFu},
      {21, 0, 0},
      {-1, 0, 0},
  };
  for (const Row& row : rows) {
    for (bool large : {false, true}) {
      SCOPED_TRACE(testing::Message() << "handle " << row.handle << (large ? " far" : " near"));
      const double d = large ? -500 : 5, e = large ? -500 : 7;
      Calibration c = BoxFrame(true);
      const Calibration before = c;
      c.MoveHandle(row.handle, d, e);
      const unsigned expected = large ? row.large : row.small;
      for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(c.frameX[k], before.frameX[k] + ((expected >> k & 1) ? d : 0)) << "x" << k;
        EXPECT_EQ(c.frameY[k], before.frameY[k] + ((expected >> (k + 8) & 1) ? e : 0))
            << "y" << k;
      }
    }
  }
}

TEST(ModelFrame, CornerStopsAtItsNeighbourWhileTheOtherAxisFollows) {
  Calibration c = BoxFrame(false);
  c.MoveHandle(0, 150, 20);  // past corner 1
  EXPECT_EQ(c.frameX[0], 100);
  EXPECT_EQ(c.frameY[0], 120);
  c.MoveHandle(0, 99, 0);  // to just left of corner 1
  EXPECT_EQ(c.frameX[0], 199);
}

TEST(ModelFrame, DistanceToSegment) {
  struct Case {
    double x1, y1, x2, y2, px, py, distance;
  } cases[] = {
      {0, 0, 0, 10, 3, 5, 3},         // vertical, beside
      {0, 0, 0, 10, 3, 14, 5},        // vertical, beyond the end: to the end point
      {0, 0, 10, 0, 5, -2, 2},        // horizontal
      {10, 0, 0, 0, 13, 4, 5},        // horizontal, beyond
      {0, 0, 10, 10, 0, 10, std::sqrt(50.0)},  // slanted, foot inside
      {0, 0, 10, 10, 14, 12, std::hypot(4.0, 2.0)},  // on the prolongation: the nearer end
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Projection::DistanceToSegment(c.x1, c.y1, c.x2, c.y2, c.px, c.py), c.distance,
                1e-9);
  }
}

// A two-level model of 3 x 3 points on each of two heights.
Calibration TwoLevelModel(double z0, double z1) {
  Calibration c;
  c.SetImageSize(1.0, 1.0, 640, 480);
  for (double z : {z0, z1}) {
    for (int i = 0; i < 9; ++i) {
      const int n = c.points.count++;
      c.points.worldX[n] = (i % 3) * 100.0;
      c.points.worldY[n] = (i / 3) * 100.0;
      c.points.worldZ[n] = z;
    }
  }
  return c;
}

TEST(ModelFrame, DefaultFrameOfAModelBelowZeroIsAProperBox) {
  // zs = 4 * 100 - 400 would be 0: the frame must still be finite, upright and in the image.
  for (auto [z0, z1] : {std::pair{-400.0, -300.0}, std::pair{-1000.0, -900.0}}) {
    SCOPED_TRACE(z0);
    Calibration c = TwoLevelModel(z0, z1);
    c.ClassifyModel();
    for (int k = 0; k < 8; ++k) {
      ASSERT_TRUE(std::isfinite(c.frameX[k]) && std::isfinite(c.frameY[k]));
      EXPECT_GE(c.frameX[k], 64 - 1e-9);
      EXPECT_LE(c.frameX[k], 576 + 1e-9);
      EXPECT_GE(c.frameY[k], 48 - 1e-9);
      EXPECT_LE(c.frameY[k], 432 + 1e-9);
    }
    EXPECT_LT(c.frameX[0], c.frameX[1]);
    EXPECT_LT(c.frameY[0], c.frameY[3]);
    EXPECT_LT(c.frameX[4], c.frameX[5]);
    // The unset points lie on their level's face.
    EXPECT_NEAR(c.points.imageX[9], c.frameX[4], 1e-9);
    EXPECT_NEAR(c.points.imageY[17], c.frameY[6], 1e-9);
  }
}

TEST(ModelFrame, FoldedFrameLeavesPointsWhereTheyWere) {
  Calibration c = TwoLevelModel(0, 0);
  c.ClassifyModel();
  const double x4 = c.points.imageX[4], y4 = c.points.imageY[4];
  // Corners 0 and 1 on corners 3 and 2: every row line is the same, rows are parallel.
  for (int k : {0, 1, 4, 5}) {
    c.frameX[k] = c.frameX[3 - k % 4 + (k >= 4 ? 4 : 0)];
    c.frameY[k] = c.frameY[3 - k % 4 + (k >= 4 ? 4 : 0)];
  }
  c.PlacePointsLinear(c.points);
  EXPECT_EQ(c.points.imageX[4], x4);
  EXPECT_EQ(c.points.imageY[4], y4);
}

TEST(ModelFrame, HalfPixelTolerance) {
  Calibration c = TwoLevelModel(0, 0);
  c.ClassifyModel();
  // No used point: the start values stay, both extents -20000.
  EXPECT_DOUBLE_EQ(c.HalfPixelTolerance(c.points), -200.0 / 40000);
  // Used points spread over 200 x 100 pixels of a 200 x 200 model.
  c.points.used[0] = c.points.used[8] = 1;
  c.points.imageX[0] = 100;
  c.points.imageY[0] = 100;
  c.points.imageX[8] = 300;
  c.points.imageY[8] = 200;
  EXPECT_DOUBLE_EQ(c.HalfPixelTolerance(c.points), 200.0 / 400);
  // Equal extents count as one pixel.
  c.points.imageY[8] = 100;
  EXPECT_DOUBLE_EQ(c.HalfPixelTolerance(c.points), 200.0 / 400);
}

std::vector<overlay::Shape> Markers(const std::vector<overlay::Shape>& shapes) {
  std::vector<overlay::Shape> out;
  std::copy_if(shapes.begin(), shapes.end(), std::back_inserter(out),
               [](const overlay::Shape& s) { return s.kind == overlay::Shape::kMarker; });
  return out;
}

TEST(ModelOverlay, PointsAreGreenWhereTheyFitTheCalibratedCamera) {
  // A flat model seen by a known camera: its points are placed exactly where the camera sees
  // them, one of them 6 pixels off.
  Calibration c = TwoLevelModel(0, 0);
  c.ClassifyModel();
  const caltest::Camera cam = caltest::OnSensor(
      caltest::MakeCamera(0.2, -0.1, 0.05, -100, -100, 1500, 12, 0), 640, 480, 0.01);
  c.camera = cam.p;
  c.result = cam.c;
  for (int i = 0; i < 9; ++i) {
    c.points.used[i] = 1;
    WorldToImageCoord(c.points.worldX[i], c.points.worldY[i], 0, cam.p, cam.c,
                      c.points.imageX[i], c.points.imageY[i]);
  }
  c.points.imageX[4] += 6;
  c.points.count = 9;
  c.SetFlag(kFlagCalibrated, true);
  std::vector<overlay::Shape> shapes = overlay::ModelShapes(c, 0, 0, 1, 1);
  // Four frame lines (flat model), then the nine markers.
  EXPECT_EQ(std::count_if(shapes.begin(), shapes.end(),
                          [](const overlay::Shape& s) {
                            return s.kind == overlay::Shape::kLine && s.inverting;
                          }),
            4);
  std::vector<overlay::Shape> markers = Markers(shapes);
  ASSERT_EQ(markers.size(), 9u);
  for (int i = 0; i < 9; ++i) {
    EXPECT_EQ(markers[i].colour, i == 4 ? overlay::Colour::kRed : overlay::Colour::kGreen) << i;
    EXPECT_EQ(markers[i].x2 - markers[i].x1, 2 * 2 + 1);  // radius 2 at zoom 1
  }
  // The radius grows with the zoom up to 10 pixels.
  EXPECT_EQ(overlay::MarkerRadius(std::hypot(2.0, 2.0)), 3);
  EXPECT_EQ(overlay::MarkerRadius(std::hypot(8.0, 8.0)), 10);
  // Not calibrated: every set point red.
  c.SetFlag(kFlagCalibrated, false);
  for (const overlay::Shape& m : Markers(overlay::ModelShapes(c, 0, 0, 8, 8)))
    EXPECT_EQ(m.colour, overlay::Colour::kRed);
}

TEST(ModelOverlay, UnsetPointsInvertAndTheSelectedOneIsLeftOut) {
  Calibration c = TwoLevelModel(0, 100);
  c.ClassifyModel();
  c.selectedPoint = 3;
  std::vector<overlay::Shape> shapes = overlay::ModelShapes(c, -10, -20, 2, 2);
  // Twelve lines of a solid frame, 17 rings (one unset point selected).
  EXPECT_EQ(shapes.size(), 12u + 17u);
  const overlay::Shape& ring = shapes[12];
  EXPECT_TRUE(ring.inverting);
  // At zoom 2 the radius is trunc(2.83 + 1) = 3 at the lowest Z, drawn one larger.
  const int x = overlay::Device(c.points.imageX[0], 2, -10);
  EXPECT_EQ(ring.x1, x - 4);
  EXPECT_EQ(ring.x2, x + 5);
  // Points at the highest Z: half the scale, radius trunc(1.41 + 1) = 2, ring 3.
  const overlay::Shape& high = shapes.back();
  EXPECT_EQ(high.x2 - high.x1, 2 * 3 + 1);
}

TEST(ModelOverlay, LinearSizingLine) {
  Calibration c = TwoLevelModel(0, 0);
  c.SetFlag(kFlagLinearSizing, true);
  c.sizingPoint1 = {10, 20};
  c.sizingPoint2 = {110, 20};
  std::vector<overlay::Shape> shapes = overlay::ModelShapes(c, 0, 0, 1, 1, 1);
  ASSERT_EQ(shapes.size(), 3u);
  EXPECT_EQ(shapes[0].colour, overlay::Colour::kBlue);
  EXPECT_FALSE(shapes[0].inverting);
  c.selectedPoint = 2;  // the second point is dragged
  shapes = overlay::ModelShapes(c, 0, 0, 1, 1, 1);
  ASSERT_EQ(shapes.size(), 2u);
  EXPECT_TRUE(shapes[0].inverting);
  EXPECT_EQ(shapes[1].x1, 10 - 2);
}

}  // namespace
