#pragma once

// AnlWin: the 2D graph window of one analysis kind. It plots every accepted object sequence of
// its document (or the distance, resultant or angle curves made from them) over time, in the
// display units, with axes, ticks and captions. The plot is kept in an image; the frame marker
// and the crosshairs are drawn over it at each paint, so moving them never redraws the plot.
// Zoom, fit, scrolling and panning change the plot's scale and place; the crosshairs keep their
// values across such changes. Smoothing, approximation and gap filling write their results back
// into the object sequences and have the document update every view.

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/anlwinkind.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/plot/axes.h"
#include "analysis/plot/fadenkreuze.h"
#include "analysis/units.h"
#include "analysis/ui/analysisframed.h"
#include "platform/ui/printwindow.h"

class Distanzen;
class ImportListe;
class ImportZeichnen;
class ResultierendenListe;
class WinkelListe;
class AnlWinKurve;
class DistanzZeichnen;
class ResultierendeZeichnen;
class WinkelZeichnen;
class ValuePane;
class QMenu;

// The style every curve that follows the window's style takes.
struct WindowCurveStyle {
  unsigned width = 1;
  unsigned style = 0;
  bool connect = true;
  bool marker = false;
  friend bool operator==(const WindowCurveStyle&, const WindowCurveStyle&) = default;
};

class AnlWin : public QAbstractScrollArea, public platform::PrintWindow, public AnalysisFramed {
  Q_OBJECT
 public:
  AnlWin(QWidget* parent, const std::string& title, int currentFrame, Document* document,
         int kind);
  ~AnlWin() override;

  // Fills the list from the document and builds the plot (once, after construction).
  void SetupWindow();
  // Rebuilds every entry and curve from the sequences already in the list.
  void BuildCurves(int frame);
  bool SetCurrentFrame(int frame);
  // Repaints at once.
  void Repaint();
  // Draws the plot anew (not only the marker and crosshairs over it) and repaints at once.
  void RedrawPlot() {
    InvalidatePlot();
    Repaint();
  }

  // AnalysisFramed.
  QWidget* Widget() override { return this; }
  bool Is3D() const override { return false; }
  void RebuildCurves(int frame) override;
  void GoToFrame(int frame) override { SetCurrentFrame(frame); }
  void AddObjectSequence(ResObjectSequence* sequence) override;
  void RemoveObjectSequence(ResObjectSequence* sequence) override;
  bool ShowsDocument(const Document& document) const override;
  void FontChanged() override { OnFontChanged(); }

  // PrintWindow.
  void PaintTo(QPainter& painter, const QRect& target, bool printing) override;
  QSize ScreenSize() const override;
  unsigned PrintDocument() const override;

  // The value panes the layout shows (null for none), and whether they are kept up to date.
  void SetValueDialogs(ValuePane* combined, ValuePane* crosshairs, ValuePane* frame);
  void SetCrosshairsEnabled(bool on) { updatePanes_ = on; }
  // Painting waits until the layout has set the window up.
  void SetPaintingAllowed(bool on) { paintingAllowed_ = on; }

  AnalysisRange GatherStatistics(int kind = -1);
  void SelectValueRange();
  void UpdateScrollBars();

  // Commands.
  void OnInterpolateGaps();
  void OnLowPass();
  void OnApproximate();
  // Approximates every entry's x, y and z by a polynomial of the order; stops at the first
  // failure.
  void Approximate(int order);
  void OnAlterValues();
  // Changes the kind as the Coordinates dialog does (kind 9 plots y over x).
  void SetKind(int kind);
  void OnDisplayStyle();
  void OnZoom(int id);
  void OnFit();
  void OnFontChanged();
  // Imported acquisition data (anlwin_import.cpp): adds one channel chosen by the user, or
  // ends the display of all of them.
  void OnImportData();
  void OnEndImport();
  const ImportListe* Imports() const { return imports_.get(); }
  const ImportZeichnen* SelectedImport() const { return selectedImport_; }
  void ToggleCrosshairs(int id);
  void ArmStyleDrag() { styleDragArmed_ = true; }
  // Commands 22201..22212 and 22215 on the selected curve.
  void SetSelectedStyle(int id);
  // Every curve follows the window's style again.
  void ApplyWindowStyle();
  // The window's style goes to the curves that follow it.
  void OfferWindowStyle();
  bool CanZoomIn() const;
  void EnableCommand(platform::CommandEnabler& ce) const;
  // Where the context menu's commands go (the layout's routing) and how they are enabled.
  void SetCommandSink(std::function<void(int)> sink,
                      std::function<void(platform::CommandEnabler&)> enabler) {
    commandSink_ = std::move(sink);
    commandEnabler_ = std::move(enabler);
  }

  // The crosshair anchor, for the layout's pane changes.
  CrosshairAnchor& Anchor() { return anchor_; }
  void ReplaceCrosshairs(int code);
  void RefreshPanes();

  int Kind() const { return kind_; }
  const std::string& Title() const { return title_; }
  Document* GetDocument() const { return document_; }
  int CurrentFrame() const { return currentFrame_; }
  bool MarkerShown() const { return showMarker_; }
  void SetMarkerShown(bool on);
  bool FitToWindow() const { return axes_.fitToWindow; }
  const AnlWinAxes& Axes() const { return axes_; }
  const AnlWinUnits& Units() const { return units_; }
  const std::vector<std::unique_ptr<AnlWinObjectSequence>>& Entries() const { return entries_; }
  Fadenkreuze* Crosshairs() const { return crosshairs_.get(); }
  const WindowCurveStyle& CurveStyle() const { return style_; }
  void SetCurveStyle(const WindowCurveStyle& style) { style_ = style; }
  int PolynomialOrder() const { return order_; }
  // The plot image's builds so far (a marker move adds none).
  int PlotBuilds() const { return plotBuilds_; }
  // The marker's pixel column, or none.
  std::optional<int> MarkerX() const;
  // Selects the curve under a window point, as a click does; true when one was hit.
  bool SelectAt(QPoint windowPoint);
  bool HasSelection() const;
  int LeftMargin() const { return axes_.xMargin; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void FillList();
  void RebuildEntries();
  void RebuildCurveList();
  bool HasSomethingToDraw() const;
  void ReportNothingToDraw();
  void LayoutToWindow();
  void AfterScaleChange(int code);
  void InvalidatePlot();
  void RenderPlot(QPainter& painter, QSize size, QPoint scroll, bool printing);
  void DrawOverlay(QPainter& painter, QPoint scroll);
  void DrawCurves(PlotCanvas& canvas);
  QSize PlotSize() const;
  QPoint ScrollOffset() const;
  // A window point in plot pixels (the scroll position added).
  QPoint AddScrollOffset(QPoint p) const;
  void ClearSelection();
  void SetSelectedCurve(DistanzZeichnen* d, ResultierendeZeichnen* r, WinkelZeichnen* a);
  CurveLook* SelectedLook() const;
  float SelectedValueAt(int frame) const;
  void ShowCrosshairValues();
  void UpdateMarkerPane();
  void ShowContextMenu(QPoint global);
  void ShowStylePopup(QPoint global);
  void StyleDragMove(QPoint p);
  void CrosshairDragMove(QPoint p);
  void PanMove(QPoint p);
  // Runs f on x, y, z of every entry with the panes quiet, then has the document recompute.
  void EditSequences(const std::function<bool(AnlWinObjectSequence&, int code, int index)>& f);
  void DocumentChanged();
  // Imported data (anlwin_import.cpp).
  bool ImportShown() const;
  void ComputeImports();
  bool ColorUsedByCurves(ColorValue color) const;
  // Selects the imported curve under the plot point when nothing else was hit.
  void SelectImportAt(QPoint plotPoint);
  void DeselectImport();
  // A value of the selected curve as the panes show it: in display units, or an imported value
  // as it is.
  float ShownOrdinate(float value) const;
  // The ordinate the panes read at a plot pixel row.
  float OrdinateReadingAt(float pixelY) const;
  // Moves a crosshair at frame t and window ordinate v onto the selected imported curve.
  void SnapToImport(float& t, float& v);

  std::string title_;
  Document* document_;
  int kind_;
  AnalysisKindInfo info_;
  int currentFrame_;
  AnlWinUnits units_;
  AnlWinAxes axes_;
  std::vector<std::unique_ptr<AnlWinObjectSequence>> entries_;
  std::unique_ptr<Distanzen> distances_;
  std::unique_ptr<ResultierendenListe> resultants_;
  std::unique_ptr<WinkelListe> angles_;
  AnlWinObjectSequence* selectedEntry_ = nullptr;
  // The selected curve of the kind's list: one of the typed pointers and the same as a curve.
  AnlWinKurve* selectedCurve_ = nullptr;
  DistanzZeichnen* selectedDistance_ = nullptr;
  ResultierendeZeichnen* selectedResultant_ = nullptr;
  WinkelZeichnen* selectedAngle_ = nullptr;
  AnalysisRange statistics_;
  WindowCurveStyle style_;
  int order_ = 5;
  bool showMarker_ = false;
  bool reportedNothing_ = false;
  bool paintingAllowed_ = false;
  bool updatePanes_ = true;

  std::unique_ptr<ImportListe> imports_;
  ImportZeichnen* selectedImport_ = nullptr;

  std::unique_ptr<Fadenkreuze> crosshairs_;
  std::unique_ptr<Fadenkreuze> oldCrosshairs_;
  CrosshairAnchor anchor_;
  ValuePane* combinedPane_ = nullptr;
  ValuePane* crosshairPane_ = nullptr;
  ValuePane* framePane_ = nullptr;

  // Mouse state.
  bool leftDown_ = false;
  bool panning_ = false;
  bool crosshairDrag_ = false;
  bool styleDragArmed_ = false;
  bool styleDrag_ = false;
  QPoint reference_;

  QImage plot_;
  bool plotValid_ = false;
  QPoint plotScroll_;
  int plotBuilds_ = 0;

  std::function<void(int)> commandSink_;
  std::function<void(platform::CommandEnabler&)> commandEnabler_;
};
