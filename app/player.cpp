#include "app/player.h"

namespace player {

int TargetFrame(int command, int current, int count) {
  switch (command) {
    case kNext:
      return current + 1 > count ? 1 : current + 1;
    case kPrevious:
      return current - 1 < 1 ? count : current - 1;
    case kLast:
      return count;
    case kFirst:
      return 1;
    default:
      return current;
  }
}

int ClampFrame(int requested, int minFrameCount) {
  if (requested == 0) return 1;
  // Compared unsigned, so a negative request also lands on the last common frame.
  if (static_cast<unsigned>(requested) > static_cast<unsigned>(minFrameCount)) return minFrameCount;
  return requested;
}

}  // namespace player
