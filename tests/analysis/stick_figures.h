#pragma once

// Stick figures for the 3D window's tests and benchmark: a walking person of 15 points and 14
// connections, and a larger figure of n points on a turning spiral with chosen connections.
// World coordinates in mm, y growing downwards (the head above the feet on the screen).

#include <array>
#include <cmath>
#include <utility>
#include <vector>

#include "base/unitsorigin.h"
#include "common/test_document.h"
#include "objects/objects_test_util.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"

// A document of one video of `frames` frames; its sequences have as many.
struct StickFigureDocument {
  explicit StickFigureDocument(int frames) : frames(frames) {
    doc.AddFrameSequence(new TestVideo("/tmp/figure.avi", 64, 48, frames));
  }

  // A new sequence with a point at every frame whose x is not the missing value; z 0 when not
  // given.
  ResObjectSequence* Make(const std::vector<float>& x, const std::vector<float>& y,
                          const std::vector<float>& z = {}) {
    ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
    for (std::size_t i = 0; i < x.size(); ++i)
      if (x[i] != kMissingValue)
        s->AddPoint(static_cast<long>(i + 1), x[i], y[i], z.empty() ? 0 : z[i]);
    return s;
  }

  // A sequence with a point at every frame from the function of the frame.
  template <class F>
  ResObjectSequence* Track(F position) {
    std::vector<float> x(frames), y(frames), z(frames);
    for (int f = 1; f <= frames; ++f) {
      const auto p = position(f);
      x[f - 1] = p[0], y[f - 1] = p[1], z[f - 1] = p[2];
    }
    points.push_back(Make(x, y, z));
    return points.back();
  }
  SequencePair* Connect(int a, int b, ColorValue colour) {
    return doc.ObjectSequences()->Figure().Connect(points[a], points[b], colour);
  }

  TestDocument doc;
  int frames;
  std::vector<ResObjectSequence*> points;
};

// A person walking along x: arms and legs swing with the frame.
inline void MakeWalker(StickFigureDocument& d) {
  struct Joint {
    float x, y, z;
  };
  const auto swing = [](int f) { return 0.5f * std::sin(f * 0.2f); };
  const auto base = [](int f) { return 15.0f * f; };
  // Fixed joints relative to the body, limbs hanging from them.
  const auto at = [&](Joint j) {
    return [=](int f) { return std::array<float, 3>{base(f) + j.x, j.y, j.z}; };
  };
  const auto limb = [&](Joint root, float length, float sign) {
    return [=](int f) {
      const float a = sign * swing(f);
      return std::array<float, 3>{base(f) + root.x + length * std::sin(a),
                                  root.y + length * std::cos(a), root.z};
    };
  };
  const auto limb2 = [&](Joint root, float length, float sign) {
    return [=](int f) {
      const float a = sign * swing(f);
      return std::array<float, 3>{base(f) + root.x + 2 * length * std::sin(a),
                                  root.y + 2 * length * std::cos(a), root.z};
    };
  };
  const Joint head{0, 0, 0}, neck{0, 250, 0}, shoulderL{0, 300, -200}, shoulderR{0, 300, 200};
  const Joint hip{0, 850, 0}, hipL{0, 850, -120}, hipR{0, 850, 120};
  d.Track(at(head));                   // 0
  d.Track(at(neck));                   // 1
  d.Track(at(shoulderL));              // 2
  d.Track(at(shoulderR));              // 3
  d.Track(limb(shoulderL, 300, 1));    // 4 elbow L
  d.Track(limb(shoulderR, 300, -1));   // 5 elbow R
  d.Track(limb2(shoulderL, 300, 1));   // 6 hand L
  d.Track(limb2(shoulderR, 300, -1));  // 7 hand R
  d.Track(at(hip));                    // 8
  d.Track(at(hipL));                   // 9
  d.Track(at(hipR));                   // 10
  d.Track(limb(hipL, 420, -1));        // 11 knee L
  d.Track(limb(hipR, 420, 1));         // 12 knee R
  d.Track(limb2(hipL, 420, -1));       // 13 foot L
  d.Track(limb2(hipR, 420, 1));        // 14 foot R
  const std::pair<int, int> bones[] = {{0, 1},  {1, 2},   {1, 3},   {2, 4},  {4, 6},
                                       {3, 5},  {5, 7},   {1, 8},   {8, 9},  {8, 10},
                                       {9, 11}, {11, 13}, {10, 12}, {12, 14}};
  const ColorValue colours[] = {Rgb(0, 0, 200), Rgb(200, 0, 0), Rgb(0, 150, 0), Rgb(200, 120, 0)};
  int i = 0;
  for (auto [a, b] : bones) d.Connect(a, b, colours[i++ % 4]);
}

// n points on a spiral turning with the frame; connection k joins point k to point k + 1 for the
// first n - 1, then point k to point k + 3.
inline void MakeSpiral(StickFigureDocument& d, int n, int connections) {
  for (int j = 0; j < n; ++j)
    d.Track([j](int f) {
      const float a = 0.4f * j + 0.05f * f;
      return std::array<float, 3>{300.0f * std::cos(a), 40.0f * j, 300.0f * std::sin(a)};
    });
  for (int k = 0; k < connections; ++k) {
    const int a = k < n - 1 ? k : (k - (n - 1)) % n;
    const int b = k < n - 1 ? k + 1 : (a + 3) % n;
    d.Connect(a, b, Rgb(static_cast<std::uint8_t>(40 + 5 * k), 0, 160));
  }
}
