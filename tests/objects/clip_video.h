#pragma once

// A video whose frames are drawn on request from a synthetic scene (tests/objects/
// synthetic_clip.h); its bodies follow synth::PathAt from their starting points.

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "sequences/framesequence.h"
#include "synthetic_clip.h"

inline constexpr double kVx = 0.31, kVy = -0.17;

// A video whose frames are drawn on request from a synthetic scene; it remembers every frame
// number asked for, counts the reads, and can refuse one.
class ClipVideo : public FrameSequence {
 public:
  ClipVideo(const std::string& path, synth::Scene scene, int frames, bool colour,
            std::vector<std::pair<double, double>> starts)
      : FrameSequence(nullptr), scene_(std::move(scene)), starts_(std::move(starts)) {
    fileName = FileName(path);
    fsData.width = scene_.width;
    fsData.height = scene_.height;
    fsData.frames = frames;
    fsData.colour = colour ? 1 : 0;
    SetImageSize(fsData.units, fsData.aspect, scene_.width, scene_.height);
    frameDib.Create(scene_.width, scene_.height, colour ? 24 : 8);
  }
  std::vector<std::pair<double, double>> Truth(int frame) const {
    std::vector<std::pair<double, double>> at;
    for (auto [x, y] : starts_) at.push_back(synth::PathAt(frame, x, y, kVx, kVy));
    return at;
  }
  bool Open() override { return true; }
  void Close() override {}
  const CDIB* ReadFrame(int number, bool) override {
    asked.insert(number);
    ++reads;
    if (number == unreadable) return nullptr;
    if (number < 1 || number > Frames()) number = 1;
    if (number == held_) return &frameDib;
    std::vector<std::uint8_t> grey = scene_.Render(number, Truth(number), number);
    // The bottom left corner is plain grey: nothing there to track.
    for (int y = 170; y < Height(); ++y)
      std::fill_n(grey.begin() + static_cast<std::size_t>(y) * Width(), 70, std::uint8_t{100});
    if (IsColour()) {
      // Red carries the scene, green a darker copy, blue a constant.
      std::vector<std::uint8_t> planes(grey.size() * 3, 60);
      for (std::size_t i = 0; i < grey.size(); ++i) {
        planes[i] = grey[i];
        planes[grey.size() + i] = static_cast<std::uint8_t>(grey[i] / 2);
      }
      FrameDataToDib(fsData, planes.data(), frameDib);
    } else {
      FrameDataToDib(fsData, grey.data(), frameDib);
    }
    held_ = number;
    return &frameDib;
  }
  bool IsCurrentFrame(int number) const override { return number == held_; }
  bool FrameReady(int number) const override { return number <= readyUpTo; }
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return true; }
  void PreparePalette() override {}

  std::set<int> asked;
  int reads = 0;  // calls of ReadFrame
  int unreadable = -1;
  int readyUpTo = 1 << 30;  // frames after it cannot be read yet without waiting

 private:
  synth::Scene scene_;
  std::vector<std::pair<double, double>> starts_;
  int held_ = 0;
};
