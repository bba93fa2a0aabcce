#pragma once

// analysis/plot/: the 2D plot: axes and ticks, the drawing of series, the crosshairs.
//
// AnlWinAxes: the plot area of an analysis window: the mapping between values (internal units)
// and pixels, the layout of the plot in the window (margins from text sizes, scales from the
// window size), the tick steps, and the drawing of both axes with arrowheads, ticks, labels,
// optional grid lines, the dotted zero line and the unit captions. Numbers are converted into
// display units (AnlWinUnits) only where they are written. Plot coordinates stay below 32760
// pixels (the coordinate range of the screen devices the plots were laid out for).

#include <optional>
#include <string>

#include "analysis/plot/plotcanvas.h"
#include "analysis/plot/seriesdraw.h"

class AnlWinUnits;
class ImportListe;

// Colours of the axes: the window-text and window colours of the system.
struct AxisColors {
  ColorValue text = kBlack;
  ColorValue background = Rgb(255, 255, 255);
};

enum GridMode : int { kGridNone = 0, kGridMajor = 1, kGridMinor = 2 };

class AnlWinAxes {
 public:
  static constexpr int kMaxCoordinate = 32760;

  explicit AnlWinAxes(const AnlWinUnits& units) : units_(units) {}

  float ValueToPixelX(float value) const { return (value - xMin) * xScale + xOrigin; }
  float ValueToPixelY(float value) const { return (value - yMin) * yScale + yOrigin; }
  float PixelToValueX(float pixel) const { return (pixel - xOrigin) / xScale + xMin; }
  float PixelToValueY(float pixel) const { return (pixel - yOrigin) / yScale + yMin; }
  // The mapping the curves draw with.
  PlotMapping Mapping() const;

  // The step rounded up to 1, 2.5, 5 or 10 times a power of ten (v > 0; 10^21 and more are out
  // of range).
  static float NiceStep(float v);
  // The smallest multiple of b strictly above a, in single precision.
  static float NextMultiple(float a, float b);

  // Margins from the texts measured on the canvas, scales for a plot of width x height pixels,
  // origins by the origin corner; reports an empty range (with fit to window, when the window has
  // something to draw) and a window too small, each once until its condition clears.
  void LayoutPlotArea(PlotCanvas& canvas, int width, int height, bool hasSomethingToDraw);
  // Puts each axis' minimum at the near edge of the plot for the origin corner and sets the
  // scale signs (the plot keeps its pixel rectangle).
  void PlaceOrigin();
  // Keeps the plot, with the scroll bar beside it, within 32760 pixels; true when a scale had to
  // be reduced.
  bool LimitScales(int verticalScrollWidth, int horizontalScrollHeight);
  // The same, reporting 32038 or 32039 with the requested and the used factor.
  void LimitScalesAndReport(int verticalScrollWidth, int horizontalScrollHeight);

  // The ordinate, then the abscissa. While an imported curve is selected the ordinate shows the
  // imported values (as they are in the file, without unit and caption).
  void DrawAxes(PlotCanvas& canvas, const AxisColors& colors);

  // Imported acquisition data on an ordinate of its own that fills the plot's height.
  // An empty ordinate range takes the height of the imported data; the abscissa range is widened
  // to the frames of the imported samples.
  void ExtendRangeByImport();
  // The imported ordinate's scale for the plot's present height (after layout, zoom, style).
  void RescaleImport();
  // Draws the imported curves (under the others) with the window's origin and abscissa scale.
  void DrawImport(PlotCanvas& canvas) const;
  // The mapping of (frame, imported value) to pixels.
  PlotMapping ImportMapping() const;

  // The label of an ordinate or abscissa value in display units, with the decimal places chosen
  // (at least enough for the tick step of the last layout or drawing).
  std::string OrdinateLabel(float value) const;
  std::string AbscissaLabel(float value) const;

  // The finest difference a value of this magnitude carries: six significant digits, a power of
  // ten (single floats hold a little over seven).
  static float ResolutionOf(float magnitude);
  // A value range narrower than ten steps of its values' resolution is widened about its middle
  // to that span, so that the plot never magnifies rounding noise; an empty range stays empty.
  static void WidenToResolution(float& min, float& max);
  // The decimal places that write every multiple of the step exactly (at most 9).
  static int DecimalsOfStep(double step);

  int xOrigin = 0, yOrigin = 0;
  float xScale = 1.0f, yScale = 1.0f;
  float xMin = 0, xMax = 0, yMin = 0, yMax = 0;
  int xMargin = 0, yMargin = 0;
  int tickLength = 7;
  int textGap = 0;
  int ordinateDecimals = 3;
  int abscissaDecimals = 2;
  int gridMode = kGridNone;
  int originCorner = 2;
  bool fitToWindow = true;
  bool layoutFailed = false;
  // The window's title, named in its messages.
  std::string title;
  // The imported data while the window shows some (owned by the window), and whether one of its
  // curves is the selected one.
  ImportListe* imports = nullptr;
  bool importSelected = false;

 private:
  struct Rect {
    int left, top, right, bottom;
    bool Overlaps(const Rect& o) const {
      return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
  };
  void DrawOrdinate(PlotCanvas& canvas, const AxisColors& colors);
  void DrawAbscissa(PlotCanvas& canvas, const AxisColors& colors);
  int LineHeight(PlotCanvas& canvas);
  TextExtent Measure(PlotCanvas& canvas, const std::string& text);
  void Write(PlotCanvas& canvas, int x, int y, const std::string& text, int align,
             ColorValue color);
  // Where an ordinate label of the value stands, and its rectangle.
  Rect OrdinateLabelRect(PlotCanvas& canvas, float value, int& x, int& align);
  Rect AbscissaLabelRect(PlotCanvas& canvas, float value, int& y, int& align);
  void Arrowhead(PlotCanvas& canvas, int x, int y, int dx, int dy, ColorValue color);
  void Report(bool condition, bool& reported, int textId, bool allowed = true);

  // Ordinate values to and from what its labels show: display units, or the imported values.
  float OrdinateToDisplay(float value) const;
  float OrdinateFromDisplay(float value) const;
  // The major tick steps for the present scales: the ordinate's in display units, not finer than
  // the displayed values resolve; the abscissa's in frames (or millimetres of x).
  float OrdinateStep(int lineHeight) const;
  float AbscissaStep(PlotCanvas& canvas);
  // Sets the label decimals: the chosen ones, or more where a tick step needs them.
  void ChooseOrdinateDecimals(int lineHeight);
  void ChooseAbscissaDecimals(float step);
  // The plot's height in pixels for the imported ordinate.
  float ImportHeight() const;

  const AnlWinUnits& units_;
  // The height the last layout left for the plot.
  int layoutPlotHeight_ = 0;
  // The ordinate being drawn shows imported values.
  bool rawOrdinate_ = false;
  // The decimal places the labels are written with; -1 until chosen: the dialog's.
  int ordinateLabelDecimals_ = -1;
  int abscissaLabelDecimals_ = -1;
  bool reportedHorizontalEmpty_ = false;
  bool reportedVerticalEmpty_ = false;
  bool reportedTooNarrow_ = false;
  bool reportedTooLow_ = false;
};

// The text of a scale factor for the display-style dialog: fixed point with 9 decimals minus the
// integer part of log10 of the magnitude's whole part (9 for a whole part of 0), not below 0.
// tooLarge when that logarithm exceeds 9 (the dialog cannot show such a factor).
struct ScaleFactorText {
  std::string text;
  int decimals = 0;
  bool tooLarge = false;
};
ScaleFactorText FormatScaleFactor(float factor);

// The frame marker's abscissa in a y-over-x window without a selected series: the largest x
// times the frame over the window's last valid frame; none when no frame is valid.
std::optional<float> MarkerAbscissaOverX(float xMax, int frame, int lastValidFrame);
