#pragma once

// The frame steps of the player commands; frames count from 1 and wrap at both ends.

namespace player {
inline constexpr int kPlay = 25001, kStop = 25002, kNext = 25003, kPrevious = 25004,
                     kLast = 25005, kFirst = 25006;

// The frame a player command moves to from current in a document of count frames.
int TargetFrame(int command, int current, int count);

// The frame a document shows for a request: 0 becomes 1, anything beyond the shortest sequence
// (a negative request too) becomes its last frame.
int ClampFrame(int requested, int minFrameCount);
}  // namespace player
