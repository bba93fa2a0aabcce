#pragma once

// ViewLayoutWindow: the client of a document window. It tiles the image views of the document's
// sequences by the current row of the layout table, shows only the active view while zoomed,
// and builds the "&Layout" submenu for the focused document.

#include <QWidget>

#include <vector>

#include "app/viewlayout.h"

class QAction;
class Resource;

class ViewLayoutWindow : public QWidget {
  Q_OBJECT
 public:
  ViewLayoutWindow(Resource& document, QWidget* parent);

  // Places the views (and the docked panel); on the first call chooses the first row for the
  // document's sequence count and sizes the document window to show every frame whole.
  void ArrangeViews();
  // Rebuilds the "&Layout" submenu of the main menu: the rows for this document, the current
  // one checked, and "&Zoom".
  void BuildLayoutMenu();
  // Commands 25014 (zoom) and the layout rows.
  void CmLayout(int id);
  void ToggleZoom();

  // Shows panel at its edge: a nonzero mode becomes the dock mode (2 right; 0 keeps the side).
  // The document window grows by the panel's width unless a panel was docked already (that one
  // is hidden).
  void DockWindow(QWidget* panel, int mode);
  // Hides the docked panel and gives its width back.
  void UndockWindow();
  // Moves the docked panel to the other edge.
  void ToggleDockMode();
  QWidget* DockedPanel() const { return panel_; }
  int DockMode() const { return dockMode_; }

  bool IsZoomed() const { return zoomed_; }
  int CurrentRow() const { return row_; }
  bool LaidOut() const { return laidOut_; }
  // The geometry the views were last given (for tests and printing).
  const LayoutGeometry& Geometry() const { return geometry_; }

  // The picture of a layout row's menu item: its grid of views.
  static QIcon LayoutIcon(const LayoutRow& row);

 protected:
  void resizeEvent(QResizeEvent*) override;

 private:
  QWidget* ViewOf(int index) const;
  int ActiveIndex() const;
  void Place();
  // Grows (or shrinks) the document window by dx, and to at least height.
  void ResizeDocumentWindow(int dx, int height);

  Resource& document_;
  int row_ = 0;
  bool laidOut_ = false;
  bool zoomed_ = false;
  QWidget* panel_ = nullptr;
  int dockMode_ = kDockRight;
  LayoutGeometry geometry_;
};
