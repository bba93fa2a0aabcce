#pragma once

// The reference for frame-exact reading: the pictures a plain decode of a video from its
// beginning shows, in the order it shows them, converted as the reader converts them.

#include <cstdint>
#include <functional>
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

}  // namespace videotest
