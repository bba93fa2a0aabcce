#pragma once

// The index a video file keeps: every packet of the video stream in file order (its serial number
// is its place in that order), which packet each shown picture came from, and where decoding may
// start. Free of the decoder library, so it can be tested alone.
//
// The packets are all added first (the opening pass); the pictures may then be added by another
// thread while the reader uses the part already known: everything about pictures and key frames
// is guarded, and a reader waits for the frame it needs with WaitForFrame.

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <utility>
#include <vector>

namespace platform {

// A packet of the video stream as the opening pass read it.
struct PacketEntry {
  std::int64_t pts = 0;  // as the container says; may be missing, repeated or unstable
  std::int64_t dts = 0;
  std::int64_t pos = -1;    // file position, -1 when unknown
  std::uint64_t print = 0;  // fingerprint of size and bytes: recognises the packet after a seek
  std::int32_t size = 0;    // bytes
  bool key = false;         // the container calls it a key frame
  bool corrupt = false;     // the container found it damaged (a file cut short ends in one)
};

// Fingerprint of a packet: its size and samples of its bytes from the start, middle and end.
std::uint64_t PacketPrint(const std::uint8_t* data, std::size_t size);

class VideoIndex {
 public:
  static constexpr int kUnknown = -1;

  // Adds the next packet; returns its serial number.
  int AddPacket(const PacketEntry& entry);
  // Ends the packets: builds the lookup of fingerprints.
  void FinishPackets();
  // Adds the next picture a sequential decode shows, made from packet `serial`; `key` when the
  // decoder calls it a key frame (decoding may start at its packet).
  void AddPicture(int serial, bool key);
  // Drops the last pictures while their packets are damaged (a packet cut off by the end of the
  // file is no frame).
  void DropDamagedTail();
  // Notes that the decoder patched the picture of packet `serial` (a packet cut short): what it
  // fills the holes with depends on every picture it decoded before, so the frames decoded from
  // that packet on, up to the next key frame, are shown exactly only by a decode from the start.
  void MarkPatched(int serial);
  // Completes the index (FinishPackets too, when it has not been called); wakes every waiter.
  void Finish();
  // Whether Finish has been called: the frames are then all known.
  bool Finished() const;
  // Waits until frame `frame` is known or the index is finished; whether the frame is known.
  bool WaitForFrame(int frame) const;
  // Waits until the index is finished.
  void WaitUntilFinished() const;

  // The frames known so far (all of them once finished).
  int Frames() const;
  int Packets() const { return static_cast<int>(packets_.size()); }
  const PacketEntry& Packet(int serial) const { return packets_[serial]; }
  int SerialOf(int frame) const;
  // The first frame made from packet `serial`, kUnknown for a packet that shows no picture (or
  // none known yet).
  int FrameOf(int serial) const;

  // The key frames known so far, in packet order; key 0 is always the first packet (frame 0).
  int Keys() const;
  int KeySerial(int key) const;
  int KeyFrame(int key) const;
  // The key frame decoding must start at to show `frame` as the sequential decode shows it: the
  // last one whose packet is not after the frame's packet and whose own picture is not after the
  // frame (pictures shown before their group's key frame need the group before).
  int StartKey(int frame) const;
  bool IsKeyFrame(int frame) const;
  // Whether frame `frame` is decoded after a patched picture, from a key frame before it (see
  // MarkPatched).
  bool IsPatched(int frame) const;
  // Whether any picture was patched.
  bool AnyPatched() const;
  // The longest run of frames from one key frame to the next.
  int LongestGroup() const;
  // The serial of the packet with this fingerprint (and position, where fingerprints repeat), or
  // kUnknown.
  int Identify(std::uint64_t print, std::int64_t pos) const;

  // Whether every packet was called a key frame by the container and the decoder found fewer.
  bool KeyFramesFound() const;
  std::size_t Bytes() const;

 private:
  int FramesLocked() const { return static_cast<int>(frameSerial_.size()); }
  int StartKeyLocked(int frame) const;

  std::vector<PacketEntry> packets_;
  std::vector<std::pair<std::uint64_t, int>> byPrint_;  // (fingerprint, serial) sorted
  bool packetsFinished_ = false;

  // A mutex and its condition; a moved index gets fresh ones (nobody waits on one being moved).
  struct Guard {
    std::mutex mutex;
    std::condition_variable grown;
    Guard() = default;
    Guard(Guard&&) noexcept {}
    Guard& operator=(Guard&&) noexcept { return *this; }
  };

  // Pictures and key frames, added while readers look.
  mutable Guard guard_;
  std::vector<int> frameSerial_;                   // frame -> packet
  std::vector<int> serialFrame_;                   // packet -> first frame, kUnknown when none
  std::vector<std::pair<int, int>> keys_{{0, 0}};  // (serial, frame) by serial
  std::vector<int> patched_;                       // packets whose pictures were patched
  bool keyFramesFound_ = false;
  bool finished_ = false;
};

}  // namespace platform
