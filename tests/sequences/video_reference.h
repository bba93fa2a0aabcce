#pragma once

// The reference for frame-exact reading: the pictures a plain decode of a video from its
// beginning shows, in the order it shows them, converted as the reader converts them.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "platform/video/picture_convert.h"
#include "video_clips.h"

namespace videotest {

inline std::uint64_t HashPicture(const platform::VideoPicture& p) {
  return Hash(p.pixels.data(), p.pixels.size()) ^
         (p.bitCount == 8 ? Hash(p.colorTable.data(), p.colorTable.size()) : 0);
}

// Hands every picture a sequential decode of `path` shows to `take`, in the order shown.
inline void ForEachSequentialPicture(
    const std::string& path, const std::function<void(const platform::VideoPicture&)>& take) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return;
  AVCodecContext* decoder = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  platform::PictureConverter converter;
  platform::VideoPicture picture;
  auto collect = [&] {
    while (avcodec_receive_frame(decoder, frame) == 0) {
      if (converter.Convert(*frame, picture)) take(picture);
      av_frame_unref(frame);
    }
  };
  const int stream = avformat_find_stream_info(format, nullptr) >= 0
                         ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0)
                         : -1;
  if (stream >= 0) {
    const AVCodecParameters* par = format->streams[stream]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(par->codec_id);
    decoder = avcodec_alloc_context3(codec);
    if (avcodec_parameters_to_context(decoder, par) >= 0 &&
        avcodec_open2(decoder, codec, nullptr) >= 0) {
      while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream) {
          avcodec_send_packet(decoder, packet);
          collect();
        }
        av_packet_unref(packet);
      }
      avcodec_send_packet(decoder, nullptr);
      collect();
    }
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&decoder);
  avformat_close_input(&format);
}

// Hashes of every picture a sequential decode of `path` shows; empty when it cannot be decoded.
inline std::vector<std::uint64_t> SequentialHashes(const std::string& path) {
  std::vector<std::uint64_t> hashes;
  ForEachSequentialPicture(
      path, [&](const platform::VideoPicture& p) { hashes.push_back(HashPicture(p)); });
  return hashes;
}

// Every picture of `clip` as the ffmpeg command shows it through the scale filter `scale`
// ("scale=flags=..."), as rows of blue, green, red one after the other; empty when ffmpeg failed.
inline std::string CommandLinePictures(const seqtest::TempDir& dir, const std::string& clip,
                                       const std::string& scale) {
  const std::string out = dir.File("pictures.bgr");
  const std::string command = "ffmpeg -nostdin -y -loglevel error -i '" + clip +
                              "' -vsync passthrough -vf '" + scale +
                              ",format=bgr24' -f rawvideo '" + out + "' >/dev/null 2>&1";
  if (std::system(command.c_str()) != 0) return {};
  std::ifstream in(out, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The largest difference of one colour level between a 24-bit picture and picture `frame` of
// CommandLinePictures' rows.
inline int LargestDifference(const platform::VideoPicture& p, const std::string& rows, int frame) {
  const std::size_t line = static_cast<std::size_t>(p.width) * 3;
  const std::size_t offset = line * p.height * frame;
  int largest = 0;
  for (int y = 0; y < p.height; ++y)
    for (std::size_t x = 0; x < line; ++x) {
      const int ours = p.pixels[static_cast<std::size_t>(y) * p.stride + x];
      const int theirs = static_cast<std::uint8_t>(rows[offset + y * line + x]);
      largest = std::max(largest, std::abs(ours - theirs));
    }
  return largest;
}

}  // namespace videotest
