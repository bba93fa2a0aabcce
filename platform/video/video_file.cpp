#include "platform/video/video_file.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

namespace platform {

namespace {

constexpr std::int64_t kNoTime = AV_NOPTS_VALUE;

// One packet of the video stream, in file (decoding) order.
struct PacketEntry {
  std::int64_t pts;
  std::int64_t dts;
  std::int64_t pos;
  bool key;
};

bool IsPrintable4(std::uint32_t tag) {
  for (int i = 0; i < 4; ++i) {
    unsigned char c = static_cast<unsigned char>(tag >> (8 * i));
    if (c < 32 || c > 126) return false;
  }
  return true;
}

int RowStride(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

}  // namespace

struct VideoFile::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* decoder = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  SwsContext* scaler = nullptr;
  int stream = -1;

  std::vector<PacketEntry> packets;        // decoding order
  std::vector<std::int64_t> displayTimes;  // sorted timestamps: frame n shows displayTimes[n]
  std::vector<int> keyDisplay;             // display index of each key frame, ascending
  std::vector<int> keyPacket;              // its packet index
  std::unordered_map<std::int64_t, int> byPos;
  std::unordered_map<std::int64_t, int> byDts;
  // True when every packet carries a unique presentation time; otherwise frames are counted in
  // the order the decoder gives them out, starting at the key frame decoding began with.
  bool timed = false;
  // The colour table a palette stream sent with its first packet; handed to the decoder again
  // with the first packet after every seek, since decoders only learn it from packets.
  std::vector<std::uint8_t> palette;

  // Decoder position.
  bool running = false;  // fed since the last seek and not drained
  bool started = false;  // the packet decoding must start with has been seen
  int startPacket = 0;   // that packet
  int lastOut = -1;      // display index of the last picture the decoder gave out
  bool drained = false;  // end of file reached, decoder flushed

  ~State() {
    sws_freeContext(scaler);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
  }

  AVStream* Stream() const { return format->streams[stream]; }

  // Clears the key flag of every packet the decoder does not decode as a key frame when told to
  // skip all others. Packets are numbered through their timestamps, which the decoder hands on.
  void FindKeyFrames(const AVCodec* codec, VideoStreamInfo& info) {
    AVCodecContext* keys = avcodec_alloc_context3(codec);
    if (!keys || avcodec_parameters_to_context(keys, Stream()->codecpar) < 0) {
      avcodec_free_context(&keys);
      return;
    }
    keys->thread_count = 1;
    keys->skip_frame = AVDISCARD_NONKEY;
    const PacketEntry& first = packets.front();
    const std::int64_t start = first.dts != kNoTime ? first.dts : first.pts;
    if (avcodec_open2(keys, codec, nullptr) < 0 ||
        av_seek_frame(format, stream, start, AVSEEK_FLAG_BACKWARD | AVSEEK_FLAG_ANY) < 0) {
      avcodec_free_context(&keys);
      return;
    }
    const std::int64_t n = static_cast<std::int64_t>(packets.size());
    std::vector<char> found(packets.size(), 0);
    auto collect = [&] {
      while (avcodec_receive_frame(keys, frame) == 0) {
        const std::int64_t i = frame->pts;
        if (i >= 0 && i < n && (frame->key_frame || frame->pict_type == AV_PICTURE_TYPE_I))
          found[i] = 1;
        av_frame_unref(frame);
      }
    };
    std::int64_t counter = 0;
    while (counter < n && av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == stream && packet->size > 0) {
        if (counter == 0 && first.pos >= 0 && packet->pos != first.pos) break;
        packet->pts = packet->dts = counter++;
        avcodec_send_packet(keys, packet);
        collect();
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(keys, nullptr);
    collect();
    avcodec_free_context(&keys);
    if (counter != n) return;  // the file did not read the same twice: keep what it says
    for (std::size_t i = 0; i < packets.size(); ++i)
      if (!found[i]) {
        packets[i].key = false;
        info.keyFramesFound = true;
      }
  }

  // Which packet of the index a packet read after a seek is: by its decoding time, or by its
  // file position where decoding times are missing or repeat (positions repeat in containers
  // that pack several frames into one block).
  int LookupPacket(const AVPacket* p) const {
    if (!byDts.empty()) {
      auto it = byDts.find(p->dts);
      return it != byDts.end() ? it->second : -1;
    }
    auto it = byPos.find(p->pos);
    return it != byPos.end() ? it->second : -1;
  }

  // The key frame decoding must start at to reach frame `index`, as a position in keyDisplay.
  int KeyFor(int index) const {
    auto it = std::upper_bound(keyDisplay.begin(), keyDisplay.end(), index);
    return it == keyDisplay.begin() ? 0 : static_cast<int>(it - keyDisplay.begin()) - 1;
  }

  int DisplayIndexOf(const AVFrame* f) const {
    if (!timed) return lastOut + 1;
    std::int64_t t = f->best_effort_timestamp;
    if (t == kNoTime) t = f->pts;
    auto it = std::lower_bound(displayTimes.begin(), displayTimes.end(), t);
    if (it == displayTimes.end() || *it != t) return -1;
    return static_cast<int>(it - displayTimes.begin());
  }
};

VideoFile::VideoFile() = default;
VideoFile::~VideoFile() = default;

bool VideoFile::IsOpen() const { return s_ != nullptr; }

void VideoFile::Close() {
  s_.reset();
  info_ = {};
}

bool VideoExtensionKnown(const std::string& path) {
  static const char* const kOwn = "avi,mov,mp4,wmv,mkv,asf,mpg,mpeg,m4v,dv";
  if (av_match_ext(path.c_str(), kOwn)) return true;
  void* opaque = nullptr;
  while (const AVInputFormat* f = av_demuxer_iterate(&opaque)) {
    if (f->extensions && av_match_ext(path.c_str(), f->extensions)) return true;
  }
  return false;
}

VideoError VideoFile::Open(const std::string& path) {
  Close();
  av_log_set_level(AV_LOG_QUIET);
  auto s = std::make_unique<State>();

  int ret = avformat_open_input(&s->format, path.c_str(), nullptr, nullptr);
  if (ret < 0) {
    if (ret == AVERROR_INVALIDDATA) {
      return VideoExtensionKnown(path) ? VideoError::kBadFormat : VideoError::kNoHandler;
    }
    return VideoError::kCannotOpen;
  }
  if (avformat_find_stream_info(s->format, nullptr) < 0) return VideoError::kBadFormat;
  s->stream = av_find_best_stream(s->format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  if (s->stream < 0) return VideoError::kNoStream;
  AVStream* st = s->Stream();
  const AVCodecParameters* par = st->codecpar;

  // What names the stream in messages, known even when it cannot be decoded.
  if (const AVDictionaryEntry* t = av_dict_get(st->metadata, "title", nullptr, 0))
    info_.name = t->value;
  info_.codecName = avcodec_get_name(par->codec_id);
  if (par->codec_tag && IsPrintable4(par->codec_tag)) {
    for (int i = 0; i < 4; ++i) info_.fourcc += static_cast<char>(par->codec_tag >> (8 * i));
  } else {
    info_.fourcc = info_.codecName;
  }

  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  if (!codec) return VideoError::kNoDecoder;
  s->decoder = avcodec_alloc_context3(codec);
  if (!s->decoder || avcodec_parameters_to_context(s->decoder, par) < 0)
    return VideoError::kNoDecoder;
  s->decoder->thread_count = 0;
  s->decoder->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  s->decoder->pkt_timebase = st->time_base;
  if (avcodec_open2(s->decoder, codec, nullptr) < 0) return VideoError::kNoDecoder;
  s->packet = av_packet_alloc();
  s->frame = av_frame_alloc();
  if (!s->packet || !s->frame) return VideoError::kCannotOpen;

  // The index pass: every packet of the stream, without decoding.
  const AVCodecDescriptor* desc = avcodec_descriptor_get(par->codec_id);
  const bool intraOnly = desc && (desc->props & AV_CODEC_PROP_INTRA_ONLY);
  while (av_read_frame(s->format, s->packet) >= 0) {
    if (s->packet->stream_index == s->stream && s->packet->size > 0) {
      std::size_t palSize = 0;
      const std::uint8_t* pal = av_packet_get_side_data(s->packet, AV_PKT_DATA_PALETTE, &palSize);
      if (pal && palSize == AVPALETTE_SIZE && s->palette.empty())
        s->palette.assign(pal, pal + palSize);
      s->packets.push_back({s->packet->pts, s->packet->dts, s->packet->pos,
                            (s->packet->flags & AV_PKT_FLAG_KEY) != 0});
      if (s->packet->flags & AV_PKT_FLAG_CORRUPT) s->packets.back().pos = -2;
    }
    av_packet_unref(s->packet);
  }
  // A packet cut off by the end of the file is no frame.
  while (!s->packets.empty() && s->packets.back().pos == -2) s->packets.pop_back();
  for (auto& p : s->packets)
    if (p.pos == -2) p.pos = -1;
  if (s->packets.empty()) return VideoError::kBadFormat;

  const int n = static_cast<int>(s->packets.size());
  // A file without its index calls every frame a key frame. For codecs with inter frames the
  // decoder tells the real ones: a second pass decodes the key frames only.
  const bool allKey =
      std::all_of(s->packets.begin(), s->packets.end(), [](const PacketEntry& p) { return p.key; });
  if (!intraOnly && allKey && n > 1) s->FindKeyFrames(codec, info_);
  s->packets[0].key = true;  // decoding always may start at the beginning

  // Display order: by presentation time when every packet has a distinct one.
  s->timed = true;
  s->displayTimes.reserve(n);
  for (const auto& p : s->packets) {
    std::int64_t t = p.pts != kNoTime ? p.pts : p.dts;
    if (p.pts == kNoTime) s->timed = false;
    s->displayTimes.push_back(t);
  }
  if (s->timed) {
    std::sort(s->displayTimes.begin(), s->displayTimes.end());
    if (std::adjacent_find(s->displayTimes.begin(), s->displayTimes.end()) != s->displayTimes.end())
      s->timed = false;
  }
  for (int i = 0; i < n; ++i) {
    const auto& p = s->packets[i];
    if (!p.key) continue;
    int display = i;
    if (s->timed) {
      display =
          static_cast<int>(std::lower_bound(s->displayTimes.begin(), s->displayTimes.end(), p.pts) -
                           s->displayTimes.begin());
    }
    s->keyDisplay.push_back(display);
    s->keyPacket.push_back(i);
  }
  bool dtsUnique = true;
  for (int i = 0; i < n && dtsUnique; ++i) {
    const auto& p = s->packets[i];
    dtsUnique = p.dts != kNoTime && s->byDts.emplace(p.dts, i).second;
  }
  if (!dtsUnique) {
    s->byDts.clear();
    for (int i = 0; i < n; ++i)
      if (s->packets[i].pos >= 0) s->byPos.emplace(s->packets[i].pos, i);
  }
  // Keep both lists in display order (open groups can list a key frame's packet earlier).
  std::vector<std::pair<int, int>> keys;
  for (std::size_t i = 0; i < s->keyDisplay.size(); ++i)
    keys.emplace_back(s->keyDisplay[i], s->keyPacket[i]);
  std::sort(keys.begin(), keys.end());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    s->keyDisplay[i] = keys[i].first;
    s->keyPacket[i] = keys[i].second;
  }
  if (!s->timed) s->displayTimes.clear();
  s->displayTimes.shrink_to_fit();

  info_.width = par->width;
  info_.height = par->height;
  info_.bitsPerPixel = par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample : 24;
  AVRational rate = av_guess_frame_rate(s->format, st, nullptr);
  if (rate.num <= 0 || rate.den <= 0) rate = {0, 1};
  info_.rateNumerator = rate.num;
  info_.rateDenominator = rate.den;
  std::int64_t first = s->timed ? s->displayTimes.front() : s->packets.front().dts;
  if (first == kNoTime) first = 0;
  info_.startSeconds = first * av_q2d(st->time_base);
  info_.frames = n;
  info_.headerFrames = st->nb_frames;
  s_ = std::move(s);
  return VideoError::kNone;
}

bool VideoFile::IsKeyFrame(int index) const {
  if (!s_) return false;
  return std::binary_search(s_->keyDisplay.begin(), s_->keyDisplay.end(), index);
}

int VideoFile::LongestGroup() const {
  if (!s_) return 0;
  int longest = 0;
  for (std::size_t i = 0; i < s_->keyDisplay.size(); ++i) {
    int end = i + 1 < s_->keyDisplay.size() ? s_->keyDisplay[i + 1] : info_.frames;
    longest = std::max(longest, end - s_->keyDisplay[i]);
  }
  return longest;
}

std::size_t VideoFile::IndexBytes() const {
  if (!s_) return 0;
  // The maps hold a node (key, value, hash link) per entry plus their bucket arrays.
  std::size_t mapEntry = sizeof(std::int64_t) + sizeof(int) + 2 * sizeof(void*);
  return s_->packets.capacity() * sizeof(PacketEntry) +
         s_->displayTimes.capacity() * sizeof(std::int64_t) +
         (s_->keyDisplay.capacity() + s_->keyPacket.capacity()) * sizeof(int) +
         (s_->byPos.size() + s_->byDts.size()) * mapEntry +
         (s_->byPos.bucket_count() + s_->byDts.bucket_count()) * sizeof(void*);
}

namespace {

// Repositions the file so that the next packet read is at or before packet `target`.
bool SeekBefore(AVFormatContext* format, int stream, const PacketEntry& target) {
  bool byPts = (format->iformat->flags & AVFMT_SEEK_TO_PTS) && target.pts != kNoTime;
  std::int64_t ts = byPts || target.dts == kNoTime ? target.pts : target.dts;
  if (ts != kNoTime && av_seek_frame(format, stream, ts, AVSEEK_FLAG_BACKWARD) >= 0) return true;
  return avformat_seek_file(format, stream, INT64_MIN, INT64_MIN, INT64_MIN, 0) >= 0 ||
         av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE) >= 0;
}

}  // namespace

bool VideoFile::ReadFrame(int index, VideoPicture& picture) {
  if (!s_ || index < 0 || index >= info_.frames) return false;
  State& s = *s_;
  int key = s.KeyFor(index);
  // Decoding on from where the decoder stands is never more work than seeking when the target
  // lies ahead of it and no key frame lies in between.
  bool goOn =
      s.running && s.lastOut >= 0 && index > s.lastOut && s.keyDisplay[key] <= s.lastOut + 1;
  for (int attempt = 0;; ++attempt) {
    if (!goOn) {
      avcodec_flush_buffers(s.decoder);
      ++stats_.seeks;
      s.startPacket = s.keyPacket[key];
      SeekBefore(s.format, s.stream, s.packets[s.startPacket]);
      s.running = true;
      s.started = false;
      s.drained = false;
      s.lastOut = s.timed ? -1 : s.keyDisplay[key] - 1;
    }
    goOn = false;
    bool overshot = false;
    bool seekStart = false;
    for (;;) {
      int ret = avcodec_receive_frame(s.decoder, s.frame);
      if (ret == 0) {
        int d = s.DisplayIndexOf(s.frame);
        if (d < 0) {
          av_frame_unref(s.frame);
          continue;
        }
        s.lastOut = d;
        if (d < index) {
          av_frame_unref(s.frame);
          continue;
        }
        if (d > index) {
          av_frame_unref(s.frame);
          overshot = true;
          break;
        }
        // The frame wanted.
        AVFrame* f = s.frame;
        picture.width = f->width;
        picture.height = f->height;
        auto fmt = static_cast<AVPixelFormat>(f->format);
        if (fmt == AV_PIX_FMT_PAL8 || fmt == AV_PIX_FMT_GRAY8) {
          picture.bitCount = 8;
          picture.direct = false;
          picture.stride = RowStride(f->width, 8);
          picture.pixels.resize(static_cast<std::size_t>(picture.stride) * f->height);
          for (int y = 0; y < f->height; ++y)
            std::memcpy(picture.pixels.data() + static_cast<std::size_t>(y) * picture.stride,
                        f->data[0] + static_cast<std::ptrdiff_t>(y) * f->linesize[0], f->width);
          for (int i = 0; i < 256; ++i) {
            std::uint8_t* e = picture.colorTable.data() + 4 * i;
            if (fmt == AV_PIX_FMT_PAL8) {
              std::uint32_t argb;
              std::memcpy(&argb, f->data[1] + 4 * i, 4);
              e[0] = static_cast<std::uint8_t>(argb);
              e[1] = static_cast<std::uint8_t>(argb >> 8);
              e[2] = static_cast<std::uint8_t>(argb >> 16);
            } else {
              e[0] = e[1] = e[2] = static_cast<std::uint8_t>(i);
            }
            e[3] = 0;
          }
        } else {
          picture.bitCount = 24;
          picture.stride = RowStride(f->width, 24);
          picture.direct = picture.directBits && picture.directWidth == f->width &&
                           picture.directHeight == f->height;
          if (!picture.direct)
            picture.pixels.resize(static_cast<std::size_t>(picture.stride) * f->height);
          s.scaler =
              sws_getCachedContext(s.scaler, f->width, f->height, fmt, f->width, f->height,
                                   AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
          if (!s.scaler) {
            av_frame_unref(f);
            return false;
          }
          std::uint8_t* dst[4] = {picture.direct ? picture.directBits : picture.pixels.data(),
                                  nullptr, nullptr, nullptr};
          int dstStride[4] = {picture.direct ? picture.directStride : picture.stride, 0, 0, 0};
          sws_scale(s.scaler, f->data, f->linesize, 0, f->height, dst, dstStride);
        }
        av_frame_unref(f);
        ++stats_.framesConverted;
        return true;
      }
      if (ret == AVERROR_EOF) {
        s.running = false;
        break;
      }
      if (ret != AVERROR(EAGAIN)) {
        s.running = false;
        break;
      }
      // The decoder wants input.
      if (s.drained) {
        s.running = false;
        break;
      }
      int rd;
      for (;;) {
        rd = av_read_frame(s.format, s.packet);
        if (rd < 0) break;
        if (s.packet->stream_index != s.stream || s.packet->size == 0) {
          av_packet_unref(s.packet);
          continue;
        }
        int i = s.LookupPacket(s.packet);
        if (!s.started) {
          if (i >= 0 && i < s.startPacket) {
            av_packet_unref(s.packet);
            continue;
          }
          if (i != s.startPacket && !seekStart) {
            // The seek landed past the key frame: start again from the beginning of the file.
            av_packet_unref(s.packet);
            seekStart = true;
            ++stats_.seeks;
            avformat_seek_file(s.format, s.stream, INT64_MIN, INT64_MIN, INT64_MIN, 0);
            continue;
          }
          if (i != s.startPacket) {
            av_packet_unref(s.packet);
            continue;
          }
          s.started = true;
          if (!s.palette.empty() &&
              !av_packet_get_side_data(s.packet, AV_PKT_DATA_PALETTE, nullptr)) {
            if (std::uint8_t* side =
                    av_packet_new_side_data(s.packet, AV_PKT_DATA_PALETTE, s.palette.size()))
              std::memcpy(side, s.palette.data(), s.palette.size());
          }
        }
        break;
      }
      if (rd < 0) {
        s.drained = true;
        avcodec_send_packet(s.decoder, nullptr);
        continue;
      }
      ++stats_.packetsDecoded;
      // A damaged packet is left out; the frames after it may still decode.
      avcodec_send_packet(s.decoder, s.packet);
      av_packet_unref(s.packet);
    }
    // Not found from this key frame: an open group lost its leading frames, or the file differs
    // from its index. Go back one key frame, at most a few times.
    if (!overshot || key == 0 || attempt >= 3) return false;
    --key;
  }
}

}  // namespace platform
