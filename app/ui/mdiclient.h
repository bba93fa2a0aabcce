#pragma once

// ZorvatrackMDIClient: the client area of the main window, parent of every document and analysis
// window. It opens the analysis windows of the active document (their captions numbered by a
// serial), arranges the windows (Smart Tile, cascade, tile, icons, close all), docks the toolbar
// again and runs the origin-and-units dialog; it prints the printable windows of the open
// documents, sets up the printer and shows the print preview with the page setup.

#include <QMdiArea>

#include <memory>

#include "platform/commands.h"

class AnlWinLayout;
class TSmartTile;
class Resource;

class ZorvatrackMDIClient : public QMdiArea, public platform::CommandTarget {
  Q_OBJECT
 public:
  explicit ZorvatrackMDIClient(QWidget* parent = nullptr);
  ~ZorvatrackMDIClient() override;

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
  // The windows of sequences and connections (25301..25329, 25360), and those of a body model
  // (25330..25358), which need an object model; each by the first and the active document.
  void CeAnalysisWindow(platform::CommandEnabler& ce);
  void CeAnalysisWindowCM(platform::CommandEnabler& ce) { CeAnalysisWindow(ce); }
  void CeNever(platform::CommandEnabler& ce) { ce.Enable(false); }
  // Grows every child until it meets its neighbours or the border; false (after a message)
  // when windows overlap.
  bool SmartTile();
  void CmSmartTile() { SmartTile(); }
  // The arrangement, Smart Tile and Toolbar commands need a child window.
  void CeActiveChild(platform::CommandEnabler& ce);
  void CeSmartTile(platform::CommandEnabler& ce) { CeActiveChild(ce); }
  void CeRedockToolbar(platform::CommandEnabler& ce) { CeActiveChild(ce); }
  void CmWindowArrangement(int id);
  // Cascade: the windows overlap from the top left, each showing its title bar and most of
  // its contents.
  void Cascade();
  void CmRedockToolbar();
  void CmOriginUnits();

 private:
  // Beside the document's window, at its top: right of it, or 20 pixels in from its left edge
  // when it would pass the client's right edge.
  void PlaceBesideDocument(QMdiSubWindow* child, Resource* document);

  unsigned serial_ = 0;
  std::unique_ptr<TSmartTile> smartTile_;
};
