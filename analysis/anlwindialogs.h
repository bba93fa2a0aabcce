#pragma once

// The analysis dialogs' data: the Coordinates dialog's buttons and the kinds they choose, the
// display-style dialog's transfer record, the line styles offered by the palette and the curve
// popup, the right-mouse style drag, the number checks of the dialogs' fields and the progress
// gauge's percentage. The dialogs (analysis/ui/anlwindialogs.h) only show these.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// One radio button of the Coordinates dialog.
struct CoordinateButton {
  int id;
  const char* text;
  int kind;
  int group;  // 0 place, 1..4 angle planes, 5 distances, 6 velocity, 7 acceleration
};
std::span<const CoordinateButton> CoordinateButtons();  // 29 buttons

// The Coordinates dialog's record: one state per button, in the table's order.
struct CoordinateTransfer {
  std::array<std::uint16_t, 29> states{};
  // Clears every state and marks the button of the kind (none for kinds without one).
  void Mark(int kind);
  // The kind of the marked button, or none.
  std::optional<int> Chosen() const;
};

// One line style of the palette and the curve popup (commands 22201..22212).
struct LineStyleItem {
  int command;
  int bitmap;
  unsigned width;
  unsigned penStyle;
  bool connect;
  bool marker;
  int column;  // 1 solid lines, 2 points, 3 dashed
};
std::span<const LineStyleItem> LineStyleItems();
const LineStyleItem* LineStyleOf(int command);
// The popup item that shows the style (check mark), or null.
const LineStyleItem* MatchingLineStyle(unsigned width, unsigned penStyle, bool connect,
                                       bool marker);
// The marker variant is offered for series and resultants only.
bool LineStyleOffered(const LineStyleItem& item, bool markerAllowed);

struct CurveStyleValues {
  unsigned width = 1;
  unsigned penStyle = 0;
  bool connect = true;
  bool marker = false;
  friend bool operator==(const CurveStyleValues&, const CurveStyleValues&) = default;
};
// One step of the right-mouse style drag: downwards thins the line and then leaves only points,
// upwards the reverse. Pen style and marker are cleared.
void StyleDragStep(CurveStyleValues& style, bool downwards);

// The display-style dialog's record.
struct DisplayStyleTransfer {
  int ordinateDecimals = 3;
  std::string verticalFactor;
  int abscissaDecimals = 2;
  std::string horizontalFactor;
  bool fit = true;
  int grid = 0;  // 0 none, 1 large, 2 small
  CurveStyleValues style;
};

// The picture "[-][*#][.]*#": an optional minus, digits, an optional point and digits (at least
// one digit in all).
bool MatchesRealPicture(std::string_view text);
// A whole number in min..max written with digits only.
bool IsIntegerInRange(std::string_view text, int min, int max);
// The factor a scale text gives; none for a text that is no number.
std::optional<float> ParseScaleFactor(std::string_view text);

// The gauge's percentage: count of maximum, truncated.
int GaugePercent(unsigned count, unsigned maximum);
