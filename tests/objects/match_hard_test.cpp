// The matching step where tracking gets hard: light that changes, a pole passing in front of
// the object, look-alike markers crossing, objects that turn and change their size. Each clip
// is rendered with its exact truth; a point is either right or reported.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "objects/match.h"
#include "track_clip.h"

namespace {

using match::Method;

constexpr double kDegree = M_PI / 180;

using clip::NameOf;

// A small frame with one textured disc, its template and search area set for it.
struct OneDisc {
  OneDisc() {
    scene.width = 200;
    scene.height = 150;
    scene.backgroundAmplitude = 0.05;
    scene.bodies = {{synth::Kind::kTexture, 14, 17}};
    options.templateWidth = options.templateHeight = 31;
    options.horizontalLimit = options.verticalLimit = 51;
  }
  synth::Scene scene;
  clip::Options options;
};

void Show(const char* what, Method m, const clip::Result& r) {
  std::printf("[ measured ] %s %s: mean %.4f px, max %.4f px, lost at %d (%d)\n", what, NameOf(m),
              r.meanError, r.maxError, r.lostAt, r.message);
}

TEST(HardClips, SsdFollowsAFramePerFrameBrighteningWithoutDrift) {
  OneDisc clip;
  // A dark scene brightening by 1 % of its first level every frame: four times as bright at the
  // end, still below white.
  clip.scene.level = 0.3;
  clip.scene.gainPerFrame = 0.01;
  const clip::Result r = clip::Track(clip.scene, Method::kSSD, 300,
                                     clip::Paths({{100, 75}}, 0.05, 0.03), clip.options);
  Show("brightening", Method::kSSD, r);
  EXPECT_EQ(r.lostAt, 0) << r.message;
  EXPECT_LT(r.maxError, 0.1);
}

class PerMethod : public ::testing::TestWithParam<Method> {};

TEST_P(PerMethod, APoleCrossingTheObjectIsReportedBeforeThePointJumps) {
  OneDisc clip;
  constexpr double kPoleStart = 30, kPoleSpeed = 1.5;
  clip.scene.pole.width = 6;
  clip.scene.poleAt = [](int f) { return kPoleStart + kPoleSpeed * f; };
  const auto truth = clip::Paths({{110, 75}}, 0.05, 0.03);
  // The first frame in which the pole covers part of the template.
  int contact = 1;
  while (kPoleStart + kPoleSpeed * contact + clip.scene.pole.width / 2 <
         truth(contact)[0].first - clip.options.templateWidth / 2.0)
    ++contact;
  const clip::Result r = clip::Track(clip.scene, GetParam(), 150, truth, clip.options);
  Show("pole", GetParam(), r);
  EXPECT_EQ(r.message, match::kObjectLost);
  // The failed step leads from lostAt to lostAt + 1: not before the contact, at most 2 after.
  EXPECT_GE(r.lostAt + 1, contact);
  EXPECT_LE(r.lostAt + 1, contact + 2);
  EXPECT_LT(r.maxError, 1.0);

  // Told to go on, the tracker stores the points it finds behind the pole as bad ones, and
  // none that is off as a good one.
  clip.options.settings.breakOnBadMatch = false;
  const clip::Result on = clip::Track(clip.scene, GetParam(), 120, truth, clip.options);
  EXPECT_GT(on.badMatches, 0);
  EXPECT_EQ(on.silentJumps, 0);
}

TEST_P(PerMethod, TwinMarkersPassingEachOtherKeepTheirIdentities) {
  synth::Scene scene;
  scene.width = 200;
  scene.height = 140;
  scene.backgroundAmplitude = 0.02;
  scene.bodies = {{synth::Kind::kMarker, 3, 0}, {synth::Kind::kMarker, 3, 0}};
  clip::Options options;
  options.templateWidth = options.templateHeight = 15;
  // The search areas reach far enough to hold the twin while they pass.
  options.horizontalLimit = options.verticalLimit = 61;
  const auto truth = [](int f) {
    return clip::Points{{40 + 0.8 * f, 60 + 0.01 * f},
                        {160 - 0.8 * f, 80 + 0.2 * std::sin(f * 0.05)}};
  };
  const clip::Result r = clip::Track(scene, GetParam(), 150, truth, options);
  Show("twins", GetParam(), r);
  EXPECT_EQ(r.lostAt, 0) << r.message;
  EXPECT_LT(r.maxError, 0.5);
}

INSTANTIATE_TEST_SUITE_P(HardClips, PerMethod,
                         ::testing::Values(Method::kSSD, Method::kCross, Method::kTexture),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

struct TurnCase {
  const char* name;
  double turn;   // over the run, radians
  double scale;  // largest change of size over the run, as a fraction
};

class TurnAndScale : public ::testing::TestWithParam<std::tuple<TurnCase, Method>> {};

TEST_P(TurnAndScale, AreFollowedWithinTwoTenthsOfAPixel) {
  const auto [c, method] = GetParam();
  constexpr int kFrames = 300;
  OneDisc clip;
  clip.scene.pose = [c = c](std::size_t, int f) {
    return synth::Pose{c.turn * f / kFrames, 1 + c.scale * std::sin(2 * M_PI * f / kFrames)};
  };
  const clip::Result r =
      clip::Track(clip.scene, method, kFrames, clip::Paths({{100, 75}}, 0.05, 0.03), clip.options);
  Show(c.name, method, r);
  EXPECT_EQ(r.lostAt, 0) << r.message;
  EXPECT_LT(r.maxError, 0.2);
}

const TurnCase kTurn{"Turn30", 30 * kDegree, 0}, kScale{"Scale20", 0, 0.2},
    kBoth{"Turn30Scale20", 30 * kDegree, 0.2};

INSTANTIATE_TEST_SUITE_P(
    HardClips, TurnAndScale,
    ::testing::Values(std::tuple{kTurn, Method::kSSD}, std::tuple{kScale, Method::kSSD},
                      std::tuple{kBoth, Method::kSSD}, std::tuple{kBoth, Method::kCross},
                      std::tuple{kBoth, Method::kTexture}),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + NameOf(std::get<1>(info.param));
    });

}  // namespace
