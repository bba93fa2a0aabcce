#pragma once

// The program's bitmaps by resource id: toolbar and menu pictures (the id of their command),
// the abort button, the program icon and the About box pictures. They are drawn in code on a
// 16 x 16 grid (48 x 48 for the About pictures), so they stay sharp at every size and scale.

#include <QIcon>
#include <QPixmap>

#include <functional>

class QPainter;

namespace bitmaps {

// Draws one picture on its grid; disabled pictures are drawn in grey.
using Drawer = std::function<void(QPainter& painter, bool disabled)>;

// Adds the picture of id, drawn on a grid of gridSize units. Each id has one picture wherever
// it is shown: an id that has one keeps it, and false is returned.
bool Register(int id, Drawer drawer, int gridSize = 16);
bool Has(int id);
// The picture of id at size x size device-independent pixels; null when there is none.
QPixmap Load(int id, int size = 16, qreal devicePixelRatio = 1.0);
// The picture of id as an icon that draws itself at any size; null icon when there is none.
QIcon Icon(int id);

}  // namespace bitmaps
