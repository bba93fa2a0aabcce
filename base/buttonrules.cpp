#include "base/buttonrules.h"

namespace {
constexpr RepeatTiming kNormalTiming{350, 40};
constexpr RepeatTiming kFastTiming{200, 10};
constexpr RepeatTiming kSlowTiming{600, 100};
constexpr int kAlignStart = 1, kAlignCentre = 2, kAlignEnd = 4;

bool ValidNibble(int code) {
  return code == kAlignStart || code == kAlignCentre || code == kAlignEnd;
}
}  // namespace

FlatBorder FlatBorderFor(bool mouseOver, bool enabled, bool pressed, bool up) {
  if (!((mouseOver && enabled) || !up)) return FlatBorder::kNone;
  return pressed || !up ? FlatBorder::kSunken : FlatBorder::kRaised;
}

int BitmapForState(int base, unsigned style, bool selected, bool focused, bool isDefault,
                   bool disabled) {
  if (style & bbs::kSingleBitmap) return base;
  if (selected && focused) return base + bbstate::kPressed;
  if (focused) return base + bbstate::kFocused;
  if (isDefault) return base + bbstate::kDefault;
  if (disabled) return base + bbstate::kDisabled;
  return base;
}

int AlignOffset(int code, int size, int bitmapSize) {
  if (code == kAlignCentre) return (size - bitmapSize) / 2;
  if (code == kAlignEnd) return size - bitmapSize;
  return 0;
}

void PlacementOffset(unsigned placement, int width, int height, int bitmapWidth, int bitmapHeight,
                     int& dx, int& dy) {
  int horizontal = placement & 0xF;
  int vertical = (placement >> 4) & 0xF;
  dx = dy = 0;
  if ((placement & ~0xFFu) || !ValidNibble(horizontal) || !ValidNibble(vertical)) return;
  dx = AlignOffset(horizontal, width, bitmapWidth);
  dy = AlignOffset(vertical, height, bitmapHeight);
}

RepeatTiming RepeatTimingFor(unsigned style) {
  if (style & bbs::kSlow) return kSlowTiming;
  if (style & bbs::kFast) return kFastTiming;
  return kNormalTiming;
}

AutoRepeat::AutoRepeat(int controlId, unsigned style, RepeatTimers& timers,
                       std::function<void()> send)
    : controlId_(controlId),
      timing_(RepeatTimingFor(style)),
      timers_(timers),
      send_(std::move(send)) {}

void AutoRepeat::Press() {
  if (send_) send_();
  timers_.Start(kFirstTimer, timing_.firstDelay);
  pressedInside_ = true;
}

void AutoRepeat::Timer(int id) {
  if (!pressedInside_) return;
  if (send_) send_();
  if (id == kFirstTimer) {
    timers_.Stop(kFirstTimer);
    timers_.Start(controlId_, timing_.interval);
  }
}

void AutoRepeat::Move(bool inside) { pressedInside_ = inside; }

void AutoRepeat::Release() {
  timers_.Stop(kFirstTimer);
  timers_.Stop(controlId_);
  pressedInside_ = false;
}

void AutoRepeat::DoubleClick() {
  Release();
  Press();
}
