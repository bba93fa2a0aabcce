#pragma once

// ZorvatrackAboutDlg: the "Info" box of Help > About, with the version strings of the program.

#include "platform/ui/table_dialog.h"

class ZorvatrackAboutDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  explicit ZorvatrackAboutDlg(QWidget* parent);
};

// Places window beside (mode 2), below (mode 3) or over (any other mode) reference, or over the
// main window without a reference, and keeps it on the screen; nothing happens without a window.
void PlaceWindow(QWidget* window, QWidget* reference, int mode);
