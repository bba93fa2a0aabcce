#pragma once

// Which pages a print job prints, and in what order: the range the print dialog chose and the
// copies the device does not make itself.

#include <vector>

enum class PrintRangeKind { kAll, kPages, kSelection };

struct PrintRequest {
  int minPage = 1;  // the printout's pages; maxPage < minPage when it has none
  int maxPage = 0;
  PrintRangeKind range = PrintRangeKind::kAll;
  int fromPage = 0;  // the chosen pages (kPages)
  int toPage = 0;
  int selectionPage = 0;  // the page of the focused window, 0 when none (kSelection)
  int copies = 1;
  bool collate = false;
  bool deviceMakesCopies = false;  // the device repeats the document itself
};

// The pages in printing order: each copy of the range (collated: document after document;
// otherwise each page repeated) unless the device makes the copies. Pages outside the printout
// are never listed; a selection without a page, or a printout without pages, prints nothing.
std::vector<int> PagesToPrint(const PrintRequest& request);
