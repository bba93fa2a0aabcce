#pragma once

// LineReader: a text file read front to back through a buffer of fixed size, so a reader costs
// the same memory for a file of a kilobyte and one of gigabytes, and a reader that stops early
// (at a faulty line, or when the user stops it) reads no further. It counts the line ends it has
// passed, reads lines that end in LF or CR LF, and can start again at the top (for readers that
// look values up anywhere in a file). A reader over text in memory behaves the same.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class LineReader {
 public:
  static constexpr std::size_t kBufferSize = 1 << 16;

  // A reader of nothing, not open.
  LineReader() = default;
  // Opens a regular file (a folder or device is not opened); IsOpen() tells.
  explicit LineReader(const std::string& path);
  // Reads text held in memory, which the reader copies.
  static LineReader FromText(std::string_view text);
  ~LineReader();
  LineReader(LineReader&& other) noexcept;
  LineReader& operator=(LineReader&& other) noexcept;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;

  bool IsOpen() const { return fd_ >= 0 || inMemory_; }
  // True after the file could not be read on (the reader then stands at its end).
  bool Failed() const { return failed_; }

  // The next byte (0 to 255) without passing it, -1 at the end.
  int Peek() {
    if (at_ < end_) return static_cast<unsigned char>(buffer_[at_]);
    return Refill() ? static_cast<unsigned char>(buffer_[at_]) : -1;
  }
  // Passes the byte Peek() gave; nothing at the end.
  void Advance() {
    if (at_ < end_ || Refill()) ++at_;
  }
  int Get() {
    const int c = Peek();
    if (c >= 0) ++at_;
    return c;
  }
  bool AtEnd() { return Peek() < 0; }

  // The next line without its line end ("\n", or "\r\n"), of which at most maxKept bytes are
  // kept: the rest of a longer line is passed over. False at the end of the text.
  bool ReadLine(std::string& line, std::size_t maxKept = std::string::npos);

  // Bytes passed so far, and the length of the file when it was opened.
  std::uint64_t Position() const { return bufferStart_ + at_; }
  std::uint64_t Size() const { return size_; }
  // Line ends ("\n") passed so far. Counted lazily, so asking after every line costs as much as
  // reading the file once.
  std::uint64_t LineEnds() const;

  // Starts again at the first byte; false when the file cannot be read from there.
  bool Rewind();

 private:
  // Reads the next block when the buffer is used up; false at the end or after an error.
  bool Refill();
  void Close();

  int fd_ = -1;
  bool inMemory_ = false;
  bool failed_ = false;
  std::vector<char> buffer_;
  std::size_t at_ = 0;
  std::size_t end_ = 0;
  std::uint64_t bufferStart_ = 0;
  std::uint64_t size_ = 0;
  // Line ends in the buffer before countedTo_, and in the blocks before it.
  mutable std::size_t countedTo_ = 0;
  mutable std::uint64_t lineEnds_ = 0;
};

}  // namespace platform
