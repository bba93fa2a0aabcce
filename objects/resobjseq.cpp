#include "objects/resobjseq.h"

#include <algorithm>

#include "base/defaults.h"
#include "objects/docaccess.h"
#include "objects/stickfigure.h"
#include "objects/subobjseq.h"
#include "platform/strings.h"
#include "sequences/framesequence.h"

namespace {

constexpr int kMinSearchLimit = 3;

UndeleteChooser& Chooser() {
  static UndeleteChooser chooser;
  return chooser;
}

int LimitFromPercent(int percent, int frameSide) {
  const long long limit = static_cast<long long>(percent / 2) * frameSide / 100 * 2 - 1;
  return static_cast<int>(std::max<long long>(limit, kMinSearchLimit));
}

}  // namespace

std::string SafeSequenceName(std::string_view name) {
  std::string safe;
  for (char c : name)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) safe += c;
  return safe;
}

void SetUndeleteChooser(UndeleteChooser chooser) { Chooser() = std::move(chooser); }

ResObjectSequence::ResObjectSequence(ResObjectSequences* owner, std::int32_t number,
                                     ColorValue color, std::uint32_t flags)
    : ObjectSequence(number, objdoc::MaxFrameCount(owner->GetDocument())),
      ColorDescr(color),
      algorithm(owner->defaultAlgorithm),
      flags(flags),
      name(platform::Format("Object %d", number)),
      owner_(owner) {
  SetSearchLimits(objdoc::MaxFrameWidth(owner->GetDocument()),
                  objdoc::MaxFrameHeight(owner->GetDocument()));
}

ObjectBase* ResObjectSequence::AddObject(std::unique_ptr<ObjectBase> point) {
  return Add(std::move(point));
}

void ResObjectSequence::RemoveObject(long frame) { Remove(frame); }

void ResObjectSequence::SetFlags(std::uint32_t mask) {
  flags |= mask;
  SetModified();
}

void ResObjectSequence::ClearFlags(std::uint32_t mask) {
  flags &= ~mask;
  SetModified();
}

void ResObjectSequence::SetModified() { owner_->SetModified(true); }

void ResObjectSequence::MakeCurrent() { owner_->SetCurrentNumber(number); }

Document* ResObjectSequence::GetDocument() const { return owner_->GetDocument(); }

void ResObjectSequence::SetSearchLimits(int frameWidth, int frameHeight) {
  horizontalLimit = LimitFromPercent(objdoc::Defaults().horizontalLimit, frameWidth);
  verticalLimit = LimitFromPercent(objdoc::Defaults().verticalLimit, frameHeight);
}

void ResObjectSequence::SetColor(ColorValue value) {
  color = value;
  if (Document* doc = GetDocument()) {
    doc->SetPaletteEntry(number, value);
    doc->UpdateViews();
  }
}

bool ResObjectSequence::ProjectToImage(float image[3], int frame) const {
  const ObjectBase* p = PointWithValue(this, frame);
  Document* doc = GetDocument();
  FrameSequence* video = doc ? doc->GetActiveFrameSequence() : nullptr;
  if (!p || !video || !video->IsCalibrated()) return false;
  video->WorldToImage(image, p->x, p->y, p->z);
  return true;
}

void ResObjectSequence::ConvertOldFlags() {
  using namespace seqflag;
  if (flags < kDeleted) {
    flags |= kPresent;
  } else if (flags & kDeleted) {
    flags &= 0xF;
  } else if (flags & kCenterOfMass) {
    flags = kCenterOfMassKind | kCenterOfMass;
  } else if (flags & kImpulse) {
    flags = kSegmentKind | kImpulse;
  } else if (flags & kForce) {
    flags = kSegmentKind | kForce;
  } else if (flags & kMomentOfMomentum) {
    flags = kSegmentKind | kMomentOfMomentum;
  } else if (flags & kTorsion) {
    flags = kSegmentKind | kTorsion;
  }
  if (flags >= kCenterOfMassKind) flags = kModelResultFromFile;
}

ResObjectSequences::ResObjectSequences(Document* document)
    : defaultAlgorithm(static_cast<std::uint32_t>(objdoc::Defaults().defaultAlgorithm)),
      document_(document),
      stickFigure_(std::make_unique<StickFigure>(this)) {}

ResObjectSequences::~ResObjectSequences() {
  for (auto& s : list_) {
    stickFigure_->RemoveSequence(s.get());
    if (document_) document_->RemoveFromAnalysisWindows(s.get());
  }
  list_.clear();
  stickFigure_.reset();
}

void ResObjectSequences::RefreshDefaultAlgorithm() {
  defaultAlgorithm = static_cast<std::uint32_t>(objdoc::Defaults().defaultAlgorithm);
}

ResObjectSequence* ResObjectSequences::Insert(std::unique_ptr<ResObjectSequence> sequence) {
  auto at = std::lower_bound(list_.begin(), list_.end(), sequence->number,
                             [](const auto& s, std::int32_t n) { return s->number < n; });
  return list_.insert(at, std::move(sequence))->get();
}

void ResObjectSequences::AddToVideos(std::int32_t number) {
  for (int i = 0; i < objdoc::VideoCount(document_); ++i) {
    objdoc::SubsOf(*objdoc::Video(document_, i)).Add(number);
  }
}

std::optional<std::int32_t> ResObjectSequences::NextFreeNumber() const {
  const std::int32_t highest = HighestNumber();
  if (highest < kMaxNumber) return std::max(highest, -1) + 1;
  // The list is sorted: the first gap in 0, 1, 2 ... is the lowest free number.
  std::int32_t expected = 0;
  for (const auto& s : list_) {
    if (s->number > expected) break;
    if (s->number == expected) ++expected;
  }
  if (expected > kMaxNumber) return std::nullopt;
  return expected;
}

ResObjectSequence* ResObjectSequences::NewSequence(std::uint32_t flags) {
  const std::optional<std::int32_t> free = NextFreeNumber();
  if (!free) return nullptr;
  const std::int32_t number = *free;
  RefreshDefaultAlgorithm();
  ResObjectSequence* s = Insert(std::make_unique<ResObjectSequence>(
      this, number, objdoc::ObjectColor(document_, number), flags));
  AddToVideos(number);
  if (document_) document_->UpdateAnalysisWindows(s);
  modified_ = true;
  current_ = number;
  return s;
}

ResObjectSequence* ResObjectSequences::Find(std::int32_t number, std::uint32_t mask) const {
  auto at = std::lower_bound(list_.begin(), list_.end(), number,
                             [](const auto& s, std::int32_t n) { return s->number < n; });
  if (at == list_.end() || (*at)->number != number || !(*at)->Passes(mask)) return nullptr;
  return at->get();
}

ResObjectSequence* ResObjectSequences::GetOrCreate(std::int32_t number) {
  if (ResObjectSequence* s = Find(number, seqmask::kAll)) return s;
  RefreshDefaultAlgorithm();
  ResObjectSequence* s = Insert(
      std::make_unique<ResObjectSequence>(this, number, objdoc::ObjectColor(document_, number), 0));
  AddToVideos(number);
  if (document_) document_->UpdateAnalysisWindows(s);
  modified_ = true;
  return s;
}

std::int32_t ResObjectSequences::HighestNumber() const {
  return list_.empty() ? -1 : list_.back()->number;
}

int ResObjectSequences::CountDeleted() const {
  return static_cast<int>(std::count_if(
      list_.begin(), list_.end(), [](const auto& s) { return s->Passes(seqmask::kDeleted); }));
}

ResObjectSequence* ResObjectSequences::GetCurrent() {
  if (ResObjectSequence* s = Find(current_, seqmask::kAll);
      s && !s->IsHidden() && !s->IsDeleted()) {
    return s;
  }
  for (auto& s : list_) {
    if (s->Passes(seqmask::kOrdinary) && !s->IsHidden()) {
      current_ = s->number;
      return s.get();
    }
  }
  current_ = -1;
  return nullptr;
}

void ResObjectSequences::DeleteSequence(std::int32_t number) {
  ResObjectSequence* s = Find(number < 0 ? current_ : number, seqmask::kAll);
  if (!s) return;
  s->flags = (s->flags | seqflag::kDeleted) & ~seqflag::kPresent;
  if (document_) document_->RemoveFromAnalysisWindows(s);
  modified_ = true;
  GetCurrent();
}

void ResObjectSequences::Restore(ResObjectSequence* s) {
  if (!s) return;
  s->flags = (s->flags & ~seqflag::kDeleted) | seqflag::kPresent;
  if (document_) document_->UpdateAnalysisWindows(s);
  current_ = s->number;
  modified_ = true;
}

void ResObjectSequences::Undelete() {
  if (CountDeleted() <= 1) {
    Restore(SequenceIterator(*this, seqmask::kDeleted).Current());
  } else if (Chooser()) {
    Restore(Chooser()(*this));
  }
}

void ResObjectSequences::RemoveSequence(ResObjectSequence* s) {
  if (!s) return;
  if (document_) document_->RemoveFromAnalysisWindows(s);
  stickFigure_->RemoveSequence(s);
  for (int i = 0; i < objdoc::VideoCount(document_); ++i) {
    SubObjectSequences& subs = objdoc::SubsOf(*objdoc::Video(document_, i));
    subs.Remove(subs.Find(s->number));
  }
  std::erase_if(list_, [s](const auto& p) { return p.get() == s; });
  modified_ = true;
  GetCurrent();
}

SequenceIterator::SequenceIterator(const ResObjectSequences& list, std::uint32_t mask)
    : list_(list.Sequences()), mask_(mask) {
  SkipToPassing();
}

void SequenceIterator::SkipToPassing() {
  while (index_ < list_.size() && !list_[index_]->Passes(mask_)) ++index_;
}

ResObjectSequence* SequenceIterator::Current() const {
  return index_ < list_.size() ? list_[index_].get() : nullptr;
}

ResObjectSequence* SequenceIterator::Next() {
  if (index_ < list_.size()) ++index_;
  SkipToPassing();
  return Current();
}

ResObjectSequence* SequenceIterator::Restart() {
  index_ = 0;
  SkipToPassing();
  return Current();
}
