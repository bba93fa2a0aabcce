#include "sequences/bldsequence.h"

#include <new>

#include "app/messages.h"
#include "platform/files.h"
#include "sequences/sequences_ids.h"

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
  if (!path.empty()) file_ = std::fopen(path.c_str(), "rb");
  if (!file_) {
    ErrorMessage(seqid::kFrameFileErrorCaption, seqid::kFrameFileCannotOpen, fileName.Path());
    return false;
  }
  std::int64_t size = -1;
  if (::fseeko(file_, 0, SEEK_END) == 0) size = ::ftello(file_);
  const std::int64_t frameBytes = FrameBytes();
  const std::int64_t frames = size > 0 && frameBytes > 0 ? size / frameBytes : 0;
  if (frames < 1 || frames > INT32_MAX || ::fseeko(file_, 0, SEEK_SET) != 0) {
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
  if (file_) std::fclose(file_);
  file_ = nullptr;
  held_ = 0;
  streamFrame_ = 0;
}

const CDIB* BldFrameSequence::ReadFrame(int number, bool force) {
  if (!file_) return nullptr;
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
    if (::fseeko(file_, (number - 1) * frameBytes, SEEK_SET) != 0) {
      streamFrame_ = 0;
      return nullptr;
    }
  }
  ++reads_;
  const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_);
  if (got != buffer.size()) {
    // The file shrank since it was opened: the frame is lost, and so is the stream position.
    std::clearerr(file_);
    streamFrame_ = 0;
    return nullptr;
  }
  streamFrame_ = number + 1;
  FrameDataToDib(fsData, buffer.data(), frameDib);
  held_ = number;
  return &frameDib;
}
