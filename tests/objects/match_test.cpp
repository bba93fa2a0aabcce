// The matching step on synthetic clips with known sub-pixel motion, and its failure messages.

#include "objects/match.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "track_clip.h"

namespace {

using match::Method;

using clip::Grey;

clip::Result TrackClip(const synth::Scene& scene, Method method, int frames,
                       const clip::Points& starts, double vx, double vy,
                       match::Settings settings = {}) {
  clip::Options options;
  options.settings = settings;
  return clip::Track(scene, method, frames, clip::Paths(starts, vx, vy), options);
}

struct AccuracyCase {
  const char* name;
  Method method;
  synth::Kind kind;
  double gainPerFrame;
  double spatialRamp;
};

class AccuracyTest : public ::testing::TestWithParam<AccuracyCase> {};

TEST_P(AccuracyTest, TracksThreeHundredFramesWithinAFifthOfATenthOfAPixelOnAverage) {
  const AccuracyCase& c = GetParam();
  synth::Scene scene;
  scene.noise = 2.0;
  scene.gainPerFrame = c.gainPerFrame;
  scene.spatialRamp = c.spatialRamp;
  // Markers are worn on plain clothing: their template is mostly plain background.
  if (c.kind == synth::Kind::kMarker) scene.backgroundAmplitude = 0.02;
  const double radius = c.kind == synth::Kind::kMarker ? 3.0 : 12.0;
  scene.bodies = {{c.kind, radius, 11}, {c.kind, radius, 23}, {c.kind, radius, 37}};
  const clip::Result r =
      TrackClip(scene, c.method, 300, {{60, 60}, {160, 150}, {250, 80}}, 0.137, 0.071);
  std::printf("[ measured ] %s: mean %.4f px, max %.4f px\n", c.name, r.meanError, r.maxError);
  EXPECT_EQ(r.lostAt, 0) << "message " << r.message;
  EXPECT_LE(r.meanError, 0.05);
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
  const clip::Result ssd =
      TrackClip(scene, Method::kSSD, 120, {{120, 100}}, 0.2, 0.1, fixedTemplate);
  EXPECT_EQ(ssd.message, match::kObjectLost);
  const clip::Result texture =
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
  const clip::Result out = TrackClip(edge, Method::kCross, 200, {{270, 120}}, 1.5, 0);
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
