#pragma once

// Shared pieces of the analysis tests: a document whose object sequences have a chosen number of
// frames, a canvas that records what a plot draws, and the reference data files.

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/series/anlwinobjseq.h"
#include "analysis/curves/kurve.h"
#include "analysis/plot/plotcanvas.h"
#include "base/unitsorigin.h"
#include "common/test_document.h"
#include "objects/objects_test_util.h"
#include "objects/resobjseq.h"

// A document of one video of `frames` frames; its sequences have as many.
struct SequenceDocument {
  explicit SequenceDocument(int frames) {
    doc.AddFrameSequence(new TestVideo("/tmp/analysis.avi", 64, 48, frames));
  }
  // A new sequence with a point at every frame whose x value is not missing; y and z as given
  // (empty: y = 2x, z = 0).
  ResObjectSequence* Make(const std::vector<float>& x, const std::vector<float>& y = {},
                          const std::vector<float>& z = {}) {
    ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
    for (std::size_t i = 0; i < x.size(); ++i) {
      if (x[i] == kMissingValue) continue;
      s->AddPoint(static_cast<long>(i + 1), x[i], y.empty() ? 2 * x[i] : y[i],
                  z.empty() ? 0.0f : z[i]);
    }
    return s;
  }
  TestDocument doc;
};

inline constexpr float M = kMissingValue;

// The frames of the entry's series of the code (empty when it has none).
inline std::vector<float> Series(const AnlWinObjectSequence& e, int code) {
  const float* a = e.SelectArray(code);
  return a ? std::vector<float>(a, a + e.FrameCount()) : std::vector<float>{};
}

// A curve whose series a test sets.
struct TestKurve : AnlWinKurve {
  explicit TestKurve(std::vector<float> v, unsigned width = 1, bool connect = true)
      : AnlWinKurve(width, kPenSolid, connect, false) {
    MutableSeries() = std::move(v);
    valid_ = true;
  }
};

struct PlotCall {
  std::string kind;
  std::vector<int> v;
  std::string text;
  ColorValue color = 0;
  Pen pen;
};

// Records every drawing call; texts measure 7 pixels a character and 16 pixels high.
class RecordingPlotCanvas : public PlotCanvas {
 public:
  static constexpr int kCharWidth = 7;
  static constexpr int kLineHeight = 16;

  void FrameRect(int l, int t, int r, int b, ColorValue c) override {
    Add("frame", {l, t, r, b}, c);
  }
  void FillRect(int l, int t, int r, int b, ColorValue c) override { Add("fill", {l, t, r, b}, c); }
  void Ellipse(int l, int t, int r, int b, const Pen& p, std::optional<ColorValue>) override {
    Add("ellipse", {l, t, r, b}, p.color, p);
  }
  void Line(int x1, int y1, int x2, int y2, const Pen& p) override {
    Add("line", {x1, y1, x2, y2}, p.color, p);
  }
  void SetPixel(int x, int y, ColorValue c) override { Add("pixel", {x, y}, c); }
  void Arc(int l, int t, int r, int b, int, int, int, int, const Pen& p) override {
    Add("arc", {l, t, r, b}, p.color, p);
  }
  void Polyline(const std::vector<PlotPoint>& points, const Pen& p) override {
    std::vector<int> v;
    for (const PlotPoint& q : points) v.insert(v.end(), {q.x, q.y});
    Add("polyline", v, p.color, p);
  }
  void FilledPolygon(const std::vector<PlotPoint>& points, ColorValue c) override {
    std::vector<int> v;
    for (const PlotPoint& q : points) v.insert(v.end(), {q.x, q.y});
    Add("polygon", v, c);
  }
  bool MeasureText(const std::string& text, TextExtent& e) override {
    e = {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
    return !failText;
  }
  bool DrawText(int x, int y, const std::string& text, int align, ColorValue c) override {
    calls.push_back({"text", {x, y, align}, text, c, {}});
    return !failText;
  }
  void SetOverlay(bool on) override { Add(on ? "overlay on" : "overlay off", {}, 0); }
  void SetBusy(bool on) override { Add(on ? "busy" : "idle", {}, 0); }

  std::vector<PlotCall> Of(const std::string& kind) const {
    std::vector<PlotCall> out;
    for (const PlotCall& c : calls)
      if (c.kind == kind) out.push_back(c);
    return out;
  }
  const PlotCall* Text(const std::string& text) const {
    for (const PlotCall& c : calls)
      if (c.kind == "text" && c.text == text) return &c;
    return nullptr;
  }

  std::vector<PlotCall> calls;
  bool failText = false;

 private:
  void Add(const char* kind, std::vector<int> v, ColorValue c, Pen p = {}) {
    calls.push_back({kind, std::move(v), "", c, p});
  }
};

// The rows of numbers of a reference file, skipping lines that do not start with a number.
inline std::vector<std::vector<double>> ReadNumberRows(const std::string& name) {
  std::ifstream in(std::string(ZORVAT_ANCHORS_DIR) + "/" + name);
  std::vector<std::vector<double>> rows;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::vector<double> row;
    double v;
    while (s >> v) row.push_back(v);
    if (!row.empty() && s.eof()) rows.push_back(row);
  }
  return rows;
}
