#include "objects/viewmsgs.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "base/document.h"
#include "base/messages.h"
#include "calibration/camera.h"
#include "objects/docaccess.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "sequences/framesequence.h"

namespace view {
namespace {

constexpr double kZoomTable[] = {0.125, 0.25, 0.5, 1, 2, 3, 4, 6, 8, 16, 32};
constexpr double kMaxZoom = 32, kMinZoom = 0.125;
// Points per image edge of the boundary that the line-of-sight test checks.
constexpr int kBoundarySteps = 16;

// The image outline in the camera's undistorted sensor plane, where the line of sight is straight.
std::vector<std::pair<double, double>> SensorOutline(const FrameSequence& video) {
  const double w = video.Width(), h = video.Height();
  const double corners[5][2] = {{0, 0}, {w, 0}, {w, h}, {0, h}, {0, 0}};
  std::vector<std::pair<double, double>> out;
  for (int e = 0; e < 4; ++e)
    for (int k = 0; k < kBoundarySteps; ++k) {
      const double t = double(k) / kBoundarySteps;
      const double x = corners[e][0] + t * (corners[e + 1][0] - corners[e][0]);
      const double y = corners[e][1] + t * (corners[e + 1][1] - corners[e][1]);
      double xd, yd, xu, yu;
      ImageToDistortedSensor(x, y, video.camera, xd, yd);
      DistortedToUndistortedSensor(xd, yd, video.result, xu, yu);
      out.push_back({xu, yu});
    }
  return out;
}

void PutBack(SubObjectSequence& sub, SetState& state) {
  if (state.saved) sub.AddObject(std::move(state.saved));
  state.saved.reset();
}

}  // namespace

bool ZoomInStep(double zx, double zy, double& z) {
  const double current = std::max(zx, zy);
  for (double step : kZoomTable)
    if (step > current) {
      z = step;
      return true;
    }
  return false;
}

bool ZoomOutStep(double zx, double zy, double& z) {
  const double current = std::min(zx, zy);
  const auto* at = std::find_if(std::begin(kZoomTable), std::end(kZoomTable),
                                [current](double s) { return s >= current; });
  if (at == std::begin(kZoomTable)) return false;
  z = *(at - 1);
  return true;
}

double FitOffZoom(double zx, double zy) {
  const double current = std::max(zx, zy);
  for (double step : kZoomTable)
    if (step >= current) return step;
  return kMaxZoom;
}

bool CanZoomIn(bool fit, double zx, double zy) { return !fit && (zx < kMaxZoom || zy < kMaxZoom); }
bool CanZoomOut(bool fit, double zx, double zy) { return !fit && (zx > kMinZoom || zy > kMinZoom); }

std::pair<int, int> ScrollRanges(int imageWidth, int imageHeight, double zx, double zy,
                                 int clientWidth, int clientHeight, bool hShown, bool vShown,
                                 int barWidth, int barHeight) {
  int w = static_cast<int>(imageWidth * zx) - clientWidth;
  int h = static_cast<int>(imageHeight * zy) - clientHeight;
  if (hShown) h -= barHeight;
  if (vShown) w -= barWidth;
  if (w > 0 && h > 0) {
    h += barHeight;
    w += barWidth;
  } else if (w > 0) {
    h += barHeight;
    if (h > 0) w += barWidth;
  } else if (h > 0) {
    w += barWidth;
    if (w > 0) h += barHeight;
  }
  return {std::max(w, 0), std::max(h, 0)};
}

unsigned ApplyDisplayCommand(unsigned flags, int id) {
  switch (id) {
    case kOnlyActualObjects:
      return 0x42;
    case kObjectsAllFrames:
      return flags ^ 0x04;
    case kConnectionsAndAngles:
      return (flags & 0x20) ? flags & ~0x20u : flags | 0x30;
    case kConnections:
      return (flags & 0x10) ? flags & ~0x30u : flags | 0x10;
    case kCentersOfMass:
      return flags ^ 0x80;
    default:
      return flags;
  }
}

bool DisplayChecked(unsigned flags, int id) {
  switch (id) {
    case kOnlyActualObjects:
      return !(flags & 0x14);
    case kObjectsAllFrames:
      return flags & 0x04;
    case kConnectionsAndAngles:
      return flags & 0x20;
    case kConnections:
      return flags & 0x10;
    case kCentersOfMass:
      return flags & 0x80;
    default:
      return false;
  }
}

bool LineCrossesPolygon(const std::vector<std::pair<double, double>>& boundary, double px,
                        double py, double ux, double uy) {
  bool below = false, above = false;
  for (auto [x, y] : boundary) {
    const double side = (x - px) * uy - (y - py) * ux;
    if (side <= 0) below = true;
    if (side >= 0) above = true;
  }
  return below && above;
}

ResObjectSequence* CurrentSequence(Document& doc) {
  return doc.ObjectSequences() ? doc.ObjectSequences()->GetCurrent() : nullptr;
}

SubObjectSequence* CurrentSub(Document& doc, FrameSequence& video) {
  ResObjectSequence* s = CurrentSequence(doc);
  return s ? objdoc::SubsOf(video).Find(s->number) : nullptr;
}

bool HasCurrentPoint(Document& doc, FrameSequence& video) {
  SubObjectSequence* sub = CurrentSub(doc, video);
  return sub && sub->ItemAt(doc.CurrentFrame());
}

StartResult StartSetting(Document& doc, FrameSequence& video, SetState& state, bool smart) {
  ResObjectSequence* current = CurrentSequence(doc);
  SubObjectSequence* sub = CurrentSub(doc, video);
  if (!current || !sub) return StartResult::kNothing;
  const int frame = doc.CurrentFrame();
  state = SetState{};
  state.setting = true;
  if (ObjectBase* p = sub->ItemAt(frame)) {
    state.saved = std::make_unique<ObjectBase>(p->frame, p->x, p->y, p->z);
    sub->RemoveObject(frame);
  }
  if (smart && video.IsCalibrated()) {
    doc.RecalcObjectSequences(frame);
    if (PointWithValue(current, frame)) {
      state.mode = kWorldPoint;
    } else {
      int found = 0;
      for (int i = 0; i < doc.SequenceCount(); ++i) {
        FrameSequence* other = doc.Sequence(i);
        if (other == &video || !other->IsCalibrated()) continue;
        if (PointWithValue(objdoc::SubsOf(*other).Find(current->number), frame)) {
          ++found;
          state.otherCamera = i;
        }
      }
      // With two or more cameras but no world point the reconstruction failed: set freely.
      state.mode = found == 1 ? kLineOfSight : kFree;
      if (found != 1) state.otherCamera = -1;
    }
  }
  auto fail = [&] {
    PutBack(*sub, state);
    state.setting = false;
    // The world point was computed without this view's point: compute it again with it.
    doc.RecalcObjectSequences(frame);
    doc.UpdateViews();
    return StartResult::kMissesImage;
  };
  if (state.mode == kWorldPoint) {
    const ObjectBase* world = PointWithValue(current, frame);
    float image[3] = {kMissingCoordinate, kMissingCoordinate, 0};
    video.WorldToImage(image, world->x, world->y, world->z);
    if (!(image[0] >= 0 && image[1] >= 0 && image[0] <= video.Width() &&
          image[1] <= video.Height()))
      return fail();
    sub->AddPoint(frame, image[0], image[1], image[2]);
    current->placed = true;
    state.saved.reset();
    state.setting = false;
    doc.RecalcObjectSequences(frame);
    doc.UpdateViews();
    return StartResult::kPlaced;
  }
  if (state.mode == kLineOfSight) {
    float point[2], direction[2];
    if (!video.EpipolarLine(point, direction, doc) ||
        !LineCrossesPolygon(SensorOutline(video), point[0], point[1], direction[0], direction[1]))
      return fail();
    state.linePoint[0] = point[0];
    state.linePoint[1] = point[1];
    state.lineDirection[0] = direction[0];
    state.lineDirection[1] = direction[1];
  }
  doc.UpdateViews();
  return StartResult::kDragging;
}

void HoldOnLine(const FrameSequence& video, const SetState& state, float& x, float& y) {
  if (!state.setting || state.mode != kLineOfSight) return;
  float p[2] = {x, y};
  video.ProjectOntoLine(p, state.linePoint[0], state.linePoint[1], state.lineDirection[0],
                        state.lineDirection[1]);
  x = p[0];
  y = p[1];
}

bool FinishSetting(Document& doc, FrameSequence& video, SetState& state, float x, float y) {
  HoldOnLine(video, state, x, y);
  if (!InsideImage(x, y, video.Width(), video.Height())) return false;
  const int frame = doc.CurrentFrame();
  if (SubObjectSequence* sub = CurrentSub(doc, video)) {
    sub->AddPoint(frame, x, y, 0);
    doc.RecalcObjectSequences(frame);
    if (ResObjectSequence* s = CurrentSequence(doc)) s->placed = true;
  }
  state.setting = false;
  state.saved.reset();
  doc.UpdateViews();
  return true;
}

void StopSetting(Document& doc, FrameSequence& video, SetState& state) {
  if (!state.setting) return;
  state.setting = false;
  if (SubObjectSequence* sub = CurrentSub(doc, video)) PutBack(*sub, state);
  state.saved.reset();
}

void Cancel(Document& doc, FrameSequence& video, SetState& state) {
  StopSetting(doc, video, state);
  SubObjectSequence* sub = CurrentSub(doc, video);
  ResObjectSequence* current = CurrentSequence(doc);
  if (!current || !sub) return;
  const int frame = doc.CurrentFrame();
  if (sub->ItemAt(frame)) {
    sub->RemoveObject(frame);
    doc.RecalcObjectSequences(frame);
    doc.UpdateViews();
  } else if (objcmd::MayDiscard(doc, *current)) {
    doc.ObjectSequences()->RemoveSequence(current);
    doc.UpdateViews();
  }
}

void DeleteObject(Document& doc, FrameSequence& video) {
  SubObjectSequence* sub = CurrentSub(doc, video);
  if (!sub || !sub->ItemAt(doc.CurrentFrame())) return;
  sub->RemoveObject(doc.CurrentFrame());
  doc.RecalcObjectSequences(doc.CurrentFrame());
  doc.UpdateViews();
}

}  // namespace view
