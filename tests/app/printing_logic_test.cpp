// Page placement, the page-setup panel's rules, the pages a job prints and the lines of the
// device-capabilities dialog, without windows.

#include <gtest/gtest.h>

#include <string>

#include "app/pagesetup.h"
#include "app/printersettings.h"
#include "app/printplan.h"
#include "base/devcaps.h"

namespace {

// A 210 x 297 mm sheet at 600 dots per inch on a 96 pixels-per-inch screen.
PrinterSettings A4() {
  PrinterSettings s;
  s.ScreenPpiX = s.ScreenPpiY = 96;
  s.FromPrinter({4960, 7015, 600, 600, 210, 297}, std::nullopt);
  return s;
}

TEST(PageGeometry, FromPrinterFillsThePageAndTheAreaInsideTheMargins) {
  const PrinterSettings s = A4();
  EXPECT_EQ(s.PaperWidth, 21000);
  EXPECT_EQ(s.PaperHeight, 29700);
  EXPECT_EQ(s.AreaLeft, 0);
  EXPECT_EQ(s.AreaWidth, 21000 - 2 * 2540);
  EXPECT_EQ(s.AreaHeight, 29700 - 2 * 2540);

  PrinterSettings m = A4();
  m.FromPrinter({4960, 7015, 600, 600, 210, 297}, PageMargins{1000, 2000, 3000, 4000});
  EXPECT_EQ(m.MarginLeft, 1000);
  EXPECT_EQ(m.MarginTop, 2000);
  EXPECT_EQ(m.MarginRight, 3000);
  EXPECT_EQ(m.MarginBottom, 4000);
  EXPECT_EQ(m.AreaWidth, 21000 - 4000);
  EXPECT_EQ(m.AreaHeight, 29700 - 6000);
}

// Each row sets the layout and places a window of 640 x 480 (or 0 x 0) screen pixels; the
// expected rectangles are worked out by hand from the layout's rules.
TEST(PageGeometry, WindowsArePlacedAsTheLayoutSays) {
  struct Case {
    const char* what;
    bool wholePage, keepAspect;
    int horz, vert;
    int w, h;
    QRect expected;
  };
  const Case cases[] = {
      // 794 x 1122 screen pixels of page less two margins of 96.
      {"defaults stretch the window inside the margins", true, false, PosCenter, PosCenter, 640,
       480, QRect(96, 96, 602, 930)},
      {"an empty window gets the page inside the margins whatever the flags", false, true, PosLeft,
       PosTop, 0, 0, QRect(133, 171, 602, 930)},
      {"aspect on the whole page: width limits, centred vertically", true, true, PosCenter,
       PosCenter, 640, 480, QRect(96, 335, 601, 451)},
      {"aspect at the top right", true, true, PosRight, PosTop, 640, 480,
       QRect(697 - 601, 96, 601, 451)},
      {"print area at the left and top", false, false, PosLeft, PosTop, 640, 480,
       QRect(133, 171, 377, 113)},
      {"print area at the right and bottom", false, false, PosRight, PosBottom, 640, 480,
       QRect(511 - 377, 284 - 113, 377, 113)},
      {"aspect in the print area: height limits, centred", false, true, PosCenter, PosCenter, 640,
       480, QRect(133 + 113, 171, 151, 113)},
  };
  for (const Case& c : cases) {
    PrinterSettings s = A4();
    s.WholePage = c.wholePage;
    s.KeepAspect = c.keepAspect;
    s.HorzPosition = c.horz;
    s.VertPosition = c.vert;
    if (!c.wholePage) {
      s.AreaLeft = 1000;
      s.AreaTop = 2000;
      s.AreaWidth = 10000;
      s.AreaHeight = 3000;
    }
    EXPECT_EQ(s.PlaceOnPage(s.PrintSize(c.w, c.h)), c.expected) << c.what;
  }
}

TEST(PageGeometry, NoPrinterYetGivesAnEmptySizeInsteadOfADivisionByZero) {
  PrinterSettings s;  // nothing consulted: printer pixels per inch 0
  EXPECT_TRUE(s.PrintSize(640, 480).isEmpty());
  s.KeepAspect = true;
  EXPECT_TRUE(s.PrintSize(640, 480).isEmpty());
  PrinterSettings noScreen = A4();
  noScreen.ScreenPpiX = 0;
  EXPECT_TRUE(noScreen.PrintSize(640, 480).isEmpty());
  // A window far too big for any page gives no overflow, only a (clipped) size.
  PrinterSettings huge = A4();
  huge.KeepAspect = true;
  huge.WholePage = false;
  const QSize size = huge.PrintSize(2000000000, 1);
  EXPECT_GE(size.width(), 0);
  EXPECT_LE(size.width(), huge.Px(huge.AreaWidth));
}

TEST(PageGeometry, ClampKeepsMarginsAndAreaOnThePaper) {
  PrinterSettings s = A4();
  s.MarginLeft = 15000;
  s.MarginRight = 10000;
  s.Clamp();
  EXPECT_EQ(s.MarginLeft, (21000 - 10) / 2) << "margins past the paper share it";
  EXPECT_EQ(s.MarginRight, (21000 - 10) / 2);

  s = A4();
  s.MarginTop = -3000;
  s.MarginLeft = -1;
  s.Clamp();
  EXPECT_EQ(s.MarginTop, 0) << "a negative margin would put the window off the paper";
  EXPECT_EQ(s.MarginLeft, 0);

  s = A4();  // room between the margins: 15920
  s.AreaLeft = 10000;
  s.AreaWidth = 8000;
  s.Clamp();
  EXPECT_EQ(s.AreaLeft, 15920 - 8000) << "an area past the right margin is pushed back";
  EXPECT_EQ(s.AreaWidth, 8000);
  s.AreaLeft = 500;
  s.AreaWidth = 20000;
  s.Clamp();
  EXPECT_EQ(s.AreaLeft, 0) << "an area wider than the room starts at the margin and shrinks";
  EXPECT_EQ(s.AreaWidth, 15920);

  PrinterSettings none;  // no paper yet
  none.Clamp();
  EXPECT_EQ(none.MarginLeft, 0) << "no paper gives no negative margins";
  EXPECT_EQ(none.MarginBottom, 0);
}

TEST(PageSetupPanel, TypedValuesAreReadWithinThePaper) {
  struct Case {
    std::string text;
    bool inches;
    int expected;
  };
  const Case cases[] = {
      {"1", true, 2540},
      {"1.5", true, 3810},
      {"25.4", false, 2540},
      {"", true, 0},
      {".", false, 0},
      {"abc", true, 0},
      {"-5", false, 0},
      {std::string(200, '9'), true, 21000},  // 200 digits: the paper's width, no overflow
      {"1e300", false, 21000},
      {"999", false, 21000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadLength(c.text, c.inches, 21000), c.expected) << '"' << c.text << '"';
  EXPECT_EQ(ReadLength("5", false, -7), 0) << "a negative limit (no paper) reads 0";
}

TEST(PageSetupPanel, ValuesShowInInchesOrMillimetres) {
  EXPECT_EQ(FormatLength(2540, true), "1.00");
  EXPECT_EQ(FormatLength(2540, false), "25.40");
  const PrinterSettings s = A4();
  EXPECT_EQ(FormatPaperSize(s, true), "8.27 x 11.69");
  EXPECT_EQ(FormatPaperSize(s, false), "210.0 x 297.0");
}

TEST(PageSetupPanel, MarginsAreStoredAndClampedOnlyWhenChanged) {
  PrinterSettings s = A4();
  const double same[4] = {2540, 2540, 2540, 2540};
  EXPECT_FALSE(SetMargins(s, same));
  const double wide[4] = {21000, 21000, 1000, 1000};
  EXPECT_TRUE(SetMargins(s, wide));
  EXPECT_EQ(s.MarginLeft, 10495);
  EXPECT_EQ(s.MarginRight, 10495);
  EXPECT_EQ(s.MarginTop, 1000);
}

TEST(PageSetupPanel, PrintAreaStaysBetweenTheMarginsWithAtLeastTenMillimetres) {
  PrinterSettings s = A4();  // room 15920 across
  EXPECT_TRUE(SetAreaSize(s, true, 300));
  EXPECT_EQ(s.AreaWidth, 1000) << "a width below 10 mm stores 10 mm";
  EXPECT_TRUE(SetAreaStart(s, true, 15500));
  EXPECT_EQ(s.AreaLeft, 15920 - 1000) << "an area near the right margin keeps 10 mm";
  EXPECT_EQ(s.AreaWidth, 1000);
  EXPECT_TRUE(SetAreaSize(s, true, 99999999));
  EXPECT_EQ(s.AreaWidth, 15920);
  EXPECT_EQ(s.AreaLeft, 0);
  EXPECT_FALSE(SetAreaSize(s, true, 15920)) << "the same value changes nothing";

  // Margins leave only 8 mm: the area keeps inside them, never left of the margin.
  PrinterSettings narrow = A4();
  narrow.MarginLeft = narrow.MarginRight = (21000 - 800) / 2;
  narrow.Clamp();
  EXPECT_TRUE(SetAreaStart(narrow, true, 500));
  EXPECT_GE(narrow.AreaLeft, 0);
  EXPECT_LE(narrow.AreaLeft + narrow.AreaWidth, 800);
  EXPECT_TRUE(SetAreaSize(narrow, true, 5000));
  EXPECT_GE(narrow.AreaLeft, 0);
  EXPECT_LE(narrow.AreaLeft + narrow.AreaWidth, 800);

  PrinterSettings vertical = A4();
  EXPECT_TRUE(SetAreaStart(vertical, false, 40000));
  EXPECT_EQ(vertical.AreaTop + vertical.AreaHeight, 24620);
  EXPECT_GE(vertical.AreaHeight, 1000);
}

TEST(PageSetupPanel, ThePickerPutsTheAreaAtTheSideOrCentre) {
  struct Case {
    int x, y;
    int horz, vert;
    int left, top;
  };
  // Cells of 30 x 30; free room around an area of 5920 x 4620: 10000 across, 20000 down.
  const Case cases[] = {
      {10, 10, PosLeft, PosTop, 0, 0},
      {45, 45, PosCenter, PosCenter, 5000, 10000},
      {75, 89, PosRight, PosBottom, 10000, 20000},
  };
  for (const Case& c : cases) {
    PrinterSettings s = A4();
    s.AreaWidth = 5920;
    s.AreaHeight = 4620;
    PickPosition(s, c.x, c.y, 30, 30);
    EXPECT_EQ(s.HorzPosition, c.horz) << c.x;
    EXPECT_EQ(s.VertPosition, c.vert) << c.y;
    EXPECT_EQ(s.AreaLeft, c.left) << c.x;
    EXPECT_EQ(s.AreaTop, c.top) << c.y;
  }
}

TEST(PageSetupPanel, PreviewPageKeepsThePapersShape) {
  // A page 200 mm wide and 280 mm high: its height is 137 percent of its width.
  const QRect tall = PreviewPageRect(QSize(1000, 2000), 200, 20000, 28000);
  EXPECT_EQ(tall.left(), 205);
  EXPECT_EQ(tall.top(), 5);
  EXPECT_EQ(tall.right() + 1, 995) << "a narrow client limits the page by its width";
  EXPECT_EQ(tall.height(), tall.width() * 137 / 100);
  const QRect wide = PreviewPageRect(QSize(2000, 800), 200, 20000, 28000);
  EXPECT_EQ(wide.bottom() + 1, 795) << "a wide client limits the page by its height";
  EXPECT_EQ(wide.width(), wide.height() * 70 / 100) << "98 x 200 / 280 percent, truncated";
  EXPECT_TRUE(PreviewPageRect(QSize(1000, 800), 200, 0, 0).isEmpty());
}

TEST(PrintPlan, RangeAndCopiesDecideThePages) {
  using V = std::vector<int>;
  auto plan = [](PrintRangeKind range, int from, int to, int selection, int copies, bool collate,
                 bool device) {
    PrintRequest r;
    r.minPage = 1;
    r.maxPage = 4;
    r.range = range;
    r.fromPage = from;
    r.toPage = to;
    r.selectionPage = selection;
    r.copies = copies;
    r.collate = collate;
    r.deviceMakesCopies = device;
    return PagesToPrint(r);
  };
  using K = PrintRangeKind;
  EXPECT_EQ(plan(K::kAll, 0, 0, 0, 1, false, false), (V{1, 2, 3, 4}));
  EXPECT_EQ(plan(K::kPages, 2, 3, 0, 1, false, false), (V{2, 3}));
  EXPECT_EQ(plan(K::kPages, 0, 9, 0, 1, false, false), (V{1, 2, 3, 4})) << "clamped to 1..4";
  EXPECT_EQ(plan(K::kPages, 3, 2, 0, 1, false, false), V{});
  EXPECT_EQ(plan(K::kSelection, 0, 0, 3, 1, false, false), V{3});
  EXPECT_EQ(plan(K::kSelection, 0, 0, 0, 1, false, false), V{}) << "no focused window";
  EXPECT_EQ(plan(K::kPages, 1, 2, 0, 2, true, false), (V{1, 2, 1, 2}));
  EXPECT_EQ(plan(K::kPages, 1, 2, 0, 2, false, false), (V{1, 1, 2, 2}));
  EXPECT_EQ(plan(K::kPages, 1, 2, 0, 5, true, true), (V{1, 2})) << "the device copies";
  EXPECT_EQ(plan(K::kAll, 0, 0, 0, 0, false, false), (V{1, 2, 3, 4})) << "at least one copy";

  PrintRequest empty;  // no printable window: pages 1 to 0
  EXPECT_TRUE(PagesToPrint(empty).empty());
}

TEST(DeviceCapsLines, NamesFromTheTablesAndNumbersBeyondThem) {
  EXPECT_EQ(TechnologyName(1), "Rasterdisplay");
  EXPECT_EQ(TechnologyName(2), "Rasterprinter");
  EXPECT_EQ(TechnologyName(7), "7");
  EXPECT_EQ(TechnologyName(-3), "-3");

  DeviceCaps caps;
  caps.driverVersion = 0x400;
  caps.clipCaps = 3;
  const std::vector<CapsValue> values = CapsValues(caps);
  auto text = [&](int id) {
    for (const CapsValue& v : values)
      if (v.id == id) return v.text;
    return std::string("(missing)");
  };
  EXPECT_EQ(text(21201), "400");
  EXPECT_EQ(text(21218), "3");
  EXPECT_EQ(text(21211), "not reported");
  EXPECT_EQ(values.size(), 21u);

  EXPECT_EQ(CapsLines(CapsList::kCurve, 0), std::vector<std::string>{"not supported"});
  EXPECT_EQ(CapsLines(CapsList::kRaster, 0).size(), 10u) << "raster lists a line per bit";
  const auto text0 = CapsLines(CapsList::kText, 0);
  EXPECT_EQ(text0.size(), 15u) << "no line for clear integer scaling";
  EXPECT_EQ(std::count(text0.begin(), text0.end(), "ints for scaling"), 0);
  const auto lines = CapsLines(CapsList::kLine, 0x2 | 0x10);
  EXPECT_EQ(lines[0], "polylines");
  EXPECT_EQ(lines[1], "no marker");
  EXPECT_EQ(lines[3], "wide lines");
}

}  // namespace
