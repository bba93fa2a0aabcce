#pragma once

// The tracking driver: the document's commands 25200..25203 carry every object marked for
// tracking from frame to frame, reading each frame pair of every image sequence into two work
// buffers and handing each object to the matching step (objects/match.h). Each frame is read
// and converted once: the next frame of a step is this frame of the following one. The objects
// of a frame pair are matched side by side on worker threads; their points are stored, and
// their messages shown, on the calling thread in the objects' order.

#include <cstdint>

class Frame;
class FrameSequence;
class Document;
class SubObjectSequence;

namespace track {
inline constexpr int kToEnd = 25200;
inline constexpr int kNext = 25201;
inline constexpr int kBack = 25202;
inline constexpr int kToBegin = 25203;

inline constexpr int kErrorCaption = 31070;
inline constexpr int kFrameUnreadable = 31076;
}  // namespace track

// What a run needs of the windows. The default host has no abort button, no views and no
// cursor: what a document without a window gets.
class TrackingHost {
 public:
  virtual ~TrackingHost() = default;
  // A run over many frames begins and ends (the abort button comes and goes).
  virtual void BeginLongRun() {}
  virtual void EndLongRun() {}
  // Lets messages through; true once the user aborted.
  virtual bool PollAbort() { return false; }
  // The displayed frame of a sequence's view, or null when it has none.
  virtual Frame* DisplayFrame(FrameSequence&) { return nullptr; }
  // Puts the mouse cursor on an image point of the sequence's view (where the desktop allows).
  virtual void MoveCursorTo(FrameSequence&, float, float) {}
};

// Runs one of the four tracking commands; returns the frame the document ends on.
int CmTracking(Document& doc, int command, TrackingHost& host);
// Whether a tracked, visible sequence has a point at the current frame in some image sequence.
bool CeTracking(const Document& doc);

// The matching step on a frame pair: grey (one plane) or colour (three planes of width x height
// bytes). On success (0) the sub-sequence holds its point at frameNext; otherwise the result is
// the id of the message to show.
int MatchObjectGrey(SubObjectSequence& sequence, int algorithm, int frameN,
                    const std::uint8_t* bufN, int frameNext, const std::uint8_t* bufNext,
                    int restart, int width, int height);
int MatchObjectColour(SubObjectSequence& sequence, int algorithm, int frameN,
                      const std::uint8_t* bufN, int frameNext, const std::uint8_t* bufNext,
                      int restart, int width, int height);
