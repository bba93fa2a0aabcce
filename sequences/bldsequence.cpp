#include "sequences/bldsequence.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>

#include "app/messages.h"
#include "platform/files.h"
#include "sequences/sequences_ids.h"

namespace {

bool ReadFully(int fd, std::uint8_t* out, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

BldFrameSequence::BldFrameSequence(std::string_view name, Resource* document)
    : FrameSequence(document) {
  fileName = FileName(name);
  fileName.SetExtension("bld");
}

BldFrameSequence::~BldFrameSequence() { Close(); }

std::int64_t BldFrameSequence::FrameBytes() const {
  return std::int64_t{fsData.width} * fsData.height * (IsColour() ? 3 : 1);
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
  const std::int64_t frames = size > 0 && frameBytes > 0 ? size / frameBytes : 0;
  if (frames < 1 || frames > INT32_MAX || ::lseek(fd_, 0, SEEK_SET) != 0) {
    ErrorMessage(seqid::kFrameFileErrorCaption, seqid::kFrameFileTooShort, path, fsData.width,
                 fsData.height, static_cast<long long>(frameBytes));
    Close();
    return false;
  }
  fsData.frames = static_cast<std::int32_t>(frames);
  if (!frameDib.Create(fsData.width, fsData.height, IsColour() ? 24 : 8)) {
    Close();
    return false;
  }
  streamFrame_ = 1;
  held_ = 0;
  MarkOpened();
  return true;
}

void BldFrameSequence::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  held_ = 0;
  streamFrame_ = 0;
}

const CDIB* BldFrameSequence::ReadFrame(int number, bool force) {
  if (fd_ < 0) return nullptr;
  if (number < 1 || number > fsData.frames) number = 1;
  if (!force && number == held_) return &frameDib;

  const std::int64_t frameBytes = FrameBytes();
  std::vector<std::uint8_t> buffer;
  try {
    buffer.resize(static_cast<std::size_t>(frameBytes));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  if (number != streamFrame_) {
    ++seeks_;
    const off_t at = static_cast<off_t>(number - 1) * frameBytes;
    if (::lseek(fd_, at, SEEK_SET) != at) {
      streamFrame_ = 0;
      return nullptr;
    }
  }
  ++reads_;
  if (!ReadFully(fd_, buffer.data(), buffer.size())) {
    // The file shrank since it was opened or cannot be read: no image, and the stream
    // position is unknown.
    streamFrame_ = 0;
    return nullptr;
  }
  streamFrame_ = number + 1;
  FrameDataToDib(fsData, buffer.data(), frameDib);
  held_ = number;
  return &frameDib;
}
