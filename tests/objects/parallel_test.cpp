// The tracking run's parallel loops: every index once, loop after loop.

#include "objects/parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace {

TEST(ParallelFor, CallsEveryIndexOnceInLoopAfterLoop) {
  // Many short loops in a row: a thread waking late for one loop must not run in the next.
  for (std::size_t count : {0u, 1u, 2u, 7u, 1000u}) {
    for (int loop = 0; loop < 200; ++loop) {
      std::vector<std::atomic<int>> calls(count);
      ParallelFor(count, [&](std::size_t i) { calls[i].fetch_add(1); });
      for (std::size_t i = 0; i < count; ++i)
        ASSERT_EQ(calls[i].load(), 1) << "count " << count << ", loop " << loop << ", index " << i;
    }
  }
}

}  // namespace
