#pragma once

// The index a video file keeps after its opening pass: every packet of the video stream in file
// order (its serial number is its place in that order), which packet each shown picture came
// from, and where decoding may start. Free of the decoder library, so it can be tested alone.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace platform {

// A packet of the video stream as the opening pass read it.
struct PacketEntry {
  std::int64_t pts = 0;  // as the container says; may be missing, repeated or unstable
  std::int64_t dts = 0;
  std::int64_t pos = -1;    // file position, -1 when unknown
  std::uint64_t print = 0;  // fingerprint of size and bytes: recognises the packet after a seek
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
  // Adds the next picture a sequential decode shows, made from packet `serial`; `key` when the
  // decoder calls it a key frame (decoding may start at its packet).
  void AddPicture(int serial, bool key);
  // Drops the last pictures while their packets are damaged (a packet cut off by the end of the
  // file is no frame).
  void DropDamagedTail();
  // Completes the index: the key frames in order, the lookup of fingerprints.
  void Finish();

  int Frames() const { return static_cast<int>(frameSerial_.size()); }
  int Packets() const { return static_cast<int>(packets_.size()); }
  const PacketEntry& Packet(int serial) const { return packets_[serial]; }
  int SerialOf(int frame) const { return frameSerial_[frame]; }
  // The first frame made from packet `serial`, kUnknown for a packet that shows no picture.
  int FrameOf(int serial) const;

  // The key frames, in packet order; key 0 is always the first packet (frame 0).
  int Keys() const { return static_cast<int>(keys_.size()); }
  int KeySerial(int key) const { return keys_[key].first; }
  int KeyFrame(int key) const { return keys_[key].second; }
  // The key frame decoding must start at to show `frame` as the sequential decode shows it: the
  // last one whose packet is not after the frame's packet and whose own picture is not after the
  // frame (pictures shown before their group's key frame need the group before).
  int StartKey(int frame) const;
  bool IsKeyFrame(int frame) const;
  // The longest run of frames from one key frame to the next.
  int LongestGroup() const;
  // The serial of the packet with this fingerprint (and position, where fingerprints repeat), or
  // kUnknown.
  int Identify(std::uint64_t print, std::int64_t pos) const;

  // Whether every packet was called a key frame by the container and the decoder found fewer.
  bool KeyFramesFound() const { return keyFramesFound_; }
  std::size_t Bytes() const;

 private:
  std::vector<PacketEntry> packets_;
  std::vector<int> frameSerial_;  // frame -> packet
  std::vector<int> serialFrame_;  // packet -> first frame, kUnknown when none
  std::vector<int> keyPackets_;   // packets whose picture is a key frame, as the decoder said
  std::vector<std::pair<int, int>> keys_;               // (serial, frame) by serial
  std::vector<std::pair<std::uint64_t, int>> byPrint_;  // (fingerprint, serial) sorted
  bool keyFramesFound_ = false;
};

}  // namespace platform
