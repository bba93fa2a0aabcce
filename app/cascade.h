#pragma once

// Cascade on rectangles: the windows stand one behind the other from the top left corner, each
// a title bar's height further right and down than the one before, all of one size that lets
// the last one end at the client's bottom right corner (but never smaller than half the client
// in either direction), so every title bar shows and every window shows its contents.

#include <vector>

#include "app/smarttile.h"

// The rectangles of count windows, back to front, in a client of width x height; step is the
// height of a title bar.
std::vector<TileRect> CascadeRects(int count, int width, int height, int step);
