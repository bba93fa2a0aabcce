#pragma once

// Runs the matching step over a rendered clip, object by object, as the driver does, and
// measures every stored point against the clip's exact truth.

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "objects/match.h"
#include "synthetic_clip.h"

namespace clip {

using Points = std::vector<std::pair<double, double>>;

// Default template (8 %) and search limits (16 %) of a frame side, as new objects get them.
inline int TemplateSide(int side) { return (8 / 2) * side / 100 * 2 + 1; }
inline int SearchLimit(int side) { return (16 / 2) * side / 100 * 2 - 1; }

inline const char* NameOf(match::Method m) {
  return m == match::Method::kSSD ? "SSD" : (m == match::Method::kCross ? "Cross" : "Texture");
}

inline match::Image Grey(const std::vector<std::uint8_t>& pixels, int w, int h) {
  match::Image i;
  i.planes[0] = pixels.data();
  i.count = 1;
  i.width = w;
  i.height = h;
  return i;
}

struct Options {
  match::Settings settings;
  int templateWidth = 0, templateHeight = 0;   // 0: the defaults for the frame
  int horizontalLimit = 0, verticalLimit = 0;  // 0: the defaults for the frame
  // Where the user set each point, from the body's centre (the same for every body).
  double offsetX = 0, offsetY = 0;
  // The frames (1..), in place of the scene's rendering of them.
  std::function<std::vector<std::uint8_t>(int)> frameOf;
};

struct Result {
  double meanError = 0;
  double maxError = 0;
  int lostAt = 0;  // frame of the first failed step (from it to the next), 0 when none failed
  int message = 0;
  int badMatches = 0;   // stored, but reported as bad
  int silentJumps = 0;  // stored as good, more than a pixel off
  int steps = 0;        // points stored
  int firstBad = 0;     // frame of the first step stored as bad, 0 when none
};

inline Points Offset(Points at, const Options& options) {
  for (auto& [x, y] : at) x += options.offsetX, y += options.offsetY;
  return at;
}

// Tracks the bodies of the scene from their true points at frame 1 through frame `frames`.
inline Result Track(const synth::Scene& scene, match::Method method, int frames,
                    const std::function<Points(int)>& truth, const Options& options = {}) {
  Result result;
  const Points starts = Offset(truth(1), options);
  auto frameOf = [&](int f, const Points& centres) {
    return options.frameOf ? options.frameOf(f) : scene.Render(f, centres, f);
  };
  std::vector<match::TrackState> states(starts.size());
  std::vector<std::pair<float, float>> point, previous(starts.size());
  for (auto [x, y] : starts) point.push_back({float(x), float(y)});
  std::vector<std::uint8_t> thisFrame = frameOf(1, truth(1));
  double errorSum = 0;
  for (int f = 1; f < frames; ++f) {
    const Points at = Offset(truth(f + 1), options);
    std::vector<std::uint8_t> nextFrame = frameOf(f + 1, truth(f + 1));
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
      r.geometry = {options.templateWidth ? options.templateWidth : TemplateSide(scene.width),
                    options.templateHeight ? options.templateHeight : TemplateSide(scene.height), 0,
                    0, 0};
      r.horizontalLimit =
          options.horizontalLimit ? options.horizontalLimit : SearchLimit(scene.width);
      r.verticalLimit = options.verticalLimit ? options.verticalLimit : SearchLimit(scene.height);
      r.method = method;
      r.restart = f == 1;
      r.settings = options.settings;
      const match::Outcome o = match::MatchStep(r, states[i]);
      if (o.message) {
        result.lostAt = f;
        result.message = o.message;
        result.meanError = errorSum / std::max(result.steps, 1);
        return result;
      }
      previous[i] = point[i];
      point[i] = {o.x, o.y};
      result.badMatches += o.badMatch;
      if (o.badMatch && !result.firstBad) result.firstBad = f;
      const double e = std::hypot(o.x - at[i].first, o.y - at[i].second);
      errorSum += e;
      result.maxError = std::max(result.maxError, e);
      result.silentJumps += !o.badMatch && e > 1.0;
      ++result.steps;
    }
    thisFrame = std::move(nextFrame);
  }
  result.meanError = errorSum / std::max(result.steps, 1);
  return result;
}

// The bodies on synth::PathAt from their starting points.
inline std::function<Points(int)> Paths(Points starts, double vx, double vy) {
  return [starts = std::move(starts), vx, vy](int f) {
    Points at;
    for (auto [x, y] : starts) at.push_back(synth::PathAt(f, x, y, vx, vy));
    return at;
  };
}

}  // namespace clip
