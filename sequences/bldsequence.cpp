#include "sequences/bldsequence.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "base/messages.h"
#include "platform/files.h"
#include "sequences/sequences_ids.h"

namespace {

// Bytes of one band of rows read at a time.
constexpr std::size_t kBandBytes = 256 * 1024;

bool ReadAt(int fd, std::uint8_t* out, std::size_t size, off_t at) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pread(fd, out + done, size - done, at + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

BldFrameSequence::BldFrameSequence(std::string_view name, Document* document)
    : FrameSequence(document) {
  fileName = FileName(name);
  fileName.SetExtension("bld");
}

BldFrameSequence::~BldFrameSequence() { Close(); }

std::int64_t BldFrameSequence::FrameBytes() const {
  // The description only lets sizes through whose bitmap fits in 2^31 bytes, so this product
  // fits easily; anything else is no frame size at all.
  if (!CDIB::CanHold(fsData.width, fsData.height, fsData.BitsPerPixel())) return 0;
  return std::int64_t{fsData.width} * fsData.height * (IsColour() ? 3 : 1);
}

bool BldFrameSequence::CreateFrameBitmap() {
  bool created = false;
  try {
    created = frameDib.Create(fsData.width, fsData.height, fsData.BitsPerPixel());
  } catch (const std::bad_alloc&) {
    created = false;
  }
  if (!created) {
    ErrorMessage(seqid::kFrameFileErrorCaption, seqid::kFrameFileNoMemory, fileName.Path(),
                 fsData.width, fsData.height);
  }
  return created;
}

bool BldFrameSequence::Open() {
  Close();
  if (!LoadDescription()) return false;
  // Files copied from other systems may spell the extension in capitals.
  std::string path = platform::FindFileIgnoringCase(fileName.Path());
  if (!path.empty()) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) {
    ErrorMessage(seqid::kFrameFileErrorCaption, seqid::kFrameFileCannotOpen, fileName.Path());
    return false;
  }
  struct stat st {};
  const std::int64_t size = ::fstat(fd_, &st) == 0 ? st.st_size : -1;
  const std::int64_t frameBytes = FrameBytes();
  // Frame numbers are ints: a file of tiny frames longer than that many is read that far.
  const std::int64_t frames =
      std::min<std::int64_t>(size > 0 && frameBytes > 0 ? size / frameBytes : 0, INT32_MAX);
  if (frames < 1) {
    ErrorMessage(seqid::kFrameFileErrorCaption, seqid::kFrameFileTooShort, path, fsData.width,
                 fsData.height, static_cast<long long>(frameBytes));
    Close();
    return false;
  }
  fsData.frames = static_cast<std::int32_t>(frames);
  if (!CreateFrameBitmap()) {
    Close();
    return false;
  }
  nextFrame_ = 1;
  held_ = 0;
  MarkOpened();
  return true;
}

void BldFrameSequence::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  buffer_.reset();
  bufferSize_ = 0;
  held_ = 0;
  nextFrame_ = 0;
}

const CDIB* BldFrameSequence::ReadFrame(int number, bool force) {
  if (fd_ < 0) return nullptr;
  if (number < 1 || number > fsData.frames) number = 1;
  if (!force && number == held_) return &frameDib;

  // The frame is read a band of rows at a time, the band of each plane, so the bytes are still
  // in the cache when they are interleaved into the bitmap.
  const std::size_t w = fsData.width;
  const std::size_t h = fsData.height;
  const std::size_t planes = IsColour() ? 3 : 1;
  const std::size_t bandRows = std::clamp<std::size_t>(kBandBytes / (w * planes), 1, h);
  const std::size_t need = bandRows * w * planes;
  if (bufferSize_ != need) {
    buffer_.reset(new (std::nothrow) std::uint8_t[need]);
    bufferSize_ = buffer_ ? need : 0;
    if (!buffer_) return nullptr;
  }
  if (number != nextFrame_) ++seeks_;
  ++reads_;
  // Until the whole frame is in, the bitmap holds no frame.
  held_ = 0;
  nextFrame_ = 0;
  const off_t frameStart = static_cast<off_t>(number - 1) * FrameBytes();
  for (std::size_t y0 = 0; y0 < h; y0 += bandRows) {
    const std::size_t rows = std::min(bandRows, h - y0);
    for (std::size_t p = 0; p < planes; ++p) {
      const off_t at = frameStart + static_cast<off_t>(p * w * h + y0 * w);
      // A file that shrank since it was opened, or cannot be read, gives no image.
      if (!ReadAt(fd_, buffer_.get() + p * rows * w, rows * w, at)) return nullptr;
    }
    frameDib.FromPlaneRows(static_cast<int>(y0), static_cast<int>(rows), buffer_.get());
  }
  nextFrame_ = number + 1;
  held_ = number;
  return &frameDib;
}
