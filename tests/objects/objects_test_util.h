#pragma once

// Shared pieces of the object tests: a canvas that records what is drawn, a video without a
// file, and a temporary folder.

#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "calibration/camera.h"
#include "common/temp_dir.h"
#include "objects/canvas.h"
#include "sequences/framesequence.h"

struct DrawCall {
  std::string kind;
  std::vector<int> v;
  ColorValue color = 0;
  friend bool operator==(const DrawCall&, const DrawCall&) = default;
};

class RecordingCanvas : public ObjectCanvas {
 public:
  const std::vector<PaletteEntry>* Palette() const override { return palette; }
  void FrameRect(int l, int t, int r, int b, ColorValue c) override {
    Add("frame", {l, t, r, b}, c);
  }
  void FillRect(int l, int t, int r, int b, ColorValue c) override { Add("fill", {l, t, r, b}, c); }
  void Ellipse(int l, int t, int r, int b, const Pen& p, std::optional<ColorValue> f) override {
    Add(f ? "filledellipse" : "ellipse", {l, t, r, b}, p.color);
  }
  void Line(int x1, int y1, int x2, int y2, const Pen& p) override {
    Add("line", {x1, y1, x2, y2}, p.color);
    pens.push_back(p);
  }
  void SetPixel(int x, int y, ColorValue c) override { Add("pixel", {x, y}, c); }
  void Arc(int l, int t, int r, int b, int x1, int y1, int x2, int y2, const Pen& p) override {
    Add("arc", {l, t, r, b, x1, y1, x2, y2}, p.color);
  }

  std::vector<DrawCall> calls;
  std::vector<Pen> pens;
  const std::vector<PaletteEntry>* palette = nullptr;

 private:
  void Add(const char* kind, std::vector<int> v, ColorValue c) {
    calls.push_back({kind, std::move(v), c});
  }
};

// A video of a given size and length that reads no frames.
class TestVideo : public FrameSequence {
 public:
  TestVideo(const std::string& path, int width, int height, int frames, bool colour = false)
      : FrameSequence(nullptr) {
    fileName = FileName(path);
    fsData.width = width;
    fsData.height = height;
    fsData.frames = frames;
    fsData.colour = colour ? 1 : 0;
    SetImageSize(fsData.units, fsData.aspect, width, height);
  }
  bool Open() override { return true; }
  void Close() override {}
  const CDIB* ReadFrame(int, bool) override { return nullptr; }
  bool IsCurrentFrame(int) const override { return false; }
  FileName& GetFileName() override { return fileName; }
  bool CanClose() override { return true; }
  void PreparePalette() override {}
};

// A fresh folder for one test, named after it.
struct TempDir : testutil::TempDir {
  explicit TempDir(const std::string& name) : testutil::TempDir("zorvat_objects_" + name) {}
};

// The point an ASCII point file of PointFileLine gives in frame n + 1 (0 <= n).
inline float PointFileX(long long n) { return static_cast<float>(100 + (n % 500) * 0.125); }
inline float PointFileY(long long n) { return static_cast<float>(200 - (n % 300) * 0.25); }

// An ASCII point file of `lines` lines, line k naming frame k - 1 with the point above, but for
// line `faultyLine`, which names `faultyFrame`. Written a block at a time, so a long file costs
// the writer no memory a reader could be blamed for.
inline void WriteLongPointFile(const std::string& path, long long lines, long long faultyLine,
                               long long faultyFrame) {
  // The points repeat every 1500 lines: their text is made once.
  constexpr int kPeriod = 1500;
  std::vector<std::string> points(kPeriod);
  char text[64];
  for (int n = 0; n < kPeriod; ++n) {
    std::snprintf(text, sizeof text, " %.3f %.3f\n", PointFileX(n), PointFileY(n));
    points[n] = text;
  }
  std::ofstream out(path, std::ios::binary);
  std::string block;
  for (long long k = 1; k <= lines; ++k) {
    const long long n = k - 1;
    block.append(text, std::to_chars(text, text + sizeof text, k == faultyLine ? faultyFrame : n).ptr);
    block += points[n % kPeriod];
    if (block.size() >= (1 << 20) || k == lines) {
      out.write(block.data(), static_cast<std::streamsize>(block.size()));
      block.clear();
    }
  }
}

// Makes v a calibrated camera with lens 16 mm on a 640 x 480 sensor, turned by the angles
// (radians) and moved by the translation (mm).
inline void Calibrate(TestVideo& v, double rx, double ry, double rz, double tx, double ty,
                      double tz) {
  v.camera = CameraParameters{640, 640, 0.01, 0.01, 0.01, 0.01, 320, 240, 1.0};
  v.result = CalibrationResult{};
  v.result.f = 16;
  v.result.Rx = rx;
  v.result.Ry = ry;
  v.result.Rz = rz;
  v.result.Tx = tx;
  v.result.Ty = ty;
  v.result.Tz = tz;
  RotationFromAngles(v.result);
  v.SetFlag(kFlagCalibrated, true);
}
