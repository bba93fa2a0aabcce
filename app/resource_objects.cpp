#include "app/resource.h"

// The parts of the document that work on its object sequences and on the object-model library.

#include "app/documentfiles.h"
#include "base/messages.h"
#include "objects/bodymodel.h"
#include "objects/objects_ids.h"
#include "objects/osguard.h"
#include "objects/resobjseq.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/library.h"
#include "sequences/framesequence.h"

namespace {

constexpr int kUnsavedTitle = 31104, kUnsavedQuestion = 31106, kReplacedQuestion = 31236;
constexpr int kModelWarning = 31150, kModelMissing = 31154, kModelAlreadyLoaded = 31155;
constexpr int kDeleteModelTitle = 31152, kDeleteModelQuestion = 31153;
constexpr float kMissing = 3.40282347e+38f;
// Connections that come from the model are drawn in palette colour 0.
constexpr std::uint32_t kModelConnectionColour = 0x01000000;
// The result kinds of the whole body carry this bit beside the segment's kind.
constexpr std::int32_t kWholeBodyKind = 0x100;

// The frames a recomputation covers: one frame, or all of them for frame 0.
std::pair<int, int> FrameRange(int frame, int maxFrames) {
  return frame > 0 ? std::make_pair(frame, frame) : std::make_pair(1, maxFrames);
}

}  // namespace

void Resource::ObjectSequencesDeleter::operator()(ResObjectSequences* sequences) const {
  delete sequences;
}

void Resource::CreateObjectSequences() { objectSequences_.reset(new ResObjectSequences(this)); }

void Resource::ResetObjectSequences() {
  objectSequences_.reset();
  for (auto& s : sequences_) s->ResetSubObjectSequences();
  CreateObjectSequences();
}

bool Resource::AskSaveObjectSequences() {
  if (!objectSequences_) return true;
  int answer;
  if (objectSequences_->IsModified()) {
    answer = QuestionMessage(kUnsavedTitle, kUnsavedQuestion, caption_);
  } else {
    // Saved, but the files were replaced or removed since: the work is on disk no longer.
    const std::vector<std::string> replaced = osfile::FilesReplacedSinceSaved(this);
    if (replaced.empty()) return true;
    std::string list;
    for (const std::string& file : replaced) list += file + "\n";
    answer = QuestionMessage(kUnsavedTitle, kReplacedQuestion, caption_, list);
  }
  switch (answer) {
    case platform::kIdYes:
      // Saving the sequences also writes the object model; on failure the reason was shown and
      // the work is kept.
      return objectSequences_->SaveAll();
    case platform::kIdNo:
      objectSequences_->SetModified(false);
      return true;
    default:
      return false;
  }
}

bool Resource::CanClose() {
  if (!AskSaveObjectSequences()) return false;
  // The calibrations and the document file are asked about as the object sequences are.
  if (!AskSaveDocumentFiles(*this)) return false;
  for (auto& s : sequences_)
    if (!s->CanClose()) return false;
  // The model is released with the document, not here: a later document may still cancel Exit.
  return true;
}

void Resource::RecalcObjectSequences(int frame) {
  if (!objectSequences_) return;
  objectSequences_->ComputeWorldPoints(frame);
  UpdateObjectModel(frame);
}

void Resource::RecalcAllFrames() {
  if (!objectSequences_) return;
  objectSequences_->PlaceModelPoints(0);
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

void Resource::ConnectModelObjects() {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded() || modelId_ == 0 || !objectSequences_) return;
  auto connectObject = lib->Function<BM_ConnectObjectFn>("BM_ConnectObject");
  auto getConnection = lib->Function<BM_GetConnectionFn>("BM_GetConnection");
  auto segments = lib->Function<BM_NrOfSegmentsFn>("BM_NrOfSegments");
  if (!connectObject || !getConnection || !segments) return;
  ResObjectSequences& list = *objectSequences_;
  SequenceIterator it(list, seqmask::kOrdinary);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next()) {
    for (int j = getConnection(modelId_, s->number, -1); j >= 0;
         j = getConnection(modelId_, s->number, j)) {
      if (ResObjectSequence* other = list.Find(j, seqmask::kAll))
        list.Figure().Connect(s, other, kModelConnectionColour);
    }
  }
  // Five result sequences for every segment, then five for the whole body.
  struct Result {
    std::uint32_t flags;
    std::int32_t kind;
  };
  constexpr Result kSegmentResults[] = {
      {0x208, 0x01}, {0x410, 0x10}, {0x420, 0x20}, {0x440, 0x40}, {0x480, 0x80}};
  const int segmentCount = segments(modelId_);
  for (int i = 0; i < segmentCount; ++i)
    for (const Result& r : kSegmentResults)
      if (ResObjectSequence* s = list.NewSequence(r.flags))
        connectObject(modelId_, i, s->number, r.kind);
  for (const Result& r : kSegmentResults)
    if (ResObjectSequence* s = list.NewSequence(r.flags))
      connectObject(modelId_, 0, s->number, r.kind | kWholeBodyKind);
}

void Resource::ReleaseObjectModel() {
  platform::Library* lib = ObjectModelLibrary();
  if (!lib || !lib->IsLoaded() || modelId_ == 0) return;
  if (auto release = lib->Function<BM_ReleaseModelFn>("BM_ReleaseModel")) release(modelId_);
  modelId_ = 0;
}

bool Resource::CanSelectObjectModel() const {
  platform::Library* lib = ObjectModelLibrary();
  return lib && lib->IsLoaded() && modelId_ == 0;
}

bool Resource::CanDeleteObjectModel() const {
  platform::Library* lib = ObjectModelLibrary();
  return lib && lib->IsLoaded() && modelId_ != 0;
}

void Resource::CmSelectObjectModel() {
  if (!CanSelectObjectModel() || !objectSequences_) return;
  platform::Library* lib = ObjectModelLibrary();
  auto select = lib->Function<BM_SelectModelFn>("BM_SelectModel");
  auto objects = lib->Function<BM_NrOfObjectsFn>("BM_NrOfObjects");
  auto connectObject = lib->Function<BM_ConnectObjectFn>("BM_ConnectObject");
  if (!select || !objects || !connectObject) return;
  const std::uint32_t id = select(0);
  if (id == 0) return;
  modelId_ = id;
  const int count = objects(id);
  for (int i = 0; i < count; ++i)
    if (ResObjectSequence* s = objectSequences_->NewSequence(seqflag::kNewSequence))
      connectObject(id, i, s->number, 0);
  ConnectModelObjects();
  objectSequences_->ApplyModelDefaults(BodyModel::Of(this), nullptr);
  RecalcObjectSequences(currentFrame_);
  UpdateViews();
}

void Resource::CmDeleteObjectModel() {
  if (!CanDeleteObjectModel() || !objectSequences_) return;
  auto release = ObjectModelLibrary()->Function<BM_ReleaseModelFn>("BM_ReleaseModel");
  if (!release) return;
  if (QuestionMessage(kDeleteModelTitle, kDeleteModelQuestion) != platform::kIdYes) return;
  for (bool removed = true; removed;) {
    removed = false;
    SequenceIterator it(*objectSequences_, seqmask::kAll);
    for (ResObjectSequence* s = it.Current(); s; s = it.Next())
      if (s->GetModelDefaultCoord()) {
        objectSequences_->RemoveSequence(s);
        removed = true;
        break;
      }
  }
  release(modelId_);
  modelId_ = 0;
  UpdateViews();
}
