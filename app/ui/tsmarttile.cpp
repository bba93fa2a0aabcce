#include "app/ui/tsmarttile.h"

#include <QMdiArea>
#include <QMdiSubWindow>

#include "app/smarttile.h"
#include "base/messages.h"

bool TSmartTile::SmartTile() {
  if (!client_) return false;
  const QList<QMdiSubWindow*> children = client_->subWindowList(QMdiArea::StackingOrder);
  std::vector<std::optional<TileRect>> rects;
  for (QMdiSubWindow* c : children) {
    // Hidden and minimised children take no room.
    if (!c->isVisible() || c->isMinimized()) {
      rects.emplace_back();
      continue;
    }
    const QRect g = c->geometry();
    rects.push_back(TileRect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()});
  }
  const QRect v = client_->viewport()->rect();
  const auto tiled = SmartTileRects(rects, TileRect{0, 0, v.width(), v.height()});
  if (!tiled) {
    ShowErrorMessage("Unable to tile windows",
                     "Windows may not overlap.\nPlease move windows to non-overlapping positions!");
    return false;
  }
  for (int i = 0; i < children.size(); ++i)
    if (const auto& r = (*tiled)[i])
      children[i]->setGeometry(r->left, r->top, r->right - r->left, r->bottom - r->top);
  return true;
}
