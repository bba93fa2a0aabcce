#pragma once

// Parallel loops of the tracking run and of the analysis' series: a few threads, started once for
// the program and woken for each loop, as many as the processors this program may use (the calling
// thread is one of them).

#include <cstddef>
#include <functional>

// Calls work(i) for i = 0 .. count - 1, side by side, and returns when all calls have returned.
// The calls must not depend on each other's order. One loop at a time: from the program's thread,
// never from within a call.
void ParallelFor(std::size_t count, const std::function<void(std::size_t)>& work);
