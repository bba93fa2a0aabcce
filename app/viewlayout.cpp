#include "app/viewlayout.h"

#include <algorithm>

namespace {

constexpr LayoutRow kTable[] = {
    {1, 1, 1, 1, 0},
    {2, 2, 1, 1, 25016},  {2, 1, 2, 0, 25017},
    {3, 3, 1, 1, 25018},  {3, 1, 3, 0, 25019},
    {4, 2, 2, 1, 25020},  {4, 2, 2, 0, 25021},  {4, 4, 1, 1, 25022},  {4, 1, 4, 0, 25023},
    {5, 5, 1, 1, 25024},  {5, 1, 5, 0, 25025},
    {6, 3, 2, 1, 25026},  {6, 3, 2, 0, 25027},  {6, 2, 3, 1, 25028},  {6, 2, 3, 0, 25029},
    {6, 6, 1, 1, 25030},  {6, 1, 6, 0, 25031},
    {7, 7, 1, 1, 25032},  {7, 1, 7, 0, 25033},
    {8, 4, 2, 1, 25034},  {8, 4, 2, 0, 25035},  {8, 2, 4, 1, 25036},  {8, 2, 4, 0, 25037},
    {8, 8, 1, 1, 25038},  {8, 1, 8, 0, 25039},
    {9, 3, 3, 1, 25040},  {9, 3, 3, 0, 25041},  {9, 9, 1, 1, 25042},  {9, 1, 9, 0, 25043},
    {10, 5, 2, 1, 25044}, {10, 5, 2, 0, 25045}, {10, 2, 5, 1, 25046}, {10, 2, 5, 0, 25047},
    {10, 10, 1, 1, 25042}, {10, 1, 10, 0, 25043},
    {11, 11, 1, 1, 25042}, {11, 1, 11, 0, 25043},
    {12, 4, 3, 1, 25052}, {12, 4, 3, 0, 25053}, {12, 3, 4, 1, 25054}, {12, 3, 4, 0, 25055},
    {12, 6, 2, 1, 25056}, {12, 6, 2, 0, 25057}, {12, 2, 6, 1, 25058}, {12, 2, 6, 0, 25059},
    {12, 12, 1, 1, 25042}, {12, 1, 12, 0, 25043},
};

// Edges of cells 0..count-1 along one axis from first to last: all but the last cell take
// share percent of the whole extent.
std::vector<int> Edges(int first, int last, int count, int share, int whole) {
  std::vector<int> edges(count + 1);
  edges[0] = first;
  for (int i = 1; i < count; ++i) edges[i] = edges[i - 1] + share * whole / 100;
  edges[count] = last;
  return edges;
}

}  // namespace

std::span<const LayoutRow> LayoutTable() { return kTable; }

int FirstLayoutRow(int viewCount) {
  for (int i = 0; i < static_cast<int>(std::size(kTable)); ++i)
    if (kTable[i].views == viewCount) return i;
  return 0;
}

int LayoutRowForCommand(int viewCount, int commandId) {
  for (int i = 0; i < static_cast<int>(std::size(kTable)); ++i)
    if (kTable[i].views == viewCount && kTable[i].commandId == commandId) return i;
  return -1;
}

std::vector<int> LayoutCommands(int viewCount) {
  std::vector<int> ids;
  for (const auto& row : kTable)
    if (row.views == viewCount && row.commandId != 0) ids.push_back(row.commandId);
  return ids;
}

LayoutGeometry ComputeLayout(const LayoutInput& in) {
  LayoutGeometry g;
  g.views.resize(std::max(0, in.viewCount));
  int left = 0, right = in.width;
  if (in.panelDocked) {
    if (in.dockMode == kDockLeft) {
      g.panel = LayoutRect{0, 0, in.panelWidth, in.height};
      left = in.panelWidth;
    } else {
      g.panel = LayoutRect{in.width - in.panelWidth, 0, in.width, in.height};
      right = in.width - in.panelWidth;
    }
  }
  const LayoutRow& row = kTable[std::clamp(in.row, 0, static_cast<int>(std::size(kTable)) - 1)];
  if (row.views == 1 || in.zoomed || row.views != in.viewCount) {
    if (in.activeView >= 0 && in.activeView < in.viewCount)
      g.views[in.activeView] = LayoutRect{left, 0, right, in.height};
    return g;
  }
  // A minimised document has no width: guard the share against dividing by zero.
  int share = in.panelDocked ? 100 - in.panelWidth * 100 / std::max(1, in.width) : 100;
  share /= row.columns;
  auto xs = Edges(left, right, row.columns, share, in.width);
  auto ys = Edges(0, in.height, row.rows, 100 / row.rows, in.height);
  for (int i = 0; i < row.views; ++i) {
    int c = row.variant == 1 ? i % row.columns : i / row.rows;
    int r = row.variant == 1 ? i / row.columns : i % row.rows;
    g.views[i] = LayoutRect{xs[c], ys[r], xs[c + 1], ys[r + 1]};
  }
  return g;
}

LayoutRect FitInsideClient(const LayoutRect& window, int width, int height) {
  const int w = std::clamp(window.Width(), 0, std::max(0, width));
  const int h = std::clamp(window.Height(), 0, std::max(0, height));
  const int left = std::clamp(window.left, 0, std::max(0, width) - w);
  const int top = std::clamp(window.top, 0, std::max(0, height) - h);
  return {left, top, left + w, top + h};
}
