#pragma once

// Decoding ahead while a video is read in order: a thread of the reader's own keeps decoding the
// following pictures into a small ring while the reader converts the one it took, so reading runs
// at the pace of the slower of decoding and converting instead of both one after the other, and
// a decoder with frame threads is fed packets all the time. The reader waits only when the ring
// is empty, the decoding thread only when it is full: no hand-over per picture that one side must
// wait for.
//
// While it runs, the decoding thread alone uses the decoder and the file; Stop gives them back.

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "platform/video/side_thread.h"

struct AVFrame;

namespace platform {

// What decoding on gave: the decoder's next picture (`serial`: the packet it came from; `frame`:
// the frame it shows, VideoIndex::kUnknown for a picture no sequential decode shows, told by the
// reader once it takes the picture), the end of the run or a run that lost its way; and the
// packets handed to the decoder for it.
struct DecodeStep {
  enum Kind { kPicture, kEnd, kLost } kind = kEnd;
  int frame = -1;
  int serial = -1;
  long packets = 0;
};

class DecodeAhead {
 public:
  // Decodes the next picture into the frame given.
  using Decoder = std::function<DecodeStep(AVFrame*)>;
  // Pictures decoded ahead at most: enough to ride out a picture slower than the others on either
  // side, few enough that reading stays light on memory.
  static constexpr int kDepth = 3;

  DecodeAhead() = default;
  ~DecodeAhead();
  DecodeAhead(const DecodeAhead&) = delete;
  DecodeAhead& operator=(const DecodeAhead&) = delete;

  // Starts decoding ahead with `decode`, from where the decoder stands; false (and nothing
  // started) when it cannot, the caller then decodes itself. Decoding stops by itself after the
  // end of the run or a lost one.
  bool Start(Decoder decode);
  // Whether it was started and not stopped since: the steps of the run come from Take.
  bool Active() const { return active_; }
  // The run's next step, waited for; its picture moved into `into` (which must hold none). The
  // end of the run or a lost run is given again for every later Take.
  DecodeStep Take(AVFrame* into);
  // Stops decoding (after the picture under way) and drops the pictures not taken. The decoder
  // then stands after the last picture decoded, not after the last one taken.
  void Stop();

 private:
  void Decode();

  Decoder decode_;
  std::array<AVFrame*, kDepth> ring_{};
  std::array<DecodeStep, kDepth> steps_{};
  int first_ = 0;  // the next step to take
  int ready_ = 0;  // steps decoded and not taken
  bool stopping_ = false;
  bool active_ = false;
  bool filledOnce_ = false;  // the ring has been full
  std::mutex mutex_;
  std::condition_variable decoded_;  // a step was added
  std::condition_variable taken_;    // a step was taken, or decoding is to stop
  SideThread decoding_;
};

}  // namespace platform
