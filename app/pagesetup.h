#pragma once

// The rules of the page-setup panel: how typed values become margins and print area, and how the
// panel shows them. Typed text is read in inches or millimetres; every value is clamped to the
// paper before it becomes a 32-bit length, so no input (200 digits, a minus sign, nothing) can
// overflow or put a margin off the paper.

#include <QRect>
#include <QSize>

#include <string>
#include <string_view>

#include "app/printersettings.h"

// The length of a typed value in hundredths of a millimetre, limited to 0 .. limit. Empty or
// unreadable text is 0.
std::int32_t ReadLength(std::string_view text, bool inches, std::int32_t limit);
// "%.2f" of a length in inches or millimetres.
std::string FormatLength(std::int32_t hundredths, bool inches);
// The printable page size: "%.2f x %.2f" in inches, "%.1f x %.1f" in millimetres.
std::string FormatPaperSize(const PrinterSettings& settings, bool inches);

// Stores the four margins (left, right, top, bottom, as typed); true when one changed, and then
// the settings were clamped.
bool SetMargins(PrinterSettings& s, const double typed[4]);
// A new print-area start or size along one axis (horizontal: left and width). The area keeps at
// least 10 mm where there is room and never leaves the space between the margins.
bool SetAreaStart(PrinterSettings& s, bool horizontal, std::int32_t value);
bool SetAreaSize(PrinterSettings& s, bool horizontal, std::int32_t value);
// The position picker: a click at (x, y) in a grid of cells cw x ch sets the position and moves
// the print area to that side or the centre.
void PickPosition(PrinterSettings& s, int x, int y, int cw, int ch);

// Where the preview shows the page in a client area of the given size, right of a panel of
// panelWidth pixels, 5 pixels from the edges: limited by the width when the paper's height fits,
// else by the height, keeping 98 percent of the paper's aspect. Empty without paper.
QRect PreviewPageRect(QSize client, int panelWidth, std::int32_t paperWidth,
                      std::int32_t paperHeight);
