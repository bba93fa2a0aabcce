#include "analysis/series/seriesmemory.h"

#include <algorithm>
#include <bit>
#include <map>
#include <mutex>
#include <new>

namespace seriesmemory {
namespace {

constexpr std::size_t kSmallestClass = 16;
constexpr int kClassesPerDoubling = 8;

struct Pool {
  std::mutex lock;
  std::multimap<std::size_t, void*> kept;
  std::size_t keptBytes = 0;
  std::size_t inUse = 0;
  std::size_t peak = 0;
  std::size_t fresh = 0;

  // Gives kept buffers back, the largest first, until in use and kept fit in the peak.
  void TrimToPeak() {
    while (keptBytes > 0 && inUse + keptBytes > peak) {
      const auto largest = std::prev(kept.end());
      keptBytes -= largest->first;
      ::operator delete(largest->second);
      kept.erase(largest);
    }
  }
};

Pool& ThePool() {
  static Pool* pool = new Pool;  // never destroyed: series may be freed during exit
  return *pool;
}

}  // namespace

std::size_t SizeClass(std::size_t bytes) {
  if (bytes <= kSmallestClass) return kSmallestClass;
  // Eight classes between one power of two and the next.
  const std::size_t power = std::bit_floor(bytes);
  const std::size_t step = std::max(power / kClassesPerDoubling, kSmallestClass);
  return (bytes + step - 1) / step * step;
}

void* Allocate(std::size_t bytes) {
  const std::size_t size = SizeClass(bytes);
  Pool& pool = ThePool();
  {
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.inUse += size;
    pool.peak = std::max(pool.peak, pool.inUse);
    if (auto it = pool.kept.find(size); it != pool.kept.end()) {
      void* block = it->second;
      pool.kept.erase(it);
      pool.keptBytes -= size;
      return block;
    }
    pool.TrimToPeak();
    pool.fresh += size;
  }
  try {
    return ::operator new(size);
  } catch (...) {
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.inUse -= size;
    pool.fresh -= size;
    throw;
  }
}

void Release(void* block, std::size_t bytes) {
  if (!block) return;
  const std::size_t size = SizeClass(bytes);
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  pool.inUse -= size;
  pool.kept.emplace(size, block);
  pool.keptBytes += size;
}

std::size_t KeptBytes() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  return pool.keptBytes;
}

std::size_t PeakBytes() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  return pool.peak;
}

std::size_t FreshBytes() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  return pool.fresh;
}

void ReleaseKept() {
  Pool& pool = ThePool();
  std::lock_guard<std::mutex> guard(pool.lock);
  for (auto& [size, block] : pool.kept) ::operator delete(block);
  pool.kept.clear();
  pool.keptBytes = 0;
  pool.peak = pool.inUse;
}

}  // namespace seriesmemory
