#pragma once

// The geometry of a document's view layout: which rows of the layout table fit a document of n
// image sequences, and where each image view and the docked panel lie in the layout window.
// Pure functions, so the window only applies what they compute.

#include <optional>
#include <span>
#include <vector>

struct LayoutRow {
  int views;
  int columns;
  int rows;
  int variant;    // 1: views row by row; 0: column by column
  int commandId;  // also the id of the row's menu picture; 0 for the single view
};

// The 47 rows of the layout table, in table order.
std::span<const LayoutRow> LayoutTable();

// The first row for viewCount views; row 0 (one view) when there is none (more than 12).
int FirstLayoutRow(int viewCount);
// The row for viewCount views whose command is commandId, or -1.
int LayoutRowForCommand(int viewCount, int commandId);
// The command ids of the rows for viewCount views, in table order (none for one view).
std::vector<int> LayoutCommands(int viewCount);

struct LayoutRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const LayoutRect&, const LayoutRect&) = default;
};

enum DockMode : int { kDockLeft = 0, kDockRight = 2 };

struct LayoutInput {
  int row = 0;            // current row of the table
  int viewCount = 1;      // the document's image sequences
  int activeView = 0;     // index of the active sequence's view
  bool zoomed = false;    // only the active view is shown
  int width = 0;          // client size of the layout window
  int height = 0;
  bool panelDocked = false;
  int dockMode = kDockRight;
  int panelWidth = 0;
};

struct LayoutGeometry {
  std::vector<std::optional<LayoutRect>> views;  // one per view; none for a hidden view
  std::optional<LayoutRect> panel;
};

// Places the panel at its edge and the views in the row's grid: columns but the last take their
// percentage share of the width left beside the panel, rows but the last theirs of the height;
// the last column and row reach the edges.
LayoutGeometry ComputeLayout(const LayoutInput& in);

// Where a new document window goes: at most as large as the client area (width x height) and
// moved so that all of it, its title bar above all, lies inside.
LayoutRect FitInsideClient(const LayoutRect& window, int width, int height);
