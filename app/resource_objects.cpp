#include "app/resource.h"

// The parts of the document that work on its object sequences and on the object-model library.

#include "app/messages.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "platform/library.h"
#include "sequences/framesequence.h"

extern "C" {
using BM_LoadModelFn = std::uint32_t (*)(const char* file);
using BM_WriteModelFn = std::int32_t (*)(std::uint32_t id, const char* file);
using BM_ReleaseModelFn = void (*)(std::uint32_t id);
using BM_SetCoordFn = void (*)(std::uint32_t, std::int32_t, std::int32_t, double, double, double);
using BM_RemoveCoordFn = void (*)(std::uint32_t, std::int32_t, std::int32_t);
using BM_CalculateCenterOfMassFn = void (*)(std::uint32_t, std::int32_t);
using BM_CalculateDerivativesFn = void (*)(std::uint32_t);
using BM_GetCoordFn = std::int32_t (*)(std::uint32_t, std::int32_t, std::int32_t, double*, double*,
                                       double*);
}

namespace {

constexpr int kUnsavedTitle = 31104, kUnsavedQuestion = 31106;
constexpr int kModelWarning = 31150, kModelMissing = 31154, kModelAlreadyLoaded = 31155;
constexpr float kMissing = 3.40282347e+38f;

// The frames a recomputation covers: one frame, or all of them for frame 0.
std::pair<int, int> FrameRange(int frame, int maxFrames) {
  return frame > 0 ? std::make_pair(frame, frame) : std::make_pair(1, maxFrames);
}

}  // namespace

void Resource::ObjectSequencesDeleter::operator()(ResObjectSequences* sequences) const {
  delete sequences;
}

void Resource::CreateObjectSequences() { objectSequences_.reset(new ResObjectSequences(this)); }

bool Resource::CanClose() {
  if (objectSequences_ && objectSequences_->IsModified()) {
    switch (QuestionMessage(kUnsavedTitle, kUnsavedQuestion, caption_)) {
      case platform::kIdYes:
        if (!objectSequences_->SaveAll()) return false;  // the reason was shown; keep the work
        WriteObjectModel();
        break;
      case platform::kIdNo:
        objectSequences_->SetModified(false);
        break;
      default:
        return false;
    }
  }
  for (auto& s : sequences_)
    if (!s->CanClose()) return false;
  // The model is released with the document, not here: a later document may still cancel Exit.
  return true;
}

void Resource::RecalcObjectSequences(int frame) {
  if (!objectSequences_) return;
  auto [first, last] = FrameRange(frame, MaxFrameCount());
  SequenceIterator it(*objectSequences_, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    for (int f = first; f <= last; ++f) objectSequences_->ComputeWorldPoint(*s, f);
  UpdateObjectModel(frame);
}

void Resource::RecalcAllFrames() {
  if (!objectSequences_) return;
  SequenceIterator it(*objectSequences_, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next())
    for (int f = 1; f <= MaxFrameCount(); ++f) objectSequences_->PlaceModelPoints(*s, f);
}

void Resource::UpdateObjectModel(int frame) {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded() || modelId_ == 0 || !objectSequences_) return;
  auto setCoord = lib->Function<BM_SetCoordFn>("BM_SetCoord");
  auto removeCoord = lib->Function<BM_RemoveCoordFn>("BM_RemoveCoord");
  auto centerOfMass = lib->Function<BM_CalculateCenterOfMassFn>("BM_CalculateCenterOfMass");
  auto derivatives = lib->Function<BM_CalculateDerivativesFn>("BM_CalculateDerivatives");
  auto getCoord = lib->Function<BM_GetCoordFn>("BM_GetCoord");
  if (!setCoord || !removeCoord || !centerOfMass || !derivatives || !getCoord) return;

  auto [first, last] = FrameRange(frame, MaxFrameCount());
  SequenceIterator ordinary(*objectSequences_, seqmask::kOrdinary);
  for (ResObjectSequence* s = ordinary.Current(); s; s = ordinary.Next()) {
    for (int f = first; f <= last; ++f) {
      ObjectBase* p = s->ItemAt(f);
      if (!p || p->x == kMissing || p->y == kMissing)
        removeCoord(modelId_, s->number, f);
      else
        setCoord(modelId_, s->number, f, p->x, p->y, p->z);
    }
  }
  for (int f = first; f <= last; ++f) centerOfMass(modelId_, f);
  derivatives(modelId_);

  SequenceIterator results(*objectSequences_, seqmask::kModelResults);
  for (ResObjectSequence* s = results.Current(); s; s = results.Next()) {
    for (int f = 1; f <= MaxFrameCount(); ++f) {
      double x = 0, y = 0, z = 0;
      if (getCoord(modelId_, s->number, f, &x, &y, &z)) {
        s->AddObject(std::make_unique<ObjectBase>(f, static_cast<float>(x), static_cast<float>(y),
                                                  static_cast<float>(z)));
        if (s->flags & seqflag::kCenterOfMass) objectSequences_->PlaceModelPoints(*s, f);
      } else {
        s->RemoveObject(f);
        for (auto& video : sequences_)
          if (video->subObjectSequences)
            if (SubObjectSequence* sub = video->subObjectSequences->Find(s->number))
              sub->RemoveObject(f);
      }
    }
  }
}

bool Resource::LoadObjectModel() {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded()) {
    ErrorMessage(kModelWarning, kModelMissing);
    return false;
  }
  if (modelId_ != 0) {
    ErrorMessage(kModelWarning, kModelAlreadyLoaded);
    return false;
  }
  auto load = lib->Function<BM_LoadModelFn>("BM_LoadModel");
  if (!load) return false;
  modelId_ = load(modelFileName_.c_str());
  return modelId_ != 0;
}

bool Resource::WriteObjectModel() {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded() || modelId_ == 0) return false;
  auto write = lib->Function<BM_WriteModelFn>("BM_WriteModel");
  return write && write(modelId_, modelFileName_.c_str()) != 0;
}

void Resource::ReleaseObjectModel() {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded() || modelId_ == 0) return;
  if (auto release = lib->Function<BM_ReleaseModelFn>("BM_ReleaseModel")) release(modelId_);
  modelId_ = 0;
}
