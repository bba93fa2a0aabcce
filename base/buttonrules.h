#pragma once

// The behaviour of the program's own buttons, apart from their painting: the border of a flat
// toolbar button, the bitmap a bitmap button shows in each state, and the auto-repeat of a
// bitmap button held down. Timers are handed in, so tests run them on a fake clock.

#include <functional>

// Border of a flat toolbar button: none at rest, raised under the mouse, sunken while pressed
// or down.
enum class FlatBorder { kNone, kRaised, kSunken };
FlatBorder FlatBorderFor(bool mouseOver, bool enabled, bool pressed, bool up);

// Style word of a bitmap button.
namespace bbs {
inline constexpr unsigned kPlacementMask = 0x0FFF;
inline constexpr unsigned kStretch = 0x100;      // bitmap stretched over the button
inline constexpr unsigned kRepeatMask = 0xF000;  // any of these: the button auto-repeats
inline constexpr unsigned kSlow = 0x1000;        // 600 ms, then every 100 ms (wins over fast)
inline constexpr unsigned kFast = 0x4000;        // 200 ms, then every 10 ms
inline constexpr unsigned kSingleBitmap = 0x8000;
}  // namespace bbs

// Bitmap ids by state, relative to the control id b.
namespace bbstate {
inline constexpr int kNormal = 0, kFocused = 1, kPressed = 2, kDefault = 3, kDisabled = 4;
}

// The bitmap id for the button's state: pressed (selected and focused) b + 2, else focused
// b + 1, else default b + 3, else disabled b + 4, else b; always b with the single-bitmap bit.
int BitmapForState(int base, unsigned style, bool selected, bool focused, bool isDefault,
                   bool disabled);

// Offset of a bitmap of size bitmapSize aligned in size by the alignment nibble (1 left or top,
// 2 centre, 4 right or bottom); any other code leaves it at 0.
int AlignOffset(int code, int size, int bitmapSize);
// The x and y offsets for a placement code (low nibble horizontal, next vertical); codes other
// than 0x11..0x44 give (0, 0).
void PlacementOffset(unsigned placement, int width, int height, int bitmapWidth, int bitmapHeight,
                     int& dx, int& dy);

struct RepeatTiming {
  int firstDelay;  // ms from the press to the second command
  int interval;    // ms between the further commands
};
RepeatTiming RepeatTimingFor(unsigned style);

// Starts and stops periodic timers by id.
class RepeatTimers {
 public:
  virtual ~RepeatTimers() = default;
  virtual void Start(int id, int milliseconds) = 0;
  virtual void Stop(int id) = 0;
};

// Auto-repeat of a held bitmap button: the command goes out at once on the press, again after
// the first delay, then at every interval, but only while the pointer is over the button; the
// timers keep running while it is not, so the commands resume when it comes back.
class AutoRepeat {
 public:
  static constexpr int kFirstTimer = 1;  // the repeat timer's id is the control id

  AutoRepeat(int controlId, unsigned style, RepeatTimers& timers, std::function<void()> send);

  void Press();
  void Timer(int id);
  void Move(bool inside);
  void Release();
  // A quick second click repeats at once.
  void DoubleClick();

  bool PressedInside() const { return pressedInside_; }

 private:
  int controlId_;
  RepeatTiming timing_;
  RepeatTimers& timers_;
  std::function<void()> send_;
  bool pressedInside_ = false;
};
