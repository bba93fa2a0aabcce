// The 3D scene without a window: turning tables, the box, the figure's segments, perspective,
// clipping, fitting, picking and the drag search, and the angles the user types.

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <numbers>

#include "analysis/dreid/dreidscene.h"
#include "analysis/dreid/viewangles.h"
#include "analysis_test_util.h"
#include "stick_figures.h"

namespace {

constexpr ColorValue kAxis = Rgb(1, 2, 3), kEdge = Rgb(4, 5, 6);

struct Point3 {
  float x, y, z;
  friend bool operator==(const Point3&, const Point3&) = default;
};
Point3 Start(const Vektor& v) { return {v.x1, v.y1, v.z1}; }
Point3 End(const Vektor& v) { return {v.x2, v.y2, v.z2}; }

// ---- tables, turning, angles ----

TEST(RotationTables, AreBuiltWithTheDegreeFactorOfTheProgram) {
  const RotationTables& t = TheRotationTables();
  int differFromPiOver180 = 0;
  for (int i = 0; i < 360; ++i) {
    // sin(i / 57.2957795) in extended precision, the factor as the program has always had it.
    const long double a = static_cast<long double>(i) * 0.0174532925239284L;
    EXPECT_EQ(t.sine[i], static_cast<float>(std::sin(a))) << i;
    EXPECT_EQ(t.cosine[i], static_cast<float>(std::cos(a))) << i;
    const long double exact = static_cast<long double>(i) / 57.2957795L;
    EXPECT_NEAR(t.sine[i], std::sin(exact), 1e-7) << i;
    const double b = i * std::numbers::pi / 180.0;
    differFromPiOver180 += t.sine[i] != static_cast<float>(std::sin(b)) ||
                           t.cosine[i] != static_cast<float>(std::cos(b));
  }
  // The two factors differ in the last bits: some entries show it.
  EXPECT_GT(differFromPiOver180, 0);
  EXPECT_LT(differFromPiOver180, 40);
}

TEST(Vektor, TurnsRightHandedAboutEachAxisInWholeDegrees) {
  struct Row {
    int axis;
    Point3 from, to;
  };
  const Row rows[] = {
      {kAxisX, {0, 1, 0}, {0, 0, 1}},  // y towards z
      {kAxisY, {0, 0, 1}, {1, 0, 0}},  // z towards x
      {kAxisZ, {1, 0, 0}, {0, 1, 0}},  // x towards y
  };
  for (const Row& r : rows) {
    Vektor v(r.from.x, r.from.y, r.from.z, 0, 0, 0, kNoAxis, 0, 0, 0);
    v.Rotate(r.axis, 90);
    EXPECT_NEAR(v.x1, r.to.x, 1e-6) << r.axis;
    EXPECT_NEAR(v.y1, r.to.y, 1e-6) << r.axis;
    EXPECT_NEAR(v.z1, r.to.z, 1e-6) << r.axis;
  }
  const Vektor original(1.5f, -2.25f, 3.0f, 4.0f, 5.5f, -6.0f, kNoAxis, 0, 0, 0);
  const auto turned = [&](int axis, double degrees) {
    Vektor v = original;
    v.Rotate(axis, degrees);
    return std::pair(Start(v), End(v));
  };
  const auto same = std::pair(Start(original), End(original));
  for (int axis = 1; axis <= 3; ++axis) {
    EXPECT_EQ(turned(axis, -90), turned(axis, 270)) << axis;
    EXPECT_EQ(turned(axis, -450), turned(axis, 270)) << axis;
    EXPECT_EQ(turned(axis, 360), same) << axis;
    EXPECT_EQ(turned(axis, 720), same) << axis;
    EXPECT_NE(turned(axis, 1), same) << axis;
  }
  EXPECT_EQ(turned(0, 45), same);
  EXPECT_EQ(turned(4, 45), same);
}

TEST(ViewAngles, NormalizeDegreesAndWrapScroll) {
  const std::map<double, int> degrees = {{-90, 270}, {360, 0},  {720, 0}, {-360, 0},  {359.9, 359},
                                         {-0.5, 0},  {-1, 359}, {45, 45}, {9999, 279}};
  for (auto [in, out] : degrees) EXPECT_EQ(NormalizeDegrees(in), out) << in;
  EXPECT_EQ(NormalizeDegrees(std::nan("")), 0);
  EXPECT_EQ(ViewAngles::WrapScroll(-1), 359);
  EXPECT_EQ(ViewAngles::WrapScroll(360), 0);
  EXPECT_EQ(ViewAngles::WrapScroll(0), 0);
  EXPECT_EQ(ViewAngles::WrapScroll(359), 359);
}

TEST(ViewAngles, ReadTypedTextsAsTheLeadingNumber) {
  const std::map<std::string, int> texts = {{"", 0},   {"-", 0},     {"--5", 0},   {"12-", 12},
                                            {"-0", 0}, {"359", 359}, {"-90", -90}, {"9-9", 9}};
  ViewAngles a;
  for (const auto& [text, value] : texts) {
    a.SetText(1, text);
    EXPECT_EQ(a.Value(1), value) << text;
  }
  a.SetText(2, "123456");
  EXPECT_EQ(a.Text(2), "1234");
}

TEST(ViewAngles, TypingMinus90Gives270AndTheChangedAxisWins) {
  ViewAngles a;
  a.SetText(1, "-90");
  a.Normalize();
  EXPECT_EQ(a.Text(1), "270");
  EXPECT_EQ(a.CurrentAxis(), 1);

  a.Set(1, 45);
  a.EnterAxis(2);  // entering Y clears X and Z at once
  EXPECT_EQ(a.Text(1), "0");
  EXPECT_EQ(a.Text(3), "0");
  EXPECT_EQ(a.CurrentAxis(), 1);
  a.SetText(2, "30");
  a.Normalize();
  EXPECT_EQ(a.CurrentAxis(), 2);
  EXPECT_EQ(a.Text(2), "30");

  a.Set(3, 10);  // a later axis that changed wins over the current one
  a.KeepOneAxis();
  EXPECT_EQ(a.CurrentAxis(), 3);
  EXPECT_EQ(a.Text(2), "0");
  a.EnterAxis(3);  // the current axis keeps the others
  a.Set(1, 5);
  a.EnterAxis(3);
  EXPECT_EQ(a.Text(1), "5");
}

// ---- the box ----

TEST(DreiDRahmen, AxesStartAtTheOriginCorner) {
  const SceneExtents e{0, 10, 0, 20, 0, 30};
  struct Row {
    int corner;
    Point3 from, x, y, z;
  };
  const Row rows[] = {
      {0, {0, 0, 0}, {10, 0, 0}, {0, 20, 0}, {0, 0, 30}},
      {1, {10, 0, 0}, {0, 0, 0}, {10, 20, 0}, {10, 0, 30}},
      {2, {0, 20, 0}, {10, 20, 0}, {0, 0, 0}, {0, 20, 30}},
      {3, {10, 20, 0}, {0, 20, 0}, {10, 0, 0}, {10, 20, 30}},
  };
  for (const Row& r : rows) {
    DreiDRahmen box;
    box.BuildBox(e, r.corner, kAxis, kEdge);
    ASSERT_EQ(box.BoxWorking().size(), 12u);
    ASSERT_EQ(box.BoxReference().size(), 12u);
    std::map<char, const Vektor*> labelled;
    std::map<std::tuple<float, float, float>, int> degree;
    for (std::size_t i = 0; i < 12; ++i) {
      const Vektor& v = box.BoxWorking()[i];
      const Vektor& ref = box.BoxReference()[i];
      EXPECT_EQ(std::pair(Start(v), End(v)), std::pair(Start(ref), End(ref)));
      // Groups of four: working 1..4, reference 5..8, working 9..12 ...
      EXPECT_EQ(v.identifier, static_cast<int>(i / 4 * 8 + i % 4 + 1));
      EXPECT_EQ(ref.identifier, v.identifier + 4);
      EXPECT_EQ(v.colour, v.label ? kAxis : kEdge);
      if (v.label) labelled[v.label] = &v;
      // Each edge runs along its own axis.
      const int moving = (v.x1 != v.x2) + (v.y1 != v.y2) + (v.z1 != v.z2);
      EXPECT_EQ(moving, 1);
      EXPECT_EQ(v.axis, v.x1 != v.x2 ? kAxisX : v.y1 != v.y2 ? kAxisY : kAxisZ);
      ++degree[{v.x1, v.y1, v.z1}];
      ++degree[{v.x2, v.y2, v.z2}];
    }
    // Twelve edges joining eight corners, three at each: the whole box.
    EXPECT_EQ(degree.size(), 8u) << r.corner;
    for (auto& [corner, n] : degree) EXPECT_EQ(n, 3);
    ASSERT_EQ(labelled.size(), 3u);
    for (char c : {'x', 'y', 'z'}) EXPECT_EQ(Start(*labelled[c]), r.from) << r.corner << c;
    EXPECT_EQ(End(*labelled['x']), r.x) << r.corner;
    EXPECT_EQ(End(*labelled['y']), r.y) << r.corner;
    EXPECT_EQ(End(*labelled['z']), r.z) << r.corner;
  }
  DreiDRahmen other;
  other.BuildBox(e, 4, kAxis, kEdge);
  ASSERT_EQ(other.BoxWorking().size(), 4u);
  for (const Vektor& v : other.BoxWorking()) {
    EXPECT_EQ(v.z1, 30);
    EXPECT_EQ(v.z2, 30);
    EXPECT_EQ(v.label, 0);
  }
}

// ---- the figure's segments ----

// A document whose first sequence (short) has only 3 frames; the others have 20.
struct SegmentDocument {
  SegmentDocument() {
    doc.AddFrameSequence(new TestVideo("/tmp/short.avi", 64, 48, 3));
    shortOne = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
    doc.AddFrameSequence(new TestVideo("/tmp/long.avi", 64, 48, 20));
    for (ResObjectSequence*& s : {std::ref(a), std::ref(b), std::ref(c)})
      s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  }
  StickFigure& Figure() { return doc.ObjectSequences()->Figure(); }
  TestDocument doc;
  ResObjectSequence *shortOne, *a, *b, *c;
};

TEST(DreiDObjectSequences, SegmentsAtTheFrameAndExtentsOverAllFrames) {
  SegmentDocument d;
  ASSERT_EQ(d.shortOne->Size(), 3);
  ASSERT_GE(d.a->Size(), 20);
  DreiDObjectSequences scene(&d.doc);
  EXPECT_FALSE(scene.BuildSegments(5));  // no connections
  EXPECT_FALSE(scene.Extents().IsSet());
  EXPECT_EQ(scene.FirstFrame(), DreiDObjectSequences::kNoFrame);

  for (int f = 2; f <= 9; ++f) d.a->AddPoint(f, f, 10, 1);
  for (int f = 4; f <= 12; ++f) d.b->AddPoint(f, 2 * f, 20, 2);
  d.Figure().Connect(d.a, d.b, Rgb(9, 8, 7));
  ASSERT_TRUE(scene.BuildSegments(5));
  ASSERT_EQ(scene.FigureWorking().size(), 1u);
  ASSERT_EQ(scene.FigureReference().size(), 1u);
  const Vektor& s = scene.FigureWorking()[0];
  // The newest connection first: from a's point to b's, z negated.
  EXPECT_EQ(std::pair(Start(s), End(s)), std::pair(Point3{5, 10, -1}, Point3{10, 20, -2}));
  EXPECT_EQ(s.colour, Rgb(9, 8, 7));
  EXPECT_EQ(s.axis, kNoAxis);
  // Extents of frames 4..9, where both have points; z as the segments carry it.
  const SceneExtents& e = scene.Extents();
  EXPECT_EQ(std::tuple(e.xmin, e.xmax, e.ymin, e.ymax), std::tuple(4.f, 18.f, 10.f, 20.f));
  EXPECT_EQ(std::tuple(e.zmin, e.zmax), std::tuple(-1.f, -2.f));
  EXPECT_EQ(std::tuple(scene.FirstFrame(), scene.LastFrame()), std::tuple(4u, 9u));

  EXPECT_TRUE(scene.BuildSegments(3));  // a frame without b's point: no segment, same extents
  EXPECT_TRUE(scene.FigureWorking().empty());
  EXPECT_EQ(scene.Extents().xmax, 18.f);

  // When only the frame changes the extents of the last look stay; a rescan takes in new points.
  d.a->AddPoint(6, 500, 10, 1);
  ASSERT_TRUE(scene.BuildSegments(6, DreiDObjectSequences::Coverage::kKeep));
  ASSERT_EQ(scene.FigureWorking().size(), 1u);
  EXPECT_EQ(scene.FigureWorking()[0].x1, 500.f);
  EXPECT_EQ(scene.Extents().xmax, 18.f);
  EXPECT_EQ(scene.LastFrame(), 9u);
  ASSERT_TRUE(scene.BuildSegments(6));
  EXPECT_EQ(scene.Extents().xmax, 500.f);
}

TEST(DreiDObjectSequences, HiddenShortAndDeletedSequencesGiveNoSegment) {
  SegmentDocument d;
  for (int f = 1; f <= 20; ++f) {
    d.a->AddPoint(f, 1, 1, 1);
    d.b->AddPoint(f, 2, 2, 2);
    d.c->AddPoint(f, 3, 3, 3);
  }
  for (int f = 1; f <= 3; ++f) d.shortOne->AddPoint(f, -50, 1, 1);
  d.Figure().Connect(d.a, d.b, 1);
  d.Figure().Connect(d.shortOne, d.a, 2);
  DreiDObjectSequences scene(&d.doc);

  // The short sequence gives no segment at frame 10, but its frames count for the extents.
  ASSERT_TRUE(scene.BuildSegments(10));
  ASSERT_EQ(scene.FigureWorking().size(), 1u);
  EXPECT_EQ(scene.FigureWorking()[0].colour, 1u);
  EXPECT_EQ(scene.Extents().xmin, -50.f);
  ASSERT_TRUE(scene.BuildSegments(2));
  EXPECT_EQ(scene.FigureWorking().size(), 2u);

  // A hidden sequence counts for nothing.
  d.shortOne->SetFlags(seqflag::kHidden);
  ASSERT_TRUE(scene.BuildSegments(2));
  EXPECT_EQ(scene.FigureWorking().size(), 1u);
  EXPECT_EQ(scene.Extents().xmin, 1.f);
  d.b->SetFlags(seqflag::kHidden);
  EXPECT_FALSE(scene.BuildSegments(2));
  EXPECT_TRUE(scene.FigureWorking().empty());
  d.shortOne->ClearFlags(seqflag::kHidden);
  d.b->ClearFlags(seqflag::kHidden);

  // A connection with a deleted sequence is left out; the walk goes on to the others.
  d.Figure().Connect(d.b, d.c, 3);
  d.doc.ObjectSequences()->DeleteSequence(d.b->number);
  ASSERT_TRUE(scene.BuildSegments(2));
  ASSERT_EQ(scene.FigureWorking().size(), 1u);
  EXPECT_EQ(scene.FigureWorking()[0].colour, 2u);
}

TEST(DreiDObjectSequences, PointsWithAnUndefinedCoordinateAreLeftOut) {
  SegmentDocument d;
  for (int f = 1; f <= 4; ++f) {
    d.a->AddPoint(f, f, 1, 1);
    d.b->AddPoint(f, f, 2, 2);
  }
  d.a->AddPoint(3, 100, 1, M);  // z without value
  d.b->AddPoint(4, M, 2, 2);    // x without value
  d.Figure().Connect(d.a, d.b, 1);
  DreiDObjectSequences scene(&d.doc);
  ASSERT_TRUE(scene.BuildSegments(3));
  EXPECT_TRUE(scene.FigureWorking().empty());
  const SceneExtents& e = scene.Extents();
  EXPECT_EQ(std::tuple(e.xmin, e.xmax, e.zmin, e.zmax), std::tuple(1.f, 2.f, -1.f, -2.f));
  EXPECT_EQ(scene.LastFrame(), 2u);
  ASSERT_TRUE(scene.BuildSegments(4));
  EXPECT_TRUE(scene.FigureWorking().empty());
}

// ---- the scene ----

// The walker, rebuilt at a frame for a 400 x 400 viewport.
struct WalkerScene {
  explicit WalkerScene(int frame = 10, SceneViewport v = {400, 400, 0, 0, 24, 20.0})
      : d(40), scene(&d.doc) {
    MakeWalker(d);
    scene.SetBoxLook(0, kAxis, kEdge);
    scene.SetViewport(v);
    messages = scene.Rebuild(frame, true);
  }
  // Draws into a recording canvas and returns it.
  RecordingPlotCanvas Draw() {
    RecordingPlotCanvas canvas;
    scene.ApplyAngles();
    scene.Draw(canvas, true);
    return canvas;
  }
  StickFigureDocument d;
  DreiDScene scene;
  unsigned messages;
};

TEST(DreiDScene, RebuildCentresTheSceneAndPlacesPlaneAndEye) {
  WalkerScene w;
  EXPECT_EQ(w.messages, kNoFitMessage);
  ASSERT_FALSE(w.scene.CannotDraw());
  const SceneExtents& e = w.scene.Extents();
  EXPECT_FLOAT_EQ(e.xmin, -e.xmax);
  EXPECT_FLOAT_EQ(e.ymin, -e.ymax);
  EXPECT_FLOAT_EQ(e.zmin, -e.zmax);
  const double dx = e.xmax - e.xmin, dy = e.ymax - e.ymin, dz = e.zmax - e.zmin;
  const float r = static_cast<float>(0.5 * std::sqrt(dx * dx + dy * dy + dz * dz));
  EXPECT_EQ(w.scene.Radius(), r);
  const float plane = static_cast<float>(r * 2.4);
  EXPECT_EQ(w.scene.Plane(), plane);
  EXPECT_EQ(w.scene.Eye(), static_cast<float>(plane * 3.2 * 0.41666666666666669));
  // Every box corner lies on the sphere of radius r about the centre.
  for (const Vektor& v : w.scene.BoxWorking())
    EXPECT_NEAR(std::hypot(v.x1, v.y1, v.z1), r, r * 1e-5);
}

TEST(DreiDScene, ProjectsThroughTheEyeOntoThePlane) {
  DreiDScene s(nullptr);
  s.SetPlaneAndEye(10.0f, 40.0f / 3.0f);
  s.SetZoom(2.0f);
  struct Row {
    SceneViewport v;
    Point3 p;
  };
  const Row rows[] = {
      {{200, 100}, {3, -4, 5}},
      {{201, 101}, {0, 0, 9}},
      {{200, 100, 50, 20}, {3, -4, 5}},
      {{200, 100}, {-7, 2, -6}},
  };
  for (const Row& r : rows) {
    s.SetViewport(r.v);
    Vektor v(r.p.x, r.p.y, r.p.z, 0, 0, 0, kNoAxis, 0, 0, 0);
    ASSERT_TRUE(s.Project(v));
    const double k = (40.0 / 3.0 - 10.0) / (40.0 / 3.0 - r.p.z) * 2.0;
    EXPECT_NEAR(v.x1, r.v.width / 2 + r.v.left + k * r.p.x, 1e-4);
    EXPECT_NEAR(v.y1, r.v.height / 2 + r.v.top + k * r.p.y, 1e-4);  // y is not flipped
  }
  // A point at the eye has no picture.
  s.SetViewport({200, 100});
  Vektor atEye(1, 1, 40.0f / 3.0f, 0, 0, 0, kNoAxis, 0, 0, 0);
  EXPECT_FALSE(s.Project(atEye));
}

TEST(DreiDScene, ClipsAtThePlane) {
  struct Row {
    Point3 a, b;
    bool visible;
    Point3 ca, cb;
  };
  const Row rows[] = {
      {{0, 0, 0}, {10, 10, 20}, true, {0, 0, 0}, {5, 5, 10}},
      {{10, 10, 20}, {0, 0, 0}, true, {5, 5, 10}, {0, 0, 0}},
      {{0, 0, 11}, {1, 1, 12}, false, {}, {}},
      {{0, 0, 10}, {4, 4, 5}, true, {0, 0, 10}, {4, 4, 5}},
  };
  for (const Row& r : rows) {
    Vektor v(r.a.x, r.a.y, r.a.z, r.b.x, r.b.y, r.b.z, kNoAxis, 0, 0, 0);
    EXPECT_EQ(DreiDScene::ClipAtPlane(v, 10.0f), r.visible);
    if (r.visible) {
      EXPECT_EQ(std::pair(Start(v), End(v)), std::pair(r.ca, r.cb));
    }
  }
}

TEST(DreiDScene, DistanceOfAPixelFromASegment) {
  struct Row {
    float x1, y1, x2, y2;
    int px, py;
    double distance;
  };
  const Row rows[] = {
      {5, 0, 5, 10, 8, 5, 3},
      {5, 0, 5, 10, 5, 13, 3},  // vertical
      {0, 0, 10, 0, 4, -2, 2},
      {0, 0, 10, 0, -3, 4, 5},  // horizontal
      {0, 0, 10, 10, 0, 10, 10 / std::sqrt(2.0)},
      {0, 0, 10, 10, -3, -4, 5},  // slanted
      {10, 10, 0, 0, 13, 14, 5},
  };
  for (const Row& r : rows)
    EXPECT_NEAR(DreiDScene::SegmentDistance(r.x1, r.y1, r.x2, r.y2, r.px, r.py), r.distance, 1e-9)
        << r.px << "," << r.py;
}

TEST(DreiDScene, FitZoomFillsTheRoomAndComplainsOnceWhenItIsTooSmall) {
  WalkerScene w;
  DreiDScene& s = w.scene;
  const double r = s.Radius(), e = s.Eye(), p = s.Plane();
  const double z = s.Extents().zmax + r;
  const double length = 2.0 * (e - p) * r * std::sqrt(2.0) / (e - z);
  const double room = 2 * 24 + 20.0 + 7.0;
  struct Row {
    int width, height;
    unsigned messages;
    bool cannotDraw;
  };
  const Row rows[] = {
      {400, 300, kNoFitMessage, false},
      {75, 300, kWidthTooSmall, true},   // width - room = 0
      {60, 300, kNoFitMessage, true},    // told once until it suffices again
      {400, 75, kHeightTooSmall, true},  // width suffices, height does not
      {400, 300, kNoFitMessage, false},
      {0, 0, kNoFitMessage, false},  // not sized yet: nothing to say
      {70, 60, kWidthTooSmall | kHeightTooSmall, true},
  };
  for (const Row& row : rows) {
    s.SetViewport({row.width, row.height, 0, 0, 24, 20.0});
    EXPECT_EQ(s.FitZoom(), row.messages) << row.width << "x" << row.height;
    EXPECT_EQ(s.CannotDraw(), row.cannotDraw) << row.width << "x" << row.height;
    const double expected = (std::min(row.width, row.height) - room) / length;
    EXPECT_NEAR(s.Zoom(), expected, std::fabs(expected) * 1e-5 + 1e-6);
  }
}

TEST(DreiDScene, CoincidingPointsGiveNothingToDrawInsteadOfNaN) {
  StickFigureDocument d(5);
  d.Track([](int) { return std::array<float, 3>{7, 7, 7}; });
  d.Track([](int) { return std::array<float, 3>{7, 7, 7}; });
  d.Connect(0, 1, 1);
  DreiDScene s(&d.doc);
  s.SetViewport({400, 400, 0, 0, 24, 20.0});
  EXPECT_EQ(s.Rebuild(2, true), kNoFitMessage);
  EXPECT_TRUE(s.CannotDraw());
  EXPECT_EQ(s.FitZoom(), kNoFitMessage);
  EXPECT_TRUE(s.CannotDraw());
  EXPECT_TRUE(std::isfinite(s.Zoom()));
  s.OriginalView();
  s.ZoomDrag(true);
  EXPECT_TRUE(std::isfinite(s.Plane()) && std::isfinite(s.Eye()));
  RecordingPlotCanvas canvas;
  s.ApplyAngles();
  EXPECT_TRUE(s.Draw(canvas, true));
  EXPECT_TRUE(canvas.calls.empty());
}

TEST(DreiDScene, DrawsBoxFigureAndLabelsBeyondTheAxisEnds) {
  WalkerScene w;
  RecordingPlotCanvas canvas = w.Draw();
  EXPECT_EQ(canvas.Of("line").size(), 12u + 14u);
  EXPECT_EQ(w.scene.DrawnBox().size(), 12u);
  EXPECT_EQ(w.scene.DrawnFigure().size(), 14u);
  int labels = 0;
  for (const ZweiDVektor& d : w.scene.DrawnBox()) {
    if (!d.label) continue;
    ++labels;
    const PlotCall* text = canvas.Text(std::string(1, d.label));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->color, kAxis);
    // The label's middle stands on the edge's line, 7 pixels and its half diagonal past the end
    // (give or take the whole pixels the position is cut to).
    const double cx = d.labelX + RecordingPlotCanvas::kCharWidth / 2.0;
    const double cy = d.labelY + RecordingPlotCanvas::kLineHeight / 2.0;
    const double half =
        0.5 * std::hypot(RecordingPlotCanvas::kCharWidth, RecordingPlotCanvas::kLineHeight);
    EXPECT_NEAR(std::hypot(cx - d.x2, cy - d.y2), 7.0 + half, 3.5) << d.label;
    EXPECT_LT(DreiDScene::SegmentDistance(d.x1, d.y1, cx, cy, static_cast<int>(d.x2),
                                          static_cast<int>(d.y2)),
              3.5)
        << d.label;
  }
  EXPECT_EQ(labels, 3);
  // A label that cannot be written is reported; the lines are drawn all the same.
  RecordingPlotCanvas failing;
  failing.failText = true;
  EXPECT_FALSE(w.scene.Draw(failing, true));
  EXPECT_EQ(failing.Of("line").size(), 26u);
}

TEST(DreiDScene, ZoomDragMovesPlaneAndEyeAndClipsWithoutGoingNegative) {
  WalkerScene w;
  DreiDScene& s = w.scene;
  const float plane = s.Plane(), eye = s.Eye();
  s.ZoomDrag(false);
  EXPECT_FLOAT_EQ(s.Plane(), plane + 0.05f * eye);
  EXPECT_FLOAT_EQ(s.Eye(), s.Plane() * 3.2f * 5.0f / 12.0f);
  for (int i = 0; i < 200; ++i) {
    s.ZoomDrag(true);
    ASSERT_GE(s.Plane(), 0.0f);
    ASSERT_GE(s.Eye(), 0.0f);
  }
  // The plane has come into the scene: the box is cut.
  w.Draw();
  EXPECT_LT(w.scene.DrawnBox().size(), 12u);
  for (const ZweiDVektor& d : w.scene.DrawnBox())
    for (float v : {d.x1, d.y1, d.x2, d.y2}) EXPECT_TRUE(std::isfinite(v));
  s.OriginalView();
  EXPECT_EQ(s.Plane(), plane);
}

TEST(DreiDScene, NewestTurnComesFirstAndTheAnglesSelectTheTurns) {
  WalkerScene w;
  DreiDScene& s = w.scene;
  s.ApplyAngles();  // no angle, no current axis: no turn
  EXPECT_TRUE(s.Chain().empty());
  s.Angles().Set(1, 45);
  s.Angles().KeepOneAxis();
  s.ApplyAngles();
  s.Angles().EnterAxis(2);
  s.Angles().SetText(2, "30");
  s.Angles().Normalize();
  s.ApplyAngles();
  ASSERT_EQ(s.Chain().size(), 2u);
  EXPECT_EQ(s.Chain()[0].axis, kAxisY);
  EXPECT_EQ(s.Chain()[1].axis, kAxisX);
  Vektor expected = s.FigureReference()[3];
  expected.Rotate(kAxisY, 30);
  expected.Rotate(kAxisX, 45);
  EXPECT_EQ(Start(s.FigureWorking()[3]), Start(expected));
  EXPECT_EQ(End(s.BoxWorking()[5]), [&] {
    Vektor e = s.BoxReference()[5];
    e.Rotate(kAxisY, 30);
    e.Rotate(kAxisX, 45);
    return End(e);
  }());
  s.ApplyRotation(kAxisY, -30);  // the same axis again changes the newest turn
  ASSERT_EQ(s.Chain().size(), 2u);
  EXPECT_EQ(s.Chain()[0].angle, 330);
  // A frame change keeps the turns: the new segments are turned alike.
  unsigned flags = 0;
  ASSERT_TRUE(s.GotoFrame(11, &flags));
  s.ApplyAngles();
  expected = s.FigureReference()[3];
  expected.Rotate(kAxisY, 30);
  expected.Rotate(kAxisX, 45);
  EXPECT_EQ(Start(s.FigureWorking()[3]), Start(expected));
  s.OriginalView();
  EXPECT_TRUE(s.Chain().empty());
  EXPECT_EQ(s.Angles().Text(1) + s.Angles().Text(2) + s.Angles().Text(3), "000");
}

TEST(DreiDScene, DraggingAnAxisEdgeTurnsItTowardsTheMouse) {
  // Where the X edge stands when the box is turned 40 degrees about X.
  WalkerScene target;
  target.scene.Angles().Set(kAxisX, 40);
  target.scene.Angles().KeepOneAxis();
  target.Draw();
  const Vektor& xEdge = target.scene.BoxWorking()[0];
  ASSERT_EQ(xEdge.label, 'x');
  const ZweiDVektor& goal = target.scene.DrawnBox()[0];
  const int gx = static_cast<int>((goal.x1 + goal.x2) / 2);
  const int gy = static_cast<int>((goal.y1 + goal.y2) / 2);

  WalkerScene w;
  w.Draw();
  const ZweiDVektor& start = w.scene.DrawnBox()[0];
  ASSERT_TRUE(w.scene.PickAxis(static_cast<int>((start.x1 + start.x2) / 2),
                               static_cast<int>((start.y1 + start.y2) / 2)));
  ASSERT_EQ(w.scene.PickedEdge(), 0u);
  EXPECT_EQ(w.scene.BoxWorking()[0].colour, DreiDScene::kHighlight);
  w.scene.Angles().Set(kAxisY, 15);  // another axis's angle is cleared by the drag
  w.scene.RotateDrag(gx, gy);
  EXPECT_EQ(w.scene.Angles().CurrentAxis(), kAxisX);
  EXPECT_EQ(w.scene.Angles().Text(kAxisY), "0");
  const int angle = w.scene.Angles().Value(kAxisX);
  // The search stops one step past the nearest whole degree.
  EXPECT_GE(angle, 38);
  EXPECT_LE(angle, 42);
  // The pick survives a rebuild and gives its colour back on release.
  w.scene.Rebuild(12, false);
  EXPECT_EQ(w.scene.PickedEdge(), 0u);
  EXPECT_EQ(w.scene.BoxWorking()[0].colour, DreiDScene::kHighlight);
  w.scene.ReleasePick();
  EXPECT_EQ(w.scene.BoxWorking()[0].colour, kAxis);
  // Far from every edge nothing is picked.
  w.Draw();
  EXPECT_FALSE(w.scene.PickAxis(1, 1));
}

// A flat figure (every point at z 0, as a 2D recording gives) has a flat box whose far rectangle
// lies on the near one: the labelled axes, and the grabbed edge in red, are drawn over the plain
// edges they coincide with.
TEST(DreiDScene, OnAFlatFigureTheAxesAndTheGrabbedEdgeShowOverTheEdgesBeneathThem) {
  SegmentDocument d;
  for (int f = 1; f <= 20; ++f) {
    d.a->AddPoint(f, 10.0f + f, 10, 0);
    d.b->AddPoint(f, 40, 60.0f - f, 0);
  }
  d.Figure().Connect(d.a, d.b, Rgb(9, 8, 7));
  DreiDScene scene(&d.doc);
  scene.SetBoxLook(0, kAxis, kEdge);
  scene.SetViewport({400, 400, 0, 0, 24, 20.0});
  scene.Rebuild(5, true);
  ASSERT_FALSE(scene.CannotDraw());
  ASSERT_EQ(scene.Extents().zmin, scene.Extents().zmax);
  // The colour each pixel line ends with: the last one drawn over the same ends.
  const auto topColours = [&] {
    RecordingPlotCanvas canvas;
    scene.ApplyAngles();
    scene.Draw(canvas, true);
    std::map<std::array<int, 4>, ColorValue> top;
    for (const PlotCall& c : canvas.Of("line")) {
      std::array<int, 4> ends{c.v[0], c.v[1], c.v[2], c.v[3]};
      if (ends[0] > ends[2] || (ends[0] == ends[2] && ends[1] > ends[3]))
        ends = {c.v[2], c.v[3], c.v[0], c.v[1]};
      top[ends] = c.pen.color;
    }
    return top;
  };
  const auto colourOf = [](const std::map<std::array<int, 4>, ColorValue>& top,
                           const ZweiDVektor& e) {
    std::array<int, 4> ends{static_cast<int>(e.x1), static_cast<int>(e.y1), static_cast<int>(e.x2),
                            static_cast<int>(e.y2)};
    if (ends[0] > ends[2] || (ends[0] == ends[2] && ends[1] > ends[3]))
      ends = {ends[2], ends[3], ends[0], ends[1]};
    const auto it = top.find(ends);
    return it == top.end() ? ColorValue{} : it->second;
  };
  auto top = topColours();
  int axes = 0;
  for (const ZweiDVektor& e : scene.DrawnBox()) {
    if (!scene.BoxWorking()[e.source].label) continue;
    ++axes;
    EXPECT_EQ(colourOf(top, e), kAxis) << scene.BoxWorking()[e.source].label;
  }
  EXPECT_EQ(axes, 3);
  const ZweiDVektor x = scene.DrawnBox()[0];
  ASSERT_TRUE(
      scene.PickAxis(static_cast<int>((x.x1 + x.x2) / 2), static_cast<int>((x.y1 + x.y2) / 2)));
  top = topColours();
  EXPECT_EQ(colourOf(top, scene.DrawnBox()[0]), DreiDScene::kHighlight);
}

TEST(DreiDScene, GotoFrameStaysWithinTheFiguresFrames) {
  StickFigureDocument d(30);
  std::vector<float> x(30, M), y(30, M);
  for (int f = 3; f <= 12; ++f) x[f - 1] = static_cast<float>(f), y[f - 1] = 1.0f;
  d.points.push_back(d.Make(x, y));
  for (int f = 3; f <= 12; ++f) y[f - 1] = 50.0f;
  d.points.push_back(d.Make(x, y));
  d.Connect(0, 1, 1);
  DreiDScene s(&d.doc);
  s.SetViewport({400, 400});
  s.Rebuild(5, true);
  struct Row {
    std::uint32_t to;
    bool moves;
    std::uint32_t shown;
    unsigned flags;
  };
  const Row rows[] = {{5, false, 5, 0},
                      {1, true, 3, kRedrawFrame},
                      {3, false, 3, 0},
                      {50, true, 12, kRedrawFrame},
                      {7, true, 7, kRedrawFrame}};
  for (const Row& r : rows) {
    unsigned flags = 0;
    EXPECT_EQ(s.GotoFrame(r.to, &flags), r.moves) << r.to;
    EXPECT_EQ(s.CurrentFrame(), r.shown) << r.to;
    EXPECT_EQ(flags, r.flags) << r.to;
  }
  ASSERT_EQ(s.FigureWorking().size(), 1u);
  EXPECT_EQ(s.FigureWorking()[0].x1, 7.0f - 7.5f);  // centred on the middle of 3..12
}

}  // namespace
