// World points of the project sequences from the image points of the videos, image points of
// the body model's results from their world points, and the exchange of defaults with the
// body-model library.

#include <vector>

#include "base/application.h"
#include "base/defaults.h"
#include "base/document.h"
#include "base/messages.h"
#include "calibration/reconstruct.h"
#include "objects/bodymodel.h"
#include "objects/docaccess.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/library.h"
#include "sequences/framesequence.h"

namespace {

// Room for a name the library hands back.
constexpr int kModelNameSize = 256;
// Default coordinates of the library are in units of 1/10000 of the frame size.
constexpr double kModelCoordScale = 10000.0;

template <typename F>
F Lookup(const BodyModel& m, const char* name) {
  return m.IsLoaded() ? m.library->Function<F>(name) : nullptr;
}

SubObjectSequence& SubIn(FrameSequence& video, std::int32_t number) {
  SubObjectSequences& subs = objdoc::SubsOf(video);
  SubObjectSequence* s = subs.Find(number);
  return s ? *s : *subs.Add(number);
}

}  // namespace

BodyModel BodyModel::Of(const Document* doc) {
  return {ObjectModelLibrary(), doc ? doc->ModelId() : 0u};
}

bool BodyModel::IsLoaded() const { return library && library->IsLoaded() && id != 0; }

std::optional<ModelObjectDefaults> BodyModel::GetObjectDefaults(std::int32_t number) const {
  auto f = Lookup<BM_GetObjectDefaultsFn>(*this, "BM_GetObjectDefaults");
  if (!f) return std::nullopt;
  char name[kModelNameSize] = {};
  ModelObjectDefaults d;
  if (!f(id, number, name, kModelNameSize, d.values.data())) return std::nullopt;
  name[kModelNameSize - 1] = 0;
  d.name = name;
  return d;
}

bool BodyModel::GetDefaultCoord(std::int32_t number, double xyz[3]) const {
  auto f = Lookup<BM_GetDefaultCoordFn>(*this, "BM_GetDefaultCoord");
  return f && f(id, number, &xyz[0], &xyz[1], &xyz[2]) != 0;
}

std::optional<ModelResultDefaults> BodyModel::GetCMDefaults(std::int32_t number) const {
  auto f = Lookup<BM_GetCMDefaultsFn>(*this, "BM_GetCMDefaults");
  if (!f) return std::nullopt;
  char name[kModelNameSize] = {};
  ModelResultDefaults d;
  if (!f(id, number, name, kModelNameSize, &d.color, &d.style, &d.width, &d.height)) {
    return std::nullopt;
  }
  name[kModelNameSize - 1] = 0;
  d.name = name;
  return d;
}

std::optional<std::uint32_t> BodyModel::GetConnectionDefaults(std::int32_t a,
                                                              std::int32_t b) const {
  auto f = Lookup<BM_GetConnectionDefaultsFn>(*this, "BM_GetConnectionDefaults");
  std::uint32_t color = 0;
  if (!f || !f(id, a, b, 0, &color)) return std::nullopt;
  return color;
}

bool BodyModel::SetObjectDefaults(std::int32_t number, const ModelObjectDefaults& d) const {
  auto f = Lookup<BM_SetObjectDefaultsFn>(*this, "BM_SetObjectDefaults");
  return f && f(id, number, d.name.c_str(), d.values.data()) != 0;
}

bool BodyModel::SetDefaultCoord(std::int32_t number, double x, double y, double z) const {
  auto f = Lookup<BM_SetDefaultCoordFn>(*this, "BM_SetDefaultCoord");
  return f && f(id, number, x, y, z) != 0;
}

bool BodyModel::SetCMDefaults(std::int32_t number, const ModelResultDefaults& d) const {
  auto f = Lookup<BM_SetCMDefaultsFn>(*this, "BM_SetCMDefaults");
  return f && f(id, number, d.name.c_str(), d.color, d.style, d.width, d.height) != 0;
}

bool BodyModel::SetConnectionDefaults(std::int32_t a, std::int32_t b, std::uint32_t color) const {
  auto f = Lookup<BM_SetConnectionDefaultsFn>(*this, "BM_SetConnectionDefaults");
  return f && f(id, a, b, 0, color) != 0;
}

std::optional<std::uint32_t> AlgorithmFromModelIndex(std::int32_t index) {
  switch (index) {
    case 0:
      return algorithm::kManual;
    case 1:
      return algorithm::kTextureTracking;
    case 2:
      return algorithm::kCrossCorrelation;
    case 3:
      return algorithm::kSSD;
    default:
      return std::nullopt;
  }
}

std::int32_t ModelIndexFromAlgorithm(std::uint32_t id) {
  switch (id) {
    case algorithm::kManual:
      return 0;
    case algorithm::kTextureTracking:
      return 1;
    case algorithm::kCrossCorrelation:
      return 2;
    default:
      return 3;
  }
}

bool ResObjectSequence::GetModelDefaultCoord() const {
  const BodyModel model = BodyModel::Of(GetDocument());
  if (!model.IsLoaded()) return false;
  if (flags & seqmask::kModelResults & ~(seqflag::kCenterOfMassKind | seqflag::kSegmentKind)) {
    return true;
  }
  double xyz[3];
  return model.GetDefaultCoord(number, xyz);
}

namespace {

// The frames a recomputation covers: one frame, or all of the document's for frame 0.
std::pair<int, int> FrameRange(int frame, const Document* doc) {
  return frame > 0 ? std::make_pair(frame, frame)
                   : std::make_pair(1, doc ? doc->MaxFrameCount() : 0);
}

}  // namespace

void ResObjectSequences::ComputeWorldPoints(int frame) {
  const auto [first, last] = FrameRange(frame, GetDocument());
  SequenceIterator it(*this, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    for (int f = first; f <= last; ++f) CollectModelCoords(*s, f);
}

void ResObjectSequences::PlaceModelPoints(int frame) {
  const auto [first, last] = FrameRange(frame, GetDocument());
  SequenceIterator it(*this, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    for (int f = first; f <= last; ++f) PlaceModelPoints(*s, f);
}

void ResObjectSequences::CollectModelCoords(ResObjectSequence& s, int frame) {
  Document* doc = document_;
  if (!doc || !doc->CanReconstruct() || frame < 1) return;
  const int videos = doc->SequenceCount();
  if (videos > 1) {
    std::vector<CameraView> views;
    for (int i = 0; i < videos; ++i) {
      FrameSequence* video = doc->Sequence(i);
      if (!video->IsCalibrated()) continue;
      const ObjectBase* p = PointWithValue(objdoc::SubsOf(*video).Find(s.number), frame);
      if (p) views.push_back({&video->camera, &video->result, p->x, p->y});
    }
    float world[3];
    if (views.size() < 2 || !ReconstructPoint3D(views, world)) {
      s.RemoveObject(frame);
      return;
    }
    s.AddPoint(frame, world[0], world[1], world[2]);
  } else if (videos == 1) {
    FrameSequence* video = doc->Sequence(0);
    const SubObjectSequence* sub = objdoc::SubsOf(*video).Find(s.number);
    // A missing coordinate passes the linear conversion as missing.
    const ObjectBase* p = sub ? sub->ItemAt(frame) : nullptr;
    if (!p) {
      s.RemoveObject(frame);
      return;
    }
    float world[3];
    video->ImageToWorld(world, p->x, p->y);
    s.AddPoint(frame, world[0], world[1], world[2]);
  }
}

void ResObjectSequences::PlaceModelPoints(ResObjectSequence& s, int frame) {
  const ObjectBase* p = PointWithValue(&s, frame);
  const int videos = objdoc::VideoCount(document_);
  if (!p || videos == 0) return;
  if (videos == 1) {
    FrameSequence* video = objdoc::Video(document_, 0);
    float image[3] = {0, 0, 0};
    video->WorldToImageScaled(image, p->x, p->y);
    SubIn(*video, s.number).AddPoint(frame, image[0], image[1], 0);
    return;
  }
  for (int i = 0; i < videos; ++i) {
    FrameSequence* video = objdoc::Video(document_, i);
    if (!video->IsCalibrated()) continue;
    float image[3] = {0, 0, 0};
    video->WorldToImage(image, p->x, p->y, p->z);
    SubIn(*video, s.number).AddPoint(frame, image[0], image[1], 0);
  }
}

void ResObjectSequences::ApplyModelDefaults(const BodyModel& model, FrameSequence* onlyVideo) {
  if (!model.IsLoaded()) return;
  const int frame = objdoc::CurrentFrame(document_);
  std::vector<FrameSequence*> videos;
  if (onlyVideo) {
    videos.push_back(onlyVideo);
  } else {
    for (int i = 0; i < objdoc::VideoCount(document_); ++i)
      videos.push_back(objdoc::Video(document_, i));
  }
  using D = ModelObjectDefaults;
  for (SequenceIterator it(*this, seqmask::kOrdinary); ResObjectSequence* s = it.Current();
       it.Next()) {
    const auto d = model.GetObjectDefaults(s->number);
    double xyz[3];
    if (!d || !model.GetDefaultCoord(s->number, xyz)) continue;
    const auto& v = d->values;
    s->name = d->name;
    s->SetColor(static_cast<ColorValue>(v[D::kColor]));
    s->style = v[D::kStyle];
    s->markerWidth = v[D::kWidth];
    s->markerHeight = v[D::kHeight];
    if (auto a = AlgorithmFromModelIndex(v[D::kAlgorithm])) s->algorithm = *a;
    if (v[D::kHorizontalLimit] >= 0 && v[D::kVerticalLimit] >= 0) {
      s->horizontalLimit = v[D::kHorizontalLimit];
      s->verticalLimit = v[D::kVerticalLimit];
    }
    for (FrameSequence* video : videos) {
      SubObjectSequence& sub = SubIn(*video, s->number);
      if (v[D::kTemplateWidth] > 0 && v[D::kTemplateHeight] > 0) {
        sub.xOffset = v[D::kTemplateXOffset];
        sub.yOffset = v[D::kTemplateYOffset];
        sub.SetSize(v[D::kTemplateWidth], v[D::kTemplateHeight]);
        sub.shape = v[D::kTemplateShape];
      }
      sub.AddPoint(frame, static_cast<float>(xyz[0] / kModelCoordScale * video->Width()),
                   static_cast<float>(xyz[1] / kModelCoordScale * video->Height()), 0);
    }
  }
  for (SequenceIterator it(*this, seqmask::kModelResults); ResObjectSequence* s = it.Current();
       it.Next()) {
    const auto d = model.GetCMDefaults(s->number);
    if (!d) continue;
    s->name = d->name;
    s->SetColor(d->color);
    s->style = d->style;
    s->markerWidth = d->width;
    s->markerHeight = d->height;
  }
  for (const auto& pair : Figure().AllConnections()) {
    if (auto c = model.GetConnectionDefaults(pair->first->number, pair->second->number)) {
      pair->color.color = *c;
    }
  }
}

void SubObjectSequences::StoreModelDefaults(const BodyModel& model) const {
  Document* doc = GetDocument();
  ResObjectSequences* all = doc ? doc->ObjectSequences() : nullptr;
  if (!all || !model.IsLoaded() || !owner_) return;
  const int frame = doc->CurrentFrame();
  bool missing = false;
  using D = ModelObjectDefaults;
  for (SequenceIterator it(*all, seqmask::kOrdinary); ResObjectSequence* s = it.Current();
       it.Next()) {
    double xyz[3];
    if (!model.GetDefaultCoord(s->number, xyz)) continue;
    const SubObjectSequence* sub = Find(s->number);
    D d;
    d.name = s->name;
    d.values = {static_cast<std::int32_t>(s->color),
                s->style,
                s->markerWidth,
                s->markerHeight,
                ModelIndexFromAlgorithm(s->algorithm),
                s->horizontalLimit,
                s->verticalLimit,
                sub ? sub->width : 0,
                sub ? sub->height : 0,
                sub ? sub->xOffset : 0,
                sub ? sub->yOffset : 0,
                sub ? sub->shape : 0};
    model.SetObjectDefaults(s->number, d);
    // A point without value has no position to hand on.
    const ObjectBase* p = PointWithValue(sub, frame);
    if (p && owner_->Width() > 0 && owner_->Height() > 0) {
      model.SetDefaultCoord(s->number, p->x * kModelCoordScale / owner_->Width(),
                            p->y * kModelCoordScale / owner_->Height(), 0);
    } else {
      missing = true;
    }
  }
  for (SequenceIterator it(*all, seqmask::kModelResults); ResObjectSequence* s = it.Current();
       it.Next()) {
    model.SetCMDefaults(s->number, {s->name, s->color, s->style, s->markerWidth, s->markerHeight});
  }
  for (const auto& pair : all->Figure().AllConnections()) {
    model.SetConnectionDefaults(pair->first->number, pair->second->number, pair->color.color);
  }
  if (missing)
    ErrorMessage(objects_ids::kModelWarningCaption, objects_ids::kModelObjectsNotInFrame);
}
