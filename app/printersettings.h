#pragma once

// PrinterSettings: where a printed window goes on the page. It holds the paper and device metrics
// of the printer, the four margins, the print area, whether a window fills the whole page and
// keeps its aspect ratio, and its place in a 3 x 3 grid. Lengths are hundredths of a millimetre
// (2540 per inch); pixel counts are device pixels. Every float-to-integer step truncates toward
// zero and is clamped to the 32-bit range first, so no input overflows.
//
// Sizes and rectangles that PrintSize and PlaceOnPage return are in screen pixels: a window paints
// its page as it paints its client area, and the printout maps screen pixels onto printer pixels
// by the ratio of their pixels per inch. Before a printer has been consulted the paper and printer
// fields are 0 and PrintSize answers an empty size.

#include <QRect>
#include <QSize>

#include <cstdint>
#include <optional>

enum PagePosition : std::int32_t {
  PosLeft = 0,
  PosRight = 1,
  PosCenter = 2,
  PosTop = 3,
  PosBottom = 4,
};

// What a printer reports of its printable page.
struct PrinterMetrics {
  int pageWidthPx = 0;   // printable width in device pixels
  int pageHeightPx = 0;  // printable height in device pixels
  int ppiX = 0;          // device pixels per inch
  int ppiY = 0;
  int widthMm = 0;  // printable width in whole millimetres
  int heightMm = 0;
};

// Margins as a page-setup dialog gives them back, in hundredths of a millimetre.
struct PageMargins {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

inline constexpr int kHundredthsPerInch = 2540;
inline constexpr int kDefaultMargin = 2540;
// The smallest print area and the least room Clamp leaves between the margins (0.1 mm).
inline constexpr int kMinAreaSize = 1000;
inline constexpr int kMarginRoom = 10;

class PrinterSettings {
 public:
  PrinterSettings() = default;

  // The size a window of w x h screen pixels takes on the page, in screen pixels.
  QSize PrintSize(int w, int h) const;
  // The rectangle of that size at the chosen position, in screen pixels.
  QRect PlaceOnPage(QSize size) const;
  // Makes margins and print area fit the paper: margins are never negative and leave at least
  // 0.1 mm between them; the print area lies inside the margins.
  void Clamp();
  // Takes the page metrics from a printer and, when given, the margins; then fits the print area.
  void FromPrinter(const PrinterMetrics& metrics, const std::optional<PageMargins>& margins);

  // Screen pixels of a length: v / 2540 x pixels per inch, truncated.
  int Px(double hundredths) const;
  int Py(double hundredths) const;
  // The rectangle inside the margins and that of the print area, in screen pixels.
  QRect MarginFrame() const;
  QRect AreaFrame() const;

  bool WholePage = true;
  bool KeepAspect = false;
  std::int32_t AreaLeft = 0;
  std::int32_t AreaTop = 0;
  std::int32_t AreaWidth = 0;
  std::int32_t AreaHeight = 0;
  std::int32_t PrinterPpiX = 0;
  std::int32_t PrinterPpiY = 0;
  std::int32_t ScreenPpiX = 96;
  std::int32_t ScreenPpiY = 96;
  std::int32_t PageWidthPx = 0;
  std::int32_t PageHeightPx = 0;
  std::int32_t PaperWidth = 0;
  std::int32_t PaperHeight = 0;
  std::int32_t MarginLeft = kDefaultMargin;
  std::int32_t MarginRight = kDefaultMargin;
  std::int32_t MarginTop = kDefaultMargin;
  std::int32_t MarginBottom = kDefaultMargin;
  std::int32_t HorzPosition = PosCenter;
  std::int32_t VertPosition = PosCenter;
};

// The one page layout of the running program (never stored; each run starts from the defaults).
PrinterSettings& ThePrinterSettings();
// Whether the page-setup panel shows its values in inches (else millimetres).
extern bool g_PageSetupInInches;

// Truncates toward zero, clamped to the 32-bit range (NaN gives 0).
std::int32_t TruncToInt(double value);
// a x b / c rounded to the nearest integer, halves away from zero; 0 when c is 0.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);
