// The matching step on synthetic clips with known sub-pixel motion, and its failure messages.

#include "objects/match.h"

#include <gtest/gtest.h>

#include <cmath>

#include "synthetic_clip.h"

namespace {

using match::Method;

// Default template (8 %) and search limits (16 %) of a frame side, as new objects get them.
int TemplateSide(int side) { return (8 / 2) * side / 100 * 2 + 1; }
int SearchLimit(int side) { return (16 / 2) * side / 100 * 2 - 1; }

match::Image Grey(const std::vector<std::uint8_t>& pixels, int w, int h) {
  match::Image i;
  i.planes[0] = pixels.data();
  i.count = 1;
  i.width = w;
  i.height = h;
  return i;
}

struct TrackResult {
  double meanError = 0;
  double maxError = 0;
  int lostAt = 0;  // frame of the first failed step, 0 when none failed
  int message = 0;
};

TrackResult TrackClip(const synth::Scene& scene, Method method, int frames,
                      const std::vector<std::pair<double, double>>& starts, double vx, double vy,
                      match::Settings settings = {}) {
  auto truth = [&](int f) {
    std::vector<std::pair<double, double>> at;
    for (auto [x, y] : starts) at.push_back(synth::PathAt(f, x, y, vx, vy));
    return at;
  };
  TrackResult result;
  std::vector<match::TrackState> states(starts.size());
  std::vector<std::pair<float, float>> point, previous;
  for (auto [x, y] : truth(1)) point.push_back({float(x), float(y)});
  std::vector<std::uint8_t> thisFrame = scene.Render(1, truth(1), 1);
  double errorSum = 0;
  int count = 0;
  for (int f = 1; f < frames; ++f) {
    const auto at = truth(f + 1);
    std::vector<std::uint8_t> nextFrame = scene.Render(f + 1, at, f + 1);
    for (std::size_t i = 0; i < starts.size(); ++i) {
      match::Request r;
      r.thisFrame = Grey(thisFrame, scene.width, scene.height);
      r.nextFrame = Grey(nextFrame, scene.width, scene.height);
      r.x = point[i].first;
      r.y = point[i].second;
      if (f > 1) {
        r.hasVelocity = true;
        r.vx = point[i].first - previous[i].first;
        r.vy = point[i].second - previous[i].second;
      }
      r.geometry = {TemplateSide(scene.width), TemplateSide(scene.height), 0, 0, 0};
      r.horizontalLimit = SearchLimit(scene.width);
      r.verticalLimit = SearchLimit(scene.height);
      r.method = method;
      r.restart = f == 1;
      r.settings = settings;
      const match::Outcome o = match::MatchStep(r, states[i]);
      if (o.message) {
        result.lostAt = f;
        result.message = o.message;
        return result;
      }
      if (previous.size() < point.size()) previous.resize(point.size());
      previous[i] = point[i];
      point[i] = {o.x, o.y};
      const double e = std::hypot(o.x - at[i].first, o.y - at[i].second);
      errorSum += e;
      result.maxError = std::max(result.maxError, e);
      ++count;
    }
    thisFrame = std::move(nextFrame);
  }
  result.meanError = errorSum / std::max(count, 1);
  return result;
}

struct AccuracyCase {
  const char* name;
  Method method;
  synth::Kind kind;
  double gainPerFrame;
  double spatialRamp;
};

class AccuracyTest : public ::testing::TestWithParam<AccuracyCase> {};

TEST_P(AccuracyTest, TracksThreeHundredFramesWithinATenthOfAPixel) {
  const AccuracyCase& c = GetParam();
  synth::Scene scene;
  scene.noise = 2.0;
  scene.gainPerFrame = c.gainPerFrame;
  scene.spatialRamp = c.spatialRamp;
  // Markers are worn on plain clothing: their template is mostly plain background.
  if (c.kind == synth::Kind::kMarker) scene.backgroundAmplitude = 0.02;
  const double radius = c.kind == synth::Kind::kMarker ? 3.0 : 12.0;
  scene.bodies = {{c.kind, radius, 11}, {c.kind, radius, 23}, {c.kind, radius, 37}};
  const TrackResult r =
      TrackClip(scene, c.method, 300, {{60, 60}, {160, 150}, {250, 80}}, 0.137, 0.071);
  EXPECT_EQ(r.lostAt, 0) << "message " << r.message;
  EXPECT_LT(r.meanError, 0.1);
  EXPECT_LT(r.maxError, 0.5);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, AccuracyTest,
    ::testing::Values(
        AccuracyCase{"SsdTexture", Method::kSSD, synth::Kind::kTexture, 0, 0},
        AccuracyCase{"SsdMarker", Method::kSSD, synth::Kind::kMarker, 0, 0},
        AccuracyCase{"CrossTextureBrightening", Method::kCross, synth::Kind::kTexture, 0.0015, 0},
        AccuracyCase{"CrossMarkerBrightening", Method::kCross, synth::Kind::kMarker, 0.0015, 0},
        AccuracyCase{"TextureUnderRampAndBrightening", Method::kTexture, synth::Kind::kTexture,
                     0.0015, 0.15},
        AccuracyCase{"TextureMarker", Method::kTexture, synth::Kind::kMarker, 0.0015, 0.15}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MatchTest, GreyLevelsFailUnderABrightnessChangeThatTextureTrackingFollows) {
  synth::Scene scene;
  scene.gainPerFrame = 0.01;  // 1 % brighter every frame
  scene.bodies = {{synth::Kind::kTexture, 12, 5}};
  match::Settings fixedTemplate;
  fixedTemplate.adaptTemplate = false;
  const TrackResult ssd =
      TrackClip(scene, Method::kSSD, 120, {{120, 100}}, 0.2, 0.1, fixedTemplate);
  EXPECT_EQ(ssd.message, match::kObjectLost);
  const TrackResult texture =
      TrackClip(scene, Method::kTexture, 120, {{120, 100}}, 0.2, 0.1, fixedTemplate);
  EXPECT_EQ(texture.lostAt, 0);
  EXPECT_LT(texture.meanError, 0.1);
}

TEST(MatchTest, PyramidSearchFindsTheExhaustiveBest) {
  synth::Scene scene;
  scene.bodies = {{synth::Kind::kTexture, 12, 3}, {synth::Kind::kMarker, 3, 0}};
  const auto img = scene.Render(1, {{100, 90}, {200, 150}}, 4);
  const match::Image image = Grey(img, scene.width, scene.height);
  for (Method m : {Method::kSSD, Method::kCross}) {
    for (auto [tx, ty] : {std::pair{88, 81}, std::pair{188, 143}}) {
      const match::Patch t = match::Extract(image, tx, ty, 25, 19, m);
      const match::Patch area = match::Extract(image, tx - 40, ty - 30, 105, 79, m);
      const match::Best best = match::SearchBest(area, t, nullptr, m, 0, 0, 80, 60);
      EXPECT_EQ(best.x, 40);
      EXPECT_EQ(best.y, 30);
    }
  }
}

TEST(MatchTest, FailuresNameTheirCause) {
  synth::Scene scene;
  scene.bodies = {{synth::Kind::kMarker, 3, 0}};
  const auto img = scene.Render(1, {{100, 100}}, 4);
  std::vector<std::uint8_t> flat(img.size(), 128);
  match::Request r;
  r.geometry = {25, 19, 0, 0, 0};
  r.horizontalLimit = 51;
  r.verticalLimit = 37;
  struct Case {
    const char* what;
    const std::vector<std::uint8_t>* frame;
    float x, y;
    int message;
  } cases[] = {
      {"uniform template", &flat, 100, 100, match::kNoStructure},
      {"template beyond the frame", &img, 5, 100, match::kTemplateOutside},
      {"point outside the frame", &img, 330, 100, match::kLeavesFrame},
  };
  for (const Case& c : cases) {
    r.thisFrame = r.nextFrame = Grey(*c.frame, scene.width, scene.height);
    r.x = c.x;
    r.y = c.y;
    match::TrackState state;
    EXPECT_EQ(match::MatchStep(r, state).message, c.message) << c.what;
  }
  // An object moving out over the right edge.
  synth::Scene edge;
  edge.bodies = {{synth::Kind::kTexture, 12, 9}};
  const TrackResult out = TrackClip(edge, Method::kCross, 200, {{270, 120}}, 1.5, 0);
  EXPECT_EQ(out.message, match::kLeavesFrame);
}

TEST(MatchTest, WithoutBreakOnBadMatchTheBadPointIsStoredAndTheTemplateKept) {
  synth::Scene scene;
  scene.bodies = {{synth::Kind::kTexture, 12, 5}};
  const auto a = scene.Render(1, {{120, 100}}, 1);
  // The object is gone: the next frame is noise.
  std::vector<std::uint8_t> b(a.size());
  std::mt19937 rng(7);
  for (auto& v : b) v = static_cast<std::uint8_t>(rng() & 0xFF);
  match::Request r;
  r.thisFrame = Grey(a, scene.width, scene.height);
  r.nextFrame = Grey(b, scene.width, scene.height);
  r.x = 120;
  r.y = 100;
  r.geometry = {25, 19, 0, 0, 0};
  r.horizontalLimit = 51;
  r.verticalLimit = 37;
  r.method = Method::kCross;
  match::TrackState state;
  EXPECT_EQ(match::MatchStep(r, state).message, match::kObjectLost);
  r.settings.breakOnBadMatch = false;
  state = {};
  const match::Outcome o = match::MatchStep(r, state);
  EXPECT_EQ(o.message, 0);
  EXPECT_TRUE(o.stored && o.badMatch);
  EXPECT_FALSE(state.adapted);
}

}  // namespace
