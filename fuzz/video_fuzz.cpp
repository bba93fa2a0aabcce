// Videos through the program's video reader: opening indexes the file; the first, a middle and
// the last frame are decoded.

extern "C" {
#include <libavutil/log.h>
}

#include "fuzz_input.h"
#include "platform/video/video_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  av_log_set_level(AV_LOG_QUIET);
  platform::VideoFile video;
  if (video.Open(fuzz::WriteInput("clip.avi", fuzz::Bytes(data, size))) !=
      platform::VideoError::kNone) {
    return 0;
  }
  platform::VideoPicture picture;
  const int frames = video.Info().frames;
  for (int index : {0, frames / 2, frames - 1}) video.ReadFrame(index, picture);
  return 0;
}
