#include "app/clipvideo.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/files.h"
#include "platform/numbers.h"
#include "platform/strings.h"

ClipVideoFiles ClipVideoNames(const FileName& source) {
  std::string base = source.Dir() + source.Name();
  return {base + "-clipvideo.bld", base + "-clipvideo.dsc"};
}

bool AppendClipFrame(const FileName& source, float framesPerSecond, const ClipFrame& frame,
                     int& frameCount, std::string* error) {
  const ClipVideoFiles files = ClipVideoNames(source);
  const std::size_t frameSize =
      static_cast<std::size_t>(frame.width) * frame.height * frame.bytesPerPixel;
  if (frameSize == 0 || !frame.data) {
    if (error) *error = "empty frame";
    return false;
  }
  // Appending is not replacing: a write-protected clip stays as it is, and a frame that could
  // not be written whole is taken off again, or every later frame would be read shifted.
  if (platform::IsWriteProtected(files.bld)) {
    if (error) *error = platform::FormatString(platform::files_ids::kWriteProtected, files.bld);
    return false;
  }
  struct stat st {};
  const off_t before = ::stat(files.bld.c_str(), &st) == 0 ? st.st_size : 0;
  std::FILE* out = std::fopen(files.bld.c_str(), "ab");
  bool ok = out && std::fwrite(frame.data, 1, frameSize, out) == frameSize;
  int failure = ok ? 0 : (errno != 0 ? errno : EIO);
  if (out && std::fclose(out) != 0 && ok) {
    ok = false;
    failure = errno;
  }
  if (ok && ::stat(files.bld.c_str(), &st) != 0) {
    ok = false;
    failure = errno;
  }
  if (!ok) {
    if (out) (void)::truncate(files.bld.c_str(), before);
    if (error) *error = platform::WriteFailureMessage(files.bld, failure);
    return false;
  }
  frameCount = static_cast<int>(st.st_size / frameSize);
  std::string dsc = "# Zorvatrack generated ClipVideo\n";
  dsc += "SEQUENCENAME:" + source.NameExt() + "\n";
  dsc += platform::Format("RESOLUTION:%dx%d\n", frame.width, frame.height);
  dsc += "FRAMES/S:" + platform::FormatFixed(framesPerSecond, 6) + "\n";
  dsc += platform::Format("FRAMES:%d\n", frameCount);
  dsc += frame.bytesPerPixel == 1 ? "COLORSPACE:GREY\n" : "COLORSPACE:RGB\n";
  return platform::WriteFileAtomically(files.dsc, dsc, error);
}
