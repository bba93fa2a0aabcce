#include "platform/video/decode_ahead.h"

#include <utility>

extern "C" {
#include <libavutil/frame.h>
}

namespace platform {

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
  // The first take waits for a full ring: the decoder's buffers for every picture held ahead are
  // then made while the file is first read, and memory does not grow later, the first time the
  // reader happens to fall behind.
  const auto runEnded = [this] {
    return steps_[(first_ + ready_ - 1) % kDepth].kind != DecodeStep::kPicture;
  };
  decoded_.wait(lock, [&] {
    return filledOnce_ ? ready_ > 0 : ready_ == kDepth || (ready_ > 0 && runEnded());
  });
  filledOnce_ = true;
  DecodeStep& front = steps_[first_];
  if (front.kind != DecodeStep::kPicture) {
    // The last step of the run stays, without its packets, for the takes after it.
    const DecodeStep last = front;
    front.packets = 0;
    return last;
  }
  const DecodeStep step = front;
  av_frame_move_ref(into, ring_[first_]);
  first_ = (first_ + 1) % kDepth;
  --ready_;
  lock.unlock();
  taken_.notify_one();
  return step;
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
