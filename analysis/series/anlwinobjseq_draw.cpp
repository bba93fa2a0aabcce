// Drawing, hit testing and crosshair snapping of an entry's series.

#include <cstdlib>

#include "analysis/analysis_ids.h"
#include "analysis/series/anlwinobjseq.h"
#include "analysis/quantity.h"
#include "base/unitsorigin.h"
#include "objects/resobjseq.h"

SeriesView AnlWinObjectSequence::View(int code) const {
  SeriesView view;
  view.values = SelectArray(code);
  if (code == quantity::kYOverX) view.abscissa = SelectArray(quantity::kX);
  if (code == quantity::kYOverX && !view.abscissa) view.values = nullptr;
  view.last = FrameCount();
  return view;
}

void AnlWinObjectSequence::Draw(PlotCanvas& canvas, int code, const PlotMapping& map) {
  if (sequence_->IsHidden()) return;
  SeriesView view = View(code);
  const auto slot = SeriesSlotOf(code);
  if (!view.values || !slot) return;
  const int last =
      slot->order == 0
          ? range_.frames[1]
          : range_
                .derivativeFrames[AnalysisRange::DerivativeSlot(slot->coordinate, slot->order)][1];
  view.last = std::min(last, FrameCount());
  if (!view.abscissa && UsesSummary(map)) view.summary = summary_.Get(view.values, FrameCount());
  const ColorValue color = drawingColor_ == kHighlightColor
                               ? drawingColor_
                               : sequence_->NearestPaletteColor(canvas.Palette());
  SeriesStyle style;
  style.pen = Pen{color, static_cast<int>(penWidth_), static_cast<int>(penStyle_)};
  style.connect = connect_;
  style.markers = markers_;
  style.marker = sequence_;
  DrawSeries(canvas, view, map, style);
}

bool AnlWinObjectSequence::HitTest(int code, float t, float v, float sx, float sy) const {
  const SeriesView view = View(code);
  return HitSeries(view, 0, view.last - 1, t, v, sx, sy, connect_, code == quantity::kYOverX);
}

void AnlWinObjectSequence::SnapCrosshair(int code, float& t, float& v, float sx, float sy) {
  const SeriesView view = View(code);
  if (!view.values) return;
  if (sx != 0.0f || crosshairIndex_ < 0) {
    const int i = NearestValue(view, t, v, sx, sy);
    if (i < 0) return;
    crosshairIndex_ = i;
    t = view.T(i);
    v = view.values[i];
    return;
  }
  // Follow the level: frames at it, and both frames of every step across it; the one nearest in
  // frames to the crosshair wins, the earlier on a tie.
  int best = -1;
  auto consider = [&](int i) {
    if (best < 0 || std::abs(i - crosshairIndex_) < std::abs(best - crosshairIndex_)) best = i;
  };
  for (int i = 0; i < view.last; ++i) {
    if (!view.HasValue(i)) continue;
    const float a = view.values[i];
    if (a == v) consider(i);
    if (i + 1 < view.last && view.HasValue(i + 1)) {
      const float b = view.values[i + 1];
      if ((a < v && v < b) || (b < v && v < a)) {
        consider(i);
        consider(i + 1);
      }
    }
  }
  if (best >= 0) crosshairIndex_ = best;
  if (crosshairIndex_ < view.last && view.HasValue(crosshairIndex_)) {
    t = view.T(crosshairIndex_);
    v = view.values[crosshairIndex_];
  }
}
