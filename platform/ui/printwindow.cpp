#include "platform/ui/printwindow.h"

#include <algorithm>

namespace platform {

namespace {
std::vector<PrintWindow*>& Registry() {
  static std::vector<PrintWindow*> windows;
  return windows;
}
}  // namespace

PrintWindow::PrintWindow(QString title) : title_(std::move(title)) { Registry().push_back(this); }

PrintWindow::~PrintWindow() { std::erase(Registry(), this); }

const std::vector<PrintWindow*>& PrintWindows() { return Registry(); }

}  // namespace platform
