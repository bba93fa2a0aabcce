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

void VideoIndex::FinishPackets() {
  byPrint_.clear();
  byPrint_.reserve(packets_.size());
  for (int i = 0; i < Packets(); ++i) byPrint_.emplace_back(packets_[i].print, i);
  std::sort(byPrint_.begin(), byPrint_.end());
  packetsFinished_ = true;
}

void VideoIndex::AddPicture(int serial, bool key) {
  if (serial < 0 || serial >= Packets()) return;
  {
    std::lock_guard<std::mutex> lock(guard_.mutex);
    if (serialFrame_[serial] == kUnknown) serialFrame_[serial] = FramesLocked();
    // Decoding may start at the key frame's packet, which shows its first picture; the file's
    // first packet is key 0 already. Not at a damaged one: the decoder fills its holes from the
    // pictures decoded before it, so it shows what it shows only after them.
    const std::pair<int, int> entry(serial, serialFrame_[serial]);
    auto at = std::lower_bound(keys_.begin(), keys_.end(), std::make_pair(serial, kUnknown));
    if (key && serial > 0 && !packets_[serial].corrupt &&
        (at == keys_.end() || at->first != serial))
      keys_.insert(at, entry);
    frameSerial_.push_back(serial);
  }
  guard_.grown.notify_all();
}

void VideoIndex::DropDamagedTail() {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  while (!frameSerial_.empty() && packets_[frameSerial_.back()].corrupt) {
    serialFrame_[frameSerial_.back()] = kUnknown;
    frameSerial_.pop_back();
  }
  const int frames = FramesLocked();
  keys_.erase(std::remove_if(keys_.begin() + 1, keys_.end(),
                             [frames](const std::pair<int, int>& k) { return k.second >= frames; }),
              keys_.end());
}

void VideoIndex::MarkPatched(int serial) {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  if (std::find(patched_.begin(), patched_.end(), serial) == patched_.end())
    patched_.push_back(serial);
}

void VideoIndex::Finish() {
  if (!packetsFinished_) FinishPackets();
  {
    std::lock_guard<std::mutex> lock(guard_.mutex);
    const bool allMarked =
        std::all_of(packets_.begin(), packets_.end(), [](const PacketEntry& p) { return p.key; });
    keyFramesFound_ = allMarked && static_cast<int>(keys_.size()) < FramesLocked();
    finished_ = true;
  }
  guard_.grown.notify_all();
}

bool VideoIndex::Finished() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return finished_;
}

bool VideoIndex::WaitForFrame(int frame) const {
  std::unique_lock<std::mutex> lock(guard_.mutex);
  guard_.grown.wait(lock, [&] { return finished_ || frame < FramesLocked(); });
  return frame < FramesLocked();
}

void VideoIndex::WaitUntilFinished() const {
  std::unique_lock<std::mutex> lock(guard_.mutex);
  guard_.grown.wait(lock, [&] { return finished_; });
}

int VideoIndex::Frames() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return FramesLocked();
}

int VideoIndex::SerialOf(int frame) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return frameSerial_[frame];
}

int VideoIndex::FrameOf(int serial) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return serial >= 0 && serial < Packets() ? serialFrame_[serial] : kUnknown;
}

int VideoIndex::Keys() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return static_cast<int>(keys_.size());
}

int VideoIndex::KeySerial(int key) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return keys_[key].first;
}

int VideoIndex::KeyFrame(int key) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return keys_[key].second;
}

bool VideoIndex::KeyFramesFound() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return keyFramesFound_;
}

int VideoIndex::StartKey(int frame) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return StartKeyLocked(frame);
}

int VideoIndex::StartKeyLocked(int frame) const {
  const int serial = frameSerial_[frame];
  auto it = std::upper_bound(keys_.begin(), keys_.end(), std::make_pair(serial, FramesLocked()));
  int key = static_cast<int>(it - keys_.begin()) - 1;
  while (key > 0 && keys_[key].second > frame) --key;
  return std::max(key, 0);
}

bool VideoIndex::IsKeyFrame(int frame) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return std::any_of(keys_.begin(), keys_.end(),
                     [frame](const std::pair<int, int>& k) { return k.second == frame; });
}

bool VideoIndex::IsPatched(int frame) const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  if (frame < 0 || frame >= FramesLocked()) return false;
  const int serial = frameSerial_[frame];
  const int start = keys_[StartKeyLocked(frame)].first;
  return std::any_of(patched_.begin(), patched_.end(),
                     [&](int p) { return start <= p && p <= serial; });
}

bool VideoIndex::AnyPatched() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return !patched_.empty();
}

int VideoIndex::LongestGroup() const {
  std::lock_guard<std::mutex> lock(guard_.mutex);
  std::vector<int> starts;
  for (const auto& k : keys_) starts.push_back(k.second);
  std::sort(starts.begin(), starts.end());
  starts.erase(std::unique(starts.begin(), starts.end()), starts.end());
  int longest = 0;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const int end = i + 1 < starts.size() ? starts[i + 1] : FramesLocked();
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
  std::lock_guard<std::mutex> lock(guard_.mutex);
  return packets_.capacity() * sizeof(PacketEntry) +
         (frameSerial_.capacity() + serialFrame_.capacity()) * sizeof(int) +
         keys_.capacity() * sizeof(keys_[0]) + byPrint_.capacity() * sizeof(byPrint_[0]);
}

}  // namespace platform
