// Series buffers freed are handed out again for the same size, within a bound, and series built
// in reused memory come out as in fresh memory.

#include "analysis/seriesmemory.h"

#include <gtest/gtest.h>

#include "analysis/anlwinobjseq.h"

namespace {

TEST(SeriesMemory, LargeBuffersComeBackForTheSameSizeOnlyWithinTheBound) {
  seriesmemory::ReleaseKept();
  const std::size_t large = 4 * seriesmemory::kSmallBytes;
  void* a = seriesmemory::Allocate(large);
  seriesmemory::Release(a, large);
  EXPECT_EQ(seriesmemory::KeptBytes(), large);
  void* other = seriesmemory::Allocate(large + 4);  // another size: fresh memory
  EXPECT_NE(other, a);
  EXPECT_EQ(seriesmemory::Allocate(large), a);
  EXPECT_EQ(seriesmemory::KeptBytes(), 0u);
  seriesmemory::Release(other, large + 4);
  seriesmemory::Release(a, large);

  void* small = seriesmemory::Allocate(64);
  seriesmemory::Release(small, 64);
  EXPECT_EQ(seriesmemory::KeptBytes(), 2 * large + 4);  // small blocks are not kept

  void* huge = seriesmemory::Allocate(seriesmemory::kKeptBytes);
  seriesmemory::Release(huge, seriesmemory::kKeptBytes);  // beyond the bound: given back
  EXPECT_EQ(seriesmemory::KeptBytes(), 2 * large + 4);
  seriesmemory::ReleaseKept();
  EXPECT_EQ(seriesmemory::KeptBytes(), 0u);
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

}  // namespace
