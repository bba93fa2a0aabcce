#include "sequences/colreduce.h"

#include <algorithm>

#include "sequences/framesequence.h"
#include "sequences/sequences_ids.h"

namespace {

constexpr int kLevels = 32;            // 5-bit levels per colour
constexpr int kLevelShift = 3;         // 8-bit value to 5-bit level
constexpr int kFramesPerEvery = 8;     // every = frames / 8 at the start
constexpr int kHistogramPercent = 50;  // the histogram fills the first half of the gauge
constexpr int kChoicePercent = 18;     // the choice of colours the next part
constexpr int kDone = 100;
constexpr int kNoAxis = 3;

int Cell(int r, int g, int b) { return r << 10 | g << 5 | b; }

// A box of the colour cube in 5-bit levels, with what its occupied cells hold.
struct Box {
  int min[3] = {0, 0, 0};
  int max[3] = {kLevels - 1, kLevels - 1, kLevels - 1};
  int axis = kNoAxis;
  int extent = 0;
  std::uint32_t cells = 0;
  std::uint64_t pixels = 0;
};

template <class F>
void ForEachCell(const Box& box, F f) {
  for (int r = box.min[0]; r <= box.max[0]; ++r)
    for (int g = box.min[1]; g <= box.max[1]; ++g)
      for (int b = box.min[2]; b <= box.max[2]; ++b) f(r, g, b);
}

// Shrinks the box to its occupied cells and chooses the axis of its largest extent (red before
// green before blue on equal extents).
void Shrink(Box& box, const std::vector<std::uint32_t>& h) {
  int lo[3] = {kLevels, kLevels, kLevels}, hi[3] = {-1, -1, -1};
  box.cells = 0;
  box.pixels = 0;
  ForEachCell(box, [&](int r, int g, int b) {
    const std::uint32_t n = h[Cell(r, g, b)];
    if (n == 0) return;
    ++box.cells;
    box.pixels += n;
    const int c[3] = {r, g, b};
    for (int a = 0; a < 3; ++a) {
      lo[a] = std::min(lo[a], c[a]);
      hi[a] = std::max(hi[a], c[a]);
    }
  });
  if (box.cells == 0) {
    box.axis = kNoAxis;
    box.extent = 0;
    return;
  }
  box.axis = 0;
  for (int a = 0; a < 3; ++a) {
    box.min[a] = lo[a];
    box.max[a] = hi[a];
    if (hi[a] - lo[a] > hi[box.axis] - lo[box.axis]) box.axis = a;
  }
  box.extent = hi[box.axis] - lo[box.axis] + 1;
}

// Splits the box on its axis where the pixels counted from its minimum reach half of its
// pixels; the upper part becomes the new box.
Box Split(Box& box, const std::vector<std::uint32_t>& h) {
  const int a = box.axis;
  const std::uint64_t half = box.pixels >> 1;
  std::uint64_t sum = 0;
  int slice = box.min[a];
  for (; slice <= box.max[a]; ++slice) {
    Box part = box;
    part.min[a] = part.max[a] = slice;
    ForEachCell(part, [&](int r, int g, int b) { sum += h[Cell(r, g, b)]; });
    if (sum >= half) break;
  }
  if (slice >= box.max[a]) slice = box.max[a] - 1;
  Box upper = box;
  upper.min[a] = slice + 1;
  box.max[a] = slice;
  Shrink(box, h);
  Shrink(upper, h);
  return upper;
}

// The box to split next: among boxes of extent and occupied cells of at least 2, in table order,
// one whose extent and cell count both exceed the one taken so far; -1 when none.
int BoxToSplit(const std::vector<Box>& boxes) {
  int taken = -1;
  for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
    const Box& b = boxes[i];
    if (b.extent < 2 || b.cells < 2) continue;
    if (taken < 0 || (b.extent > boxes[taken].extent && b.cells > boxes[taken].cells)) taken = i;
  }
  return taken;
}

PaletteEntry MeanColour(const Box& box, const std::vector<std::uint32_t>& h) {
  std::uint64_t sum[3] = {0, 0, 0};
  ForEachCell(box, [&](int r, int g, int b) {
    const std::uint64_t n = h[Cell(r, g, b)];
    sum[0] += n * r;
    sum[1] += n * g;
    sum[2] += n * b;
  });
  auto level = [&](int a) {
    return static_cast<std::uint8_t>(box.pixels ? (sum[a] / box.pixels) << kLevelShift : 0);
  };
  return {level(0), level(1), level(2), 0};
}

}  // namespace

ColReduceSettings& ColReduceSettingsInUse() {
  static ColReduceSettings settings;
  return settings;
}

bool& ColReduceOneFrameOnly() {
  static bool oneFrame = false;
  return oneFrame;
}

SetupColReduceModel::SetupColReduceModel(int frames, ColReduceMethod method)
    : frames_(std::max(frames, 1)) {
  settings_.from = 1;
  settings_.to = frames_;
  settings_.every = frames_ >= kFramesPerEvery ? frames_ / kFramesPerEvery : 1;
  settings_.method = method;
  if (!NeedsChoice()) settings_.to = 1;
}

const ColReduceSettings& SetupColReduceModel::Accept(int from, int to, int every,
                                                     ColReduceMethod method) {
  from = std::clamp(from, 1, frames_);
  to = std::clamp(to, 1, frames_);
  if (to < from) std::swap(from, to);
  settings_ = {from, to, std::max(every, 1), method};
  return settings_;
}

ColorReduction::ColorReduction() : histogram_(kCells, 0) {}

void ColorReduction::Clear() {
  std::fill(histogram_.begin(), histogram_.end(), 0);
  distinct_ = 0;
}

void ColorReduction::AddRow(const std::uint8_t* row, int width, int bitCount,
                            const std::vector<PaletteEntry>& palette) {
  for (int x = 0; x < width; ++x) {
    int r, g, b;
    if (bitCount == 24) {
      b = row[3 * x];
      g = row[3 * x + 1];
      r = row[3 * x + 2];
    } else {
      const PaletteEntry e = row[x] < palette.size() ? palette[row[x]] : PaletteEntry{};
      r = e.red;
      g = e.green;
      b = e.blue;
    }
    if (histogram_[Cell(r >> kLevelShift, g >> kLevelShift, b >> kLevelShift)]++ == 0) ++distinct_;
  }
}

int ColorReduction::Wanted() const { return std::min(distinct_, kMaxColours); }

std::vector<PaletteEntry> ColorReduction::MedianCut(const Progress& progress) const {
  const int wanted = Wanted();
  std::vector<Box> boxes;
  if (wanted == 0) return {};
  boxes.emplace_back();
  Shrink(boxes.back(), histogram_);
  while (static_cast<int>(boxes.size()) < wanted) {
    const int i = BoxToSplit(boxes);
    if (i < 0) break;
    boxes.push_back(Split(boxes[i], histogram_));
    if (progress) progress(static_cast<int>(boxes.size()), wanted);
  }
  std::vector<PaletteEntry> colours;
  for (const Box& box : boxes) colours.push_back(MeanColour(box, histogram_));
  return colours;
}

std::vector<PaletteEntry> ColorReduction::Popularity(const Progress& progress) {
  const int wanted = Wanted();
  std::vector<PaletteEntry> colours;
  for (int i = 0; i < wanted; ++i) {
    int best = 0;
    for (int cell = 1; cell < kCells; ++cell)
      if (histogram_[cell] >= histogram_[best]) best = cell;
    histogram_[best] = 0;
    colours.push_back({static_cast<std::uint8_t>((best >> 10) << kLevelShift),
                       static_cast<std::uint8_t>(((best >> 5) & (kLevels - 1)) << kLevelShift),
                       static_cast<std::uint8_t>((best & (kLevels - 1)) << kLevelShift), 0});
    if (progress) progress(i + 1, wanted);
  }
  return colours;
}

void ReduceSequenceColors(FrameSequence& sequence, const ColReduceSettings& settings,
                          bool oneFrameOnly, const std::function<void(int task)>& task,
                          const std::function<void(int percent)>& percent) {
  auto say = [&](int id) {
    if (task) task(id);
  };
  auto gauge = [&](int p) {
    if (percent) percent(p);
  };
  say(seqid::kColReduceHistogramTask);
  ColorReduction reduction;
  const int from = oneFrameOnly ? 1 : settings.from;
  const int to = oneFrameOnly ? 1 : settings.to;
  const int every = std::max(settings.every, 1);
  const long long sampled = std::max((to - from + every) / every, 1);
  const long long rowsInAll = sampled * std::max(sequence.Height(), 1);
  long long rowsDone = 0;
  for (int f = from; f <= to; f += every) {
    const CDIB* dib = sequence.ReadFrame(f);
    if (!dib || dib->IsEmpty()) continue;
    const std::vector<PaletteEntry> palette = dib->Palette();
    for (int y = 0; y < dib->Height(); ++y) {
      reduction.AddRow(dib->Bits() + static_cast<std::size_t>(y) * dib->RowBytes(), dib->Width(),
                       dib->BitCount(), palette);
      gauge(static_cast<int>(++rowsDone * kHistogramPercent / rowsInAll));
    }
  }
  const bool popularity = settings.method == ColReduceMethod::kPopularity;
  say(popularity ? seqid::kColReducePopularityTask : seqid::kColReduceMedianCutTask);
  auto choice = [&](int done, int wanted) {
    gauge(kHistogramPercent + done * kChoicePercent / std::max(wanted, 1));
  };
  const std::vector<PaletteEntry> colours =
      popularity ? reduction.Popularity(choice) : reduction.MedianCut(choice);
  say(seqid::kColReduceTableTask);
  sequence.colorTable.fill(PaletteEntry{});
  std::copy(colours.begin(), colours.end(), sequence.colorTable.begin());
  sequence.colorTableIsGrey = false;
  sequence.colorsFound = reduction.Distinct();
  gauge(kDone);
}
