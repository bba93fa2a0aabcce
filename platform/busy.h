#pragma once

// BusyScope: the program shows that it is busy (the wait cursor) while one lives, for work the
// user waits for on the user-interface thread. How it is shown is the windowing layer's
// business: it installs a handler; without one nothing is shown.

#include <functional>

namespace platform {

class BusyScope {
 public:
  BusyScope();
  ~BusyScope();
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;
};

// Called with true when the outermost scope begins and with false when it ends; null removes it.
void SetBusyHandler(std::function<void(bool)> handler);

}  // namespace platform
