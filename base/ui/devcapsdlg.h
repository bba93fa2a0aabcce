#pragma once

// DevCapsDlg ("Device Caps"): what a paint device reports of itself, for diagnostics: numbers,
// its technology and its capability lists. It changes nothing. The image view opens it for the
// screen, the print preview for the printer.

#include "base/devcaps.h"
#include "platform/ui/table_dialog.h"

class QPaintDevice;
class QPrinter;
class QWidget;

class DevCapsDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  DevCapsDlg(QWidget* parent, const DeviceCaps& caps);

  // Writes the values and fills the five lists.
  void ShowCaps(const DeviceCaps& caps);
};

// What the screen under a widget reports.
DeviceCaps ScreenCaps(const QWidget& widget);
// What a printer reports; a PDF file counts as a metafile.
DeviceCaps PrinterCaps(QPrinter& printer);
