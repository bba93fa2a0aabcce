#include "platform/linereader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace platform {

LineReader::LineReader(const std::string& path) {
  // Without O_NONBLOCK, opening a named pipe would wait for a writer; a regular file ignores it.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  struct stat st {};
  // A folder opens but cannot be read; a device or pipe has no length to show progress against.
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return;
  }
  fd_ = fd;
  size_ = static_cast<std::uint64_t>(st.st_size);
  buffer_.resize(kBufferSize);
}

LineReader LineReader::FromText(std::string_view text) {
  LineReader reader;
  reader.inMemory_ = true;
  reader.buffer_.assign(text.begin(), text.end());
  reader.end_ = text.size();
  reader.size_ = text.size();
  return reader;
}

LineReader::~LineReader() { Close(); }

LineReader::LineReader(LineReader&& other) noexcept { *this = std::move(other); }

LineReader& LineReader::operator=(LineReader&& other) noexcept {
  if (this == &other) return *this;
  Close();
  fd_ = std::exchange(other.fd_, -1);
  inMemory_ = std::exchange(other.inMemory_, false);
  failed_ = other.failed_;
  buffer_ = std::move(other.buffer_);
  at_ = std::exchange(other.at_, 0);
  end_ = std::exchange(other.end_, 0);
  bufferStart_ = other.bufferStart_;
  size_ = other.size_;
  countedTo_ = other.countedTo_;
  lineEnds_ = other.lineEnds_;
  return *this;
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool LineReader::Refill() {
  if (at_ < end_) return true;
  if (fd_ < 0 || failed_) return false;
  // The block that is left behind is counted before it is overwritten.
  LineEnds();
  bufferStart_ += end_;
  at_ = end_ = countedTo_ = 0;
  while (true) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      end_ = static_cast<std::size_t>(n);
      return true;
    }
    if (n < 0 && errno == EINTR) continue;
    failed_ = n < 0;
    return false;
  }
}

std::uint64_t LineReader::LineEnds() const {
  const auto from = buffer_.begin() + static_cast<std::ptrdiff_t>(countedTo_);
  const auto to = buffer_.begin() + static_cast<std::ptrdiff_t>(at_);
  lineEnds_ += static_cast<std::uint64_t>(std::count(from, to, '\n'));
  countedTo_ = at_;
  return lineEnds_;
}

bool LineReader::ReadLine(std::string& line, std::size_t maxKept) {
  line.clear();
  if (AtEnd()) return false;
  LineEnds();  // what was passed before is counted; this line's end is counted below
  std::uint64_t length = 0;
  char last = 0;
  // Whole stretches of the buffer are searched and taken at a time, not byte by byte.
  while (Peek() >= 0) {
    const char* begin = buffer_.data() + at_;
    const std::size_t left = end_ - at_;
    const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', left));
    const std::size_t stretch = newline ? static_cast<std::size_t>(newline - begin) : left;
    const std::size_t room = maxKept - std::min(maxKept, line.size());
    line.append(begin, std::min(stretch, room));
    if (stretch > 0) last = begin[stretch - 1];
    length += stretch;
    at_ += stretch;
    countedTo_ = at_;  // the stretch holds no line end
    if (newline) {
      ++at_;
      countedTo_ = at_;
      ++lineEnds_;
      break;
    }
  }
  // The CR of a CR LF (or of a last line without LF) belongs to the line end, when it was kept.
  if (last == '\r' && line.size() == length) line.pop_back();
  return true;
}

bool LineReader::Rewind() {
  lineEnds_ = 0;
  countedTo_ = 0;
  if (inMemory_) {
    at_ = 0;
    return true;
  }
  if (fd_ < 0) return false;
  at_ = end_ = 0;
  bufferStart_ = 0;
  failed_ = ::lseek(fd_, 0, SEEK_SET) != 0;
  return !failed_;
}

}  // namespace platform
