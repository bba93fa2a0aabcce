#include "platform/video/decode_ahead.h"

#include <bit>
#include <utility>

extern "C" {
#include <libavutil/frame.h>
}

namespace platform {

namespace {

// The takes ReaderBehind looks back on, and how many of them must have found the ring full.
constexpr std::uint32_t kTakesJudged = 0xffff;
constexpr int kFullTakes = 12;

}  // namespace

DecodeAhead::~DecodeAhead() {
  Stop();
  for (AVFrame*& f : ring_) av_frame_free(&f);
}

bool DecodeAhead::Start(Decoder decode) {
  if (active_) return true;
  for (AVFrame*& f : ring_) {
    if (!f && !(f = av_frame_alloc())) return false;
  }
  decode_ = std::move(decode);
  fullTakes_ = 0;
  if (!decoding_.Start([this] { Decode(); })) return false;
  active_ = true;
  return true;
}

// Decodes into the slot after the last step ready: the reader only takes from the front, so the
// slot stays this thread's until the step is added.
void DecodeAhead::Decode() {
  for (;;) {
    int slot;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      taken_.wait(lock, [this] { return ready_ < kDepth || stopping_; });
      if (stopping_) return;
      slot = (first_ + ready_) % kDepth;
    }
    const DecodeStep step = decode_(ring_[slot]);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      steps_[slot] = step;
      ++ready_;
    }
    decoded_.notify_one();
    if (step.kind != DecodeStep::kPicture) return;
  }
}

DecodeStep DecodeAhead::Take(AVFrame* into) {
  std::unique_lock<std::mutex> lock(mutex_);
  decoded_.wait(lock, [this] { return ready_ > 0; });
  DecodeStep& front = steps_[first_];
  if (front.kind != DecodeStep::kPicture) {
    // The last step of the run stays, without its packets, for the takes after it.
    const DecodeStep last = front;
    front.packets = 0;
    return last;
  }
  const DecodeStep step = front;
  fullTakes_ = (fullTakes_ << 1) | (ready_ == kDepth ? 1u : 0u);
  av_frame_move_ref(into, ring_[first_]);
  first_ = (first_ + 1) % kDepth;
  --ready_;
  lock.unlock();
  taken_.notify_one();
  return step;
}

bool DecodeAhead::ReaderBehind() const {
  return std::popcount(fullTakes_ & kTakesJudged) >= kFullTakes;
}

void DecodeAhead::Stop() {
  if (!active_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  taken_.notify_one();
  decoding_.Wait();
  for (AVFrame* f : ring_) av_frame_unref(f);
  first_ = 0;
  ready_ = 0;
  stopping_ = false;
  active_ = false;
}

}  // namespace platform
