#pragma once

// Smart Tile on rectangles: every window grows until it meets its neighbours or the border of
// the client area (2 pixels inside it), never across another window. Windows that overlap
// cannot be tiled. Entries without a window are left out.

#include <optional>
#include <vector>

struct TileRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  // Windows that only touch do not overlap.
  bool Overlaps(const TileRect& o) const {
    return right > o.left && left < o.right && bottom > o.top && top < o.bottom;
  }
  friend bool operator==(const TileRect&, const TileRect&) = default;
};

// The new rectangles, in the client's coordinates, in the order of the windows (none where
// there was none); none at all when two windows overlap.
std::optional<std::vector<std::optional<TileRect>>> SmartTileRects(
    const std::vector<std::optional<TileRect>>& windows, const TileRect& client);
