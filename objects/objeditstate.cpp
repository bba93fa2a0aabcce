#include "objects/objeditstate.h"

#include <algorithm>
#include <functional>

#include "base/document.h"
#include "objects/resobjseq.h"

namespace objedit {
namespace {

std::vector<ResObjectSequence*> Passing(const Document& doc, std::uint32_t mask) {
  std::vector<ResObjectSequence*> out;
  if (!doc.ObjectSequences()) return out;
  SequenceIterator it(*doc.ObjectSequences(), mask);
  for (ResObjectSequence* s = it.Current(); s; s = it.Next()) out.push_back(s);
  return out;
}

void ForEachLive(const Document& doc, const std::function<void(ResObjectSequence&)>& f) {
  for (ResObjectSequence* s : LiveSequences(doc)) f(*s);
}

void SetOrClear(ResObjectSequence& s, std::uint32_t flag, bool set) {
  if (set)
    s.SetFlags(flag);
  else
    s.ClearFlags(flag);
}

}  // namespace

std::vector<ResObjectSequence*> LiveSequences(const Document& doc) {
  return Passing(doc, seqmask::kOrdinary);
}

ResObjectSequence* SequenceAtRow(const Document& doc, int row) {
  auto live = LiveSequences(doc);
  return row >= 0 && row < static_cast<int>(live.size()) ? live[row] : nullptr;
}

std::vector<ResObjectSequence*> DeletedSequences(const Document& doc) {
  return Passing(doc, seqmask::kDeleted);
}

int CheckState(int mode, const ResObjectSequence& s) {
  const bool tracked = (s.flags & seqflag::kTracked) != 0;
  switch (mode) {
    case kTracking:
      return tracked ? (s.IsHidden() ? kGrey : kTicked) : kClear;
    case kDisplay:
      return s.IsHidden() ? kClear : kTicked;
    default:
      return s.editable ? kTicked : kClear;
  }
}

int Toggle(int mode, ResObjectSequence& s) {
  const bool ticked = CheckState(mode, s) != kClear;
  switch (mode) {
    case kTracking:
      SetOrClear(s, seqflag::kTracked, !ticked);
      break;
    case kDisplay:
      SetOrClear(s, seqflag::kHidden, ticked);
      break;
    default:
      s.editable = ticked ? 0 : 1;
      break;
  }
  return CheckState(mode, s);
}

void AllOn(const Document& doc) {
  ForEachLive(doc, [](ResObjectSequence& s) {
    s.SetFlags(seqflag::kTracked);
    s.ClearFlags(seqflag::kHidden);
  });
}

void AllOff(const Document& doc) {
  ForEachLive(doc, [](ResObjectSequence& s) {
    s.ClearFlags(seqflag::kTracked);
    s.SetFlags(seqflag::kHidden);
  });
}

void EnterMode(const Document& doc, int mode) {
  if (mode == kEdit) ForEachLive(doc, [](ResObjectSequence& s) { s.editable = 0; });
}

bool AnyChosen(const Document& doc) { return FirstChosen(doc) != nullptr; }

ResObjectSequence* FirstChosen(const Document& doc) {
  for (ResObjectSequence* s : LiveSequences(doc))
    if (s->editable) return s;
  return nullptr;
}

void ApplyToChosen(const Document& doc, const ResObjectSequence& model) {
  ForEachLive(doc, [&](ResObjectSequence& s) {
    if (!s.editable || &s == &model) return;
    SetOrClear(s, seqflag::kTracked, (model.flags & seqflag::kTracked) != 0);
    SetOrClear(s, seqflag::kHidden, model.IsHidden());
    s.horizontalLimit = model.horizontalLimit;
    s.verticalLimit = model.verticalLimit;
    s.markerWidth = model.markerWidth;
    s.markerHeight = model.markerHeight;
    s.style = model.style;
    s.SetModified();
  });
}

RowsAfterDelete AfterDelete(int deleted, int count, int top) {
  if (count <= 0) return {-1, 0};
  const int selected = std::min(deleted, count - 1);
  if (count < kVisibleRows) return {selected, 0};
  return {selected, std::min(top, count - kVisibleRows)};
}

void RestoreRows(Document& doc, std::vector<int> rows) {
  ResObjectSequences* all = doc.ObjectSequences();
  if (!all) return;
  const auto deleted = DeletedSequences(doc);
  std::sort(rows.begin(), rows.end(), std::greater<>());
  for (int row : rows)
    if (row >= 0 && row < static_cast<int>(deleted.size())) all->Restore(deleted[row]);
}

}  // namespace objedit
