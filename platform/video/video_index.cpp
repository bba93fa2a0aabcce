#include "platform/video/video_index.h"

#include <algorithm>

namespace platform {

namespace {

constexpr std::size_t kSampleBytes = 32;
constexpr std::uint64_t kHashStart = 1469598103934665603ull;
constexpr std::uint64_t kHashPrime = 1099511628211ull;

std::uint64_t Mix(std::uint64_t h, const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * kHashPrime;
  return h;
}

}  // namespace

std::uint64_t PacketPrint(const std::uint8_t* data, std::size_t size) {
  std::uint64_t h = kHashStart ^ size;
  h *= kHashPrime;
  if (size <= 3 * kSampleBytes) return Mix(h, data, size);
  h = Mix(h, data, kSampleBytes);
  h = Mix(h, data + size / 2 - kSampleBytes / 2, kSampleBytes);
  return Mix(h, data + size - kSampleBytes, kSampleBytes);
}

int VideoIndex::AddPacket(const PacketEntry& entry) {
  packets_.push_back(entry);
  serialFrame_.push_back(kUnknown);
  return static_cast<int>(packets_.size()) - 1;
}

void VideoIndex::AddPicture(int serial, bool key) {
  if (serial < 0 || serial >= Packets()) return;
  if (serialFrame_[serial] == kUnknown) serialFrame_[serial] = Frames();
  frameSerial_.push_back(serial);
  if (key && (keyPackets_.empty() || keyPackets_.back() != serial)) keyPackets_.push_back(serial);
}

void VideoIndex::DropDamagedTail() {
  while (!frameSerial_.empty() && packets_[frameSerial_.back()].corrupt) {
    serialFrame_[frameSerial_.back()] = kUnknown;
    frameSerial_.pop_back();
  }
}

int VideoIndex::FrameOf(int serial) const {
  return serial >= 0 && serial < Packets() ? serialFrame_[serial] : kUnknown;
}

void VideoIndex::Finish() {
  keys_.clear();
  keys_.emplace_back(0, 0);  // decoding from the file's first packet shows every frame
  std::sort(keyPackets_.begin(), keyPackets_.end());
  for (int serial : keyPackets_) {
    const int frame = serialFrame_[serial];
    if (serial > 0 && frame != kUnknown) keys_.emplace_back(serial, frame);
  }
  keyPackets_.clear();
  keyPackets_.shrink_to_fit();
  const bool allMarked =
      std::all_of(packets_.begin(), packets_.end(), [](const PacketEntry& p) { return p.key; });
  keyFramesFound_ = allMarked && static_cast<int>(keys_.size()) < Frames();

  byPrint_.clear();
  byPrint_.reserve(packets_.size());
  for (int i = 0; i < Packets(); ++i) byPrint_.emplace_back(packets_[i].print, i);
  std::sort(byPrint_.begin(), byPrint_.end());
}

int VideoIndex::StartKey(int frame) const {
  const int serial = frameSerial_[frame];
  auto it = std::upper_bound(keys_.begin(), keys_.end(), std::make_pair(serial, Frames()));
  int key = static_cast<int>(it - keys_.begin()) - 1;
  while (key > 0 && keys_[key].second > frame) --key;
  return std::max(key, 0);
}

bool VideoIndex::IsKeyFrame(int frame) const {
  return std::any_of(keys_.begin(), keys_.end(),
                     [frame](const std::pair<int, int>& k) { return k.second == frame; });
}

int VideoIndex::LongestGroup() const {
  std::vector<int> starts;
  for (const auto& k : keys_) starts.push_back(k.second);
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  int longest = 0;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const int end = i + 1 < starts.size() ? starts[i + 1] : Frames();
    longest = std::max(longest, end - starts[i]);
  }
  return longest;
}

int VideoIndex::Identify(std::uint64_t print, std::int64_t pos) const {
  auto range = std::equal_range(byPrint_.begin(), byPrint_.end(), std::make_pair(print, 0),
                                [](const auto& a, const auto& b) { return a.first < b.first; });
  if (range.first == range.second) return kUnknown;
  if (range.second - range.first == 1) return range.first->second;
  // Packets of the same bytes: told apart by their position, when it is known and unique.
  int found = kUnknown;
  for (auto it = range.first; it != range.second; ++it) {
    if (pos < 0 || packets_[it->second].pos != pos) continue;
    if (found != kUnknown) return kUnknown;
    found = it->second;
  }
  return found;
}

std::size_t VideoIndex::Bytes() const {
  return packets_.capacity() * sizeof(PacketEntry) +
         (frameSerial_.capacity() + serialFrame_.capacity() + keyPackets_.capacity()) *
             sizeof(int) +
         keys_.capacity() * sizeof(keys_[0]) + byPrint_.capacity() * sizeof(byPrint_[0]);
}

}  // namespace platform
