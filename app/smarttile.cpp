#include "app/smarttile.h"

namespace {

constexpr int kBorder = 2;

// Moves one edge of every window in turn as far as its overlapping neighbours let it; each
// window's new edge is seen by the windows after it.
template <class Edge>
void GrowEdges(std::vector<std::optional<TileRect>>& rects, Edge edge) {
  for (auto& r : rects) {
    if (!r) continue;
    edge(*r, nullptr);
    for (const auto& q : rects)
      if (q && &q != &r && q->Overlaps(*r)) edge(*r, &*q);
  }
}

}  // namespace

std::optional<std::vector<std::optional<TileRect>>> SmartTileRects(
    const std::vector<std::optional<TileRect>>& windows, const TileRect& client) {
  for (std::size_t a = 0; a < windows.size(); ++a)
    for (std::size_t b = 0; b < windows.size(); ++b)
      if (a != b && windows[a] && windows[b] && windows[a]->Overlaps(*windows[b]))
        return std::nullopt;

  std::vector<std::optional<TileRect>> rects = windows;
  const TileRect c{client.left + kBorder, client.top + kBorder, client.right - kBorder,
                   client.bottom - kBorder};
  GrowEdges(rects, [&](TileRect& r, const TileRect* q) {
    if (!q) r.left = c.left;
    else if (r.left < q->right) r.left = q->right;
  });
  GrowEdges(rects, [&](TileRect& r, const TileRect* q) {
    if (!q) r.right = c.right;
    else if (q->left < r.right) r.right = q->left;
  });
  GrowEdges(rects, [&](TileRect& r, const TileRect* q) {
    if (!q) r.top = c.top;
    else if (q->bottom > r.top) r.top = q->bottom;
  });
  GrowEdges(rects, [&](TileRect& r, const TileRect* q) {
    if (!q) r.bottom = c.bottom;
    else if (q->top < r.bottom) r.bottom = q->top;
  });
  return rects;
}
