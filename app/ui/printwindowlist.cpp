#include "app/ui/printwindowlist.h"

#include <algorithm>

void PrintWindowList::Add(const PrintPageEntry& entry) {
  if (!entry.window) return;
  const auto at = std::find_if(entries_.begin(), entries_.end(),
                               [&](const PrintPageEntry& e) { return e.page >= entry.page; });
  entries_.insert(at, entry);
  cursor_ = -1;
}

const PrintPageEntry* PrintWindowList::First() const {
  cursor_ = entries_.empty() ? -1 : 0;
  return cursor_ < 0 ? nullptr : &entries_[cursor_];
}

const PrintPageEntry* PrintWindowList::Next() const {
  if (cursor_ < 0) return First();
  if (++cursor_ >= Count()) {
    cursor_ = -1;
    return nullptr;
  }
  return &entries_[cursor_];
}

const PrintPageEntry* PrintWindowList::Find(int page) const {
  for (const PrintPageEntry* e = First(); e; e = Next())
    if (e->page == page) return e;
  return nullptr;
}
