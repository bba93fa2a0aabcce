#include "app/viewlayout.h"

#include <gtest/gtest.h>

#include <ostream>

void PrintTo(const LayoutRect& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace {

TEST(ViewLayout, TableOffersEachCountItsRows) {
  ASSERT_EQ(LayoutTable().size(), 47u);
  for (const auto& row : LayoutTable()) EXPECT_EQ(row.columns * row.rows, row.views);
  EXPECT_EQ(LayoutCommands(1), std::vector<int>{});
  EXPECT_EQ(LayoutCommands(4), (std::vector<int>{25020, 25021, 25022, 25023}));
  for (int n : {10, 11, 12}) {
    int rowRow = LayoutRowForCommand(n, 25042);
    int colRow = LayoutRowForCommand(n, 25043);
    ASSERT_GE(rowRow, 0);
    EXPECT_EQ(LayoutTable()[rowRow].views, n);
    EXPECT_EQ(LayoutTable()[rowRow].columns, n);
    EXPECT_EQ(LayoutTable()[colRow].rows, n);
  }
  EXPECT_EQ(FirstLayoutRow(13), 0);
  EXPECT_EQ(LayoutRowForCommand(4, 25016), -1);
}

struct GridCase {
  int views;
  int command;
  int view;
  LayoutRect expected;
};

TEST(ViewLayout, PlacesViewsInTheRowsGrid) {
  const GridCase cases[] = {
      // 4 views in one column, the first on top.
      {4, 25023, 0, {0, 0, 800, 150}},
      {4, 25023, 3, {0, 450, 800, 600}},
      // 3x2 row by row: views 0, 1, 2 on top; 33 percent of 800 is 264.
      {6, 25026, 2, {528, 0, 800, 300}},
      {6, 25026, 3, {0, 300, 264, 600}},
      // 3x2 column by column: views 0 and 1 in the first column.
      {6, 25027, 1, {0, 300, 264, 600}},
      {6, 25027, 2, {264, 0, 528, 300}},
  };
  for (const auto& c : cases) {
    LayoutInput in;
    in.viewCount = c.views;
    in.row = LayoutRowForCommand(c.views, c.command);
    in.width = 800;
    in.height = 600;
    LayoutGeometry g = ComputeLayout(in);
    ASSERT_TRUE(g.views[c.view]) << c.command << " view " << c.view;
    EXPECT_EQ(*g.views[c.view], c.expected) << c.command << " view " << c.view;
  }
}

TEST(ViewLayout, DockedPanelTakesItsEdgeAndShrinksTheShares) {
  LayoutInput in;
  in.viewCount = 2;
  in.row = LayoutRowForCommand(2, 25016);
  in.width = 1000;
  in.height = 500;
  in.panelDocked = true;
  in.panelWidth = 200;
  in.dockMode = kDockLeft;
  LayoutGeometry g = ComputeLayout(in);
  EXPECT_EQ(*g.panel, (LayoutRect{0, 0, 200, 500}));
  EXPECT_EQ(*g.views[0], (LayoutRect{200, 0, 600, 500}));  // 40 percent of 1000
  EXPECT_EQ(*g.views[1], (LayoutRect{600, 0, 1000, 500}));
  in.dockMode = kDockRight;
  g = ComputeLayout(in);
  EXPECT_EQ(*g.panel, (LayoutRect{800, 0, 1000, 500}));
  EXPECT_EQ(*g.views[1], (LayoutRect{400, 0, 800, 500}));
}

TEST(ViewLayout, ZoomAndSingleViewsShowOnlyTheActiveView) {
  LayoutInput in;
  in.viewCount = 3;
  in.row = FirstLayoutRow(3);
  in.zoomed = true;
  in.activeView = 1;
  in.width = 300;
  in.height = 100;
  LayoutGeometry g = ComputeLayout(in);
  EXPECT_FALSE(g.views[0]);
  EXPECT_EQ(*g.views[1], (LayoutRect{0, 0, 300, 100}));
  EXPECT_FALSE(g.views[2]);
  in.viewCount = 13;  // no row for 13: the single-view row
  in.row = FirstLayoutRow(13);
  in.zoomed = false;
  in.activeView = 12;
  g = ComputeLayout(in);
  EXPECT_EQ(std::count_if(g.views.begin(), g.views.end(), [](auto& v) { return v.has_value(); }), 1);
  EXPECT_TRUE(g.views[12]);
  in.viewCount = 2;  // a minimised window has no width: nothing divides by it
  in.row = FirstLayoutRow(2);
  in.width = 0;
  in.panelDocked = true;
  in.panelWidth = 200;
  g = ComputeLayout(in);
  EXPECT_TRUE(g.views[0]);
}

TEST(ViewLayout, NewWindowsFitInsideTheClientArea) {
  struct Case {
    LayoutRect window;
    int width, height;
    LayoutRect placed;
  };
  const Case cases[] = {
      {{10, 20, 410, 320}, 1000, 700, {10, 20, 410, 320}},         // fits: stays
      {{1300, 40, 2260, 600}, 1600, 900, {640, 40, 1600, 600}},    // off the right edge
      {{30, -25, 630, 475}, 1000, 700, {30, 0, 630, 500}},         // title bar above the area
      {{200, 100, 2120, 1180}, 1500, 800, {0, 0, 1500, 800}},      // larger: shrunk to the area
      {{0, 0, 100, 100}, 0, 0, {0, 0, 0, 0}},                      // no area at all
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitInsideClient(c.window, c.width, c.height), c.placed)
        << c.window.left << "," << c.window.top;
}

}  // namespace
