#pragma once

// ZorvatrackMDIClient: the client area of the main window, parent of every document and analysis
// window. It prints the printable windows of the open documents, sets up the printer and shows
// the print preview with the page setup.

#include <QMdiArea>

#include "platform/commands.h"

class ZorvatrackMDIClient : public QMdiArea, public platform::CommandTarget {
  Q_OBJECT
 public:
  explicit ZorvatrackMDIClient(QWidget* parent = nullptr);

  const platform::CommandTable& Commands() const override;

  // Printing: the print dialog and the printout of every printable window; the printer's setup;
  // the preview in place of the main window. Enabled while a window is active.
  void CmPrint();
  void CmPrinterSetup();
  void CmPageSetup();
  void CePrint(platform::CommandEnabler& ce);
};
