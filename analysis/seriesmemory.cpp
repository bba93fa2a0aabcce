#include "analysis/seriesmemory.h"

#include <map>
#include <mutex>
#include <new>

namespace seriesmemory {
namespace {

struct Kept {
  std::mutex lock;
  std::multimap<std::size_t, void*> blocks;
  std::size_t bytes = 0;
};

Kept& TheKept() {
  static Kept* kept = new Kept;  // never destroyed: series may be freed during exit
  return *kept;
}

}  // namespace

void* Allocate(std::size_t bytes) {
  if (bytes >= kSmallBytes) {
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    if (auto it = kept.blocks.find(bytes); it != kept.blocks.end()) {
      void* block = it->second;
      kept.blocks.erase(it);
      kept.bytes -= bytes;
      return block;
    }
  }
  return ::operator new(bytes);
}

void Release(void* block, std::size_t bytes) {
  if (!block) return;
  if (bytes >= kSmallBytes) {
    Kept& kept = TheKept();
    std::lock_guard<std::mutex> guard(kept.lock);
    if (kept.bytes + bytes <= kKeptBytes) {
      kept.blocks.emplace(bytes, block);
      kept.bytes += bytes;
      return;
    }
  }
  ::operator delete(block);
}

std::size_t KeptBytes() {
  Kept& kept = TheKept();
  std::lock_guard<std::mutex> guard(kept.lock);
  return kept.bytes;
}

void ReleaseKept() {
  Kept& kept = TheKept();
  std::lock_guard<std::mutex> guard(kept.lock);
  for (auto& [bytes, block] : kept.blocks) ::operator delete(block);
  kept.blocks.clear();
  kept.bytes = 0;
}

}  // namespace seriesmemory
