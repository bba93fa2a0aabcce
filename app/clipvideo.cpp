#include "app/clipvideo.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <string_view>

#include "base/dscparser.h"
#include "platform/files.h"
#include "platform/numbers.h"
#include "platform/strings.h"

namespace {

// Why a frame is not added to a clip (the text after the clip's name in the message).
constexpr int kClipOtherVideo = 31272, kClipNoFrameSize = 31273;
constexpr std::size_t kNameSize = 100;  // as the description's reader takes the name
constexpr std::size_t kSpaceSize = 20;

const char* SpaceName(int bytesPerPixel) { return bytesPerPixel == 1 ? "GREY" : "RGB"; }

// The frames a clip's description says it holds.
struct ClipLayout {
  std::string video;  // the sequence the frames were taken from
  int width = 0;
  int height = 0;
  int bytesPerPixel = 1;
};

ClipLayout ReadLayout(DSCParser& dsc, const std::string& dscPath) {
  ClipLayout layout;
  dsc.GetString("SEQUENCENAME", layout.video, kNameSize, FileName(dscPath).NameExt());
  dsc.GetSize("RESOLUTION", layout.width, layout.height, 0);
  std::string space;
  dsc.GetString("COLORSPACE", space, kSpaceSize, "GREY");
  // Read as the frame file's reader reads it: anything but RGB is grey.
  layout.bytesPerPixel = ::strcasecmp(space.c_str(), "RGB") == 0 ? 3 : 1;
  return layout;
}

// Empty when the frame fits the clip's frames; else why it is not added.
std::string Misfit(const std::string& dscPath, const FileName& source, const ClipFrame& frame) {
  DSCParser dsc(dscPath);
  if (!dsc.IsOpen()) return {};  // a clip whose first description was never written
  const ClipLayout held = ReadLayout(dsc, dscPath);
  if (held.width <= 0 || held.height <= 0) {
    return platform::FormatString(kClipNoFrameSize, dsc.Path());
  }
  if (held.width == frame.width && held.height == frame.height &&
      held.bytesPerPixel == frame.bytesPerPixel) {
    return {};
  }
  return platform::FormatString(kClipOtherVideo, held.video, held.width, held.height,
                                SpaceName(held.bytesPerPixel), source.NameExt(), frame.width,
                                frame.height, SpaceName(frame.bytesPerPixel));
}

// Cuts a frame file back to its last whole frame; the size kept (-1 with errno on failure) and
// in cut the bytes taken off.
off_t CutToWholeFrames(int fd, std::size_t frameSize, std::uint64_t& cut) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  const off_t whole = st.st_size - st.st_size % static_cast<off_t>(frameSize);
  if (whole < st.st_size) {
    if (::ftruncate(fd, whole) != 0) return -1;
    cut = static_cast<std::uint64_t>(st.st_size - whole);
  }
  return whole;
}

// Writes the frame after the last whole one and waits until it is on the disk; 0 or the system's
// error number.
int AppendDurably(int fd, const std::uint8_t* data, std::size_t size, off_t at) {
  const std::string_view frame(reinterpret_cast<const char*>(data), size);
  if (const int failure = platform::WriteAllAt(fd, frame, at)) return failure;
  return ::fsync(fd) != 0 ? errno : 0;
}

// A new file's name is on disk only once its folder is.
void FlushFolder(const std::string& file) {
  const int dir = ::open(FileName(file).Dir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  (void)::fsync(dir);
  ::close(dir);
}

std::string Description(const FileName& source, float framesPerSecond, const ClipFrame& frame,
                        int frameCount) {
  std::string dsc = "# Zorvatrack generated ClipVideo\n";
  dsc += "SEQUENCENAME:" + source.NameExt() + "\n";
  dsc += platform::Format("RESOLUTION:%dx%d\n", frame.width, frame.height);
  dsc += "FRAMES/S:" + platform::FormatFixed(framesPerSecond, 6) + "\n";
  dsc += platform::Format("FRAMES:%d\n", frameCount);
  dsc += std::string("COLORSPACE:") + SpaceName(frame.bytesPerPixel) + "\n";
  return dsc;
}

}  // namespace

ClipVideoFiles ClipVideoNames(const FileName& source) {
  std::string base = source.Dir() + source.Name();
  return {base + "-clipvideo.bld", base + "-clipvideo.dsc"};
}

bool AppendClipFrame(const FileName& source, float framesPerSecond, const ClipFrame& frame,
                     ClipAppend& result, std::string* error) {
  result = ClipAppend{};
  auto fail = [error](std::string why) {
    if (error) *error = std::move(why);
    return false;
  };
  const ClipVideoFiles files = ClipVideoNames(source);
  const std::size_t frameSize =
      static_cast<std::size_t>(frame.width) * frame.height * frame.bytesPerPixel;
  if (frameSize == 0 || !frame.data) return fail("empty frame");
  // Appending is not replacing: a write-protected clip stays as it is.
  if (platform::IsWriteProtected(files.bld)) {
    return fail(platform::FormatString(platform::files_ids::kWriteProtected, files.bld));
  }
  struct stat st {};
  const bool existed = ::stat(files.bld.c_str(), &st) == 0;
  if (existed && st.st_size > 0) {
    // Two videos of one base name share the clip: frames of another size or colour space would
    // make every stored frame read wrong.
    std::string misfit = Misfit(files.dsc, source, frame);
    if (!misfit.empty()) {
      result.refused = true;
      return fail(std::move(misfit));
    }
  }

  const int fd = ::open(files.bld.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return fail(platform::WriteFailureMessage(files.bld, errno));
  const off_t whole = CutToWholeFrames(fd, frameSize, result.bytesCut);
  int failure = whole < 0 ? errno : AppendDurably(fd, frame.data, frameSize, whole);
  if (failure == 0 && !existed) FlushFolder(files.bld);
  std::string dscError;
  if (failure == 0) {
    result.frameCount = static_cast<int>(whole / static_cast<off_t>(frameSize)) + 1;
    if (!platform::WriteFileAtomically(
            files.dsc, Description(source, framesPerSecond, frame, result.frameCount), &dscError)) {
      failure = -1;
    }
  }
  if (failure != 0 && whole >= 0) {
    // The frame is taken off again: a frame reported as not added is not in the clip, and the
    // next one lands at its place.
    (void)::ftruncate(fd, whole);
    (void)::fsync(fd);
  }
  ::close(fd);  // the frame's faults were reported by the flush
  if (failure == 0) return true;
  result.frameCount = whole >= 0 ? static_cast<int>(whole / static_cast<off_t>(frameSize)) : 0;
  if (!existed) ::unlink(files.bld.c_str());
  return fail(failure < 0 ? dscError : platform::WriteFailureMessage(files.bld, failure));
}
