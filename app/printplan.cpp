#include "app/printplan.h"

#include <algorithm>

std::vector<int> PagesToPrint(const PrintRequest& r) {
  std::vector<int> pages;
  if (r.maxPage < r.minPage || r.minPage < 1) return pages;
  int first = r.minPage, last = r.maxPage;
  switch (r.range) {
    case PrintRangeKind::kSelection:
      if (r.selectionPage == 0) return pages;
      first = last = r.selectionPage;
      break;
    case PrintRangeKind::kPages:
      first = std::max(r.fromPage, r.minPage);
      last = std::min(r.toPage, r.maxPage);
      break;
    case PrintRangeKind::kAll:
      break;
  }
  if (first < r.minPage || last > r.maxPage || last < first) return pages;
  // A document of a million copies is a typing slip, not a job: keep the count sane.
  constexpr int kMaxCopies = 999;
  const int copies = r.deviceMakesCopies ? 1 : std::clamp(r.copies, 1, kMaxCopies);
  if (r.collate) {
    for (int c = 0; c < copies; ++c)
      for (int p = first; p <= last; ++p) pages.push_back(p);
  } else {
    for (int p = first; p <= last; ++p)
      for (int c = 0; c < copies; ++c) pages.push_back(p);
  }
  return pages;
}
