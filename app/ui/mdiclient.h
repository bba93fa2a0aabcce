#pragma once

// ZorvatrackMDIClient: the client area of the main window, parent of every document and analysis
// window. It opens the analysis windows of the active document (their captions numbered by a
// serial), arranges the windows (Smart Tile, cascade, tile, icons, close all), docks the toolbar
// again and runs the origin-and-units dialog; it prints the printable windows of the open
// documents, sets up the printer and shows the print preview with the page setup.

#include <QMdiArea>

#include "platform/commands.h"

class AnlWinLayout;
class Resource;

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

  // The layout of the active analysis window, or null.
  AnlWinLayout* ActiveAnalysisLayout() const;
  // The document the analysis commands act on: the active document window's, else the active
  // analysis window's.
  Resource* AnalysisDocument() const;
  // Opens the analysis window of command id (25301..25358, 25360) for the active document;
  // null when none could be made.
  AnlWinLayout* OpenAnalysisWindow(int id);
  unsigned AnalysisSerial() const { return serial_; }

  void CmAnalysisWindow(int id);
  void CeAnalysisWindow(platform::CommandEnabler& ce);
  void CeNever(platform::CommandEnabler& ce) { ce.Enable(false); }
  // Grows every child until it meets its neighbours or the border; false (after a message)
  // when windows overlap.
  bool SmartTile();
  void CmSmartTile() { SmartTile(); }
  // The arrangement, Smart Tile and Toolbar commands need a child window.
  void CeActiveChild(platform::CommandEnabler& ce);
  void CmWindowArrangement(int id);
  void CmRedockToolbar();
  void CmOriginUnits();

 private:
  // Beside the document's window, at its top: right of it, or 20 pixels in from its left edge
  // when it would pass the client's right edge.
  void PlaceBesideDocument(QMdiSubWindow* child, Resource* document);

  unsigned serial_ = 0;
};
