// Decoding ahead, with a stand-in decoder: pictures come out in the order decoded, a run's end
// stays, a stop drops what was not taken so that a new start shows nothing from before, and the
// first take waits until the ring has been full.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/pixfmt.h>
}

#include "platform/video/decode_ahead.h"

using platform::DecodeAhead;
using platform::DecodeStep;

namespace {

// Pictures numbered from `first` (in their timestamp and serial), `last` excluded, then the end
// of the run; each has a buffer of its own, so a picture dropped and not freed is a leak.
struct Pictures {
  int first = 0;
  int last = 0;
  std::atomic<int> calls{0};
  std::counting_semaphore<1024>* gate = nullptr;  // when set: one picture per release

  DecodeAhead::Decoder Decoder() {
    return [this](AVFrame* into) {
      if (gate) gate->acquire();
      const int n = first + calls++;
      if (n >= last) return DecodeStep{DecodeStep::kEnd, -1, -1, 2};
      into->format = AV_PIX_FMT_GRAY8;
      into->width = into->height = 8;
      if (av_frame_get_buffer(into, 0) < 0) return DecodeStep{DecodeStep::kLost};
      into->pts = n;
      return DecodeStep{DecodeStep::kPicture, -1, n, 1};
    };
  }
};

struct FrameHolder {
  AVFrame* f = av_frame_alloc();
  ~FrameHolder() { av_frame_free(&f); }
};

// Takes the pictures numbered `from` to `to` (excluded), expecting each in its turn.
void TakePictures(DecodeAhead& ahead, AVFrame* into, int from, int to) {
  for (int n = from; n < to; ++n) {
    const DecodeStep step = ahead.Take(into);
    ASSERT_EQ(step.kind, DecodeStep::kPicture) << n;
    EXPECT_EQ(step.serial, n);
    EXPECT_EQ(into->pts, n);
    EXPECT_EQ(step.packets, 1);
    av_frame_unref(into);
  }
}

TEST(DecodeAhead, GivesThePicturesInOrderThenTheEndAgainAndAgain) {
  Pictures pictures{0, 10};
  DecodeAhead ahead;
  ASSERT_TRUE(ahead.Start(pictures.Decoder()));
  FrameHolder into;
  TakePictures(ahead, into.f, 0, 10);
  const DecodeStep end = ahead.Take(into.f);
  EXPECT_EQ(end.kind, DecodeStep::kEnd);
  EXPECT_EQ(end.packets, 2);
  const DecodeStep again = ahead.Take(into.f);
  EXPECT_EQ(again.kind, DecodeStep::kEnd);
  EXPECT_EQ(again.packets, 0) << "the end's packets count once";
  EXPECT_EQ(pictures.calls, 11) << "decoding stops after the end";
}

TEST(DecodeAhead, AfterAStopANewStartShowsNothingDecodedBefore) {
  Pictures before{0, 100};
  DecodeAhead ahead;
  ASSERT_TRUE(ahead.Start(before.Decoder()));
  FrameHolder into;
  TakePictures(ahead, into.f, 0, 2);
  // Let decoding run into the full ring, then stop it there.
  while (before.calls < 2 + DecodeAhead::kDepth) std::this_thread::yield();
  ahead.Stop();
  EXPECT_FALSE(ahead.Active());
  EXPECT_EQ(before.calls, 2 + DecodeAhead::kDepth) << "decoding goes no further than the ring";

  Pictures after{50, 53};
  ASSERT_TRUE(ahead.Start(after.Decoder()));
  TakePictures(ahead, into.f, 50, 53);
  EXPECT_EQ(ahead.Take(into.f).kind, DecodeStep::kEnd);
  ahead.Stop();
  EXPECT_EQ(before.calls, 2 + DecodeAhead::kDepth);
}

TEST(DecodeAhead, StopsWhileDecodingWaitsForRoom) {
  Pictures pictures{0, 1000};
  {
    DecodeAhead ahead;
    ASSERT_TRUE(ahead.Start(pictures.Decoder()));
    while (pictures.calls < DecodeAhead::kDepth) std::this_thread::yield();
  }  // destroyed without a take: must stop and free the pictures decoded
  EXPECT_EQ(pictures.calls, DecodeAhead::kDepth);
}

TEST(DecodeAhead, TheFirstTakeWaitsForAFullRingOrTheRunsEnd) {
  FrameHolder into;
  {
    std::counting_semaphore<1024> gate(0);
    Pictures pictures{0, 1000};
    pictures.gate = &gate;
    DecodeAhead ahead;
    ASSERT_TRUE(ahead.Start(pictures.Decoder()));
    std::atomic<bool> taken{false};
    std::thread reader([&] {
      EXPECT_EQ(ahead.Take(into.f).serial, 0);
      taken = true;
    });
    gate.release(DecodeAhead::kDepth - 1);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_FALSE(taken) << "taken before the ring was full";
    gate.release();
    reader.join();
    EXPECT_TRUE(taken);
    av_frame_unref(into.f);
    gate.release(1000);
  }
  {
    // A run shorter than the ring.
    Pictures pictures{0, 1};
    DecodeAhead ahead;
    ASSERT_TRUE(ahead.Start(pictures.Decoder()));
    TakePictures(ahead, into.f, 0, 1);
    EXPECT_EQ(ahead.Take(into.f).kind, DecodeStep::kEnd);
  }
}

}  // namespace
