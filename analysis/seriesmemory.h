#pragma once

// Memory of the analysis series. The series of long sequences are rebuilt whole whenever their
// data change (every frame of a tracking run while a window shows them); fresh pages from the
// system cost more than filling them. Large buffers are therefore kept when freed and handed out
// again for the same size, up to kKeptBytes in all; small ones go to the ordinary allocator.

#include <cstddef>

namespace seriesmemory {

inline constexpr std::size_t kSmallBytes = 64 * 1024;
inline constexpr std::size_t kKeptBytes = std::size_t{256} << 20;

// Like ::operator new(bytes); throws std::bad_alloc.
void* Allocate(std::size_t bytes);
// Takes back what Allocate gave for the same size.
void Release(void* block, std::size_t bytes);
// The bytes kept for reuse now.
std::size_t KeptBytes();
// Gives every kept buffer back to the system.
void ReleaseKept();

}  // namespace seriesmemory
