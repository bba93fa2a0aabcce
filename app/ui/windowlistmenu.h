#pragma once

// WindowListMenu: the list of open MDI windows at the end of the Window menu: after a separator,
// one entry per document, analysis and 3D window, by title, in the order they were opened, the
// active one checked. It is built anew each time the menu opens; choosing an entry activates
// that window, restoring it first when it is minimised.

#include <QList>
#include <QObject>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

class WindowListMenu : public QObject {
  Q_OBJECT
 public:
  // Lives as long as menu, whose end it fills with the windows of area.
  WindowListMenu(QMenu* menu, QMdiArea* area);

  // The entries for the windows open now.
  void Rebuild();
  const QList<QAction*>& Entries() const { return entries_; }
  QMenu* Menu() const { return menu_; }

 private:
  void Choose(QMdiSubWindow* child);

  QMenu* menu_;
  QMdiArea* area_;
  QAction* separator_ = nullptr;
  QList<QAction*> entries_;
};

// The menu a menu item was added to, or null.
QMenu* MenuHolding(QAction* item);
