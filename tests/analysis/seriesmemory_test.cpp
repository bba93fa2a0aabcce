// Series buffers freed are handed out again for their size class, the pool never holds more than
// was once in use, series built in reused memory come out as in fresh memory, and rebuilding the
// series of many sequences takes nothing new from the system.

#include "analysis/series/seriesmemory.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "analysis/series/anlwinobjseq.h"
#include "analysis_test_util.h"

namespace {

TEST(SeriesMemory, SizeClassesRoundUpByAtMostAnEighth) {
  const std::pair<std::size_t, std::size_t> cases[] = {
      {0, 16},      {1, 16},      {16, 16},       {17, 32},           {4000, 4096},
      {4096, 4096}, {4097, 4608}, {40000, 40960}, {4000004, 4194304}, {(1u << 20) - 100, 1u << 20}};
  for (auto [bytes, size] : cases) EXPECT_EQ(seriesmemory::SizeClass(bytes), size) << bytes;
  for (std::size_t bytes = 100; bytes < (std::size_t{1} << 30); bytes = bytes * 3 + 1) {
    EXPECT_GE(seriesmemory::SizeClass(bytes), bytes);
    EXPECT_LE(seriesmemory::SizeClass(bytes), bytes + bytes / 8 + 16) << bytes;
  }
}

TEST(SeriesMemory, BuffersComeBackForTheirClassAndThePoolStaysWithinThePeak) {
  seriesmemory::ReleaseKept();
  const std::size_t mega = std::size_t{1} << 20;
  void* a = seriesmemory::Allocate(mega);
  seriesmemory::Release(a, mega);
  EXPECT_EQ(seriesmemory::KeptBytes(), mega);
  EXPECT_EQ(seriesmemory::Allocate(mega - 100), a) << "a request of the same class";
  seriesmemory::Release(a, mega - 100);

  // Three megabytes find nothing to reuse: the kept megabyte goes, as in use and kept together
  // would exceed the most ever in use.
  void* b = seriesmemory::Allocate(3 * mega);
  EXPECT_EQ(seriesmemory::KeptBytes(), 0u);
  EXPECT_EQ(seriesmemory::PeakBytes(), 3 * mega);
  seriesmemory::Release(b, 3 * mega);
  EXPECT_EQ(seriesmemory::KeptBytes(), 3 * mega);
  // Small buffers are kept as well.
  void* small = seriesmemory::Allocate(64);
  EXPECT_LE(seriesmemory::KeptBytes() + 64, seriesmemory::PeakBytes());
  seriesmemory::Release(small, 64);
  EXPECT_GT(seriesmemory::KeptBytes(), 0u);
  EXPECT_EQ(seriesmemory::Allocate(60), small);
  seriesmemory::Release(small, 60);

  seriesmemory::ReleaseKept();
  EXPECT_EQ(seriesmemory::KeptBytes(), 0u);
  EXPECT_EQ(seriesmemory::PeakBytes(), 0u);
}

TEST(SeriesMemory, ReusedArraysHoldWhatIsWrittenIntoThem) {
  seriesmemory::ReleaseKept();
  const std::size_t n = 100000;
  { SeriesArray first(n, 7.0f); }
  SeriesArray second;
  AllocateSeries(second, n, 1.5f);  // the kept buffer, filled anew
  for (std::size_t i = 0; i < n; i += 997) ASSERT_EQ(second[i], 1.5f) << i;
  EXPECT_EQ(seriesmemory::KeptBytes(), 0u);
}

// Twenty sequences rebuilt again and again, at one length and after a shorter one, as the
// window rebuilds them after every change: after the first build nothing is taken from the system
// but what the shorter build made room for.
TEST(SeriesMemory, RebuildingTheSeriesOfManySequencesReusesTheirMemory) {
  seriesmemory::ReleaseKept();
  constexpr int kSequences = 20;
  struct Recording : SequenceDocument {
    explicit Recording(int frames) : SequenceDocument(frames) {
      std::vector<float> x(frames);
      for (int i = 0; i < frames; ++i) x[i] = 0.5f * i;
      for (int s = 0; s < kSequences; ++s) sequences.push_back(Make(x, x));
    }
    std::vector<ResObjectSequence*> sequences;
  };
  const auto build = [](Recording& d) {
    std::vector<std::unique_ptr<AnlWinObjectSequence>> entries;
    for (ResObjectSequence* s : d.sequences)
      entries.push_back(std::make_unique<AnlWinObjectSequence>(s, 1, 0, true, false));
    for (auto& e : entries) e->GetStatistics(1);  // x and its first derivative
  };
  Recording longer(10000), shorter(1000);
  build(longer);
  const std::size_t first = seriesmemory::FreshBytes();
  const std::size_t peak = seriesmemory::PeakBytes();
  ASSERT_GT(first, 20u * 10000 * sizeof(float));
  build(longer);
  EXPECT_EQ(seriesmemory::FreshBytes(), first);
  build(shorter);
  build(longer);
  // The shorter build took the room of a few of the longer buffers, a fraction of them all.
  EXPECT_LE(seriesmemory::FreshBytes() - first, peak / 4);
  EXPECT_EQ(seriesmemory::PeakBytes(), peak);
  seriesmemory::ReleaseKept();
}

}  // namespace
