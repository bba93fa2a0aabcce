#pragma once

// Colour reduction: up to 212 colours chosen for a true-colour sequence, so that a palette
// display of 256 entries can show it (the palette passes 212 of them on; see ColorPalette).
//
// A histogram of 15-bit colour cells (5 bits of red, green and blue; cell = r << 10 | g << 5 | b)
// is built over sampled frames; then either median cut splits the colour cube into boxes of
// about equal pixel counts and takes each box's mean colour, or popularity takes the most
// frequent cells. Palette entries are the 5-bit means times 8, so colours come out rounded down
// to multiples of 8.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "sequences/dib.h"

class FrameSequence;

enum class ColReduceMethod { kPopularity, kMedianCut };

// Which frames are sampled (from, from + every, ... up to to) and the method; the program keeps
// one set while it runs.
struct ColReduceSettings {
  int from = 1;
  int to = 2;
  int every = 1;
  ColReduceMethod method = ColReduceMethod::kMedianCut;
};
ColReduceSettings& ColReduceSettingsInUse();
// While set, only frame 1 is sampled (a calibration frame's palette is prepared so).
bool& ColReduceOneFrameOnly();

// The set-up of a reduction for a sequence of `frames` frames: starts at from 1, to the last
// frame, every frames / 8 (1 below 8 frames) and the method in use.
class SetupColReduceModel {
 public:
  SetupColReduceModel(int frames, ColReduceMethod method);
  // A sequence of one frame needs no choice: the dialog does not show itself.
  bool NeedsChoice() const { return frames_ > 1; }
  const ColReduceSettings& Settings() const { return settings_; }
  // Takes the user's numbers: from and to are kept within 1..frames and swapped when to is the
  // smaller; every is at least 1 (0 would never reach the last frame).
  const ColReduceSettings& Accept(int from, int to, int every, ColReduceMethod method);

 private:
  int frames_;
  ColReduceSettings settings_;
};

class ColorReduction {
 public:
  static constexpr int kCells = 32768;
  static constexpr int kMaxColours = 212;
  // Progress of the colour choice: colours done of wanted.
  using Progress = std::function<void(int done, int wanted)>;

  ColorReduction();

  void Clear();
  // Counts the pixels of a 24-bit row (blue, green, red) or of an 8-bit row through palette.
  void AddRow(const std::uint8_t* row, int width, int bitCount,
              const std::vector<PaletteEntry>& palette = {});
  int Distinct() const { return distinct_; }
  std::uint32_t Count(int cell) const { return histogram_[cell]; }
  // The number of colours to choose: the distinct cells, at most kMaxColours.
  int Wanted() const;

  std::vector<PaletteEntry> MedianCut(const Progress& progress = {}) const;
  // Takes the most frequent cells (the higher cell first on equal counts); clears their counts.
  std::vector<PaletteEntry> Popularity(const Progress& progress = {});

 private:
  std::vector<std::uint32_t> histogram_;  // allocated once (128 KB), reused
  int distinct_ = 0;
};

// The whole run on a sequence, as the progress dialog does it: histogram over the frames of
// settings (frame 1 only in one-frame mode), the colours by its method, and the colour table of
// the sequence (the chosen colours first); colorsFound becomes the distinct count. task
// receives the string id of each step, percent the gauge (0..100).
void ReduceSequenceColors(FrameSequence& sequence, const ColReduceSettings& settings,
                          bool oneFrameOnly, const std::function<void(int task)>& task,
                          const std::function<void(int percent)>& percent);
