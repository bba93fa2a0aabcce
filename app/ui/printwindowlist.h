#pragma once

// PrintWindowList: the printable windows of a printout in ascending page order, with a reading
// cursor. Each entry records one window's page and its screen size when it was listed; the
// windows themselves are not owned.

#include <QPointer>
#include <QSize>
#include <QWidget>

#include <vector>

namespace platform {
class PrintWindow;
}

// One page of a printout.
struct PrintPageEntry {
  platform::PrintWindow* window = nullptr;
  QPointer<QWidget> widget;  // the window as a widget, to see that it still lives
  bool isWidget = false;
  int page = 0;
  QSize size;  // screen size when listed: the frame bitmap, the window's client area
};

class PrintWindowList {
 public:
  // Puts the entry in front of the first one whose page is not smaller; an entry without a
  // window is ignored.
  void Add(const PrintPageEntry& entry);
  // The cursor moves to the first entry (none for an empty list) and returns it.
  const PrintPageEntry* First() const;
  // The entry after the cursor's (the first one when there is no cursor), none after the last.
  const PrintPageEntry* Next() const;
  // The entry of page, found by walking the list from its first entry; null when none.
  const PrintPageEntry* Find(int page) const;

  int Count() const { return static_cast<int>(entries_.size()); }
  const std::vector<PrintPageEntry>& Pages() const { return entries_; }

 private:
  std::vector<PrintPageEntry> entries_;
  // The reading position only; a walk does not change what the list holds.
  mutable int cursor_ = -1;
};
