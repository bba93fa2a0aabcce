#include "platform/video/video_file.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "platform/video/decode_ahead.h"
#include "platform/video/picture_shape.h"
#include "platform/video/video_index.h"

namespace platform {

namespace {

constexpr std::int64_t kNoTime = AV_NOPTS_VALUE;
// Packets read after a seek that the index does not know (a parser finding its feet again)
// before the seek counts as lost.
constexpr int kMaxUnknownPackets = 64;

bool IsPrintable4(std::uint32_t tag) {
  for (int i = 0; i < 4; ++i) {
    unsigned char c = static_cast<unsigned char>(tag >> (8 * i));
    if (c < 32 || c > 126) return false;
  }
  return true;
}

// Codecs whose every packet is one picture that decodes on its own: their opening pass needs no
// decoding. FFV1 is called intra-only but carries its coder state from frame to frame.
bool PacketsArePictures(AVCodecID id) {
  const AVCodecDescriptor* desc = avcodec_descriptor_get(id);
  return desc && (desc->props & AV_CODEC_PROP_INTRA_ONLY) && id != AV_CODEC_ID_FFV1;
}

PacketEntry EntryOf(const AVPacket& p) {
  PacketEntry e;
  e.pts = p.pts;
  e.dts = p.dts;
  e.pos = p.pos;
  e.print = PacketPrint(p.data, static_cast<std::size_t>(p.size));
  e.size = p.size;
  e.key = (p.flags & AV_PKT_FLAG_KEY) != 0;
  e.corrupt = (p.flags & AV_PKT_FLAG_CORRUPT) != 0;
  return e;
}

// What a decoder is opened for. kReading and kCounting decode on every thread, kCounting leaving
// out the pixel work that does not decide which pictures are shown; kPlain is the library's
// default, one thread, so the pictures it patches come out the same on every run.
enum class DecoderUse { kReading, kCounting, kPlain };

AVCodecContext* OpenDecoder(const AVCodec* codec, const AVStream* st, DecoderUse use) {
  AVCodecContext* c = avcodec_alloc_context3(codec);
  if (!c || avcodec_parameters_to_context(c, st->codecpar) < 0) {
    avcodec_free_context(&c);
    return nullptr;
  }
  if (use != DecoderUse::kPlain) {
    c->thread_count = 0;
    c->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  }
  c->pkt_timebase = st->time_base;
  if (use == DecoderUse::kCounting) {
    c->skip_idct = AVDISCARD_ALL;
    c->skip_loop_filter = AVDISCARD_ALL;
  }
  if (avcodec_open2(c, codec, nullptr) < 0) avcodec_free_context(&c);
  return c;
}

// Whether the decoder had to patch the picture: a packet cut short or damaged.
bool Patched(const AVFrame& f) { return (f.flags & AV_FRAME_FLAG_CORRUPT) || f.decode_error_flags; }

struct FrameFree {
  void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFree>;

// Pictures of patched frames kept from one decode from the start, on either side of the frame
// asked for: a cut file has a few of them, at its end, and each decode costs the whole file.
constexpr int kPatchedKept = 16;

using Step = DecodeStep;

// Where a seek positions the file before decoding starts at a key frame. kReopen opens the file
// anew: the start of a file whose first packets carry no timestamps and that cannot be positioned
// by bytes (a cut whose first timestamps are negative).
enum class Place { kTimestamp, kByte, kFileStart, kByteZero, kReopen };

struct Attempt {
  int key;
  Place place;
};

}  // namespace

// A file of its own, for the background count of pictures and for decoding from the start: a
// decoder on one thread (`plain`) and, for the count, one that counts on all (`counter`).
struct CountingInput {
  AVFormatContext* format = nullptr;
  AVCodecContext* counter = nullptr;
  AVCodecContext* plain = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();

  ~CountingInput() {
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&plain);
    avcodec_free_context(&counter);
    avformat_close_input(&format);
  }

  // Opens `path` as the reader opened it: the same stream number holds the same codec.
  bool Open(const std::string& path, int stream, const AVCodec* codec, bool counting) {
    if (!packet || !frame || avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0 ||
        avformat_find_stream_info(format, nullptr) < 0 ||
        stream >= static_cast<int>(format->nb_streams) ||
        format->streams[stream]->codecpar->codec_id != codec->id)
      return false;
    const AVStream* st = format->streams[stream];
    if (counting && !(counter = OpenDecoder(codec, st, DecoderUse::kCounting))) return false;
    plain = OpenDecoder(codec, st, DecoderUse::kPlain);
    return plain != nullptr;
  }

  enum class Next { kPacket, kEnd, kDiffers };
  // Reads the stream's next packet into `packet`, stamped with its serial as its time (pictures
  // are known by the packet they came from); kDiffers when it is not the packet the index holds
  // for that serial (a file that reads differently the second time), kEnd after the last one.
  Next NextPacket(int stream, const VideoIndex& index, int serial) {
    while (serial < index.Packets() && av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == stream && packet->size > 0) {
        if (PacketPrint(packet->data, static_cast<std::size_t>(packet->size)) !=
            index.Packet(serial).print) {
          av_packet_unref(packet);
          return Next::kDiffers;
        }
        packet->pts = packet->dts = serial;
        return Next::kPacket;
      }
      av_packet_unref(packet);
    }
    return Next::kEnd;
  }
};

struct VideoFile::State {
  AVFormatContext* format = nullptr;
  AVCodecContext* decoder = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  PictureConverter converter;
  PictureShaper shaper;
  VideoPicture unshaped;  // a picture before the shaper turns or scales it
  std::string path;
  int stream = -1;
  VideoIndex index;
  int tailStart = 0;  // the last packet the container calls a key frame: the last group's start
  // Pictures of patched frames from the last decode from the start, by frame. Once the count has
  // found patched pictures it decodes the file once more from the start and keeps those at its
  // end; the reader takes them only once `patchesKept` says so.
  std::vector<std::pair<int, FramePtr>> patchedPictures;
  std::atomic<bool> patchesKept{false};
  std::atomic<int> packetsPatched{0};  // how far that decode has come
  // The background count of pictures, and what it has done.
  std::thread counting;
  std::atomic<bool> stopCounting{false};
  std::atomic<int> packetsCounted{0};
  // Waits on and for the counting thread: the packet it waits before (tests hold it there, -1
  // for none), and the patched pictures it keeps.
  std::mutex waitMutex;
  std::condition_variable waitOver;
  int holdAt = -1;
  // The colour table a palette stream sent with its first packet; handed to the decoder again
  // with the first packet after every seek, since decoders only learn it from packets.
  std::vector<std::uint8_t> palette;
  // The first frame's packet of a stream counted from its packets alone, kept by the opening pass
  // to try the decoder on (see FirstPictureDecodes).
  AVPacket* firstShown = nullptr;

  // Decoder position.
  bool running = false;  // a run from a key frame is under way
  bool started = false;  // the run's key frame packet has been recognised and sent
  int startSerial = 0;   // that packet
  int nextSerial = 0;    // the packet expected next
  int unknown = 0;       // unrecognised packets since the seek
  int lastOut = -1;      // frame of the last picture the decoder gave out
  int lastSerial = -1;   // the packet it came from
  bool drained = false;  // end of the stream sent to the decoder

  // Reading in order: the following pictures, decoded on a thread of their own.
  DecodeAhead ahead;

  ~State() {
    ahead.Stop();
    StopCounting();
    av_packet_free(&firstShown);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
  }

  AVStream* Stream() const { return format->streams[stream]; }

  bool ReadStreamPacket() {
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == stream && packet->size > 0) return true;
      av_packet_unref(packet);
    }
    return false;
  }

  void KeepPalette() {
    std::size_t size = 0;
    const std::uint8_t* pal = av_packet_get_side_data(packet, AV_PKT_DATA_PALETTE, &size);
    if (pal && size == AVPALETTE_SIZE && palette.empty()) palette.assign(pal, pal + size);
  }

  // Receives every picture `counter` has ready and adds them to the index. Decoding may start at
  // a picture only where both its packet and the decoder call it a key frame: several decoders
  // (QuickTime Animation, APNG, Video-1, SMC, Screen Video 2 ...) call every picture a key frame,
  // the ones drawn over the picture before too, and a container may call every packet one. A key
  // frame the decoder had to patch (a packet cut short) is no place to start either: what fills
  // its holes comes from the pictures decoded before it.
  void CollectPictures(AVCodecContext* counter, AVFrame* picture) {
    while (avcodec_receive_frame(counter, picture) == 0) {
      const bool whole = !Patched(*picture);
      if (picture->pts != kNoTime) {
        const int serial = static_cast<int>(picture->pts);
        const bool keyPacket = serial >= 0 && serial < index.Packets() && index.Packet(serial).key;
        index.AddPicture(serial, picture->key_frame && keyPacket && whole);
        if (!whole) index.MarkPatched(serial);
      }
      av_frame_unref(picture);
    }
  }

  // Notes the pictures `checker` patched. A decoder on frame threads may hand a patched picture
  // out before it marks it so; the last group, where a cut file is damaged, is therefore decoded
  // once more on one thread.
  void CollectPatched(AVCodecContext* checker, AVFrame* picture) {
    while (avcodec_receive_frame(checker, picture) == 0) {
      if (picture->pts != kNoTime && Patched(*picture))
        index.MarkPatched(static_cast<int>(picture->pts));
      av_frame_unref(picture);
    }
  }

  // The opening pass: every packet into the index; for codecs whose packets are pictures, the
  // pictures too, which completes the index. Returns the frames the packets promise.
  int PacketPass() {
    const bool onePerPacket = PacketsArePictures(Stream()->codecpar->codec_id);
    int promised = 0;
    bool keySeen = false;
    while (ReadStreamPacket()) {
      KeepPalette();
      const int serial = index.AddPacket(EntryOf(*packet));
      const bool shown = !(packet->flags & AV_PKT_FLAG_DISCARD);
      keySeen = keySeen || (packet->flags & AV_PKT_FLAG_KEY);
      if (packet->flags & AV_PKT_FLAG_KEY) tailStart = serial;
      if (onePerPacket && shown) {
        index.AddPicture(serial, true);
        if (!firstShown) firstShown = av_packet_clone(packet);
      }
      if (keySeen && shown) ++promised;
      av_packet_unref(packet);
    }
    index.FinishPackets();
    if (onePerPacket) {
      index.DropDamagedTail();
      index.Finish();
    }
    return promised;
  }

  // Whether the decoder shows a picture for the first frame of a stream counted from its packets
  // alone: a container may hold pictures of a kind the decoder does not take (animated WebP) or a
  // first picture too damaged to show. The decoder is left as a seek leaves it.
  bool FirstPictureDecodes() {
    bool shown = false;
    if (firstShown && avcodec_send_packet(decoder, firstShown) >= 0 &&
        avcodec_send_packet(decoder, nullptr) >= 0) {
      while (avcodec_receive_frame(decoder, frame) == 0) {
        shown = true;
        av_frame_unref(frame);
      }
    }
    avcodec_flush_buffers(decoder);
    av_packet_free(&firstShown);
    return shown;
  }

  // The count of pictures, on its own thread: decodes every packet once more and adds the
  // pictures the decoder shows to the index. A file that reads differently the second time ends
  // the count where it differs.
  void CountPictures(const std::string& path, const AVCodec* codec) {
    CountingInput in;
    if (in.Open(path, stream, codec, true)) {
      int serial = 0;
      while (!stopCounting &&
             in.NextPacket(stream, index, serial) == CountingInput::Next::kPacket) {
        WaitWhileHeld(serial);
        avcodec_send_packet(in.counter, in.packet);
        CollectPictures(in.counter, in.frame);
        if (serial >= tailStart) {
          avcodec_send_packet(in.plain, in.packet);
          CollectPatched(in.plain, in.frame);
        }
        av_packet_unref(in.packet);
        packetsCounted = ++serial;
      }
      if (!stopCounting) {
        avcodec_send_packet(in.counter, nullptr);
        CollectPictures(in.counter, in.frame);
        avcodec_send_packet(in.plain, nullptr);
        CollectPatched(in.plain, in.frame);
      }
    }
    index.Finish();
    // Reading a patched frame must not hold the program for a decode of the whole file.
    if (!stopCounting && index.AnyPatched()) DecodeFromStart(index.Frames() - 1);
    SetPatchesKept();
  }

  void SetPatchesKept() {
    {
      std::lock_guard<std::mutex> lock(waitMutex);
      patchesKept = true;
    }
    waitOver.notify_all();
  }

  void WaitForPatches() {
    std::unique_lock<std::mutex> lock(waitMutex);
    waitOver.wait(lock, [&] { return patchesKept || stopCounting; });
  }

  void StartCounting(const std::string& path, const AVCodec* codec) {
    counting = std::thread([this, path, codec] { CountPictures(path, codec); });
  }

  void StopCountingWhenDone() {
    if (counting.joinable()) counting.join();
  }

  void StopCounting() {
    {
      std::lock_guard<std::mutex> lock(waitMutex);
      stopCounting = true;
    }
    waitOver.notify_all();
    if (counting.joinable()) counting.join();
  }

  void HoldCountAt(int serial) {
    {
      std::lock_guard<std::mutex> lock(waitMutex);
      holdAt = serial;
    }
    waitOver.notify_all();
  }

  void WaitWhileHeld(int serial) {
    std::unique_lock<std::mutex> lock(waitMutex);
    waitOver.wait(lock, [&] { return stopCounting || holdAt < 0 || serial < holdAt; });
  }

  // Decodes the file from its start on one thread, as a plain decode does, and keeps the pictures
  // of the patched frames near frame `wanted`. Returns the packets decoded, -1 on failure.
  long DecodeFromStart(int wanted) {
    patchedPictures.clear();
    CountingInput in;
    const AVCodec* codec = avcodec_find_decoder(Stream()->codecpar->codec_id);
    if (!codec || !in.Open(path, stream, codec, false)) return -1;
    const int last = std::min(wanted + kPatchedKept, index.Frames() - 1);
    int shown = -1;
    int shownSerial = -1;
    auto keep = [&] {
      while (avcodec_receive_frame(in.plain, in.frame) == 0) {
        const int serial = in.frame->pts != kNoTime ? static_cast<int>(in.frame->pts) : -1;
        shown = serial == shownSerial ? shown + 1 : index.FrameOf(serial);
        shownSerial = serial;
        if (shown >= wanted - kPatchedKept && shown <= last && index.IsPatched(shown))
          patchedPictures.emplace_back(shown, FramePtr(av_frame_clone(in.frame)));
        av_frame_unref(in.frame);
      }
    };
    long packets = 0;
    int serial = 0;
    while (!stopCounting && shown < last) {
      const CountingInput::Next next = in.NextPacket(stream, index, serial);
      if (next == CountingInput::Next::kDiffers) return -1;
      if (next == CountingInput::Next::kEnd) break;
      avcodec_send_packet(in.plain, in.packet);
      av_packet_unref(in.packet);
      packetsPatched = ++serial;
      ++packets;
      keep();
    }
    avcodec_send_packet(in.plain, nullptr);
    keep();
    return packets;
  }

  const AVFrame* PatchedPicture(int frame) const {
    for (const auto& [n, picture] : patchedPictures)
      if (n == frame) return picture.get();
    return nullptr;
  }

  // The converted picture, upright and at the first picture's size.
  bool Show(const AVFrame& f, VideoPicture& picture) {
    if (!shaper.NeedsWork(f.width, f.height)) return converter.Convert(f, picture);
    return converter.Convert(f, unshaped) && shaper.Shape(unshaped, picture);
  }

  bool Reopen() {
    avformat_close_input(&format);
    return avformat_open_input(&format, path.c_str(), nullptr, nullptr) >= 0 &&
           avformat_find_stream_info(format, nullptr) >= 0 &&
           stream < static_cast<int>(format->nb_streams);
  }

  bool Position(const Attempt& a) {
    if (!format && !Reopen()) return false;  // a reopening that failed before
    const PacketEntry& p = index.Packet(index.KeySerial(a.key));
    switch (a.place) {
      case Place::kTimestamp: {
        const bool byPts = (format->iformat->flags & AVFMT_SEEK_TO_PTS) && p.pts != kNoTime;
        const std::int64_t ts = byPts || p.dts == kNoTime ? p.pts : p.dts;
        return ts != kNoTime && av_seek_frame(format, stream, ts, AVSEEK_FLAG_BACKWARD) >= 0;
      }
      case Place::kByte:
        return p.pos >= 0 && !(format->iformat->flags & AVFMT_NO_BYTE_SEEK) &&
               av_seek_frame(format, stream, p.pos, AVSEEK_FLAG_BYTE) >= 0;
      case Place::kFileStart:
        return avformat_seek_file(format, stream, INT64_MIN, INT64_MIN, INT64_MIN, 0) >= 0;
      case Place::kByteZero:
        return av_seek_frame(format, -1, 0, AVSEEK_FLAG_BYTE) >= 0;
      case Place::kReopen:
        return Reopen();
    }
    return false;
  }

  // Ways to start decoding for a frame whose start key is `key`, cheapest first.
  std::vector<Attempt> AttemptsFor(int key) const {
    std::vector<Attempt> attempts;
    attempts.push_back({key, Place::kTimestamp});
    if (key > 0) {
      attempts.push_back({key, Place::kByte});
      attempts.push_back({key - 1, Place::kTimestamp});
    }
    attempts.push_back({0, Place::kFileStart});
    attempts.push_back({0, Place::kByteZero});
    attempts.push_back({0, Place::kReopen});
    return attempts;
  }

  bool Begin(const Attempt& a) {
    ahead.Stop();
    avcodec_flush_buffers(decoder);
    running = Position(a);
    started = false;
    startSerial = index.KeySerial(a.key);
    nextSerial = startSerial;
    unknown = 0;
    lastOut = -1;
    lastSerial = -1;
    drained = false;
    return running;
  }

  enum class Feed { kSent, kEnd, kLost };

  // Whether the packet just read is the run's next one; before the start, skips the packets the
  // seek landed on ahead of it.
  enum class Match { kNext, kSkip, kLost };
  Match Recognise() {
    const PacketEntry& want = index.Packet(nextSerial);
    const std::uint64_t print = PacketPrint(packet->data, static_cast<std::size_t>(packet->size));
    if (started) return print == want.print ? Match::kNext : Match::kLost;
    if (print == want.print && (packet->pos < 0 || want.pos < 0 || packet->pos == want.pos))
      return Match::kNext;
    if (TrimToWanted(want)) return Match::kNext;
    const int serial = index.Identify(print, packet->pos);
    if (serial == VideoIndex::kUnknown)
      return ++unknown > kMaxUnknownPackets ? Match::kLost : Match::kSkip;
    return serial < startSerial ? Match::kSkip : Match::kLost;
  }

  // A seek that lands inside a packet of a stream the demuxer parses (MPEG program streams) has
  // the parser hand the key frame back joined to the tail of the packet before it: the key
  // frame's packet is then the end of the one read, and the rest is cut off.
  bool TrimToWanted(const PacketEntry& want) {
    if (want.size <= 0 || packet->size <= want.size) return false;
    const int cut = packet->size - want.size;
    if (PacketPrint(packet->data + cut, static_cast<std::size_t>(want.size)) != want.print)
      return false;
    packet->data += cut;
    packet->size = want.size;
    return true;
  }

  Feed FeedDecoder() {
    for (;;) {
      if (nextSerial >= index.Packets() || !ReadStreamPacket()) return Feed::kEnd;
      const Match m = Recognise();
      if (m == Match::kSkip) {
        av_packet_unref(packet);
        continue;
      }
      if (m == Match::kLost) {
        av_packet_unref(packet);
        return Feed::kLost;
      }
      if (!started && !palette.empty() &&
          !av_packet_get_side_data(packet, AV_PKT_DATA_PALETTE, nullptr)) {
        if (std::uint8_t* side =
                av_packet_new_side_data(packet, AV_PKT_DATA_PALETTE, palette.size()))
          std::memcpy(side, palette.data(), palette.size());
      }
      started = true;
      packet->pts = packet->dts = nextSerial++;
      // A damaged packet is left out by the decoder; the pictures after it may still decode.
      avcodec_send_packet(decoder, packet);
      av_packet_unref(packet);
      return Feed::kSent;
    }
  }

  // The frame a picture the decoder gave out shows, kUnknown for one no sequential decode shows.
  int FrameOfPicture(const AVFrame* f) const {
    if (f->pts == kNoTime) return VideoIndex::kUnknown;
    const int serial = static_cast<int>(f->pts);
    int frame = serial == lastSerial ? lastOut + 1 : index.FrameOf(serial);
    if (frame < 0 || frame >= index.Frames() || index.SerialOf(frame) != serial)
      return VideoIndex::kUnknown;
    return frame;
  }

  // Decodes on until the decoder shows its next picture, into `into`. Which frame the picture
  // shows is known once it is taken (the count of pictures may not have reached it before).
  Step DecodeNext(AVFrame* into) {
    Step step;
    for (;;) {
      const int ret = avcodec_receive_frame(decoder, into);
      if (ret == 0) {
        step.kind = Step::kPicture;
        step.serial = static_cast<int>(into->pts);
        return step;
      }
      if (ret != AVERROR(EAGAIN) || drained) {
        step.kind = Step::kEnd;
        return step;
      }
      switch (FeedDecoder()) {
        case Feed::kSent:
          ++step.packets;
          break;
        case Feed::kEnd:
          drained = true;
          avcodec_send_packet(decoder, nullptr);
          break;
        case Feed::kLost:
          step.kind = Step::kLost;
          return step;
      }
    }
  }

  // The next step of the run, its picture in `frame`. Reading in order, the following pictures
  // are decoded ahead (until the next seek); otherwise each is decoded when it is wanted.
  Step Take(bool inOrder) {
    if (inOrder && !ahead.Active()) ahead.Start([this](AVFrame* into) { return DecodeNext(into); });
    Step step = ahead.Active() ? ahead.Take(frame) : DecodeNext(frame);
    if (step.kind != Step::kPicture) return step;
    step.frame = FrameOfPicture(frame);
    if (step.frame != VideoIndex::kUnknown) {
      lastOut = step.frame;
      lastSerial = step.serial;
    }
    return step;
  }
};

enum class VideoFile::Run { kFound, kMissing, kLost };

VideoFile::VideoFile() = default;
VideoFile::~VideoFile() = default;

bool VideoFile::IsOpen() const { return s_ != nullptr; }

void VideoFile::Close() {
  lastRead_ = -1;
  s_.reset();
  info_ = {};
  indexTaken_ = false;
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

VideoError VideoFile::Open(const std::string& path, Indexing indexing) {
  Close();
  av_log_set_level(AV_LOG_QUIET);
  auto s = std::make_unique<State>();

  s->path = path;
  int ret = avformat_open_input(&s->format, path.c_str(), nullptr, nullptr);
  if (ret < 0) {
    if (ret == AVERROR_INVALIDDATA) {
      return VideoExtensionKnown(path) ? VideoError::kBadFormat : VideoError::kNoHandler;
    }
    return VideoError::kCannotOpen;
  }
  // The sizes the header declares, before reading the stream makes them what it decodes.
  std::vector<std::pair<int, int>> declared;
  for (unsigned i = 0; i < s->format->nb_streams; ++i)
    declared.emplace_back(s->format->streams[i]->codecpar->width,
                          s->format->streams[i]->codecpar->height);
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

  info_.width = par->width;
  info_.height = par->height;
  if (s->stream < static_cast<int>(declared.size()) &&
      std::int64_t{declared[s->stream].first} * declared[s->stream].second > kMaxPicturePixels)
    std::tie(info_.width, info_.height) = declared[s->stream];
  if (std::int64_t{info_.width} * info_.height > kMaxPicturePixels) return VideoError::kTooLarge;
  const AVCodec* codec = avcodec_find_decoder(par->codec_id);
  if (!codec) return VideoError::kNoDecoder;
  s->decoder = OpenDecoder(codec, st, DecoderUse::kReading);
  if (!s->decoder) return VideoError::kNoDecoder;
  s->packet = av_packet_alloc();
  s->frame = av_frame_alloc();
  if (!s->packet || !s->frame) return VideoError::kCannotOpen;

  const int promised = s->PacketPass();
  if (s->index.Packets() == 0) return VideoError::kBadFormat;
  const bool fromPackets = s->index.Finished();
  if (fromPackets) {
    s->patchesKept = true;  // pictures decoded on their own are never patched
  } else {
    s->holdAt = countHold_;
    s->StartCounting(path, codec);
    if (indexing == Indexing::kWhole) s->StopCountingWhenDone();
  }
  // The first frame must be known, and decode, before anything is shown of the file: a counted
  // one was shown by the count's decoder; one counted from its packet is tried on the decoder.
  if (!s->index.WaitForFrame(0) || (fromPackets && !s->FirstPictureDecodes()))
    return VideoError::kUndecodable;

  // A display matrix turns the pictures; a picture of another size is scaled to the stream's.
  const auto* matrix = reinterpret_cast<const std::int32_t*>(
      av_stream_get_side_data(st, AV_PKT_DATA_DISPLAYMATRIX, nullptr));
  s->shaper.Setup(par->width, par->height, OrientationOf(matrix));
  info_.width = s->shaper.ShownWidth();
  info_.height = s->shaper.ShownHeight();
  info_.bitsPerPixel = par->bits_per_coded_sample > 0 ? par->bits_per_coded_sample : 24;
  AVRational rate = av_guess_frame_rate(s->format, st, nullptr);
  if (rate.num <= 0 || rate.den <= 0) rate = {0, 1};
  info_.rateNumerator = rate.num;
  info_.rateDenominator = rate.den;
  info_.frames = s->index.Finished() ? s->index.Frames() : promised;
  if (s->index.Frames() > 0) {
    const PacketEntry& first = s->index.Packet(s->index.SerialOf(0));
    const std::int64_t t = first.pts != kNoTime ? first.pts : first.dts;
    info_.startSeconds = t != kNoTime ? t * av_q2d(st->time_base) : 0.0;
  }
  info_.headerFrames = st->nb_frames;
  s_ = std::move(s);
  TakeFinishedIndex();
  return VideoError::kNone;
}

double VideoFile::IndexProgress() const {
  if (!s_ || s_->index.Finished()) return 1.0;
  const int packets = s_->index.Packets();
  return packets > 0 ? static_cast<double>(s_->packetsCounted) / packets : 1.0;
}

bool VideoFile::FrameReady(int index) const {
  if (!s_ || index < 0) return true;
  const VideoIndex& x = s_->index;
  // Frames of the last group wait for the count's end, patched ones for their pictures.
  if (!x.Finished()) return index < x.Frames() && x.SerialOf(index) < s_->tailStart;
  return s_->patchesKept || !x.IsPatched(index);
}

bool VideoFile::BackgroundDone() const { return !s_ || (s_->index.Finished() && s_->patchesKept); }

double VideoFile::PatchProgress() const {
  if (!s_ || s_->patchesKept) return 1.0;
  const int packets = s_->index.Packets();
  return packets > 0 ? static_cast<double>(s_->packetsPatched) / packets : 1.0;
}

void VideoFile::HoldCountAt(int serial) {
  countHold_ = serial;
  if (s_) s_->HoldCountAt(serial);
}

bool VideoFile::TakeFinishedIndex() {
  if (!s_ || indexTaken_ || !s_->index.Finished()) return false;
  indexTaken_ = true;
  info_.frames = s_->index.Frames();
  info_.keyFramesFound = s_->index.KeyFramesFound();
  return true;
}

bool VideoFile::IsKeyFrame(int index) const { return s_ && s_->index.IsKeyFrame(index); }

bool VideoFile::IsPatched(int index) const { return s_ && s_->index.IsPatched(index); }

int VideoFile::LongestGroup() const { return s_ ? s_->index.LongestGroup() : 0; }

std::size_t VideoFile::IndexBytes() const { return s_ ? s_->index.Bytes() : 0; }

VideoFile::Run VideoFile::DecodeUntil(int index, VideoPicture& picture) {
  State& s = *s_;
  for (;;) {
    const Step step = s.Take(inOrder_);
    stats_.packetsDecoded += step.packets;
    if (step.kind == Step::kEnd || step.kind == Step::kLost) {
      s.running = false;
      return step.kind == Step::kLost || !s.started ? Run::kLost : Run::kMissing;
    }
    if (step.frame == VideoIndex::kUnknown || step.frame < index) {
      av_frame_unref(s.frame);
      continue;
    }
    if (step.frame > index) {
      av_frame_unref(s.frame);
      return Run::kMissing;
    }
    const bool converted = Convert(picture);
    av_frame_unref(s.frame);
    if (!converted) return Run::kMissing;
    ++stats_.framesConverted;
    return Run::kFound;
  }
}

bool VideoFile::Convert(VideoPicture& picture) {
  try {
    return s_->Show(*s_->frame, picture);
  } catch (const std::bad_alloc&) {
    return false;  // no room for the picture: a frame that cannot be read
  }
}

bool VideoFile::ReadFrame(int index, VideoPicture& picture) {
  if (!s_ || index < 0 || (indexTaken_ && index >= info_.frames)) return false;
  inOrder_ = index == lastRead_ + 1;
  const bool found = ReadExactly(index, picture);
  lastRead_ = found ? index : -1;
  return found;
}

bool VideoFile::ReadExactly(int index, VideoPicture& picture) {
  State& s = *s_;
  if (!s.index.WaitForFrame(index)) return false;
  // Whether the last group holds patched pictures is known once the count has ended.
  if (s.index.SerialOf(index) >= s.tailStart) s.index.WaitUntilFinished();
  if (s.index.IsPatched(index)) return ReadPatched(index, picture);
  const int key = s.index.StartKey(index);
  // Decoding on from where the decoder stands is never more work than seeking when the frame lies
  // ahead and no key frame lies in between.
  if (s.running && s.lastOut >= 0 && index > s.lastOut && s.index.KeyFrame(key) <= s.lastOut + 1) {
    const Run run = DecodeUntil(index, picture);
    if (run == Run::kFound) return true;
  }
  bool missedOnce = false;
  int missedKey = -1;
  for (const Attempt& a : s.AttemptsFor(key)) {
    if (a.key == missedKey) continue;
    ++stats_.seeks;
    if (!s.Begin(a)) continue;
    switch (DecodeUntil(index, picture)) {
      case Run::kFound:
        return true;
      case Run::kMissing:
        // Decoded from a recognised key frame and still not shown: the frame is damaged. One more
        // try from further back, no long search.
        if (missedOnce) return false;
        missedOnce = true;
        missedKey = a.key;
        break;
      case Run::kLost:
        break;
    }
  }
  return false;
}

bool VideoFile::ReadPatched(int index, VideoPicture& picture) {
  State& s = *s_;
  s.WaitForPatches();
  const AVFrame* kept = s.PatchedPicture(index);
  if (!kept) {
    ++stats_.seeks;
    const long packets = s.DecodeFromStart(index);
    if (packets < 0) return false;
    stats_.packetsDecoded += packets;
    kept = s.PatchedPicture(index);
  }
  try {
    if (!kept || !s.Show(*kept, picture)) return false;
  } catch (const std::bad_alloc&) {
    return false;  // no room for the picture: a frame that cannot be read
  }
  ++stats_.framesConverted;
  return true;
}

}  // namespace platform
