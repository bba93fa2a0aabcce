#include "objects/objcommands.h"

#include <algorithm>
#include <map>
#include <set>

#include "base/document.h"
#include "objects/docaccess.h"
#include "objects/objects_ids.h"
#include "objects/osguard.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "sequences/framesequence.h"

namespace objcmd {
namespace {

// Numbers of the sequences each document (by its serial, never reused) made since it was
// opened or last loaded.
std::map<unsigned, std::set<int>>& Fresh() {
  static std::map<unsigned, std::set<int>> fresh;
  return fresh;
}

bool AnyOrdinary(const Document& doc) {
  return doc.ObjectSequences() &&
         SequenceIterator(*doc.ObjectSequences(), seqmask::kOrdinary).Current() != nullptr;
}

}  // namespace

bool HasAnyPoint(const Document& doc, const ResObjectSequence& s) {
  if (s.Count() > 0) return true;
  for (int i = 0; i < doc.SequenceCount(); ++i) {
    const auto& subs = doc.Sequence(i)->subObjectSequences;
    const SubObjectSequence* sub = subs ? subs->Find(s.number) : nullptr;
    if (sub && sub->Count() > 0) return true;
  }
  return false;
}

ResObjectSequence* NewObjectSequence(Document& doc) {
  if (!CanNewObjectSequence(doc)) return nullptr;
  ResObjectSequence* s = doc.ObjectSequences()->NewSequence(seqflag::kNewSequence);
  if (!s) return nullptr;
  Fresh()[doc.Serial()].insert(s->number);
  doc.UpdateViews();
  return s;
}

bool CanNewObjectSequence(const Document& doc) {
  return doc.ObjectSequences() && doc.SequenceCount() > 0;
}

void DeleteObjectSequence(Document& doc) {
  if (!CanDeleteObjectSequence(doc)) return;
  doc.ObjectSequences()->DeleteSequence(-1);
  doc.UpdateViews();
}

bool CanDeleteObjectSequence(Document& doc) {
  ResObjectSequences* all = doc.ObjectSequences();
  ResObjectSequence* s = all ? all->GetCurrent() : nullptr;
  return s && !s->GetModelDefaultCoord();
}

void Undelete(Document& doc) {
  if (!CanUndelete(doc)) return;
  doc.ObjectSequences()->Undelete();
  doc.UpdateViews();
}

bool CanUndelete(const Document& doc) {
  return doc.ObjectSequences() && doc.ObjectSequences()->CountDeleted() >= 1;
}

bool Save(Document& doc) { return CanSave(doc) && doc.ObjectSequences()->SaveAll(); }

bool SaveAsNew(Document& doc) {
  if (!CanSave(doc)) return false;
  ResObjectSequences& all = *doc.ObjectSequences();
  const int previous = all.selectedVersion;
  all.selectedVersion = osfile::NextFreeVersion(&doc);
  if (all.SaveAll()) return true;
  all.selectedVersion = previous;
  return false;
}

bool CanSave(const Document& doc) { return AnyOrdinary(doc); }

bool Load(Document& doc) {
  // Only the object sequences are replaced: the calibrations and the document stay as they are.
  if (!CanLoad(doc) || !doc.AskSaveObjectSequences()) return false;
  doc.ResetObjectSequences();
  Fresh().erase(doc.Serial());
  doc.ObjectSequences()->LoadVersion();
  doc.UpdateViews();
  return true;
}

bool CanLoad(const Document& doc) {
  return doc.ObjectSequences() && doc.SequenceCount() > 0 && doc.ObjectSequences()->AllFilesExist();
}

bool MayDiscard(const Document& doc, const ResObjectSequence& s) {
  auto it = Fresh().find(doc.Serial());
  return !s.placed && it != Fresh().end() && it->second.count(s.number) && !HasAnyPoint(doc, s);
}

}  // namespace objcmd
