#pragma once

// Memory of the analysis series. The series of long sequences are rebuilt whole whenever their
// data change (every frame of a tracking run while a window shows them); fresh pages from the
// system cost far more than filling them. Every buffer is therefore kept when freed and handed
// out again for a request of its size class (sizes rounded up by at most an eighth, so that a
// sequence that grows by a frame still finds its buffers). What is kept and what is in use
// together never exceed the most that was ever in use at once: a request that finds nothing to
// reuse first gives kept buffers of other sizes back to the system. ReleaseKept gives back all.

#include <cstddef>

namespace seriesmemory {

// The size of the buffers that serve a request of this many bytes.
std::size_t SizeClass(std::size_t bytes);

// Like ::operator new(bytes); throws std::bad_alloc.
void* Allocate(std::size_t bytes);
// Takes back what Allocate gave for the same size.
void Release(void* block, std::size_t bytes);
// The bytes kept for reuse now, and the most ever in use at once (both in whole size classes).
std::size_t KeptBytes();
std::size_t PeakBytes();
// The bytes taken from the system so far.
std::size_t FreshBytes();
// Gives every kept buffer back to the system and starts counting the peak anew from what is in
// use (when the last window that shows series is gone).
void ReleaseKept();

}  // namespace seriesmemory
