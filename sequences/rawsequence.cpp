#include "sequences/rawsequence.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <limits>
#include <new>

#include "base/messages.h"
#include "platform/files.h"
#include "sequences/sequences_ids.h"

RawFrameSequence::RawFrameSequence(std::string_view name, Document* document)
    : FrameSequence(document) {
  fileName = FileName(name);
}

RawFrameSequence::~RawFrameSequence() { Close(); }

void RawFrameSequence::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  stored_ = {};
  held_ = 0;
  nextFrame_ = 0;
}

bool RawFrameSequence::OpenFile() {
  Close();
  std::string path = platform::FindFileIgnoringCase(fileName.Path());
  if (!path.empty()) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
    Close();
    ErrorMessage(seqid::kRawErrorCaption, seqid::kRawCannotOpen, fileName.Path());
    return false;
  }
  fileSize_ = st.st_size;
  return true;
}

std::size_t RawFrameSequence::ReadUpTo(std::uint8_t* out, std::size_t size, std::int64_t at) const {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n =
        ::pread(fd_, out + done, size - done, static_cast<off_t>(at + static_cast<off_t>(done)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

bool RawFrameSequence::ReadAt(std::uint8_t* out, std::size_t size, std::int64_t at) const {
  return ReadUpTo(out, size, at) == size;
}

bool RawFrameSequence::SetLayout(std::int64_t width, std::int64_t height, std::int64_t storedLines,
                                 std::int64_t frames, std::int64_t firstFrame,
                                 std::int64_t headerBytes) {
  const bool sizeOk = width >= 1 && width <= kMaxSide && height >= 1 && height <= kMaxSide &&
                      storedLines >= 1 && storedLines <= height;
  const std::int64_t storedFrameBytes = sizeOk ? width * storedLines : 0;
  const bool countOk = frames >= 1 && frames <= std::numeric_limits<std::int32_t>::max();
  // Each factor is bounded (sides by kMaxSide, frames by 2^31), so the products stay in range.
  const bool fits = sizeOk && countOk && storedFrameBytes > 0 && firstFrame >= headerBytes &&
                    firstFrame <= fileSize_ &&
                    frames <= (fileSize_ - firstFrame) / storedFrameBytes;
  if (!fits) {
    ErrorMessage(seqid::kRawErrorCaption, seqid::kRawDamaged, fileName.Path(),
                 static_cast<long long>(frames), static_cast<long long>(width),
                 static_cast<long long>(height), static_cast<long long>(firstFrame),
                 static_cast<long long>(fileSize_));
    Close();
    return false;
  }
  fsData.width = static_cast<std::int32_t>(width);
  fsData.height = static_cast<std::int32_t>(height);
  fsData.frames = static_cast<std::int32_t>(frames);
  firstFrame_ = firstFrame;
  storedFrameBytes_ = storedFrameBytes;
  return true;
}

bool RawFrameSequence::FinishOpen() {
  fsData.colours = IsColour() ? FS_Data::kTrueColours : FS_Data::kGreyColours;
  bool created = false;
  try {
    created = frameDib.Create(fsData.width, fsData.height, IsColour() ? 24 : 8);
  } catch (const std::bad_alloc&) {
    created = false;
  }
  if (!created) {
    Close();
    return false;
  }
  held_ = 0;
  nextFrame_ = 1;
  MarkOpened();
  return true;
}

std::int64_t RawFrameSequence::FrameStart(int number) const {
  return firstFrame_ + static_cast<std::int64_t>(number - 1) * storedFrameBytes_;
}

const CDIB* RawFrameSequence::ReadFrame(int number, bool force) {
  if (fd_ < 0) return nullptr;
  if (number < 1 || number > fsData.frames) number = 1;
  if (!force && number == held_) return &frameDib;
  const auto bytes = static_cast<std::size_t>(storedFrameBytes_);
  if (stored_.size() != bytes) {
    try {
      stored_.resize(bytes);
    } catch (const std::bad_alloc&) {
      stored_ = {};
      return nullptr;
    }
  }
  if (number != nextFrame_) ++seeks_;
  ++reads_;
  // Until the whole frame is in, the bitmap holds no frame.
  held_ = 0;
  nextFrame_ = 0;
  // A file that shrank since it was opened, or cannot be read, gives no image.
  if (!ReadAt(stored_.data(), bytes, FrameStart(number))) return nullptr;
  try {
    StoredToBitmap(stored_.data());
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  held_ = number;
  nextFrame_ = number + 1;
  return &frameDib;
}
