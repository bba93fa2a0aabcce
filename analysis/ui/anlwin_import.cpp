// The analysis window's imported acquisition data: the import and end-of-import commands, the
// selection of an imported curve and what the panes read from it.

#include "analysis/curves/curvelists.h"
#include "analysis/import/importliste.h"
#include "analysis/ui/anlwin.h"
#include "analysis/ui/daqdialogs.h"

bool AnlWin::ImportShown() const { return imports_ && imports_->AnyValid(); }

void AnlWin::ComputeImports() {
  if (imports_) imports_->ComputeAll(ImportOrderOf(kind_));
}

bool AnlWin::ColorUsedByCurves(ColorValue color) const {
  const bool series = std::any_of(entries_.begin(), entries_.end(),
                                  [&](const auto& e) { return e->OwnColor() == color; });
  return series || (distances_ && distances_->ColorInUse(color)) ||
         (resultants_ && resultants_->ColorInUse(color)) ||
         (angles_ && angles_->ColorInUse(color));
}

void AnlWin::OnImportData() {
  if (!imports_) imports_ = std::make_unique<ImportListe>();
  QtDaqFileDialogs dialogs(this);
  ImportZeichnen* added = imports_->AddImport(style_.width, style_.style, style_.connect, dialogs);
  if (added) {
    imports_->ComputeAll(ImportOrderOf(kind_));
    // A data file that could not be read (reported) leaves no curve.
    if (!added->IsValid()) {
      imports_->Remove(added);
      added = nullptr;
    }
  }
  if (!added) {
    if (imports_->Empty()) imports_.reset();
    return;
  }
  imports_->ChooseFreeColor(*added, [this](ColorValue c) { return ColorUsedByCurves(c); });
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kImport, *crosshairs_, axes_);
  axes_.imports = imports_.get();
  axes_.ExtendRangeByImport();
  if (axes_.fitToWindow && !entries_.empty()) LayoutToWindow();
  axes_.LimitScalesAndReport(0, 0);
  ReportNothingToDraw();
  AfterScaleChange(CrosshairAnchor::kImport);
}

void AnlWin::OnEndImport() {
  if (!imports_) return;
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kImport, *crosshairs_, axes_);
  DeselectImport();
  axes_.imports = nullptr;
  imports_.reset();
  SelectValueRange();
  if (axes_.fitToWindow && !entries_.empty()) LayoutToWindow();
  UpdateMarkerPane();
  AfterScaleChange(CrosshairAnchor::kImport);
}

void AnlWin::SelectImportAt(QPoint plotPoint) {
  if (!ImportShown()) return;
  const float t = axes_.PixelToValueX(static_cast<float>(plotPoint.x()));
  const float p = axes_.PixelToValueY(static_cast<float>(plotPoint.y()));
  ImportZeichnen* hit = imports_->HitTest(t, p, axes_.xScale, axes_.yScale, axes_.yMin);
  if (!hit) return;
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kImportSelection, *crosshairs_, axes_);
  selectedImport_ = hit;
  selectedImport_->SetHighlight(true);
  // The ordinate shows the imported values now, with room for their labels.
  axes_.importSelected = true;
  if (axes_.fitToWindow) LayoutToWindow();
  ReplaceCrosshairs(CrosshairAnchor::kImportSelection);
}

void AnlWin::DeselectImport() {
  if (!selectedImport_) return;
  if (crosshairs_) anchor_.Take(CrosshairAnchor::kImportSelection, *crosshairs_, axes_);
  selectedImport_->SetHighlight(false);
  selectedImport_ = nullptr;
  axes_.importSelected = false;
  if (axes_.fitToWindow && !entries_.empty()) LayoutToWindow();
  ReplaceCrosshairs(CrosshairAnchor::kImportSelection);
}

float AnlWin::ShownOrdinate(float value) const {
  return selectedImport_ ? value : units_.OrdinateToUnit(value);
}

float AnlWin::OrdinateReadingAt(float pixelY) const {
  const float v = axes_.PixelToValueY(pixelY);
  if (!selectedImport_) return units_.OrdinateToUnit(v);
  return imports_->FromWindowOrdinate(v, axes_.yScale, axes_.yMin);
}

void AnlWin::SnapToImport(float& t, float& v) {
  if (!selectedImport_) return;
  float value = imports_->FromWindowOrdinate(v, axes_.yScale, axes_.yMin);
  selectedImport_->SnapCrosshair(t, value, axes_.xScale, imports_->Scale(),
                                 ImportListe::kStartFrame);
  v = imports_->ToWindowOrdinate(value, axes_.yScale, axes_.yMin);
}
