#include "analysis/plot/axes.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "analysis/analysis_ids.h"
#include "analysis/import/importliste.h"
#include "analysis/units.h"
#include "base/messages.h"
#include "platform/strings.h"

namespace {

constexpr int kMaxDecade = 20;
constexpr float kMinorShare = 0.2f;
constexpr int kMinorPerMajor = 4;
constexpr int kMinMinorPixels = 3;
constexpr int kArrowClearance = 8;  // no tick closer than this to the arrowhead
constexpr int kArrowBack = 6, kArrowSide = 4, kArrowNotch = 4;
// Tick lines reach from before to after the axis.
constexpr int kMajorBefore = 3, kMajorAfter = 4, kMinorBefore = 2, kMinorAfter = 3;
constexpr ColorValue kGridColor = PaletteIndex(11);
constexpr int kScaleDecimals = 9;
constexpr int kMaxLabelDecimals = 9;
constexpr int kSignificantDigits = 6;
constexpr float kMinSpanInResolutions = 10.0f;

int Sign(float v) { return v < 0 ? -1 : 1; }

// A fixed-point label that never reads "-0": a value that rounds to zero is written without sign.
std::string FixedLabel(double value, int decimals) {
  std::string text = platform::Format("%.*f", decimals, value);
  if (text[0] == '-' && text.find_first_not_of("0.", 1) == std::string::npos) text.erase(0, 1);
  return text;
}

}  // namespace

PlotMapping AnlWinAxes::Mapping() const {
  return PlotMapping{xOrigin, yOrigin, xScale, yScale, xMin, yMin};
}

float AnlWinAxes::NiceStep(float v) {
  int e = std::min(static_cast<int>(std::floor(std::log10(static_cast<double>(v)))), kMaxDecade);
  // In single precision, as the value itself: 0.001f over 10^-3 is exactly 1.
  float m = v / static_cast<float>(std::pow(10.0, e));
  // log10 may land a hair beside a power of ten: bring m back into 1..10.
  if (m < 1.0f) m *= 10.0f, --e;
  const double decade = std::pow(10.0, e);
  if (m == 1.0f) return static_cast<float>(decade);
  if (m <= 2.5f) return static_cast<float>(2.5 * decade);
  if (m <= 5.0f) return static_cast<float>(5.0 * decade);
  // Up to 10, and just above 10 from rounding: the next decade.
  return static_cast<float>(10.0 * decade);
}

float AnlWinAxes::NextMultiple(float a, float b) {
  const float q = a / b;
  const float frac = q - std::floor(q);
  return a - frac * b + b;
}

void AnlWinAxes::Report(bool condition, bool& reported, int textId, bool allowed) {
  if (!condition) {
    reported = false;
    return;
  }
  if (reported || !allowed) return;
  reported = true;
  ErrorMessage(analysis_ids::kDisplayFailure, textId, title);
}

TextExtent AnlWinAxes::Measure(PlotCanvas& canvas, const std::string& text) {
  TextExtent e;
  if (!canvas.MeasureText(text, e))
    ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kAxisCaptionFailed, title);
  return e;
}

void AnlWinAxes::Write(PlotCanvas& canvas, int x, int y, const std::string& text, int align,
                       ColorValue color) {
  if (!canvas.DrawText(x, y, text, align, color))
    ErrorMessage(analysis_ids::kDisplayFailure, analysis_ids::kAxisCaptionFailed, title);
}

int AnlWinAxes::LineHeight(PlotCanvas& canvas) { return Measure(canvas, " ").height; }

float AnlWinAxes::OrdinateToDisplay(float value) const {
  return rawOrdinate_ ? value : units_.OrdinateToUnit(value);
}

float AnlWinAxes::OrdinateFromDisplay(float value) const {
  return rawOrdinate_ ? value : units_.OrdinateFromUnit(value);
}

std::string AnlWinAxes::OrdinateLabel(float value) const {
  const int decimals = std::max(ordinateDecimals, ordinateLabelDecimals_);
  return FixedLabel(OrdinateToDisplay(value), decimals);
}

std::string AnlWinAxes::AbscissaLabel(float value) const {
  const int decimals = std::max(abscissaDecimals, abscissaLabelDecimals_);
  return " " + FixedLabel(units_.FrameToTime(value), decimals) + " ";
}

float AnlWinAxes::ResolutionOf(float magnitude) {
  const double m = std::fabs(static_cast<double>(magnitude));
  if (!(m > 0) || !std::isfinite(m)) return 0.0f;
  return static_cast<float>(std::pow(10.0, std::floor(std::log10(m)) - (kSignificantDigits - 1)));
}

void AnlWinAxes::WidenToResolution(float& min, float& max) {
  if (!(min < max)) return;
  const float span = kMinSpanInResolutions * ResolutionOf(std::max(std::fabs(min), std::fabs(max)));
  if (max - min >= span) return;
  const double middle = (static_cast<double>(min) + max) / 2;
  min = static_cast<float>(middle - span / 2.0);
  max = static_cast<float>(middle + span / 2.0);
}

int AnlWinAxes::DecimalsOfStep(double step) {
  step = std::fabs(step);
  if (!(step > 0) || !std::isfinite(step)) return 0;
  for (int n = 0; n < kMaxLabelDecimals; ++n) {
    const double scaled = step * std::pow(10.0, n);
    if (std::fabs(scaled - std::round(scaled)) <= 1e-3 * scaled) return n;
  }
  return kMaxLabelDecimals;
}

float AnlWinAxes::OrdinateStep(int lineHeight) const {
  // Two text lines apart, rounded in display units.
  const float raw = NiceStep(OrdinateToDisplay(2.0f * lineHeight / std::fabs(yScale)));
  const float top =
      std::max(std::fabs(OrdinateToDisplay(yMin)), std::fabs(OrdinateToDisplay(yMax)));
  return std::max(raw, ResolutionOf(top));
}

float AnlWinAxes::AbscissaStep(PlotCanvas& canvas) {
  return NiceStep(2.0f * Measure(canvas, AbscissaLabel(xMax)).width / std::fabs(xScale));
}

void AnlWinAxes::ChooseOrdinateDecimals(int lineHeight) {
  ordinateLabelDecimals_ = -1;
  if (yMin == yMax || yScale == 0) return;
  ordinateLabelDecimals_ = DecimalsOfStep(OrdinateStep(lineHeight));
}

void AnlWinAxes::ChooseAbscissaDecimals(float step) {
  abscissaLabelDecimals_ =
      DecimalsOfStep(static_cast<double>(units_.FrameToTime(step)) - units_.FrameToTime(0.0f));
}

void AnlWinAxes::LayoutPlotArea(PlotCanvas& canvas, int width, int height,
                                bool hasSomethingToDraw) {
  const bool xEmpty = xMin == xMax && fitToWindow;
  const bool yEmpty = yMin == yMax && fitToWindow;
  Report(xEmpty, reportedHorizontalEmpty_, analysis_ids::kHorizontalFitImpossible,
         hasSomethingToDraw);
  Report(yEmpty, reportedVerticalEmpty_, analysis_ids::kVerticalFitImpossible, hasSomethingToDraw);

  // The ordinate's scale first: its tick step decides how many decimals the labels need.
  yMargin = LineHeight(canvas) + textGap + tickLength;
  layoutPlotHeight_ = height - 2 * yMargin;
  yScale = yMin == yMax ? 1.0f : (height - 2.0f * yMargin) / (yMax - yMin);
  ChooseOrdinateDecimals(LineHeight(canvas));
  int widest = std::max({Measure(canvas, OrdinateLabel(yMax)).width,
                         Measure(canvas, OrdinateLabel(yMin)).width,
                         Measure(canvas, units_.AbscissaCaptionWithUnit()).width});
  if (imports && importSelected) {
    // The ordinate shows the imported values: room for their labels.
    rawOrdinate_ = true;
    widest = std::max({widest, Measure(canvas, OrdinateLabel(imports->Max())).width,
                       Measure(canvas, OrdinateLabel(imports->Min())).width});
    rawOrdinate_ = false;
  }
  xMargin = widest + textGap;
  xScale = xMin == xMax ? 1.0f : (width - 2.0f * xMargin) / (xMax - xMin);

  const bool narrow = xScale <= 0;
  const bool low = yScale <= 0;
  Report(narrow, reportedTooNarrow_, analysis_ids::kWindowTooNarrow);
  Report(low, reportedTooLow_, analysis_ids::kWindowTooLow);
  layoutFailed = xEmpty || yEmpty || narrow || low;
  PlaceOrigin();
  if (imports) RescaleImport();
}

void AnlWinAxes::PlaceOrigin() {
  xScale = std::fabs(xScale);
  yScale = std::fabs(yScale);
  const int right = static_cast<int>(xMargin + xScale * (xMax - xMin));
  const int bottom = static_cast<int>(yMargin + yScale * (yMax - yMin));
  const bool mirrorX = originCorner == 1 || originCorner == 3;
  const bool mirrorY = originCorner == 2 || originCorner == 3;
  xOrigin = mirrorX ? right : xMargin;
  yOrigin = mirrorY ? bottom : yMargin;
  if (mirrorX) xScale = -xScale;
  if (mirrorY) yScale = -yScale;
}

bool AnlWinAxes::LimitScales(int verticalScrollWidth, int horizontalScrollHeight) {
  bool limited = false;
  const float ySpan = yMax - yMin, xSpan = xMax - xMin;
  if (ySpan > 0 && std::fabs(yScale) * ySpan + 2 * yMargin + verticalScrollWidth > kMaxCoordinate) {
    yScale = (kMaxCoordinate - 2.0f * yMargin - verticalScrollWidth) / ySpan;
    limited = true;
  }
  if (xSpan > 0 &&
      std::fabs(xScale) * xSpan + 2 * xMargin + horizontalScrollHeight > kMaxCoordinate) {
    xScale = (kMaxCoordinate - 2.0f * xMargin - horizontalScrollHeight) / xSpan;
    limited = true;
  }
  xOrigin = xMargin;
  yOrigin = yMargin;
  PlaceOrigin();
  return limited;
}

void AnlWinAxes::LimitScalesAndReport(int verticalScrollWidth, int horizontalScrollHeight) {
  const float requestedY = std::fabs(yScale), requestedX = std::fabs(xScale);
  LimitScales(verticalScrollWidth, horizontalScrollHeight);
  using namespace analysis_ids;
  if (std::fabs(yScale) != requestedY)
    ErrorMessage(kDisplayFailure, kOrdinateScaleLimited, static_cast<double>(requestedY),
                 static_cast<double>(std::fabs(yScale)));
  if (std::fabs(xScale) != requestedX)
    ErrorMessage(kDisplayFailure, kAbscissaScaleLimited, static_cast<double>(requestedX),
                 static_cast<double>(std::fabs(xScale)));
}

void AnlWinAxes::DrawAxes(PlotCanvas& canvas, const AxisColors& colors) {
  // Axes are drawn from the margins, whatever the plot's scroll position.
  const int savedX = xOrigin, savedY = yOrigin;
  const float savedSx = xScale, savedSy = yScale;
  xOrigin = xMargin;
  yOrigin = yMargin;
  PlaceOrigin();
  if (imports && importSelected) {
    // The imported range spans the same pixels as the window's own.
    const float savedMin = yMin, savedMax = yMax, placedSy = yScale;
    yMin = imports->Min();
    yMax = imports->Max();
    yScale = std::copysign(std::fabs(imports->Scale()), placedSy);
    rawOrdinate_ = true;
    DrawOrdinate(canvas, colors);
    rawOrdinate_ = false;
    yMin = savedMin;
    yMax = savedMax;
    yScale = placedSy;
  } else {
    DrawOrdinate(canvas, colors);
  }
  DrawAbscissa(canvas, colors);
  xOrigin = savedX;
  yOrigin = savedY;
  xScale = savedSx;
  yScale = savedSy;
}

float AnlWinAxes::ImportHeight() const {
  const float span = yMax - yMin;
  if (span > 0) return std::fabs(yScale) * span;
  return static_cast<float>(std::max(layoutPlotHeight_, 1));
}

void AnlWinAxes::RescaleImport() {
  if (!imports) return;
  const float height = ImportHeight();
  imports->ComputeScale(height, height / 2, yScale);
}

void AnlWinAxes::ExtendRangeByImport() {
  if (!imports) return;
  RescaleImport();
  if (yMin == yMax) yMax = imports->Top(yScale, yMin);
  if (const auto frames = imports->FrameRange()) {
    xMin = std::min(xMin, frames->first);
    xMax = std::max(xMax, frames->second);
  }
}

PlotMapping AnlWinAxes::ImportMapping() const {
  PlotMapping map = Mapping();
  if (imports) {
    map.sy = imports->Scale();
    map.ys = imports->Min();
  }
  return map;
}

void AnlWinAxes::DrawImport(PlotCanvas& canvas) const {
  if (imports) imports->DrawAll(canvas, ImportMapping());
}

void AnlWinAxes::Arrowhead(PlotCanvas& canvas, int x, int y, int dx, int dy, ColorValue color) {
  // (dx, dy) points from the tip back along the axis; (-dy, dx) across it.
  canvas.FilledPolygon(
      {{x, y},
       {x + dx * kArrowBack - dy * kArrowSide, y + dy * kArrowBack + dx * kArrowSide},
       {x + dx * kArrowNotch, y + dy * kArrowNotch},
       {x + dx * kArrowBack + dy * kArrowSide, y + dy * kArrowBack - dx * kArrowSide}},
      color);
}

AnlWinAxes::Rect AnlWinAxes::OrdinateLabelRect(PlotCanvas& canvas, float value, int& x,
                                               int& align) {
  const TextExtent e = Measure(canvas, OrdinateLabel(value));
  const int y = static_cast<int>(ValueToPixelY(value));
  if (xScale > 0) {
    x = xOrigin - tickLength;
    align = kAlignRight | kAlignVCenter;
    return {0, y - e.height / 2, x, y + e.height - e.height / 2};
  }
  x = xOrigin + tickLength;
  align = kAlignLeft | kAlignVCenter;
  return {x, y - e.height / 2, x + e.width, y + e.height - e.height / 2};
}

void AnlWinAxes::DrawOrdinate(PlotCanvas& canvas, const AxisColors& colors) {
  const Pen axisPen{colors.text, 1, kPenSolid};
  const Pen gridPen{kGridColor, 1, kPenDot};
  const int h = LineHeight(canvas);
  const int axisX = xOrigin;
  const int gridEnd = static_cast<int>(ValueToPixelX(xMax));

  ChooseOrdinateDecimals(h);
  int labelX = 0, align = 0;
  const std::string minLabel = OrdinateLabel(yMin), maxLabel = OrdinateLabel(yMax);
  const Rect minRect = OrdinateLabelRect(canvas, yMin, labelX, align);
  Write(canvas, labelX, static_cast<int>(ValueToPixelY(yMin)), minLabel, align, colors.text);
  if (yMax == yMin) return;
  const Rect maxRect = OrdinateLabelRect(canvas, yMax, labelX, align);
  if (!maxRect.Overlaps(minRect))
    Write(canvas, labelX, static_cast<int>(ValueToPixelY(yMax)), maxLabel, align, colors.text);

  // Major ticks two text lines apart, rounded in display units; minor ones at a fifth of that.
  const float majorDisplay = OrdinateStep(h);
  const float minor = OrdinateFromDisplay(kMinorShare * majorDisplay);
  auto pixel = [&](float v) { return static_cast<int>(ValueToPixelY(v)); };
  auto clear = [&](float v) {
    return v < yMax && std::abs(pixel(v) - pixel(yMax)) > kArrowClearance;
  };
  auto minorTick = [&](float v) {
    canvas.Line(axisX - kMinorBefore, pixel(v), axisX + kMinorAfter, pixel(v), axisPen);
    if (gridMode == kGridMinor)
      canvas.Line(axisX + kMinorAfter, pixel(v), gridEnd, pixel(v), gridPen);
  };
  const bool minors = std::fabs(minor * yScale) >= kMinMinorPixels;
  if (minors) {
    float v = NextMultiple(yMin, minor);
    for (int k = 0; k < kMinorPerMajor && clear(v); ++k, v += minor) minorTick(v);
  }
  const float topDisplay = OrdinateToDisplay(yMax);
  // Each tick a whole multiple of the step, counted in double: adding the step up in single
  // precision drifts by a unit of the last place per tick.
  const double step = majorDisplay;
  const double first = std::round(NextMultiple(OrdinateToDisplay(yMin), majorDisplay) / step);
  const int decimals = std::max(ordinateDecimals, ordinateLabelDecimals_);
  for (int i = 0; i < kMaxCoordinate; ++i) {
    const double d = (first + i) * step;
    if (!(d < topDisplay)) break;
    const float v = OrdinateFromDisplay(static_cast<float>(d));
    if (clear(v)) {
      canvas.Line(axisX - kMajorBefore, pixel(v), axisX + kMajorAfter, pixel(v), axisPen);
      if (gridMode != kGridNone)
        canvas.Line(axisX + kMajorAfter, pixel(v), gridEnd, pixel(v), gridPen);
    }
    const Rect r = OrdinateLabelRect(canvas, v, labelX, align);
    const std::string label = FixedLabel(d, decimals);
    // A tick next to an extreme may round to its label: one of them is enough.
    if (!r.Overlaps(minRect) && !r.Overlaps(maxRect) && label != minLabel && label != maxLabel)
      Write(canvas, labelX, pixel(v), label, align, colors.text);
    for (int k = 1; minors && k <= kMinorPerMajor && clear(v + k * minor); ++k)
      minorTick(v + k * minor);
  }

  const int tipY = pixel(yMax);
  canvas.Line(axisX, pixel(yMin), axisX, tipY, axisPen);
  Arrowhead(canvas, axisX, tipY, 0, -Sign(yScale), colors.text);
  if (yMin < 0 && 0 < yMax)
    canvas.Line(axisX, pixel(0), gridEnd, pixel(0), Pen{colors.text, 1, kPenDot});

  // The imported values have no caption of the window's quantity.
  if (rawOrdinate_) return;
  const std::string caption = units_.OrdinateUnitCaption();
  const int left = std::max(0, axisX - Measure(canvas, caption).width / 2);
  const bool up = yScale < 0;
  Write(canvas, left, up ? tipY - tickLength : tipY + tickLength, caption,
        kAlignLeft | (up ? kAlignBottom : kAlignTop), colors.text);
}

AnlWinAxes::Rect AnlWinAxes::AbscissaLabelRect(PlotCanvas& canvas, float value, int& y,
                                               int& align) {
  const TextExtent e = Measure(canvas, AbscissaLabel(value));
  const int x = static_cast<int>(ValueToPixelX(value));
  // One text line off the axis, on the side away from the plot.
  const int h = LineHeight(canvas);
  y = yScale < 0 ? yOrigin + h : yOrigin - h;
  align = kAlignHCenter | kAlignVCenter;
  return {x - e.width / 2, y - e.height / 2, x + e.width - e.width / 2,
          y + e.height - e.height / 2};
}

void AnlWinAxes::DrawAbscissa(PlotCanvas& canvas, const AxisColors& colors) {
  const Pen axisPen{colors.text, 1, kPenSolid};
  const Pen gridPen{kGridColor, 1, kPenDot};
  const int axisY = yOrigin;
  const int gridEnd = static_cast<int>(ValueToPixelY(yMax));
  auto pixel = [&](float v) { return static_cast<int>(ValueToPixelX(v)); };

  // Steps in frame numbers (or millimetres of x): ticks at whole multiples of the step.
  abscissaLabelDecimals_ = -1;
  const float major = xMax == xMin ? 0.0f : AbscissaStep(canvas);
  if (xMax != xMin) ChooseAbscissaDecimals(major);
  const std::string minLabel = AbscissaLabel(xMin), maxLabel = AbscissaLabel(xMax);
  int labelY = 0, align = 0;
  const Rect minRect = AbscissaLabelRect(canvas, xMin, labelY, align);
  Write(canvas, pixel(xMin), labelY, minLabel, align, colors.text);
  if (xMax == xMin) return;
  const Rect maxRect = AbscissaLabelRect(canvas, xMax, labelY, align);
  if (!maxRect.Overlaps(minRect)) Write(canvas, pixel(xMax), labelY, maxLabel, align, colors.text);

  const float minor = kMinorShare * major;
  auto clear = [&](float v) {
    return v < xMax && std::abs(pixel(v) - pixel(xMax)) > kArrowClearance;
  };
  auto minorTick = [&](float v) {
    canvas.Line(pixel(v), axisY - kMinorBefore, pixel(v), axisY + kMinorAfter, axisPen);
    if (gridMode == kGridMinor) canvas.Line(pixel(v), axisY, pixel(v), gridEnd, gridPen);
  };
  const bool minors = std::fabs(minor * xScale) >= kMinMinorPixels;
  if (minors) {
    float v = NextMultiple(xMin, minor);
    for (int k = 0; k < kMinorPerMajor && clear(v); ++k, v += minor) minorTick(v);
  }
  float v = NextMultiple(xMin, major);
  for (int guard = 0; v < xMax && guard < kMaxCoordinate; ++guard) {
    if (clear(v)) {
      canvas.Line(pixel(v), axisY - kMajorBefore, pixel(v), axisY + kMajorAfter, axisPen);
      if (gridMode != kGridNone) canvas.Line(pixel(v), axisY, pixel(v), gridEnd, gridPen);
    }
    const Rect r = AbscissaLabelRect(canvas, v, labelY, align);
    const std::string label = AbscissaLabel(v);
    if (!r.Overlaps(minRect) && !r.Overlaps(maxRect) && label != minLabel && label != maxLabel)
      Write(canvas, pixel(v), labelY, label, align, colors.text);
    for (int k = 1; minors && k <= kMinorPerMajor && clear(v + k * minor); ++k) {
      const float m = v + k * minor;
      // Mirrored, the minor ticks keep clear of the minimum's end as well.
      if (xScale < 0 && std::abs(pixel(m) - pixel(xMin)) <= kArrowClearance) continue;
      minorTick(m);
    }
    const float next = v + major;
    if (next == v) break;
    v = next;
  }

  const int tipX = pixel(xMax);
  canvas.Line(pixel(xMin), axisY, tipX, axisY, axisPen);
  Arrowhead(canvas, tipX, axisY, -Sign(xScale), 0, colors.text);

  const std::string& caption = units_.AbscissaCaption();
  const int captionWidth = Measure(canvas, caption).width;
  const int space = Measure(canvas, " ").width;
  if (xScale > 0) {
    Write(canvas, tipX + tickLength, axisY, caption, kAlignLeft | kAlignVCenter, colors.text);
    Write(canvas, tipX + tickLength + captionWidth + space, axisY, units_.AbscissaUnitText(),
          kAlignLeft | kAlignVCenter, colors.text);
  } else {
    Write(canvas, tipX - tickLength, axisY, caption, kAlignRight | kAlignVCenter, colors.text);
    Write(canvas, tipX - tickLength - captionWidth - space, axisY, units_.AbscissaUnitText(),
          kAlignRight | kAlignVCenter, colors.text);
  }
}

ScaleFactorText FormatScaleFactor(float factor) {
  const double whole = std::trunc(std::fabs(static_cast<double>(factor)));
  ScaleFactorText t;
  const int decade = whole >= 1.0 ? static_cast<int>(std::log10(whole)) : 0;
  t.tooLarge = decade > kScaleDecimals;
  t.decimals = std::max(0, kScaleDecimals - decade);
  t.text = platform::Format("%.*f", t.decimals, static_cast<double>(factor));
  return t;
}

std::optional<float> MarkerAbscissaOverX(float xMax, int frame, int lastValidFrame) {
  if (lastValidFrame <= 0) return std::nullopt;
  return xMax * static_cast<float>(frame) / static_cast<float>(lastValidFrame);
}
