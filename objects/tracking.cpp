#include "objects/tracking.h"

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

int Match(SubObjectSequence& seq, int algorithm, int frameN, const std::uint8_t* bufN,
          int frameNext, const std::uint8_t* bufNext, int restart, int width, int height,
          int planes) {
  const ObjectBase* p = PointWithValue(&seq, frameN);
  if (!p || !bufN || !bufNext || width <= 0 || height <= 0) return match::kGeneralError;
  match::Request r;
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

  match::TrackState& state = States()[&seq];
  const bool renewed = r.restart || !state.valid;
  const match::Outcome out = match::MatchStep(r, state);
  if (out.message) return out.message;
  if (renewed) StoreTemplatePixels(seq, r.thisFrame, r.x, r.y);
  seq.AddPoint(frameNext, out.x, out.y, 0);
  if (state.adapted && !out.badMatch) StoreTemplatePixels(seq, r.nextFrame, out.x, out.y);
  return 0;
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
  const std::uint8_t* r = buffer;
  const std::uint8_t* g = buffer + pixels;
  const std::uint8_t* b = buffer + 2 * pixels;
  for (std::size_t i = 0; i < pixels; ++i)
    buffer[i] = static_cast<std::uint8_t>(0.3 * r[i] + 0.59 * g[i] + 0.11 * b[i] + 0.4);
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

  const std::size_t plane = static_cast<std::size_t>(doc.MaxFrameWidth()) *
                            static_cast<std::size_t>(doc.MaxFrameHeight());
  std::unique_ptr<std::uint8_t[]> thisFrame(new (std::nothrow) std::uint8_t[plane * 3]);
  std::unique_ptr<std::uint8_t[]> nextFrame(new (std::nothrow) std::uint8_t[plane * 3]);
  if (!thisFrame || !nextFrame) {
    ErrorMessage(track::kErrorCaption, match::kGeneralError);
    return current;
  }
  States().clear();
  if (longRun) host.BeginLongRun();

  // Frames of sequences that have no view are prepared here.
  std::vector<std::unique_ptr<Frame>> ownFrames(doc.SequenceCount());
  SequenceIterator it(*all, seqmask::kOrdinary);
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
      int bits = LoadFrame(video, *shown, n, thisFrame.get());
      const int bitsNext = bits ? LoadFrame(video, *shown, n + step, nextFrame.get()) : 0;
      if (!bits || !bitsNext) {
        ErrorMessage(track::kErrorCaption, track::kFrameUnreadable, bits ? n + step : n,
                     video.GetFileName().c_str());
        unreadable = true;
        break;
      }
      const int width = video.Width(), height = video.Height();
      if (bits == 24 && options.alwaysTrackGrayscale) {
        ToGrey(thisFrame.get(), static_cast<std::size_t>(width) * height);
        ToGrey(nextFrame.get(), static_cast<std::size_t>(width) * height);
        bits = 8;
      }
      if (!video.subObjectSequences) continue;
      for (ResObjectSequence* s = it.Restart(); s; s = it.Next()) {
        if (!IsTracked(*s)) continue;
        SubObjectSequence* sub = video.subObjectSequences->Find(s->number);
        if (!sub || !PointWithValue(sub, n)) continue;
        if (longRun) aborted = host.PollAbort();
        if (s->algorithm == static_cast<std::uint32_t>(algorithm::kManual)) continue;
        const int before = n - step;
        const int restart =
            firstStep || (before >= 1 && before <= last && !PointWithValue(sub, before)) ? 1 : 0;
        const int result = bits == 24
                               ? MatchObjectColour(*sub, s->algorithm, n, thisFrame.get(), n + step,
                                                   nextFrame.get(), restart, width, height)
                               : MatchObjectGrey(*sub, s->algorithm, n, thisFrame.get(), n + step,
                                                 nextFrame.get(), restart, width, height);
        if (result) {
          ErrorMessage(track::kErrorCaption, result, s->name);
          stop = true;
          failedFrom = n;
        } else if (options.autoSingleStep && &video == doc.GetActiveFrameSequence()) {
          if (const ObjectBase* p = PointWithValue(sub, n + step))
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
