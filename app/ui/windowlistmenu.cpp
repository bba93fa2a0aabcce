#include "app/ui/windowlistmenu.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPointer>

#include "app/windowlist.h"

WindowListMenu::WindowListMenu(QMenu* menu, QMdiArea* area)
    : QObject(menu), menu_(menu), area_(area) {
  connect(menu_, &QMenu::aboutToShow, this, &WindowListMenu::Rebuild);
}

void WindowListMenu::Rebuild() {
  for (QAction* entry : entries_) {
    menu_->removeAction(entry);
    entry->deleteLater();
  }
  entries_.clear();
  if (separator_) {
    menu_->removeAction(separator_);
    separator_->deleteLater();
    separator_ = nullptr;
  }
  QList<QMdiSubWindow*> open;
  for (QMdiSubWindow* child : area_->subWindowList(QMdiArea::CreationOrder))
    if (!child->isHidden()) open << child;
  if (open.isEmpty()) return;
  separator_ = menu_->addSeparator();
  QMdiSubWindow* current = area_->currentSubWindow();
  for (int i = 0; i < open.size(); ++i) {
    QMdiSubWindow* child = open[i];
    QAction* entry = menu_->addAction(
        QString::fromStdString(WindowListEntry(i + 1, child->windowTitle().toStdString())));
    // Only the active window carries a mark; the others show their number alone.
    entry->setCheckable(child == current);
    entry->setChecked(child == current);
    // A window closed while the menu is open is no longer chosen.
    connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(child)] {
      if (window) Choose(window);
    });
    entries_ << entry;
  }
}

void WindowListMenu::Choose(QMdiSubWindow* child) {
  if (child->isMinimized()) child->showNormal();
  area_->setActiveSubWindow(child);
}

QMenu* MenuHolding(QAction* item) {
  if (!item) return nullptr;
  for (QObject* holder : item->associatedObjects())
    if (auto* menu = qobject_cast<QMenu*>(holder)) return menu;
  return nullptr;
}
