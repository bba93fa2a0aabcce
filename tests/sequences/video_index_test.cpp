#include "platform/video/video_index.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using platform::PacketEntry;
using platform::VideoIndex;

namespace {

PacketEntry Packet(std::uint64_t print, std::int64_t pos = -1, bool corrupt = false) {
  PacketEntry e;
  e.print = print;
  e.pos = pos;
  e.corrupt = corrupt;
  return e;
}

// An open group as a decoder shows it: packets I0 P1 B2 B3 | I4 B5 B6 P7, where B5 and B6 are
// shown before I4 (leading pictures). Shown order: I0 B2 B3 P1 B5 B6 I4 P7.
VideoIndex OpenGroups() {
  VideoIndex index;
  for (int i = 0; i < 8; ++i) index.AddPacket(Packet(100 + i, 1000 * i));
  for (int serial : {0, 2, 3, 1, 5, 6, 4, 7}) index.AddPicture(serial, serial == 0 || serial == 4);
  index.Finish();
  return index;
}

TEST(VideoIndexTest, LeadingPicturesStartAtTheGroupBefore) {
  const VideoIndex index = OpenGroups();
  ASSERT_EQ(index.Frames(), 8);
  ASSERT_EQ(index.Keys(), 2);
  EXPECT_EQ(index.KeyFrame(1), 6);  // I4 is shown seventh
  // Frame: the key whose packet decoding starts at.
  const int start[] = {0, 0, 0, 0, 0, 0, 4, 4};
  for (int frame = 0; frame < 8; ++frame)
    EXPECT_EQ(index.KeySerial(index.StartKey(frame)), start[frame]) << "frame " << frame;
  EXPECT_TRUE(index.IsKeyFrame(6));
  EXPECT_FALSE(index.IsKeyFrame(4));
  EXPECT_EQ(index.LongestGroup(), 6);
}

// A picture the decoder patched taints every frame decoded after it from a key frame before it:
// those frames then depend on more than their group.
TEST(VideoIndexTest, FramesDecodedAfterAPatchedPictureFromAKeyBeforeItArePatched) {
  struct Case {
    std::vector<int> patchedSerials;
    std::vector<bool> patched;  // by frame: I0 B2 B3 P1 B5 B6 I4 P7
  };
  const Case cases[] = {
      {{}, {false, false, false, false, false, false, false, false}},
      {{1}, {false, true, true, true, true, true, false, false}},
      {{5}, {false, false, false, false, true, true, false, true}},  // P7 is decoded after B5
      {{7}, {false, false, false, false, false, false, false, true}},
      {{0, 4}, {true, true, true, true, true, true, true, true}},
  };
  for (const Case& c : cases) {
    VideoIndex index = OpenGroups();
    for (int serial : c.patchedSerials) index.MarkPatched(serial);
    for (int frame = 0; frame < 8; ++frame)
      EXPECT_EQ(index.IsPatched(frame), c.patched[frame])
          << "frame " << frame << ", packets patched " << c.patchedSerials.size();
  }
}

// Packets that show nothing (cut off before the first key frame, marked for discarding) are no
// frames, and the file's first packet is always a place to start.
TEST(VideoIndexTest, PacketsWithoutPicturesAreNoFrames) {
  VideoIndex index;
  for (int i = 0; i < 6; ++i) index.AddPacket(Packet(200 + i));
  for (int serial : {3, 4, 5}) index.AddPicture(serial, serial == 3);
  index.Finish();
  EXPECT_EQ(index.Frames(), 3);
  EXPECT_EQ(index.SerialOf(0), 3);
  EXPECT_EQ(index.FrameOf(1), VideoIndex::kUnknown);
  EXPECT_EQ(index.FrameOf(4), 1);
  EXPECT_EQ(index.KeySerial(index.StartKey(0)), 3);
  EXPECT_EQ(index.KeySerial(0), 0);
}

TEST(VideoIndexTest, RepeatedPacketsAreToldApartByPositionOnly) {
  VideoIndex index;
  index.AddPacket(Packet(7, 10));
  index.AddPacket(Packet(8, 20));
  index.AddPacket(Packet(8, 30));
  index.AddPacket(Packet(9, -1));
  index.AddPacket(Packet(9, -1));
  index.Finish();
  EXPECT_EQ(index.Identify(7, 99), 0);
  EXPECT_EQ(index.Identify(8, 30), 2);
  EXPECT_EQ(index.Identify(8, -1), VideoIndex::kUnknown);
  EXPECT_EQ(index.Identify(9, -1), VideoIndex::kUnknown);
  EXPECT_EQ(index.Identify(5, 10), VideoIndex::kUnknown);
}

TEST(VideoIndexTest, DamagedPacketsAtTheEndAreDropped) {
  VideoIndex index;
  for (int i = 0; i < 4; ++i) {
    index.AddPacket(Packet(i, i, i == 1 || i == 3));
    index.AddPicture(i, true);
  }
  index.DropDamagedTail();
  index.Finish();
  EXPECT_EQ(index.Frames(), 3);  // a damaged packet inside stays a frame
  EXPECT_EQ(index.FrameOf(3), VideoIndex::kUnknown);
}

// Pictures are added by the count while the reader uses the index: the key frames known so far
// serve the frames known so far, a reader waits for a frame not known yet, and a damaged key
// frame is no place to start.
TEST(VideoIndexTest, TheIndexServesWhileItGrows) {
  VideoIndex index;
  for (int i = 0; i < 9; ++i) index.AddPacket(Packet(300 + i, 100 * i, i == 6));
  index.FinishPackets();
  EXPECT_EQ(index.Identify(304, 400), 4);
  for (int serial : {0, 1, 2, 3}) index.AddPicture(serial, serial == 0 || serial == 3);
  EXPECT_FALSE(index.Finished());
  EXPECT_EQ(index.Frames(), 4);
  EXPECT_EQ(index.KeySerial(index.StartKey(3)), 3);

  std::thread count([&] {
    for (int serial : {4, 5, 6, 7, 8}) index.AddPicture(serial, serial == 6);
    index.Finish();
  });
  EXPECT_TRUE(index.WaitForFrame(8));
  EXPECT_FALSE(index.WaitForFrame(9));  // returns once the index is finished
  count.join();
  EXPECT_EQ(index.Keys(), 2) << "key frame 6 is damaged";
  EXPECT_EQ(index.KeySerial(index.StartKey(7)), 3);
  EXPECT_EQ(index.LongestGroup(), 6);
}

TEST(VideoIndexTest, FingerprintsSeeTheSizeAndTheStartMiddleAndEnd) {
  std::string a(1000, 'x');
  const auto print = [](const std::string& s) {
    return platform::PacketPrint(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
  };
  const std::uint64_t base = print(a);
  for (std::size_t at : {std::size_t{0}, std::size_t{500}, std::size_t{999}}) {
    std::string b = a;
    b[at] = 'y';
    EXPECT_NE(print(b), base) << at;
  }
  EXPECT_NE(print(a.substr(0, 999)), base);
  EXPECT_EQ(print(std::string(1000, 'x')), base);
}

}  // namespace
