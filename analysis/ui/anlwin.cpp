#include "analysis/ui/anlwin.h"

#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

#include "analysis/anlwindialogs.h"
#include "analysis/curves/curvelists.h"
#include "analysis/series/gapnetwork.h"
#include "analysis/import/importliste.h"
#include "analysis/quantity.h"
#include "analysis/series/seriesmemory.h"
#include "analysis/ui/analysisfont.h"
#include "analysis/ui/anlwindialogs_ui.h"
#include "analysis/ui/qtplotcanvas.h"
#include "analysis/ui/valuepanes.h"
#include "base/document.h"
#include "base/messages.h"
#include "objects/objects_ids.h"
#include "objects/resobjseq.h"
#include "platform/strings.h"

namespace {

constexpr ColorValue kGreyText = Rgb(128, 128, 128);
constexpr ColorValue kWindow = Rgb(255, 255, 255);

// The context menu's rows (0: a separator) and their texts.
struct MenuRow {
  int id;
  int text;
};
constexpr MenuRow kContextMenu[] = {
    {anlcmd::kInterpolate, 32170},
    {anlcmd::kLowPass, 32171},
    {anlcmd::kApproximate, 32172},
    {0, 0},
    {anlcmd::kImport, 32173},
    {anlcmd::kEndImport, 32174},
    {0, 0},
    {anlcmd::kCoordinates, 32176},
    {anlcmd::kDisplayStyle, 32177},
    {anlcmd::kStyleByMouse, 32178},
    {0, 0},
    {anlcmd::kReticules, 32179},
    {anlcmd::kReticulesOld, 32180},
    {anlcmd::kFrameNumbers, 32181},
    {0, 0},
    {anlcmd::kFonts, 32182},
    {0, 0},
    {anlcmd::kPanePosition, 0},
};

// An entry draws a curve of the kind when it is not hidden and has two values at least.
bool Drawable(const AnlWinObjectSequence& e, int kind) {
  return e.IsDerivativeValid(kind) && e.HasTwoValues(kind);
}

QString MenuText(int id) { return QString::fromUtf8(platform::LoadString(id).data()); }

// The analysis windows open now: the series memory they reuse goes back to the system with the
// last of them.
int g_openWindows = 0;

}  // namespace

AnlWin::AnlWin(QWidget* parent, const std::string& title, int currentFrame, Document* document,
               int kind)
    : QAbstractScrollArea(parent),
      platform::PrintWindow(QString::fromStdString(title)),
      title_(CutToCharacters(title, kMaxTitleCharacters)),
      document_(document),
      kind_(kind),
      info_(KindInfo(kind)),
      currentFrame_(currentFrame),
      axes_(units_) {
  axes_.title = title_;
  axes_.fitToWindow = true;
  units_.Set(kind_, g_UnitsOrigin, document_);
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setFrameShape(QFrame::NoFrame);
  ++g_openWindows;
}

AnlWin::~AnlWin() {
  if (--g_openWindows > 0) return;
  // The series first, so that their buffers are among those given back.
  selectedEntry_ = nullptr;
  SetSelectedCurve(nullptr, nullptr, nullptr);
  selectedImport_ = nullptr;
  entries_.clear();
  distances_.reset();
  resultants_.reset();
  angles_.reset();
  axes_.imports = nullptr;
  imports_.reset();
  seriesmemory::ReleaseKept();
}

void AnlWin::SetupWindow() {
  FillList();
  BuildCurves(currentFrame_);
}

void AnlWin::FillList() {
  if (!document_ || !document_->ObjectSequences()) return;
  SequenceIterator it(*document_->ObjectSequences(), info_.mask);
  for (ResObjectSequence* s = it.Restart(); s; s = it.Next()) AddObjectSequence(s);
}

void AnlWin::AddObjectSequence(ResObjectSequence* sequence) {
  if (!sequence || !sequence->Passes(info_.mask)) return;
  for (const auto& e : entries_)
    if (e->Sequence() == sequence) return;
  entries_.push_back(std::make_unique<AnlWinObjectSequence>(sequence, style_.width, style_.style,
                                                            style_.connect, style_.marker));
}

void AnlWin::RemoveObjectSequence(ResObjectSequence* sequence) {
  auto it = std::find_if(entries_.begin(), entries_.end(),
                         [&](const auto& e) { return e->Sequence() == sequence; });
  if (it == entries_.end()) return;
  if (selectedEntry_ == it->get()) selectedEntry_ = nullptr;
  entries_.erase(it);
  // The curve lists hold the sequence too: they are made anew at the next build.
  if (info_.source != CurveSource::kSeries) {
    ClearSelection();
    distances_.reset();
    resultants_.reset();
    angles_.reset();
  }
  UpdateMarkerPane();
  InvalidatePlot();
}

bool AnlWin::ShowsDocument(const Document& document) const {
  if (document_ == &document) return true;
  return std::any_of(entries_.begin(), entries_.end(), [&](const auto& e) {
    return e->Sequence() && e->Sequence()->GetDocument() == &document;
  });
}

void AnlWin::RebuildCurves(int frame) {
  BuildCurves(frame);
  Repaint();
}

void AnlWin::RebuildEntries() {
  ResObjectSequence* selected = selectedEntry_ ? selectedEntry_->Sequence() : nullptr;
  selectedEntry_ = nullptr;
  // Fresh entries, in the old order, read the sequences' points anew.
  std::vector<std::unique_ptr<AnlWinObjectSequence>> old = std::move(entries_);
  entries_.clear();
  for (std::size_t i = 0; i < old.size(); ++i) {
    ResObjectSequence* s = old[i]->Sequence();
    entries_.push_back(std::make_unique<AnlWinObjectSequence>(s, style_.width, style_.style,
                                                              style_.connect, style_.marker));
    // A curve the user gave a style of its own keeps it.
    if (!old[i]->IsAutomaticStyle()) {
      entries_.back()->AssignStyle(*old[i]);
      entries_.back()->SetAutomaticStyle(false);
      entries_.back()->SetHighlight(false);
    }
    if (s == selected) {
      selectedEntry_ = entries_.back().get();
      selectedEntry_->SetHighlight(true);
    }
  }
}

void AnlWin::RebuildCurveList() {
  const std::optional<CurveParameters> p = CurveParametersOf(kind_);
  if (!p || !document_ || !document_->ObjectSequences()) return;
  ResObjectSequences& sequences = *document_->ObjectSequences();
  if (p->kind == CurveKind::kDistance) {
    const DistanzZeichnen* old = selectedDistance_;
    ResObjectSequence *a = old ? old->A() : nullptr, *b = old ? old->B() : nullptr;
    SetSelectedCurve(nullptr, nullptr, nullptr);
    distances_ = std::make_unique<Distanzen>();
    distances_->CreateEntries(sequences.Figure(), style_.width, style_.style, style_.connect);
    distances_->ComputeAll(p->order);
    if (old) SetSelectedCurve(distances_->Select(a, b), nullptr, nullptr);
  } else if (p->kind == CurveKind::kResultant) {
    const ResultierendeZeichnen* old = selectedResultant_;
    ResObjectSequence* s = old ? old->Sequence() : nullptr;
    SetSelectedCurve(nullptr, nullptr, nullptr);
    resultants_ = std::make_unique<ResultierendenListe>();
    resultants_->CreateEntries(sequences, info_.mask, style_.width, style_.style, style_.connect);
    resultants_->ComputeAll(p->order, p->mode);
    if (old) SetSelectedCurve(nullptr, resultants_->Select(s), nullptr);
  } else {
    const WinkelZeichnen* old = selectedAngle_;
    const AngleSequencePair* angle = old ? old->Angle() : nullptr;
    SetSelectedCurve(nullptr, nullptr, nullptr);
    angles_ = std::make_unique<WinkelListe>();
    angles_->CreateEntries(sequences.Figure(), style_.width, style_.style, style_.connect);
    angles_->ComputeAll(p->order, p->plane);
    if (old) SetSelectedCurve(nullptr, nullptr, angles_->Select(angle));
  }
}

void AnlWin::BuildCurves(int frame) {
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kRebuild, *crosshairs_, axes_);
  units_.Set(kind_, g_UnitsOrigin, document_);
  axes_.originCorner = g_UnitsOrigin.origin;
  currentFrame_ = frame;
  RebuildEntries();
  // The frame pane reads the selected curve: after a change of kind, units or values it must
  // not keep the last reading.
  if (entries_.empty()) {
    anchor_.Clear();
    InvalidatePlot();
    UpdateMarkerPane();
    return;
  }
  RebuildCurveList();
  ComputeImports();
  statistics_ = GatherStatistics();
  SelectValueRange();
  axes_.ExtendRangeByImport();
  if (axes_.fitToWindow) {
    LayoutToWindow();
  } else {
    axes_.PlaceOrigin();
    axes_.LimitScales(0, 0);
    axes_.RescaleImport();
  }
  UpdateScrollBars();
  ReplaceCrosshairs(CrosshairAnchor::kRebuild);
  ReportNothingToDraw();
  InvalidatePlot();
  UpdateMarkerPane();
}

AnalysisRange AnlWin::GatherStatistics(int kind) {
  if (kind < 0) kind = kind_;
  AnalysisRange all{};
  bool any = false;
  for (const auto& e : entries_) {
    const AnalysisRange r = e->GetStatistics(kind);
    if (!Drawable(*e, kind)) continue;
    if (!any) all = r;
    all.MergeMin(r);
    all.MergeMax(r);
    any = true;
  }
  return all;
}

void AnlWin::SelectValueRange() {
  const AnalysisRange& r = statistics_;
  auto set = [&](float x0, float x1, float y0, float y1) {
    axes_.xMin = x0, axes_.xMax = x1, axes_.yMin = y0, axes_.yMax = y1;
    AnlWinAxes::WidenToResolution(axes_.yMin, axes_.yMax);
  };
  std::optional<CurveRange> curves;
  if (distances_) curves = distances_->RangeOfAll();
  if (resultants_) curves = resultants_->RangeOfAll();
  if (angles_) curves = angles_->RangeOfAll();
  if (info_.source != CurveSource::kSeries) {
    if (curves) set(curves->first, curves->last, curves->min, curves->max);
    return;
  }
  if (kind_ == quantity::kYOverX) {
    set(r.position[0][0], r.position[0][1], r.position[1][0], r.position[1][1]);
    return;
  }
  const std::optional<SeriesSlot> slot = SeriesSlotOf(kind_);
  if (!slot) return;
  if (slot->order == 0) {
    set(static_cast<float>(r.frames[0]), static_cast<float>(r.frames[1]),
        r.position[slot->coordinate][0], r.position[slot->coordinate][1]);
  } else {
    const int d = AnalysisRange::DerivativeSlot(slot->coordinate, slot->order);
    set(static_cast<float>(r.derivativeFrames[d][0]), static_cast<float>(r.derivativeFrames[d][1]),
        r.derivative[d][0], r.derivative[d][1]);
  }
}

bool AnlWin::HasSomethingToDraw() const {
  if (ImportShown()) return true;
  if (distances_) return distances_->AnyValid();
  if (resultants_) return resultants_->AnyValid();
  if (angles_) return angles_->AnyValid();
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const auto& e) { return Drawable(*e, kind_); });
}

void AnlWin::ReportNothingToDraw() {
  if (HasSomethingToDraw()) {
    reportedNothing_ = false;
    return;
  }
  if (reportedNothing_) return;
  reportedNothing_ = true;
  using quantity::kCenterOfMassX;
  int text = 32025;
  if (info_.source == CurveSource::kAngles)
    text = 32028;
  else if (info_.source == CurveSource::kResultants)
    text = 32026;
  else if (info_.source == CurveSource::kDistances)
    text = 32027;
  else if (kind_ >= kCenterOfMassX)
    text = 32044;
  // The same messages naming the imported data as well.
  if (imports_) text = text == 32044 ? 32045 : text + 4;
  ErrorMessage(32000, text, title_.c_str());
}

void AnlWin::LayoutToWindow() {
  // A hidden window has no size yet: it is laid out when it shows (its resize event).
  if (!isVisible()) return;
  QImage measure(1, 1, QImage::Format_RGB32);
  QPainter painter(&measure);
  painter.setFont(AnalysisFont());
  QtPlotCanvas canvas(painter);
  TextExtent line;
  canvas.MeasureText(" ", line);
  axes_.tickLength = std::max(7, line.height / 2);
  axes_.textGap = line.height / 2;
  const QSize size = viewport()->size();
  if (axes_.fitToWindow) {
    axes_.LayoutPlotArea(canvas, size.width(), size.height(), HasSomethingToDraw());
  } else {
    // New text sizes, old scales.
    const float sx = std::fabs(axes_.xScale), sy = std::fabs(axes_.yScale);
    axes_.LayoutPlotArea(canvas, size.width(), size.height(), false);
    axes_.xScale = sx;
    axes_.yScale = sy;
    axes_.PlaceOrigin();
  }
}

QSize AnlWin::PlotSize() const {
  const double w = std::fabs(axes_.xScale) * (axes_.xMax - axes_.xMin) + 2.0 * axes_.xMargin;
  const double h = std::fabs(axes_.yScale) * (axes_.yMax - axes_.yMin) + 2.0 * axes_.yMargin;
  return {static_cast<int>(std::min(w, 32760.0)), static_cast<int>(std::min(h, 32760.0))};
}

void AnlWin::UpdateScrollBars() {
  QScrollBar* bars[] = {horizontalScrollBar(), verticalScrollBar()};
  if (axes_.fitToWindow) {
    for (QScrollBar* b : bars) b->setRange(0, 0);
    return;
  }
  const QSize plot = PlotSize(), view = viewport()->size();
  const int extents[] = {plot.width(), plot.height()};
  const int views[] = {view.width(), view.height()};
  const bool atFar[] = {g_UnitsOrigin.MirrorsX(), g_UnitsOrigin.MirrorsY()};
  for (int i = 0; i < 2; ++i) {
    QScrollBar* b = bars[i];
    const double relative = b->maximum() > 0 ? double(b->value()) / b->maximum() : atFar[i];
    const int range = std::max(0, extents[i] - views[i]);
    const int page = std::max(1, std::min(views[i] - views[i] / 5, range / 2));
    b->setRange(0, range);
    b->setPageStep(page);
    b->setSingleStep(std::max(1, std::min(page, range / 10)));
    b->setValue(static_cast<int>(std::lround(relative * range)));
  }
}

QPoint AnlWin::ScrollOffset() const {
  return {horizontalScrollBar()->value(), verticalScrollBar()->value()};
}

QPoint AnlWin::AddScrollOffset(QPoint p) const { return p + ScrollOffset(); }

QSize AnlWin::ScreenSize() const { return axes_.fitToWindow ? viewport()->size() : PlotSize(); }

unsigned AnlWin::PrintDocument() const { return document_ ? document_->Serial() : 0; }

void AnlWin::InvalidatePlot() {
  plotValid_ = false;
  viewport()->update();
}

void AnlWin::Repaint() {
  if (isVisible()) viewport()->repaint();
}

void AnlWin::DrawCurves(PlotCanvas& canvas) {
  const PlotMapping map = axes_.Mapping();
  if (distances_) {
    distances_->DrawAll(canvas, map);
    if (selectedDistance_) selectedDistance_->Draw(canvas, map);
  } else if (resultants_) {
    resultants_->DrawAll(canvas, map);
    if (selectedResultant_) selectedResultant_->Draw(canvas, map);
  } else if (angles_) {
    angles_->DrawAll(canvas, map);
    if (selectedAngle_) selectedAngle_->Draw(canvas, map);
  } else {
    for (const auto& e : entries_) e->Draw(canvas, kind_, map);
    if (selectedEntry_) selectedEntry_->Draw(canvas, kind_, map);
  }
}

void AnlWin::RenderPlot(QPainter& painter, QSize size, QPoint scroll, bool printing) {
  painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
  if (entries_.empty() || !HasSomethingToDraw()) return;
  painter.save();
  painter.setFont(AnalysisFont());
  painter.translate(-scroll);
  QtPlotCanvas canvas(painter);
  AxisColors colors;
  colors.background = kWindow;
  axes_.DrawAxes(canvas, colors);
  axes_.DrawImport(canvas);
  if (printing && selectedEntry_) selectedEntry_->SetHighlight(false);
  DrawCurves(canvas);
  if (printing && selectedEntry_) selectedEntry_->SetHighlight(true);
  painter.restore();
}

std::optional<int> AnlWin::MarkerX() const {
  if (!showMarker_ || entries_.empty()) return std::nullopt;
  std::optional<float> x;
  if (kind_ == quantity::kYOverX) {
    const float* xs = selectedEntry_ ? selectedEntry_->SelectArray(quantity::kX) : nullptr;
    if (xs && currentFrame_ >= 1 && currentFrame_ <= selectedEntry_->FrameCount() &&
        xs[currentFrame_ - 1] != kMissingValue)
      x = xs[currentFrame_ - 1];
    else if (!selectedEntry_)
      x = MarkerAbscissaOverX(axes_.xMax, currentFrame_, statistics_.frames[1]);
  } else {
    x = static_cast<float>(currentFrame_);
  }
  if (!x || *x < axes_.xMin || *x > axes_.xMax) return std::nullopt;
  return static_cast<int>(axes_.ValueToPixelX(*x));
}

void AnlWin::DrawOverlay(QPainter& painter, QPoint scroll) {
  painter.save();
  painter.translate(-scroll);
  QtPlotCanvas canvas(painter);
  if (const std::optional<int> x = MarkerX()) {
    const int height = std::max(viewport()->height(), PlotSize().height()) + scroll.y();
    canvas.Line(*x, 0, *x, height, Pen{kGreyText, 1, kPenSolid});
  }
  if (crosshairs_) {
    const PlotRect r = PlotRect::Of(axes_);
    crosshairs_->DrawLines(canvas, static_cast<int>(r.left), static_cast<int>(r.right),
                           static_cast<int>(r.top), static_cast<int>(r.bottom));
    crosshairs_->DrawMarkers(canvas);
  }
  painter.restore();
}

void AnlWin::PaintTo(QPainter& painter, const QRect& target, bool printing) {
  if (printing) {
    const QSize s = ScreenSize();
    if (s.isEmpty()) return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(double(target.width()) / s.width(), double(target.height()) / s.height());
    RenderPlot(painter, s, QPoint(0, 0), true);
    painter.restore();
    return;
  }
  const qreal ratio = devicePixelRatioF();
  const QSize pixels = target.size() * ratio;
  if (!plotValid_ || plot_.size() != pixels || plotScroll_ != ScrollOffset()) {
    plot_ = QImage(pixels, QImage::Format_RGB32);
    plot_.setDevicePixelRatio(ratio);
    QPainter image(&plot_);
    RenderPlot(image, target.size(), ScrollOffset(), false);
    plotScroll_ = ScrollOffset();
    plotValid_ = true;
    ++plotBuilds_;
  }
  painter.drawImage(target.topLeft(), plot_);
  painter.save();
  painter.translate(target.topLeft());
  DrawOverlay(painter, ScrollOffset());
  painter.restore();
}

void AnlWin::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  if (!paintingAllowed_) {
    painter.fillRect(viewport()->rect(), Qt::white);
    return;
  }
  PaintTo(painter, viewport()->rect(), false);
}

void AnlWin::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kSize, *crosshairs_, axes_);
  if (axes_.fitToWindow && !entries_.empty()) LayoutToWindow();
  UpdateScrollBars();
  ReplaceCrosshairs(CrosshairAnchor::kSize);
  InvalidatePlot();
}

void AnlWin::scrollContentsBy(int, int) { viewport()->update(); }

bool AnlWin::SetCurrentFrame(int frame) {
  if (frame == currentFrame_) return false;
  currentFrame_ = frame;
  if (showMarker_) {
    UpdateMarkerPane();
    viewport()->update();
  }
  return true;
}

void AnlWin::SetMarkerShown(bool on) {
  showMarker_ = on;
  UpdateMarkerPane();
  viewport()->update();
}

void AnlWin::SetValueDialogs(ValuePane* combined, ValuePane* crosshairs, ValuePane* frame) {
  combinedPane_ = combined;
  crosshairPane_ = crosshairs;
  framePane_ = frame;
  for (ValuePane* p : {combined, crosshairs})
    if (p) p->SetCrosshairs(crosshairs_.get());
  RefreshPanes();
}

float AnlWin::SelectedValueAt(int frame) const {
  const float* values = nullptr;
  int count = 0;
  if (selectedEntry_) {
    values = selectedEntry_->SelectArray(kind_);
    count = selectedEntry_->FrameCount();
  } else if (selectedCurve_) {
    values = selectedCurve_->Values();
    count = frame;
  } else if (selectedImport_) {
    return selectedImport_->ValueAt(static_cast<float>(frame), ImportListe::kStartFrame);
  }
  if (!values || frame < 1 || frame > count) return kMissingValue;
  return values[frame - 1];
}

void AnlWin::UpdateMarkerPane() {
  if (!updatePanes_) return;
  for (ValuePane* p : {combinedPane_, framePane_}) {
    if (!p || !p->HasReading()) continue;
    const float time = units_.FrameToTime(static_cast<float>(currentFrame_));
    const float value = HasSelection() ? SelectedValueAt(currentFrame_) : kMissingValue;
    p->ShowReading(time, ShownOrdinate(value));
    p->SetMode(value == kMissingValue ? 1 : 2);
  }
}

void AnlWin::ShowCrosshairValues() {
  if (!updatePanes_ || !crosshairs_) return;
  const PlotRect r = PlotRect::Of(axes_).Widened();
  auto values = [&](FloatPoint p, bool enabled) {
    if (!enabled || !r.Contains(p)) return std::pair{kMissingValue, kMissingValue};
    return std::pair{units_.FrameToTime(axes_.PixelToValueX(p.x)), OrdinateReadingAt(p.y)};
  };
  const auto [a1, b1] = values(crosshairs_->First(), crosshairs_->FirstEnabled());
  const auto [a2, b2] = values(crosshairs_->Second(), crosshairs_->SecondEnabled());
  for (ValuePane* p : {combinedPane_, crosshairPane_}) {
    if (!p || !p->HasCrosshairRows()) continue;
    p->SetCrosshairs(crosshairs_.get());
    p->ShowValues(a1, b1, a2, b2);
  }
}

void AnlWin::RefreshPanes() {
  if (crosshairs_)
    ShowCrosshairValues();
  else
    for (ValuePane* p : {combinedPane_, crosshairPane_})
      if (p) {
        p->SetCrosshairs(nullptr);
        p->ShowValues(kMissingValue, kMissingValue, kMissingValue, kMissingValue);
      }
  UpdateMarkerPane();
}

void AnlWin::ReplaceCrosshairs(int code) {
  if (!crosshairs_) {
    if (anchor_.Code() == code) anchor_.Clear();
    return;
  }
  if (anchor_.Replace(code, *crosshairs_, axes_)) ShowCrosshairValues();
}

void AnlWin::AfterScaleChange(int code) {
  axes_.RescaleImport();
  UpdateScrollBars();
  ReplaceCrosshairs(code);
  InvalidatePlot();
  Repaint();
}

bool AnlWin::CanZoomIn() const {
  if (axes_.fitToWindow || entries_.empty()) return false;
  AnlWinAxes doubled = axes_;
  doubled.xScale *= 2;
  doubled.yScale *= 2;
  return !doubled.LimitScales(verticalScrollBar()->sizeHint().width(),
                              horizontalScrollBar()->sizeHint().height());
}

void AnlWin::OnZoom(int id) {
  if (id == anlcmd::kZoomIn && !CanZoomIn()) return;
  if (id == anlcmd::kZoomOut && axes_.fitToWindow) return;
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kZoom, *crosshairs_, axes_);
  const float f = id == anlcmd::kZoomIn ? 2.0f : 0.5f;
  axes_.xScale = std::fabs(axes_.xScale) * f;
  axes_.yScale = std::fabs(axes_.yScale) * f;
  axes_.PlaceOrigin();
  AfterScaleChange(CrosshairAnchor::kZoom);
}

void AnlWin::OnFit() {
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kFit, *crosshairs_, axes_);
  axes_.fitToWindow = !axes_.fitToWindow;
  if (axes_.fitToWindow && !entries_.empty()) LayoutToWindow();
  AfterScaleChange(CrosshairAnchor::kFit);
}

void AnlWin::OnFontChanged() {
  if (!entries_.empty()) LayoutToWindow();
  UpdateScrollBars();
  InvalidatePlot();
}

void AnlWin::SetKind(int kind) {
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kCoordinates, *crosshairs_, axes_);
  kind_ = kind;
  info_ = KindInfo(kind);
  SetSelectedCurve(nullptr, nullptr, nullptr);
  distances_.reset();
  resultants_.reset();
  angles_.reset();
  BuildCurves(document_ ? document_->CurrentFrame() : currentFrame_);
  if (!entries_.empty()) LayoutToWindow();
  AfterScaleChange(CrosshairAnchor::kCoordinates);
}

void AnlWin::OnAlterValues() {
  CoordinateTransfer transfer;
  transfer.Mark(kind_);
  if (!RunCoordinatesDialog(this, transfer)) return;
  if (const std::optional<int> kind = transfer.Chosen()) SetKind(*kind);
}

void AnlWin::OnDisplayStyle() {
  DisplayStyleTransfer t;
  t.ordinateDecimals = axes_.ordinateDecimals;
  t.abscissaDecimals = axes_.abscissaDecimals;
  const ScaleFactorText vertical = FormatScaleFactor(std::fabs(axes_.yScale));
  const ScaleFactorText horizontal = FormatScaleFactor(std::fabs(axes_.xScale));
  if (vertical.tooLarge) ErrorMessage(32000, 32022, title_.c_str());
  if (horizontal.tooLarge) ErrorMessage(32000, 32023, title_.c_str());
  t.verticalFactor = vertical.text;
  t.horizontalFactor = horizontal.text;
  t.fit = axes_.fitToWindow;
  t.grid = axes_.gridMode;
  t.style = {style_.width, style_.style, style_.connect, style_.marker};
  const DisplayStyleTransfer before = t;
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kDisplay, *crosshairs_, axes_);
  if (!RunDisplayStyleDialog(this, t, kind_)) {
    anchor_.Clear();
    return;
  }
  axes_.ordinateDecimals = t.ordinateDecimals;
  axes_.abscissaDecimals = t.abscissaDecimals;
  auto takeFactor = [&](const std::string& text, const std::string& old, float& scale, int zeroId) {
    if (text == old) return;
    const std::optional<float> f = ParseScaleFactor(text);
    if (!f) return;
    if (*f == 0) {
      ErrorMessage(32000, zeroId, static_cast<double>(std::fabs(scale)));
      return;
    }
    scale = std::fabs(*f);
  };
  takeFactor(t.verticalFactor, before.verticalFactor, axes_.yScale, 32041);
  takeFactor(t.horizontalFactor, before.horizontalFactor, axes_.xScale, 32042);
  axes_.LimitScalesAndReport(0, 0);
  if (!(t.style == before.style)) {
    style_ = {t.style.width, t.style.penStyle, t.style.connect, t.style.marker};
    ApplyWindowStyle();
  }
  axes_.gridMode = t.grid;
  if (t.fit != axes_.fitToWindow) {
    axes_.fitToWindow = t.fit;
    if (t.fit && !entries_.empty()) LayoutToWindow();
  }
  axes_.PlaceOrigin();
  AfterScaleChange(CrosshairAnchor::kDisplay);
}

void AnlWin::ApplyWindowStyle() {
  for (const auto& e : entries_) e->SetAutomaticStyle(true);
  if (distances_) distances_->SetAutomaticStyle(true);
  if (resultants_) resultants_->SetAutomaticStyle(true);
  if (angles_) angles_->SetAutomaticStyle(true);
  if (imports_) imports_->SetAutomaticStyle(true);
  OfferWindowStyle();
}

void AnlWin::OfferWindowStyle() {
  const WindowCurveStyle& w = style_;
  for (const auto& e : entries_) e->SetStyle(w.width, w.style, w.connect, w.marker, true);
  if (distances_) distances_->SetStyle(w.width, w.style, w.connect, w.marker, true);
  if (resultants_) resultants_->SetStyle(w.width, w.style, w.connect, w.marker, true);
  if (angles_) angles_->SetStyle(w.width, w.style, w.connect, w.marker, true);
  // Imported curves take the window's pen, without markers.
  if (imports_) imports_->SetStyle(w.width, w.style, w.connect, false, true);
  InvalidatePlot();
}

CurveLook* AnlWin::SelectedLook() const {
  if (selectedEntry_) return selectedEntry_;
  if (selectedImport_) return selectedImport_;
  return selectedCurve_;
}

void AnlWin::SetSelectedStyle(int id) {
  if (CurveLook* look = SelectedLook()) {
    if (id == anlcmd::kFollowWindowStyle) {
      look->SetAutomaticStyle(true);
      look->SetStyle(style_.width, style_.style, style_.connect, style_.marker, true);
    } else if (const LineStyleItem* s = LineStyleOf(id)) {
      look->SetStyle(s->width, s->penStyle, s->connect, s->marker, false);
    }
  }
  InvalidatePlot();
  Repaint();
}

void AnlWin::ToggleCrosshairs(int id) {
  if (crosshairs_) {
    oldCrosshairs_ = std::move(crosshairs_);
    anchor_.Clear();
    RefreshPanes();
    Repaint();
    return;
  }
  if (id == anlcmd::kReticulesOld && oldCrosshairs_) {
    crosshairs_ = std::move(oldCrosshairs_);
  } else {
    crosshairs_ = std::make_unique<Fadenkreuze>();
    // Both start near the upper right corner of the visible part of the plot.
    const PlotRect r = PlotRect::Of(axes_);
    const QPoint s = ScrollOffset();
    const float x = std::min<float>(r.right, s.x() + viewport()->width()) - 21;
    const float y = std::max<float>(r.top, s.y()) + 21;
    crosshairs_->SetPositions(x, y, x, y + 21);
  }
  anchor_.Clear();
  const PlotRect r = PlotRect::Of(axes_).Widened();
  crosshairs_->EnableFirst(r.Contains(crosshairs_->First()));
  crosshairs_->EnableSecond(r.Contains(crosshairs_->Second()));
  RefreshPanes();
  Repaint();
}

void AnlWin::EnableCommand(platform::CommandEnabler& ce) const {
  AnlWinCommandState s;
  s.kind = kind_;
  s.crosshairsOn = crosshairs_ != nullptr;
  s.oldCrosshairsHeld = oldCrosshairs_ != nullptr;
  s.markerShown = showMarker_;
  s.fitToWindow = axes_.fitToWindow;
  s.canZoomIn = CanZoomIn();
  s.importedShown = ImportShown();
  EnableAnlWinCommand(s, ce);
}

bool AnlWin::HasSelection() const { return selectedEntry_ || selectedCurve_ || selectedImport_; }

void AnlWin::ClearSelection() {
  if (selectedEntry_) selectedEntry_->SetHighlight(false);
  if (selectedCurve_) selectedCurve_->SetHighlight(false);
  selectedEntry_ = nullptr;
  SetSelectedCurve(nullptr, nullptr, nullptr);
  DeselectImport();
}

void AnlWin::SetSelectedCurve(DistanzZeichnen* d, ResultierendeZeichnen* r, WinkelZeichnen* a) {
  selectedDistance_ = d;
  selectedResultant_ = r;
  selectedAngle_ = a;
  selectedCurve_ = d   ? static_cast<AnlWinKurve*>(d)
                   : r ? static_cast<AnlWinKurve*>(r)
                       : static_cast<AnlWinKurve*>(a);
}

bool AnlWin::SelectAt(QPoint windowPoint) {
  ClearSelection();
  const QPoint p = AddScrollOffset(windowPoint);
  const float t = axes_.PixelToValueX(p.x()), v = axes_.PixelToValueY(p.y());
  const float sx = axes_.xScale, sy = axes_.yScale;
  if (distances_)
    SetSelectedCurve(distances_->HitTest(t, v, sx, sy), nullptr, nullptr);
  else if (resultants_)
    SetSelectedCurve(nullptr, resultants_->HitTest(t, v, sx, sy), nullptr);
  else if (angles_)
    SetSelectedCurve(nullptr, nullptr, angles_->HitTest(t, v, sx, sy));
  else
    for (const auto& e : entries_)
      if (e->HitTest(kind_, t, v, sx, sy)) {
        selectedEntry_ = e.get();
        break;
      }
  if (selectedEntry_) selectedEntry_->SetHighlight(true);
  if (selectedCurve_) selectedCurve_->SetHighlight(true);
  if (!selectedEntry_ && !selectedCurve_) SelectImportAt(p);
  UpdateMarkerPane();
  InvalidatePlot();
  return HasSelection();
}

void AnlWin::mousePressEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  reference_ = pos;
  if (event->button() == Qt::LeftButton) {
    leftDown_ = true;
    const QPoint p = AddScrollOffset(pos);
    if (crosshairs_ &&
        crosshairs_->HitTest(
            p.x(), p.y(), PlotRect::Of(axes_).Widened().Contains({float(p.x()), float(p.y())}))) {
      crosshairDrag_ = true;
      ShowCrosshairValues();
      viewport()->update();
      return;
    }
    crosshairDrag_ = false;
    if (!SelectAt(pos) && !axes_.fitToWindow) {
      panning_ = true;
      viewport()->setCursor(Qt::ClosedHandCursor);
    }
    Repaint();
  } else if (event->button() == Qt::RightButton) {
    if (styleDragArmed_ && !styleDrag_) {
      styleDrag_ = true;
      viewport()->setCursor(Qt::SizeVerCursor);
    } else if (!HasSelection()) {
      ShowContextMenu(event->globalPosition().toPoint());
    } else {
      ShowStylePopup(event->globalPosition().toPoint());
    }
  }
}

void AnlWin::mouseMoveEvent(QMouseEvent* event) {
  const QPoint pos = event->position().toPoint();
  if (pos == reference_) return;
  if (styleDrag_)
    StyleDragMove(pos);
  else if (panning_)
    PanMove(pos);
  else if (crosshairDrag_ && leftDown_)
    CrosshairDragMove(pos);
}

void AnlWin::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    leftDown_ = panning_ = crosshairDrag_ = false;
    viewport()->unsetCursor();
  } else if (event->button() == Qt::RightButton && styleDrag_) {
    styleDrag_ = styleDragArmed_ = false;
    viewport()->unsetCursor();
  }
}

void AnlWin::StyleDragMove(QPoint p) {
  const QPoint d = p - reference_;
  if (std::hypot(d.x(), d.y()) <= 10) return;
  CurveStyleValues s{style_.width, style_.style, style_.connect, style_.marker};
  StyleDragStep(s, d.y() > 0);
  style_ = {s.width, s.penStyle, s.connect, s.marker};
  reference_ = p;
  OfferWindowStyle();
  Repaint();
}

void AnlWin::PanMove(QPoint p) {
  const QPoint d = p - reference_;
  horizontalScrollBar()->setValue(horizontalScrollBar()->value() - d.x());
  verticalScrollBar()->setValue(verticalScrollBar()->value() - d.y());
  reference_ = p;
}

void AnlWin::CrosshairDragMove(QPoint pos) {
  // Dragging past the edge scrolls the plot along.
  const QRect view = viewport()->rect();
  if (pos.x() < 0 || pos.x() >= view.width())
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() +
                                    (pos.x() < 0 ? -1 : 1) * horizontalScrollBar()->singleStep());
  if (pos.y() < 0 || pos.y() >= view.height())
    verticalScrollBar()->setValue(verticalScrollBar()->value() +
                                  (pos.y() < 0 ? -1 : 1) * verticalScrollBar()->singleStep());
  const QPoint p = AddScrollOffset(pos);
  float x = static_cast<float>(p.x()), y = static_cast<float>(p.y());
  if (HasSelection()) {
    float t = axes_.PixelToValueX(x), v = axes_.PixelToValueY(y);
    if (selectedEntry_)
      selectedEntry_->SnapCrosshair(kind_, t, v, axes_.xScale, axes_.yScale);
    else if (selectedCurve_)
      selectedCurve_->SnapCrosshair(t, v, axes_.xScale, axes_.yScale,
                                    static_cast<int>(axes_.xMax) + 1);
    else
      SnapToImport(t, v);
    x = axes_.ValueToPixelX(t);
    y = axes_.ValueToPixelY(v);
  }
  const FloatPoint clamped = ClampCrosshair({x, y}, axes_);
  crosshairs_->MoveSelected(clamped.x, clamped.y);
  ShowCrosshairValues();
  viewport()->update();
}

void AnlWin::ShowContextMenu(QPoint global) {
  QMenu menu(this);
  for (const MenuRow& row : kContextMenu) {
    if (row.id == 0) {
      menu.addSeparator();
      continue;
    }
    platform::CommandEnabler ce(row.id);
    if (commandEnabler_) commandEnabler_(ce);
    // The old-position and end-of-import items show only while they apply.
    if ((row.id == anlcmd::kReticulesOld || row.id == anlcmd::kEndImport) && !ce.enabled) continue;
    QString text = ce.text ? QString::fromStdString(*ce.text) : MenuText(row.text);
    QAction* action = menu.addAction(text);
    action->setEnabled(ce.enabled);
    const int id = row.id;
    connect(action, &QAction::triggered, this, [this, id] {
      if (commandSink_) commandSink_(id);
    });
  }
  menu.exec(global);
}

void AnlWin::ShowStylePopup(QPoint global) {
  QMenu menu(this);
  const CurveLook* look = SelectedLook();
  const bool markerAllowed = selectedEntry_ || selectedResultant_;
  const LineStyleItem* current =
      look ? MatchingLineStyle(look->PenWidth(), look->PenStyle(), look->Connect(), look->Markers())
           : nullptr;
  for (const LineStyleItem& item : LineStyleItems()) {
    if (!LineStyleOffered(item, markerAllowed)) continue;
    QAction* action = menu.addAction(LineStyleIcon(item), QString());
    action->setCheckable(true);
    action->setChecked(&item == current);
    const int id = item.command;
    connect(action, &QAction::triggered, this, [this, id] { SetSelectedStyle(id); });
  }
  menu.exec(global);
}

void AnlWin::EditSequences(
    const std::function<bool(AnlWinObjectSequence&, int code, int index)>& edit) {
  updatePanes_ = false;
  for (int code : {quantity::kX, quantity::kY, quantity::kZ}) {
    int index = 0;
    bool stop = false;
    for (const auto& e : entries_) {
      e->GetStatistics(code);
      if (!edit(*e, code, index++)) {
        stop = true;
        break;
      }
    }
    if (stop) break;
  }
  updatePanes_ = true;
  DocumentChanged();
}

void AnlWin::DocumentChanged() {
  if (!document_) return;
  // The world points changed: the image points follow them, then the object model.
  document_->RecalcAllFrames();
  document_->UpdateObjectModel(0);
  document_->UpdateDialogs();
  // The views and every analysis window of the document (this one too) are redrawn.
  document_->UpdateViews();
}

void AnlWin::OnLowPass() {
  if (entries_.empty()) return;
  EditSequences([&](AnlWinObjectSequence& e, int code, int) {
    if (!e.LowPass(code)) ErrorMessage(32000, 32021, static_cast<int>(e.Sequence()->number));
    e.WerteZurueckschreiben(code);
    return true;
  });
}

void AnlWin::OnApproximate() {
  std::optional<int> order = RunOrderDialog(this, order_);
  if (!order) return;
  order_ = *order;
  Approximate(order_);
}

void AnlWin::Approximate(int order) {
  if (entries_.empty()) return;
  EditSequences([&](AnlWinObjectSequence& e, int code, int) {
    if (!e.Approximate(code, order)) return false;
    e.WerteZurueckschreiben(code);
    return true;
  });
}

void AnlWin::OnInterpolateGaps() {
  if (entries_.empty()) return;
  updatePanes_ = false;
  for (const auto& e : entries_)
    for (int code : {quantity::kX, quantity::kY, quantity::kZ}) e->GetStatistics(code);
  std::unique_ptr<GapProgress> progress = MakeGapProgress(this);
  bool first = true;
  for (int code : {quantity::kX, quantity::kY, quantity::kZ}) {
    const std::string name(platform::LoadString(analysis_ids::kFirstQuantityCaption + code));
    for (const auto& e : entries_) {
      e->InterpolateGaps(code, name, progress.get(), first);
      first = false;
    }
  }
  for (int code : {quantity::kX, quantity::kY, quantity::kZ})
    for (const auto& e : entries_) e->WerteZurueckschreiben(code);
  updatePanes_ = true;
  DocumentChanged();
}
