#include "objects/tracking.h"

#include <array>
#include <cassert>
#include <cmath>
#include <memory>
#include <new>
#include <unordered_map>
#include <vector>

#include "base/defaults.h"
#include "base/document.h"
#include "base/messages.h"
#include "objects/docaccess.h"
#include "objects/match.h"
#include "objects/parallel.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "sequences/frame.h"
#include "sequences/framesequence.h"

namespace {

// What the matching step keeps of each template between frames. A run's first step restarts
// every object, so the store is emptied when a run begins.
std::unordered_map<const Template*, match::TrackState>& States() {
  static std::unordered_map<const Template*, match::TrackState> states;
  return states;
}

bool IsTracked(const ResObjectSequence& s) {
  return (s.flags & seqflag::kTracked) && !(s.flags & seqflag::kHidden);
}

// Copies the template's pixels into its planes, where the template panel shows them.
void StoreTemplatePixels(SubObjectSequence& t, const match::Image& image, float x, float y) {
  const int ox = static_cast<int>(std::lround(double(x) + t.xOffset)) - (t.width - 1) / 2;
  const int oy = static_cast<int>(std::lround(double(y) + t.yOffset)) - (t.height - 1) / 2;
  if (ox < 0 || oy < 0 || ox + t.width > image.width || oy + t.height > image.height) return;
  std::uint8_t* planes[3] = {image.count == 1 ? t.GreyPlane() : t.RedPlane(),
                             image.count == 1 ? nullptr : t.GreenPlane(),
                             image.count == 1 ? nullptr : t.BluePlane()};
  for (int k = 0; k < image.count; ++k) {
    if (!planes[k]) continue;
    for (int row = 0; row < t.height; ++row)
      std::copy_n(image.planes[k] + static_cast<std::size_t>(oy + row) * image.width + ox, t.width,
                  planes[k] + static_cast<std::size_t>(row) * t.width);
  }
}

// One object's matching step of a frame pair: what it is given, and what it found.
struct Job {
  SubObjectSequence* seq = nullptr;
  match::Request request;
  match::TrackState* state = nullptr;
  bool renewed = false;  // the template is taken from this frame
  int frameNext = 0;
  match::Outcome outcome;
};

// Sets up the job; 0 or the message id when the call itself is wrong.
int Prepare(Job& job, SubObjectSequence& seq, int algorithm, int frameN, const std::uint8_t* bufN,
            int frameNext, const std::uint8_t* bufNext, int restart, int width, int height,
            int planes) {
  const ObjectBase* p = PointWithValue(&seq, frameN);
  if (!p || !bufN || !bufNext || width <= 0 || height <= 0) return match::kGeneralError;
  match::Request& r = job.request;
  switch (algorithm) {
    case algorithm::kSSD:
      r.method = match::Method::kSSD;
      break;
    case algorithm::kCrossCorrelation:
      r.method = match::Method::kCross;
      break;
    case algorithm::kTextureTracking:
      r.method = match::Method::kTexture;
      break;
    default:
      return match::kGeneralError;
  }
  const std::size_t plane = static_cast<std::size_t>(width) * height;
  r.thisFrame.count = r.nextFrame.count = planes;
  r.thisFrame.width = r.nextFrame.width = width;
  r.thisFrame.height = r.nextFrame.height = height;
  for (int k = 0; k < planes; ++k) {
    r.thisFrame.planes[k] = bufN + k * plane;
    r.nextFrame.planes[k] = bufNext + k * plane;
  }
  r.x = p->x;
  r.y = p->y;
  const int step = frameNext - frameN;
  if (const ObjectBase* before = PointWithValue(&seq, frameN - step); before && !restart) {
    r.hasVelocity = true;
    r.vx = p->x - before->x;
    r.vy = p->y - before->y;
  }
  r.geometry = {seq.width, seq.height, seq.shape, seq.xOffset, seq.yOffset};
  r.horizontalLimit = seq.HorizontalLimit();
  r.verticalLimit = seq.VerticalLimit();
  r.restart = restart != 0;
  const TrackingOptions& o = objdoc::Defaults().tracking;
  r.settings = {o.thresholdSSD, o.thresholdCross, o.adaptTemplate, o.breakOnBadMatch};
  job.seq = &seq;
  job.state = &States()[&seq];
  job.renewed = r.restart || !job.state->valid;
  job.frameNext = frameNext;
  return 0;
}

void Run(Job& job) { job.outcome = match::MatchStep(job.request, *job.state); }

// Stores what the step found; 0 or the message id.
int Apply(const Job& job) {
  const match::Outcome& out = job.outcome;
  if (out.message) return out.message;
  SubObjectSequence& seq = *job.seq;
  if (job.renewed) StoreTemplatePixels(seq, job.request.thisFrame, job.request.x, job.request.y);
  seq.AddPoint(job.frameNext, out.x, out.y, 0);
  if (job.state->adapted && !out.badMatch)
    StoreTemplatePixels(seq, job.request.nextFrame, out.x, out.y);
  return 0;
}

int Match(SubObjectSequence& seq, int algorithm, int frameN, const std::uint8_t* bufN,
          int frameNext, const std::uint8_t* bufNext, int restart, int width, int height,
          int planes) {
  Job job;
  if (int m = Prepare(job, seq, algorithm, frameN, bufN, frameNext, bufNext, restart, width, height,
                      planes))
    return m;
  Run(job);
  return Apply(job);
}

// Runs every job that was set up; the jobs share only the frames, which they read.
void RunAll(std::vector<Job>& jobs) {
  ParallelFor(jobs.size(), [&](std::size_t i) {
    if (!jobs[i].outcome.message) Run(jobs[i]);
  });
}

// Reads a frame through the sequence into the displayed frame and copies it into buffer as
// planes; the image's bit depth, or 0 when the frame cannot be read.
int LoadFrame(FrameSequence& video, Frame& shown, int number, std::uint8_t* buffer) {
  const CDIB* dib = video.ReadFrame(number, false);
  if (!dib) return 0;
  if (shown.Image().IsEmpty() || shown.Image().Width() != dib->Width() ||
      shown.Image().BitCount() != dib->BitCount())
    shown.SetupImage();
  if (!shown.PrepareImage(dib)) return 0;
  const int bits = shown.Image().BitCount();
  assert((bits == 8 || bits == 24) && "BitCount == 8 || BitCount == 24");
  shown.CopyToPlanes(buffer);
  return bits;
}

void ToGrey(std::uint8_t* buffer, std::size_t pixels) {
  // The products of each channel, looked up: the same sums as computed one by one, without
  // converting every byte to a double.
  static const auto weighted = [] {
    std::array<std::array<double, 256>, 3> w{};
    for (int v = 0; v < 256; ++v) w[0][v] = 0.3 * v, w[1][v] = 0.59 * v, w[2][v] = 0.11 * v;
    return w;
  }();
  const std::uint8_t* r = buffer;
  const std::uint8_t* g = buffer + pixels;
  const std::uint8_t* b = buffer + 2 * pixels;
  // In blocks side by side: each writes only its own part of the first plane, and reads the
  // other planes and its own part of the first before writing it.
  constexpr std::size_t kBlock = 1 << 16;
  ParallelFor((pixels + kBlock - 1) / kBlock, [&](std::size_t block) {
    const std::size_t end = std::min(pixels, (block + 1) * kBlock);
    for (std::size_t i = block * kBlock; i < end; ++i)
      buffer[i] = static_cast<std::uint8_t>(weighted[0][r[i]] + weighted[1][g[i]] +
                                            weighted[2][b[i]] + 0.4);
  });
}

// One image sequence's pair of work buffers during a run. The next frame of one step is this
// frame of the following one: it is read and converted once.
struct WorkFrames {
  std::unique_ptr<std::uint8_t[]> thisFrame, nextFrame;
  int nextNumber = 0;  // the frame nextFrame holds, 0 none
  int nextBits = 0;    // its depth, after the grey conversion
};

// Reads a frame into buffer, in grey when asked; its depth, 0 when it cannot be read.
int LoadWork(FrameSequence& video, Frame& shown, int number, std::uint8_t* buffer, bool grey) {
  const int bits = LoadFrame(video, shown, number, buffer);
  if (bits != 24 || !grey) return bits;
  ToGrey(buffer, static_cast<std::size_t>(video.Width()) * video.Height());
  return 8;
}

}  // namespace

int MatchObjectGrey(SubObjectSequence& sequence, int algorithm, int frameN,
                    const std::uint8_t* bufN, int frameNext, const std::uint8_t* bufNext,
                    int restart, int width, int height) {
  return Match(sequence, algorithm, frameN, bufN, frameNext, bufNext, restart, width, height, 1);
}

int MatchObjectColour(SubObjectSequence& sequence, int algorithm, int frameN,
                      const std::uint8_t* bufN, int frameNext, const std::uint8_t* bufNext,
                      int restart, int width, int height) {
  return Match(sequence, algorithm, frameN, bufN, frameNext, bufNext, restart, width, height, 3);
}

bool CeTracking(const Document& doc) {
  const ResObjectSequences* all = doc.ObjectSequences();
  if (!all) return false;
  const int frame = doc.CurrentFrame();
  for (SequenceIterator it(*all, seqmask::kOrdinary); ResObjectSequence* s = it.Current();
       it.Next()) {
    if (!IsTracked(*s)) continue;
    for (int i = 0; i < doc.SequenceCount(); ++i) {
      const auto& subs = doc.Sequence(i)->subObjectSequences;
      if (subs && PointWithValue(subs->Find(s->number), frame)) return true;
    }
  }
  return false;
}

int CmTracking(Document& doc, int command, TrackingHost& host) {
  ResObjectSequences* all = doc.ObjectSequences();
  const int current = doc.CurrentFrame();
  const int last = doc.MinFrameCount();
  if (!all || doc.SequenceCount() == 0 || last < 1) return current;
  int step = 1, end = last;
  switch (command) {
    case track::kToEnd:
      break;
    case track::kToBegin:
      step = -1;
      end = 1;
      break;
    case track::kBack:
      // Single steps stop at the first and the last frame instead of reading beyond them.
      step = -1;
      end = std::max(1, current - 1);
      break;
    case track::kNext:
      end = std::min(last, current + 1);
      break;
    default:
      return current;
  }
  const bool longRun = command == track::kToEnd || command == track::kToBegin;
  const TrackingOptions& options = objdoc::Defaults().tracking;

  std::vector<WorkFrames> work(doc.SequenceCount());
  for (int i = 0; i < doc.SequenceCount(); ++i) {
    const std::size_t size = static_cast<std::size_t>(doc.Sequence(i)->Width()) *
                             static_cast<std::size_t>(doc.Sequence(i)->Height()) * 3;
    work[i].thisFrame.reset(new (std::nothrow) std::uint8_t[size]);
    work[i].nextFrame.reset(new (std::nothrow) std::uint8_t[size]);
    if (!work[i].thisFrame || !work[i].nextFrame) {
      ErrorMessage(track::kErrorCaption, match::kGeneralError);
      return current;
    }
  }
  States().clear();
  if (longRun) host.BeginLongRun();

  // Frames of sequences that have no view are prepared here.
  std::vector<std::unique_ptr<Frame>> ownFrames(doc.SequenceCount());
  SequenceIterator it(*all, seqmask::kOrdinary);
  std::vector<Job> jobs;
  std::vector<const ResObjectSequence*> owners;
  bool firstStep = true, stop = false, aborted = false;
  int failedFrom = 0;  // the frame the failed step started from
  int n = current;
  while (!(step > 0 ? n >= end : n <= end) && !stop) {
    bool unreadable = false;
    for (int i = 0; i < doc.SequenceCount() && !unreadable; ++i) {
      FrameSequence& video = *doc.Sequence(i);
      Frame* shown = host.DisplayFrame(video);
      if (!shown) {
        if (!ownFrames[i]) ownFrames[i] = std::make_unique<Frame>(&video);
        shown = ownFrames[i].get();
      }
      WorkFrames& w = work[i];
      int bits = 0;
      if (w.nextNumber == n) {
        std::swap(w.thisFrame, w.nextFrame);
        bits = w.nextBits;
      } else {
        bits = LoadWork(video, *shown, n, w.thisFrame.get(), options.alwaysTrackGrayscale);
      }
      const int bitsNext =
          bits ? LoadWork(video, *shown, n + step, w.nextFrame.get(), options.alwaysTrackGrayscale)
               : 0;
      w.nextNumber = bitsNext ? n + step : 0;
      w.nextBits = bitsNext;
      if (!bits || !bitsNext) {
        ErrorMessage(track::kErrorCaption, track::kFrameUnreadable, bits ? n + step : n,
                     video.GetFileName().c_str());
        unreadable = true;
        break;
      }
      if (!video.subObjectSequences) continue;
      const int width = video.Width(), height = video.Height();
      const int planes = bits == 24 ? 3 : 1;
      jobs.clear();
      owners.clear();
      for (ResObjectSequence* s = it.Restart(); s; s = it.Next()) {
        if (!IsTracked(*s)) continue;
        SubObjectSequence* sub = video.subObjectSequences->Find(s->number);
        if (!sub || !PointWithValue(sub, n)) continue;
        if (longRun) aborted = host.PollAbort();
        if (s->algorithm == static_cast<std::uint32_t>(algorithm::kManual)) continue;
        const int before = n - step;
        const int restart =
            firstStep || (before >= 1 && before <= last && !PointWithValue(sub, before)) ? 1 : 0;
        Job& job = jobs.emplace_back();
        owners.push_back(s);
        job.outcome.message = Prepare(job, *sub, s->algorithm, n, w.thisFrame.get(), n + step,
                                      w.nextFrame.get(), restart, width, height, planes);
      }
      // The objects are matched side by side; what they found is stored, and reported, in
      // their order.
      RunAll(jobs);
      for (std::size_t j = 0; j < jobs.size(); ++j) {
        const Job& job = jobs[j];
        if (const int result = Apply(job)) {
          ErrorMessage(track::kErrorCaption, result, owners[j]->name);
          stop = true;
          failedFrom = n;
        } else if (options.autoSingleStep && &video == doc.GetActiveFrameSequence()) {
          if (const ObjectBase* p = PointWithValue(job.seq, n + step))
            host.MoveCursorTo(video, p->x, p->y);
        }
      }
    }
    if (unreadable) {
      // The frame pair could not be read: nothing of it is matched.
      stop = true;
      failedFrom = n;
      break;
    }
    doc.RecalcObjectSequences(n + step);
    doc.EvGoToFrame(n + step);
    doc.InvalidateViews();
    if (aborted) break;
    firstStep = false;
    n += step;
  }
  if (longRun) host.EndLongRun();
  if (stop) doc.EvGoToFrame(failedFrom);
  doc.UpdateViews();
  return doc.CurrentFrame();
}
