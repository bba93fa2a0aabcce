#pragma once

// Locale-free number parsing and formatting, and the checked conversions of floating-point
// values to integers. Every reader and writer of the program's files goes through these, so a
// desktop with a decimal comma still reads "25.5" as 25.5 and writes "0.495" with a point, and
// a value read from a file (or computed from one) never reaches an integer out of its range.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// atof semantics in the C locale: leading white space is skipped, the longest numeric prefix is
// converted, and text that begins with no number gives 0.0.
double ParseDouble(std::string_view text);

// The whole text, white space around it excepted, must be one number.
bool TryParseDouble(std::string_view text, double& out);

// A number as a user types it into a dialog field: an optional minus, digits, and at most one
// decimal mark with digits on at least one side of it; white space around it is allowed. The
// decimal mark is a point, or a comma taken as the point (how a German user types it) unless
// commaIsPoint is false. Nothing else passes: no exponent, no plus, no second mark, no letters,
// so a number is never cut off at a character it does not know.
struct TypedNumber {
  double value;
  std::string text;  // the number as the program writes it: "29,97" gives "29.97", ",5" "0.5"
};
std::optional<TypedNumber> ReadTypedNumber(std::string_view text, bool commaIsPoint = true);

// atol semantics in base 10: optional sign, then digits; no digits gives 0. Values beyond the
// range of long are clamped.
long ParseLong(std::string_view text);

// The whole text, white space around it excepted, must be one integer that fits an int.
bool TryParseInt(std::string_view text, int& out);

// How many characters of text, after leading white space, form a number as ParseDouble reads
// it (0 when none); lets readers step over a number in a line.
std::size_t NumberPrefixLength(std::string_view text);

// The value truncated toward zero, as a cast would give it, when that lies within [low, high];
// otherwise the nearer bound. Not-a-number gives low. Converting a float outside an integer's
// range by a cast is undefined: every conversion of a value that comes from a file goes here.
int ClampToInt(double value, int low, int high);

// Device coordinates are clipped to +-kPixelLimit: far outside any window or printed page, and
// far enough from int's range that sums and differences of pixels cannot overflow.
inline constexpr int kPixelLimit = 1 << 24;
// A value in device units as a pixel coordinate: truncated, clipped to +-kPixelLimit.
inline int ToPixel(double value) { return ClampToInt(value, -kPixelLimit, kPixelLimit); }

// "%.<precision>g" in the C locale ("%g" by default: 1.0 gives "1", 0.495 gives "0.495").
std::string FormatG(double value, int precision = 6);

// The shortest text that ParseDouble reads back as exactly this value (162.5792 gives
// "162.5792", 1e-300 gives "1e-300").
std::string FormatShortest(double value);

// The double the float's shortest decimal names (29.97f gives 29.97, not 29.969999313...), so
// that a value kept as a float is shown as it was typed.
double FloatAsDecimal(float value);

// "%.<decimals>f" in the C locale.
std::string FormatFixed(double value, int decimals);

// "%.<decimals>e" in the C locale.
std::string FormatScientific(double value, int decimals);

}  // namespace platform
