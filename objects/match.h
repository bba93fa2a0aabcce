#pragma once

// The matching step of tracking: finds an object's template from frame n in frame n + step.
//
// All three methods search coarse to fine over an image pyramid (exhaustively at the coarsest
// level, keeping the best few candidates, then within two pixels of each on every finer level).
// Each distinct candidate is refined to a fraction of a pixel by Lucas-Kanade alignment on the
// bilinearly interpolated frame, with the frame brought to the template's mean and contrast at
// every iteration, so a uniform change of brightness or contrast does not move the point.
//
// - SSD: least sum of squared differences of the pixel values. A match is beyond its threshold
//   when the root mean square difference per template pixel exceeds ThresholdSSD (grey levels,
//   0..255, as the pixels are).
// - Cross-correlation: highest zero-mean normalised cross-correlation (ZNCC); insensitive to a
//   change of brightness and contrast of the whole template. A match is beyond its threshold
//   when its ZNCC is below ThresholdCROSS (-1..1).
// - Texture tracking: the same, on band-pass filtered images (a light smoothing, minus the mean
//   of a 9 x 9 neighbourhood). Only the local structure of the object counts: brightness ramps
//   across the template, slow shading and noise above the object's texture scale are removed.
//   ThresholdCROSS applies to the ZNCC of the filtered images.
//
// Candidates whose cost is at most twice the best's compete; the one nearest the point the
// object's last step predicts wins. A match is bad when it is beyond its threshold, when the
// motion cannot tell the winner from another competing candidate, when it lies much further from
// the predicted point than the object's recent matches did (a jump onto a look-alike), or when
// its misfit (1 - ZNCC) is much worse than the mean of the object's recent good matches in a part
// of the template only, or beyond 0.1: something in the way of the object. A misfit that rises
// all over the template and stays below 0.1 is a change of the whole picture (a key frame of
// compressed video, another compression, a flash) and no reason for a report. After a jump let
// pass, the object is looked for on the path of its last good match. Before a bad match is reported the search is
// repeated at every position at full resolution. A bad match gives 31072 with BreakOnBadMatch
// on; with it off the point is stored all the same (Outcome::badMatch), and a bad look let pass
// is taken as the user takes it: later matches that fit no worse anywhere are good again, so a
// lasting change of the object (a fleck, a shadow) does not make every later step bad. The
// template is kept until then: something passing in front would otherwise become part of it.
//
// With AdaptTemplate the template is taken anew after each good match, so a slowly changing
// object is followed; the template of the run's first frame is kept as an anchor and every match
// is aligned once more against it, turned and scaled as the object has since the first frame
// (as far as the anchor shows a turn or a scale: a plain round marker shows no turn); where that
// alignment holds it gives the point, so the small errors of the adapted templates do not add up
// to drift.

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace match {

class Aligner;

enum class Method { kSSD, kCross, kTexture };

struct Settings {
  int thresholdSSD = 45;
  double thresholdCross = 0.495;
  bool adaptTemplate = true;
  bool breakOnBadMatch = true;
};

// A frame as planes of width x height bytes, top row first (one plane grey, three colour).
struct Image {
  const std::uint8_t* planes[3] = {nullptr, nullptr, nullptr};
  int count = 1;
  int width = 0;
  int height = 0;
};

// The template of one object: its side lengths (odd), shape (0 rectangle, 1 circle or ellipse)
// and the offset of its centre from the object's point.
struct TemplateGeometry {
  int width = 3;
  int height = 3;
  int shape = 0;
  int xOffset = 0;
  int yOffset = 0;
};

// A patch of float pixels, planes one after the other.
struct Patch {
  int width = 0, height = 0, planes = 1;
  std::vector<float> pixels;
  float* Plane(int p) { return pixels.data() + static_cast<std::size_t>(p) * width * height; }
  const float* Plane(int p) const {
    return pixels.data() + static_cast<std::size_t>(p) * width * height;
  }
};

// What is remembered of a match to judge the next ones by.
struct Recent {
  double misfit = 0;     // 1 - ZNCC
  double deviation = 0;  // pixels from where the motion predicted it
  // The misfit on each cell of a 3 x 3 grid over the template, rows first.
  std::array<double, 9> cells{};
};

// What the matching step keeps of one object between frames.
struct TrackState {
  bool valid = false;
  Method method = Method::kSSD;
  TemplateGeometry geometry;
  int planes = 1;
  Patch current;                 // the template compared now (filtered for texture tracking)
  float pointX = 0, pointY = 0;  // the object's point relative to the template's top left pixel
  Patch anchor;                  // the template of the run's first frame
  bool adapted = false;          // current is no longer the anchor
  float anchorX = 0, anchorY = 0;
  // How the object has turned and scaled since the anchor: scale (cos a, sin a).
  double anchorScaleCos = 1, anchorScaleSin = 0;
  std::shared_ptr<Aligner> anchorAligner;  // made once per anchor
  // The last good matches, oldest first.
  static constexpr std::size_t kHistory = 8;
  std::vector<Recent> recent;
  // A doubtful look was let pass and no good match has come since: its misfit per cell.
  bool passed = false;
  std::array<double, 9> passedCells{};
  // A jump was let pass and no good match has come since: the object is looked for on the path
  // of its last good match, (goodX, goodY) moving by (goodVx, goodVy) per step.
  bool astray = false;
  int stepsSinceGood = 0;
  double goodX = 0, goodY = 0, goodVx = 0, goodVy = 0;
};

// Results of a step; message ids are the tracking messages.
inline constexpr int kGeneralError = 31071;
inline constexpr int kObjectLost = 31072;
inline constexpr int kNoStructure = 31073;
inline constexpr int kTemplateOutside = 31074;
inline constexpr int kLeavesFrame = 31075;

struct Request {
  Image thisFrame;
  Image nextFrame;
  float x = 0, y = 0;  // the object's point in this frame
  bool hasVelocity = false;
  float vx = 0, vy = 0;  // its motion over the last step, used to predict the search centre
  TemplateGeometry geometry;
  int horizontalLimit = 3, verticalLimit = 3;  // the search area, pixels
  Method method = Method::kSSD;
  bool restart = true;  // take the template from this frame
  Settings settings;
};

struct Outcome {
  int message = 0;  // 0 success, else the message id
  float x = 0, y = 0;
  bool stored = false;       // x, y are the object's new point
  bool badMatch = false;     // the quality test failed
  double score = 0;          // RMS difference (SSD) or ZNCC of the best whole-pixel match
  int bestX = 0, bestY = 0;  // top left pixel of the best whole-pixel match
};

// One matching step. state carries the template between steps; restart (or an empty state, or
// one of another geometry or method) takes it from thisFrame.
Outcome MatchStep(const Request& request, TrackState& state);

// The best whole-pixel match of tmpl (its top left corner) with its origin in
// [x0, x1] x [y0, y1] of image; higher score is better (minus the sum of squares for SSD).
// Exposed for the benchmark and tests; mask null means the whole rectangle.
struct Best {
  int x = 0, y = 0;
  double score = 0;
};
// The distinct local optima the coarse-to-fine search followed, the best first; maxLevels 0
// searches every position at full resolution.
std::vector<Best> SearchCandidates(const Patch& image, const Patch& tmpl,
                                   const std::vector<std::uint8_t>* mask, Method method, int x0,
                                   int y0, int x1, int y1, int maxLevels);
Best SearchBest(const Patch& image, const Patch& tmpl, const std::vector<std::uint8_t>* mask,
                Method method, int x0, int y0, int x1, int y1);

// Copies a rectangle of an image into a float patch (texture tracking: filtered, using the
// pixels around the rectangle where the image has them).
Patch Extract(const Image& image, int x0, int y0, int width, int height, Method method);

// The template's pixel mask: all for a rectangle, the inscribed ellipse for a circle.
std::vector<std::uint8_t> ShapeMask(int width, int height, int shape);

}  // namespace match
