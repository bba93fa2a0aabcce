#include "app/cascade.h"

#include <algorithm>

std::vector<TileRect> CascadeRects(int count, int width, int height, int step) {
  std::vector<TileRect> rects;
  if (count <= 0) return rects;
  const int w = std::max(width - (count - 1) * step, width / 2);
  const int h = std::max(height - (count - 1) * step, height / 2);
  // Past the point where the next window would leave the client, the row starts again.
  const int fit = std::max(1, std::min((width - w) / std::max(1, step),
                                       (height - h) / std::max(1, step)) + 1);
  for (int i = 0; i < count; ++i) {
    const int at = (i % fit) * step;
    rects.push_back(TileRect{at, at, at + w, at + h});
  }
  return rects;
}
