// Building every series of many entries at once, block by block and side by side, against
// asking for them code by code, one entry at a time.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis_test_util.h"

namespace {

using namespace quantity;

constexpr int kCodes[] = {kX, kY, kZ, kX1, kX2, kY1, kY2, kZ1, kZ2};

// A walk with every kind of frame the filters and scans must treat alike: frames without point,
// singly and in runs (some longer than a block), points without one coordinate, signed zeros.
void FillAwkwardly(ResObjectSequence* s, int frames, unsigned seed) {
  std::mt19937 random(seed);
  float x = 0, y = 0, z = 0;
  for (int f = 1; f <= frames; ++f) {
    const unsigned r = random() % 1000;
    if (r < 30) continue;
    if (r < 32) {
      f += static_cast<int>(random() % 40);
      continue;
    }
    if (r == 32) {
      f += 5000;
      continue;
    }
    x += static_cast<float>(random() % 2001) / 100.0f - 10.0f;
    y += static_cast<float>(random() % 201) / 10.0f - 10.0f;
    z = r < 40 ? -0.0f : r < 48 ? 0.0f : z + 0.25f;
    s->AddPoint(f, r == 50 ? M : x, r == 51 ? M : y, r == 52 ? M : z);
  }
}

// The entry's series and range, compared bit for bit.
void ExpectSame(const AnlWinObjectSequence& want, const AnlWinObjectSequence& got,
                const std::string& what) {
  ASSERT_EQ(want.FrameCount(), got.FrameCount()) << what;
  EXPECT_EQ(std::memcmp(&want.Range(), &got.Range(), sizeof(AnalysisRange)), 0) << what;
  for (int code : kCodes) {
    const float* a = want.SelectArray(code);
    const float* b = got.SelectArray(code);
    ASSERT_TRUE(a && b) << what << " code " << code;
    // With the spare entry.
    EXPECT_EQ(std::memcmp(a, b, sizeof(float) * (want.FrameCount() + 1)), 0)
        << what << " code " << code;
    EXPECT_EQ(want.IsDerivativeValid(code), got.IsDerivativeValid(code)) << what << code;
  }
}

TEST(AnalysisGatherAll, BuildsExactlyTheSeriesAndRangesOfOneCodeAtATime) {
  // Lengths around the filter windows and around whole blocks of frames.
  std::vector<std::unique_ptr<SequenceDocument>> documents;
  std::vector<ResObjectSequence*> sequences;
  unsigned seed = 1;
  for (int frames : {1, 2, 4, 5, 6, 7, 8, 9, 12, 4096, 4100, 20000}) {
    documents.push_back(std::make_unique<SequenceDocument>(frames));
    auto& d = *documents.back();
    for (int k = 0; k < 3; ++k) {
      ResObjectSequence* s = d.doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
      FillAwkwardly(s, frames, seed++);
      sequences.push_back(s);
    }
    sequences.push_back(d.Make(std::vector<float>(frames, M)));  // no point at all
    std::vector<float> few(frames, M);
    few[frames - 1] = 7;
    sequences.push_back(d.Make(few));  // its last frame only
  }
  // A frame without point, or without y, every 11 frames (beyond the reach of the others) at
  // every phase: at every distance from wherever the work is split.
  {
    documents.push_back(std::make_unique<SequenceDocument>(9000));
    auto& d = *documents.back();
    for (int phase = 0; phase < 22; ++phase) {
      std::vector<float> x(9000), y(9000);
      for (int i = 0; i < 9000; ++i) {
        x[i] = static_cast<float>(i % 17);
        y[i] = static_cast<float>(i % 13);
        if (i % 11 == phase % 11) (phase < 11 ? x : y)[i] = M;
      }
      sequences.push_back(d.Make(x, y));
    }
  }
  std::vector<std::unique_ptr<AnlWinObjectSequence>> oneByOne, together;
  std::vector<AnlWinObjectSequence*> entries;
  for (ResObjectSequence* s : sequences) {
    oneByOne.push_back(std::make_unique<AnlWinObjectSequence>(s, 1, 0, true, false));
    together.push_back(std::make_unique<AnlWinObjectSequence>(s, 1, 0, true, false));
    entries.push_back(together.back().get());
    // One entry has asked for a derivative already: it goes code by code.
    if (entries.size() == 3) {
      oneByOne.back()->GetStatistics(kY1);
      together.back()->GetStatistics(kY1);
    }
    for (int code : kCodes) oneByOne.back()->GetStatistics(code);
  }
  GatherAllSeries(entries);
  for (std::size_t k = 0; k < sequences.size(); ++k)
    ExpectSame(*oneByOne[k], *together[k], "sequence " + std::to_string(k));

  // Alone, and once more: the second call only scans again, as GetStatistics does.
  const std::size_t longest = sequences.size() - 25;
  AnlWinObjectSequence alone(sequences[longest], 1, 0, true, false);
  alone.GatherAllSeries();
  ExpectSame(*oneByOne[longest], alone, "alone");
  alone.GatherAllSeries();
  ExpectSame(*oneByOne[longest], alone, "again");
}

}  // namespace
