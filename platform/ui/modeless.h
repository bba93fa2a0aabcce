#pragma once

// Dialogs that stay open beside the window they work for (the filter and gamma dialogs): the
// window owns them, so they close with it, and it keeps at most one of each kind open.

#include <QDialog>
#include <QList>
#include <QWidget>

#include <utility>

namespace platform {

// The Dialog owner has open, or null. A dialog already closed (hidden, waiting to be deleted)
// does not count.
template <class Dialog>
Dialog* OpenDialogOf(QWidget* owner) {
  for (Dialog* dialog : owner->findChildren<Dialog*>(QString(), Qt::FindDirectChildrenOnly))
    if (!dialog->isHidden()) return dialog;
  return nullptr;
}

// Opens Dialog(owner, args...) beside owner, or brings the one it has open to the front.
// created tells which happened. The dialog deletes itself when closed.
template <class Dialog, class... Args>
Dialog* ShowModeless(QWidget* owner, bool* created, Args&&... args) {
  Dialog* dialog = OpenDialogOf<Dialog>(owner);
  if (created) *created = !dialog;
  if (!dialog) {
    dialog = new Dialog(owner, std::forward<Args>(args)...);
    dialog->setModal(false);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
  }
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
  return dialog;
}

// Closes every dialog owner has open as its OK does, keeping what was chosen in it; for when
// what the dialogs work on is about to change under them.
inline void AcceptOpenDialogs(QWidget* owner) {
  for (QDialog* dialog : owner->findChildren<QDialog*>(QString(), Qt::FindDirectChildrenOnly))
    if (!dialog->isHidden()) dialog->accept();
}

}  // namespace platform
