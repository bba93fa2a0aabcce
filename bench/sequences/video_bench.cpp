// Video reading: sequential ReadFrame of a video sequence into its working bitmap against a bare
// FFmpeg loop doing the same decoding and conversion to BGR24 (bilinear, with the frame's matrix
// and range), for motion JPEG, H.264, HEVC and ProRes, each checked picture for picture against the
// bare loop's; random access against the length of a key-frame group, each picture checked (also
// for QuickTime Animation and APNG, whose decoders call every picture a key frame);
// memory while reading against the index; and all three on a long clip (3000 frames), whose random
// reads are checked against its sequential reading. Clips are generated with the ffmpeg command.
// Peak memory (VmHWM) is the whole process's: run BM_LongClip alone
// (--benchmark_filter=BM_LongClip) for the figure of that clip.
// BM_OpenRecording: the time a long recording (30 000 frames of 1080p H.264) takes to show its
// first frame against reading its packets alone; the clip takes minutes to make and is kept in
// the temporary folder (zorvat_video_bench_cache) for later runs.
// BM_CutTail: a 1080p H.264 transport stream cut inside its last packets: how long after opening
// the frames the decoder patched are ready (decoded from the start beside the reading, after the
// count) and what reading one then costs, against reading any other frame at random.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include "sequences/avisequence.h"

namespace {

struct ClipSpec {
  const char* name;
  const char* size;
  const char* options;
  const char* extension = ".avi";
};

const ClipSpec kClips[] = {
    {"mjpeg_640x480", "640x480", "-c:v mjpeg -q:v 3"},
    {"h264_640x480", "640x480", "-c:v libx264 -preset veryfast -bf 2 -g 30"},
    {"mjpeg_1920x1080", "1920x1080", "-c:v mjpeg -q:v 3"},
    {"h264_1920x1080", "1920x1080", "-c:v libx264 -preset veryfast -bf 2 -g 30"},
    {"h264_640x480_long", "640x480", "-c:v libx264 -preset veryfast -bf 3 -g 50"},
    {"hevc_1920x1080", "1920x1080",
     "-c:v libx265 -preset veryfast -x265-params log-level=none:keyint=30:bframes=2", ".mkv"},
    {"prores_1920x1080", "1920x1080", "-c:v prores_ks -profile:v 2", ".mov"},
    // Their decoders call every picture a key frame; the packets name every 10th, or the first.
    {"qtrle_640x480", "640x480", "-c:v qtrle -g 10", ".mov"},
    {"apng_640x480", "640x480", "-plays 0 -f apng", ".apng"},
};
constexpr int kFrames = 120;
constexpr int kLongClip = 4;
constexpr int kHevcClip = 5;
constexpr int kProresClip = 6;
constexpr int kQtrleClip = 7;
constexpr int kApngClip = 8;
constexpr int kLongFrames = 3000;
constexpr int kLongRandomReads = 200;

// The folder of this run's clips, made on first use; it goes when the program ends.
const std::filesystem::path& ScratchFolder() {
  struct Folder {
    std::filesystem::path path = std::filesystem::temp_directory_path() /
                                 ("zorvat_video_bench_" + std::to_string(::getpid()));
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

std::string ClipPath(int i) {
  const int frames = i == kLongClip ? kLongFrames : kFrames;
  static std::map<int, std::string> made;
  auto it = made.find(i);
  if (it != made.end()) return it->second;
  const std::filesystem::path& dir = ScratchFolder();
  const std::string path = (dir / (std::string(kClips[i].name) + kClips[i].extension)).string();
  const std::string cmd =
      std::string("ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc2=size=") +
      kClips[i].size + ":rate=25 -frames:v " + std::to_string(frames) + " " + kClips[i].options +
      " '" + path + "'";
  made[i] = std::system(cmd.c_str()) == 0 ? path : std::string();
  return made[i];
}

// A sample of every 61st byte of each row, top row first: enough to tell the test picture's frames
// apart, cheap enough to leave inside the timing.
std::uint64_t HashRows(const std::uint8_t* top, std::ptrdiff_t stride, int rowBytes, int height) {
  std::uint64_t h = 1469598103934665603ull;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < rowBytes; x += 61) h = (h ^ top[y * stride + x]) * 1099511628211ull;
  return h;
}

std::uint64_t HashDib(const CDIB& dib) {
  const int rowBytes = dib.RowBytes();
  return HashRows(dib.Bits() + static_cast<std::ptrdiff_t>(rowBytes) * (dib.Height() - 1),
                  -rowBytes, dib.Width() * 3, dib.Height());
}

// The frame's colour matrix and range, as FFmpeg's scale filter takes them.
void UseFramesColour(SwsContext* sws, const AVFrame* frame) {
  if (av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format))->flags & AV_PIX_FMT_FLAG_RGB)
    return;
  const bool full = frame->color_range == AVCOL_RANGE_JPEG ||
                    frame->format == AV_PIX_FMT_YUVJ420P || frame->format == AV_PIX_FMT_YUVJ422P ||
                    frame->format == AV_PIX_FMT_YUVJ444P;
  sws_setColorspaceDetails(sws, sws_getCoefficients(frame->colorspace), full ? 1 : 0,
                           sws_getCoefficients(SWS_CS_DEFAULT), 1, 0, 1 << 16, 1 << 16);
}

// Decodes the whole clip with FFmpeg alone, converting every frame to BGR24 bilinear with its own
// matrix and range; returns each picture's hash.
std::vector<std::uint64_t> BareDecode(const std::string& path) {
  std::vector<std::uint64_t> hashes;
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return hashes;
  avformat_find_stream_info(fmt, nullptr);
  int stream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  const AVCodec* codec = avcodec_find_decoder(fmt->streams[stream]->codecpar->codec_id);
  AVCodecContext* dec = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(dec, fmt->streams[stream]->codecpar);
  dec->thread_count = 0;
  dec->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
  avcodec_open2(dec, codec, nullptr);
  AVPacket* pkt = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  SwsContext* sws = nullptr;
  std::vector<std::uint8_t> out;
  auto drain = [&] {
    while (avcodec_receive_frame(dec, frame) == 0) {
      const int stride = ((frame->width * 24 + 31) / 32) * 4;
      out.resize(static_cast<std::size_t>(stride) * frame->height);
      SwsContext* before = sws;
      sws = sws_getCachedContext(
          sws, frame->width, frame->height, static_cast<AVPixelFormat>(frame->format), frame->width,
          frame->height, AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
      if (sws != before) UseFramesColour(sws, frame);
      std::uint8_t* dst[4] = {out.data()};
      int dstStride[4] = {stride};
      sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
      hashes.push_back(HashRows(out.data(), stride, frame->width * 3, frame->height));
    }
  };
  while (av_read_frame(fmt, pkt) >= 0) {
    if (pkt->stream_index == stream) {
      avcodec_send_packet(dec, pkt);
      drain();
    }
    av_packet_unref(pkt);
  }
  avcodec_send_packet(dec, nullptr);
  drain();
  sws_freeContext(sws);
  av_frame_free(&frame);
  av_packet_free(&pkt);
  avcodec_free_context(&dec);
  avformat_close_input(&fmt);
  return hashes;
}

// A field of /proc/self/status in KiB: "VmRSS:" now, "VmHWM:" the peak.
long StatusKiB(const std::string& field) {
  std::ifstream status("/proc/self/status");
  std::string key;
  long value = 0;
  while (status >> key) {
    if (key == field) {
      status >> value;
      return value;
    }
    status.ignore(1 << 12, '\n');
  }
  return 0;
}

long ResidentKiB() { return StatusKiB("VmRSS:"); }

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Side by side: runs of passes of sequential ReadFrame and of the bare loop over the same clip,
// the two taking turns at going first. Reading in the program goes on for many frames (playing,
// tracking), so a run first reads for kWarmUpSeconds and only the passes after that count
// (`ratio`). Threads that slept a while are placed and preempted as light ones by the kernel
// until they have run a few hundred milliseconds: the reader's decoding threads, made once, sleep
// through the other run, while the bare loop makes new ones for every pass. A run's first pass,
// reading resumed after such a pause, is reported on its own (`ratio_after_idle`). The best pass
// of each counts, since on a shared machine a pass is only ever slowed by the others.
void BM_SequentialVsBare(benchmark::State& state) {
  const std::string path = ClipPath(static_cast<int>(state.range(0)));
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  const auto opening = std::chrono::steady_clock::now();
  AviFrameSequence seq(path, nullptr);
  if (!seq.Open() || seq.Frames() != kFrames) return state.SkipWithError("open failed");
  state.counters["open_s"] = Seconds(opening);
  std::vector<std::uint64_t> hashes(kFrames);
  auto readAll = [&] {
    // Reading always starts from frame 1: the sequence holds 1 after opening.
    for (int n = 2; n <= kFrames; ++n) hashes[n - 1] = HashDib(*seq.ReadFrame(n));
    hashes[0] = HashDib(*seq.ReadFrame(1));
  };
  // One untimed pass of each first, where the pictures are compared.
  readAll();
  if (BareDecode(path) != hashes)
    return state.SkipWithError("a picture differs from the bare loop's");
  constexpr double kWarmUpSeconds = 0.5;
  constexpr int kCountedPasses = 4;
  struct Best {
    double afterIdle = 1e9;
    double sustained = 1e9;
  } ours, bare;
  bool oursFirst = true;
  for (auto _ : state) {
    for (int k = 0; k < 2; ++k) {
      const bool reader = (k == 0) == oursFirst;
      Best& best = reader ? ours : bare;
      const auto runStart = std::chrono::steady_clock::now();
      for (int pass = 0, counted = 0; counted < kCountedPasses; ++pass) {
        const bool warm = Seconds(runStart) >= kWarmUpSeconds;
        const auto t0 = std::chrono::steady_clock::now();
        if (reader) {
          readAll();
        } else if (BareDecode(path).size() != kFrames) {
          return state.SkipWithError("bare decode lost frames");
        }
        const double seconds = Seconds(t0);
        if (pass == 0) best.afterIdle = std::min(best.afterIdle, seconds);
        if (warm) {
          best.sustained = std::min(best.sustained, seconds);
          ++counted;
        }
      }
    }
    oursFirst = !oursFirst;
  }
  state.counters["bare_fps"] = kFrames / bare.sustained;
  state.counters["readframe_fps"] = kFrames / ours.sustained;
  state.counters["ratio"] = bare.sustained / ours.sustained;
  state.counters["ratio_after_idle"] = bare.afterIdle / ours.afterIdle;
  state.SetLabel(kClips[state.range(0)].name);
}

// Random frames: decoding work per read against the longest key-frame group; every picture read
// is checked against the bare loop's.
void BM_RandomAccess(benchmark::State& state) {
  const std::string path = ClipPath(static_cast<int>(state.range(0)));
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  AviFrameSequence seq(path, nullptr);
  if (!seq.Open()) return state.SkipWithError("open failed");
  const std::vector<std::uint64_t> reference = BareDecode(path);
  if (static_cast<int>(reference.size()) != seq.Frames())
    return state.SkipWithError("the frame count differs from the bare loop's");
  std::mt19937 random(1);
  std::uniform_int_distribution<int> pick(1, seq.Frames());
  long worst = 0, total = 0, reads = 0;
  for (auto _ : state) {
    const int n = pick(random);
    const long before = seq.Video().Stats().packetsDecoded;
    const CDIB* bits = seq.ReadFrame(n, true);
    if (!bits || HashDib(*bits) != reference[n - 1])
      return state.SkipWithError("a random read differs from the bare loop's picture");
    const long used = seq.Video().Stats().packetsDecoded - before;
    worst = std::max(worst, used);
    total += used;
    ++reads;
  }
  const int group = seq.Video().LongestGroup();
  state.counters["longest_group"] = group;
  state.counters["worst_packets_per_read"] = static_cast<double>(worst);
  state.counters["mean_packets_per_read"] = static_cast<double>(total) / reads;
  // Decoding may run a few packets past the frame while the decoder's pipeline fills.
  if (worst > group + 16) state.SkipWithError("random access decoded more than one group");
  state.SetLabel(kClips[state.range(0)].name);
}

// Memory: resident size after reading the clip once against after reading it five times more,
// and the index per frame.
void BM_MemoryWhileReading(benchmark::State& state) {
  const std::string path = ClipPath(static_cast<int>(state.range(0)));
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  long growth = 0;
  double indexPerFrame = 0;
  for (auto _ : state) {
    AviFrameSequence seq(path, nullptr);
    if (!seq.Open()) return state.SkipWithError("open failed");
    for (int n = 1; n <= seq.Frames(); ++n) seq.ReadFrame(n);
    const long after1 = ResidentKiB();
    for (int pass = 0; pass < 5; ++pass)
      for (int n = 1; n <= seq.Frames(); ++n) seq.ReadFrame(n);
    growth = ResidentKiB() - after1;
    indexPerFrame = static_cast<double>(seq.Video().IndexBytes()) / seq.Frames();
  }
  state.counters["rss_growth_kib"] = static_cast<double>(growth);
  state.counters["index_bytes_per_frame"] = indexPerFrame;
  if (growth > 4096) state.SkipWithError("memory grew while reading");
  state.SetLabel(kClips[state.range(0)].name);
}

// The long clip: open time, sequential reading against bare decoding, random reads (each checked
// against the sequential picture) with their worst decoding work and time, and the peak memory.
void BM_LongClip(benchmark::State& state) {
  const std::string path = ClipPath(kLongClip);
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the clip");
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    AviFrameSequence seq(path, nullptr);
    if (!seq.Open() || seq.Frames() != kLongFrames)
      return state.SkipWithError("open failed or wrong frame count");
    const double open = Seconds(t0);
    // Best of two passes each, alternating, so that neither profits from the other's warm-up.
    std::vector<std::uint64_t> hashes(kLongFrames + 1);
    double ours = 1e9, bare = 1e9;
    for (int pass = 0; pass < 2; ++pass) {
      t0 = std::chrono::steady_clock::now();
      for (int n = 1; n <= kLongFrames; ++n) hashes[n] = HashDib(*seq.ReadFrame(n, true));
      ours = std::min(ours, Seconds(t0));
      t0 = std::chrono::steady_clock::now();
      if (BareDecode(path).size() != kLongFrames)
        return state.SkipWithError("bare decode lost frames");
      bare = std::min(bare, Seconds(t0));
    }
    std::mt19937 random(3);
    std::uniform_int_distribution<int> pick(1, kLongFrames);
    long worstPackets = 0;
    double worstSeconds = 0;
    for (int k = 0; k < kLongRandomReads; ++k) {
      const int n = pick(random);
      const long before = seq.Video().Stats().packetsDecoded;
      t0 = std::chrono::steady_clock::now();
      const CDIB* bits = seq.ReadFrame(n, true);
      worstSeconds = std::max(worstSeconds, Seconds(t0));
      worstPackets = std::max(worstPackets, seq.Video().Stats().packetsDecoded - before);
      if (HashDib(*bits) != hashes[n]) return state.SkipWithError("a random read differs");
    }
    state.counters["open_s"] = open;
    state.counters["ratio"] = bare / ours;
    state.counters["longest_group"] = seq.Video().LongestGroup();
    state.counters["worst_packets_per_read"] = static_cast<double>(worstPackets);
    state.counters["worst_read_ms"] = worstSeconds * 1000.0;
    state.counters["peak_rss_mib"] = StatusKiB("VmHWM:") / 1024.0;
  }
  state.SetLabel(kClips[kLongClip].name);
}

// The long recording, made once and kept.
constexpr int kRecordingFrames = 30000;

std::string RecordingPath() {
  const auto dir = std::filesystem::temp_directory_path() / "zorvat_video_bench_cache";
  std::filesystem::create_directories(dir);
  const auto path = dir / ("long_h264_1920x1080_" + std::to_string(kRecordingFrames) + ".mp4");
  if (std::filesystem::exists(path)) return path.string();
  const auto part = dir / "recording.part.mp4";
  const std::string cmd =
      "ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v " +
      std::to_string(kRecordingFrames) + " -c:v libx264 -preset veryfast -bf 2 -g 50 '" +
      part.string() + "'";
  if (std::system(cmd.c_str()) != 0) return {};
  std::filesystem::rename(part, path);
  return path.string();
}

// Reads every packet of the file's video stream, decoding nothing; returns their number.
int ReadPackets(const std::string& path) {
  AVFormatContext* fmt = nullptr;
  if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(fmt, nullptr);
  const int stream = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
  AVPacket* pkt = av_packet_alloc();
  int packets = 0;
  while (av_read_frame(fmt, pkt) >= 0) {
    if (pkt->stream_index == stream) ++packets;
    av_packet_unref(pkt);
  }
  av_packet_free(&pkt);
  avformat_close_input(&fmt);
  return packets;
}

// Opening the long recording: the time until its first frame is in the working bitmap, against
// reading its packets alone (best of each over the iterations); then the frame count running
// beside, until it ends with every frame, and the last frame read while it runs. The first and
// the last frame must read the same once the count has ended.
void BM_OpenRecording(benchmark::State& state) {
  const std::string path = RecordingPath();
  if (path.empty()) return state.SkipWithError("ffmpeg could not make the recording");
  double packets = 1e9, open = 1e9, counted = 0, lastRead = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (ReadPackets(path) != kRecordingFrames) return state.SkipWithError("packets missing");
    packets = std::min(packets, Seconds(t0));
    t0 = std::chrono::steady_clock::now();
    AviFrameSequence seq(path, nullptr);
    if (!seq.Open()) return state.SkipWithError("open failed");
    open = std::min(open, Seconds(t0));
    const std::uint64_t first = HashDib(seq.FrameBitmap());
    if (seq.Frames() != kRecordingFrames) return state.SkipWithError("promised count wrong");
    // The last frame, read at once, waits for the count to reach it.
    const auto t1 = std::chrono::steady_clock::now();
    if (!seq.ReadFrame(kRecordingFrames, true)) return state.SkipWithError("last frame unread");
    lastRead = Seconds(t1);
    const std::uint64_t last = HashDib(seq.FrameBitmap());
    while (!seq.FramesCounted()) {
      seq.PollFrameCount();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    counted = Seconds(t0);
    if (seq.Frames() != kRecordingFrames) return state.SkipWithError("counted wrong");
    if (HashDib(*seq.ReadFrame(1, true)) != first ||
        HashDib(*seq.ReadFrame(kRecordingFrames, true)) != last)
      return state.SkipWithError("a frame read while counting differs");
  }
  state.counters["packets_s"] = packets;
  state.counters["open_s"] = open;
  state.counters["open_to_packets"] = open / packets;
  state.counters["last_frame_read_s"] = lastRead;
  state.counters["count_done_s"] = counted;
  if (open > 3 * packets) state.SkipWithError("opening took more than 3x reading the packets");
  state.SetLabel("h264_1920x1080_30000");
}

// A transport stream cut short: its patched frames are decoded from the start beside the reading,
// after the count, and reading one then decodes nothing; the same frame read again after other
// reads, and by a second reader that reads the frames before it first, must be the same picture.
constexpr int kCutFrames = 1000;

void BM_CutTail(benchmark::State& state) {
  const std::string path = (ScratchFolder() / "cut.ts").string();
  const std::string cmd =
      "ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc2=size=1920x1080:rate=25 -frames:v " +
      std::to_string(kCutFrames) + " -c:v libx264 -preset veryfast -bf 2 -g 50 -f mpegts '" +
      path + "' && truncate -s -20000 '" + path + "'";
  if (std::system(cmd.c_str()) != 0) return state.SkipWithError("ffmpeg could not make the clip");
  double counted = 0, ready = 0, patchedRead = 0, otherRead = 0;
  long patchedPackets = 0, otherPackets = 0;
  int patched = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    AviFrameSequence seq(path, nullptr);
    if (!seq.Open()) return state.SkipWithError("open failed");
    while (!seq.Video().BackgroundDone()) {
      seq.PollFrameCount();
      if (seq.FramesCounted() && counted == 0) counted = Seconds(t0);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ready = Seconds(t0);
    if (counted == 0) counted = ready;
    seq.PollFrameCount();
    const platform::VideoFile& video = seq.Video();
    const int frames = seq.Frames();
    patched = 0;
    for (int n = 0; n < frames; ++n) patched += video.IsPatched(n);
    if (!video.IsPatched(frames - 1)) return state.SkipWithError("no patched frame at the end");
    t0 = std::chrono::steady_clock::now();
    long before = video.Stats().packetsDecoded;
    if (!seq.ReadFrame(frames, true)) return state.SkipWithError("last frame unread");
    patchedRead = Seconds(t0);
    patchedPackets = video.Stats().packetsDecoded - before;
    if (patchedPackets > 0) return state.SkipWithError("the patched frame was decoded on reading");
    const std::uint64_t last = HashDib(seq.FrameBitmap());
    std::mt19937 random(3);
    std::uniform_int_distribution<int> pick(1, frames - patched);
    t0 = std::chrono::steady_clock::now();
    before = video.Stats().packetsDecoded;
    for (int k = 0; k < 20; ++k) seq.ReadFrame(pick(random), true);
    otherRead = Seconds(t0) / 20;
    otherPackets = (video.Stats().packetsDecoded - before) / 20;
    if (HashDib(*seq.ReadFrame(frames, true)) != last)
      return state.SkipWithError("the patched frame read again differs");
    AviFrameSequence second(path, nullptr);
    if (!second.Open()) return state.SkipWithError("second open failed");
    for (int n = frames - 60; n <= frames; ++n) second.ReadFrame(n, true);
    if (HashDib(second.FrameBitmap()) != last)
      return state.SkipWithError("the patched frame read in order differs");
  }
  state.counters["patched_frames"] = patched;
  state.counters["count_done_s"] = counted;
  state.counters["patched_ready_s"] = ready;
  state.counters["patched_read_s"] = patchedRead;
  state.counters["patched_read_packets"] = static_cast<double>(patchedPackets);
  state.counters["other_read_s"] = otherRead;
  state.counters["other_read_packets"] = static_cast<double>(otherPackets);
  state.SetLabel("h264_1920x1080_ts_cut");
}

BENCHMARK(BM_SequentialVsBare)
    ->DenseRange(0, 3)
    ->Arg(kHevcClip)
    ->Arg(kProresClip)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4);
BENCHMARK(BM_RandomAccess)
    ->DenseRange(0, 3)
    ->Arg(kQtrleClip)
    ->Arg(kApngClip)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);
BENCHMARK(BM_MemoryWhileReading)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_LongClip)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_OpenRecording)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CutTail)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
