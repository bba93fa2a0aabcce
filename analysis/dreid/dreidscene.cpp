#include "analysis/dreid/dreidscene.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "analysis/plot/plotcanvas.h"

namespace {

// Plane and eye in units of the radius: P = 2.4 r, E = P * 3.2 * 5/12.
constexpr double kPlanePerRadius = 2.4;
constexpr double kEyePerPlane = 3.2 * 0.41666666666666669;
// Room between an edge's end and its label, and around the box, in pixels.
constexpr double kLabelGap = 7.0;
// A zoom drag moves plane and eye by this part of the eye's distance.
constexpr double kZoomStep = 0.05;
// The drag search never turns further than once round.
constexpr int kMaxSearchSteps = 360;
// Picture positions beyond this are not drawn (they come only from degenerate projections).
constexpr float kMaxPixel = 1.0e7f;

int Pixel(float v) { return static_cast<int>(std::clamp(v, -kMaxPixel, kMaxPixel)); }

void DrawSegment(PlotCanvas& canvas, const ZweiDVektor& d) {
  canvas.Line(Pixel(d.x1), Pixel(d.y1), Pixel(d.x2), Pixel(d.y2), Pen{d.colour, 1, kPenSolid});
}

double EndDistance(float x1, float y1, float x2, float y2, int px, int py) {
  return std::min(std::hypot(px - static_cast<double>(x1), py - static_cast<double>(y1)),
                  std::hypot(px - static_cast<double>(x2), py - static_cast<double>(y2)));
}

bool Between(double v, double a, double b) { return v >= std::min(a, b) && v <= std::max(a, b); }

}  // namespace

DreiDScene::DreiDScene(Document* document) : DreiDObjectSequences(document) {}

void DreiDScene::SetBoxLook(int originCorner, ColorValue axisColour, ColorValue edgeColour) {
  originCorner_ = originCorner;
  axisColour_ = axisColour;
  edgeColour_ = edgeColour;
}

void DreiDScene::PlacePlaneAndEye() {
  plane_ = static_cast<float>(r_ * kPlanePerRadius);
  eye_ = static_cast<float>(plane_ * kEyePerPlane);
}

void DreiDScene::CentreScene() {
  SceneExtents& e = Extents();
  const float cx = e.xmin + (e.xmax - e.xmin) * 0.5f;
  const float cy = e.ymin + (e.ymax - e.ymin) * 0.5f;
  const float cz = e.zmin + (e.zmax - e.zmin) * 0.5f;
  e.xmin -= cx, e.xmax -= cx, e.ymin -= cy, e.ymax -= cy, e.zmin -= cz, e.zmax -= cz;
  for (VektorList* list : {&BoxWorking(), &BoxReference(), &FigureWorking(), &FigureReference()})
    for (Vektor& v : *list) v.Shift(-cx, -cy, -cz);
}

unsigned DreiDScene::Rebuild(std::uint32_t frame, bool reset) {
  // The document rebuilds with reset whenever its points change; a frame change alone keeps the
  // extents, so following a long recording does not scan all its frames at every step.
  if (!BuildSegments(frame, reset ? Coverage::kRescan : Coverage::kKeep)) {
    nothingToDraw_ = cannotDraw_ = true;
    return kNoFitMessage;
  }
  std::optional<std::int32_t> pickedIdentifier;
  if (picked_ && *picked_ < BoxWorking().size())
    pickedIdentifier = BoxWorking()[*picked_].identifier;
  picked_.reset();
  BuildBox(Extents(), originCorner_, axisColour_, edgeColour_);
  if (pickedIdentifier) {
    for (std::size_t i = 0; i < BoxWorking().size(); ++i)
      if (BoxWorking()[i].identifier == *pickedIdentifier) {
        picked_ = i;
        BoxWorking()[i].colour = kHighlight;
      }
  }
  CentreScene();
  const SceneExtents& e = Extents();
  const double dx = e.xmax - e.xmin, dy = e.ymax - e.ymin, dz = e.zmax - e.zmin;
  r_ = static_cast<float>(0.5 * std::sqrt(dx * dx + dy * dy + dz * dz));
  // All drawn points in one place (or beyond the float range): there is no picture to fit.
  nothingToDraw_ = !(r_ > 0.0f) || !std::isfinite(r_);
  cannotDraw_ = nothingToDraw_ || widthTooSmall_ || heightTooSmall_;
  if (nothingToDraw_ || !reset) return kNoFitMessage;
  PlacePlaneAndEye();
  return FitZoom();
}

unsigned DreiDScene::FitZoom() {
  zoom_ = 1.0f;
  if (nothingToDraw_) {
    cannotDraw_ = true;
    return kNoFitMessage;
  }
  const float h = r_;
  const float z = Extents().zmax + r_;
  Vektor test(0, 0, z, h, h, z, kNoAxis, kBlack, 0, 0);
  const bool projected = Project(test);
  const double length = 2.0 * std::hypot(static_cast<double>(test.x2) - test.x1,
                                         static_cast<double>(test.y2) - test.y1);
  if (!projected || !(length > 0.0) || !std::isfinite(length)) {
    // Plane and eye have met the scene: nothing can be fitted until the view is set again.
    cannotDraw_ = true;
    return kNoFitMessage;
  }
  const SceneViewport& v = viewport_;
  const double room = 2.0 * v.margin + v.textDiagonal + kLabelGap;
  const double zoomW = (v.width - room) / length;
  const double zoomH = (v.height - room) / length;
  unsigned messages = kNoFitMessage;
  const auto check = [&messages](int side, double zoom, bool& tooSmall, FitMessage message) {
    if (side != 0 && (zoom <= 0.0 || side < 0)) {
      if (!tooSmall) messages |= message;
      tooSmall = true;
    } else {
      tooSmall = false;
    }
  };
  check(v.width, zoomW, widthTooSmall_, kWidthTooSmall);
  check(v.height, zoomH, heightTooSmall_, kHeightTooSmall);
  cannotDraw_ = widthTooSmall_ || heightTooSmall_;
  zoom_ = static_cast<float>(zoomW < zoomH ? zoomW : zoomH);
  return messages;
}

bool DreiDScene::GotoFrame(std::uint32_t frame, unsigned* redraw) {
  if (frame == CurrentFrame()) return false;
  if (FirstFrame() != kNoFrame && frame < FirstFrame()) frame = FirstFrame();
  if (LastFrame() != kNoFrame && frame > LastFrame()) frame = LastFrame();
  Rebuild(frame, false);
  if (redraw) *redraw = CurrentFrame() < 2 ? kRedrawView : kRedrawFrame;
  return true;
}

void DreiDScene::OriginalView() {
  ClearRotations();
  ResetSegments();
  angles_.Clear();
  if (!nothingToDraw_) PlacePlaneAndEye();
}

void DreiDScene::ApplyAngles() {
  for (int axis = 1; axis <= 3; ++axis) {
    const int a = angles_.Value(axis);
    if (a != 0 || angles_.CurrentAxis() == axis) ApplyRotation(axis, a);
  }
}

void DreiDScene::ApplyRotation(int axis, int angle) {
  if (chain_.empty() || chain_.front().axis != axis)
    chain_.insert(chain_.begin(), RotationStep{axis, angle});
  else
    chain_.front().angle = angle;
  chain_.front().angle = NormalizeDegrees(chain_.front().angle);
  ResetSegments();
  for (const RotationStep& step : chain_)
    for (VektorList* list : {&BoxWorking(), &FigureWorking()})
      for (Vektor& v : *list) v.Rotate(step.axis, step.angle);
}

void DreiDScene::ResetSegments() {
  const auto reset = [](VektorList& working, const VektorList& reference) {
    for (std::size_t i = 0; i < working.size() && i < reference.size(); ++i)
      working[i].CopyPoints(reference[i]);
  };
  reset(BoxWorking(), BoxReference());
  reset(FigureWorking(), FigureReference());
}

bool DreiDScene::Project(Vektor& v) const {
  float cx = static_cast<float>(viewport_.width / 2 + viewport_.left);
  float cy = static_cast<float>(viewport_.height / 2 + viewport_.top);
  const float depth = eye_ - plane_;
  const auto point = [&](float& x, float& y, float z) {
    x = cx + depth * x / (eye_ - z) * zoom_;
    y = cy + depth * y / (eye_ - z) * zoom_;
    return std::isfinite(x) && std::isfinite(y);
  };
  const bool first = point(v.x1, v.y1, v.z1);
  return point(v.x2, v.y2, v.z2) && first;
}

bool DreiDScene::ClipAtPlane(Vektor& v, float plane) {
  const bool beyond1 = v.z1 > plane, beyond2 = v.z2 > plane;
  if (beyond1 && beyond2) return false;
  if (!beyond1 && !beyond2) return true;
  const float t = (plane - v.z1) / (v.z2 - v.z1);
  const float x = v.x1 + t * (v.x2 - v.x1);
  const float y = v.y1 + t * (v.y2 - v.y1);
  const float z = v.z1 + t * (v.z2 - v.z1);
  if (beyond1)
    v.x1 = x, v.y1 = y, v.z1 = z;
  else
    v.x2 = x, v.y2 = y, v.z2 = z;
  return true;
}

double DreiDScene::SegmentDistance(float x1, float y1, float x2, float y2, int px, int py) {
  if (x2 == x1) {
    if (Between(py, y1, y2)) return std::fabs(px - static_cast<double>(x1));
    return EndDistance(x1, y1, x2, y2, px, py);
  }
  const double m = (static_cast<double>(y2) - y1) / (static_cast<double>(x2) - x1);
  if (m == 0.0) {
    if (Between(px, x1, x2)) return std::fabs(py - static_cast<double>(y1));
    return EndDistance(x1, y1, x2, y2, px, py);
  }
  const double c = y1 - m * x1;
  const double yf = (py * m * m + px * m + c) / (m * m + 1.0);
  const double xf = (yf - c) / m;
  if (xf > std::min(x1, x2) && xf < std::max(x1, x2))
    return std::fabs(px * m - py + c) / std::sqrt(m * m + 1.0);
  return EndDistance(x1, y1, x2, y2, px, py);
}

bool DreiDScene::ToWindow(const Vektor& v, ZweiDVektor& out) const {
  Vektor w = v;
  w.z1 += r_;
  w.z2 += r_;
  if (!ClipAtPlane(w, plane_) || !Project(w)) return false;
  out.x1 = w.x1, out.y1 = w.y1, out.x2 = w.x2, out.y2 = w.y2;
  out.colour = v.colour;
  return true;
}

void DreiDScene::ForgetDrawn() {
  drawnBox_.clear();
  drawnFigure_.clear();
}

bool DreiDScene::Draw(PlotCanvas& canvas, bool drawBox) {
  ForgetDrawn();
  if (cannotDraw_) return true;
  bool labelsWritten = true;
  for (std::size_t i = 0; i < BoxWorking().size(); ++i) {
    const Vektor& edge = BoxWorking()[i];
    ZweiDVektor d;
    if (!ToWindow(edge, d)) continue;
    d.source = i;
    const float dx = d.x2 - d.x1, dy = d.y2 - d.y1;
    const double length = std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy);
    if (edge.label && drawBox && length != 0.0) {
      const std::string text(1, edge.label);
      TextExtent e;
      if (!canvas.MeasureText(text, e)) {
        labelsWritten = false;
      } else {
        // Centred on the line of the edge, the label's half diagonal and a gap beyond its end.
        const double halfDiagonal = 0.5 * std::hypot(e.width, e.height);
        const double reach = (length + kLabelGap + halfDiagonal) / length;
        const int tx = static_cast<int>(reach * dx) - e.width / 2;
        const int ty = static_cast<int>(reach * dy) - e.height / 2;
        d.label = edge.label;
        d.labelX = Pixel(static_cast<float>(tx) + d.x1);
        d.labelY = Pixel(static_cast<float>(ty) + d.y1);
        // Labels are in the axes' colour, whatever colour a picked edge shows.
        if (!canvas.DrawText(d.labelX, d.labelY, text, kAlignLeft | kAlignTop, axisColour_))
          labelsWritten = false;
      }
    }
    drawnBox_.push_back(d);
  }
  if (drawBox) DrawBoxLines(canvas);
  for (std::size_t i = 0; i < FigureWorking().size(); ++i) {
    ZweiDVektor d;
    if (!ToWindow(FigureWorking()[i], d)) continue;
    d.source = i;
    DrawSegment(canvas, d);
    drawnFigure_.push_back(d);
  }
  return labelsWritten;
}

void DreiDScene::DrawBoxLines(PlotCanvas& canvas) const {
  // A flat figure (all its points at one depth, as every 2D recording) has a flat box whose far
  // rectangle lies on the near one: the plain edges go first, so that the labelled axes and the
  // grabbed edge stay visible on top of them.
  const auto rank = [this](const ZweiDVektor& d) {
    if (picked_ && d.source == *picked_) return 2;
    return BoxWorking()[d.source].label ? 1 : 0;
  };
  for (int layer = 0; layer <= 2; ++layer)
    for (const ZweiDVektor& d : drawnBox_)
      if (rank(d) == layer) DrawSegment(canvas, d);
}

bool DreiDScene::PickAxis(int x, int y) {
  for (const ZweiDVektor& d : drawnBox_) {
    if (SegmentDistance(d.x1, d.y1, d.x2, d.y2, x, y) >= kPickDistance) continue;
    if (d.source >= BoxWorking().size()) return false;
    picked_ = d.source;
    pickedColour_ = BoxWorking()[d.source].colour;
    BoxWorking()[d.source].colour = kHighlight;
    return true;
  }
  return false;
}

void DreiDScene::ReleasePick() {
  if (picked_ && *picked_ < BoxWorking().size()) BoxWorking()[*picked_].colour = pickedColour_;
  picked_.reset();
}

double DreiDScene::DragDistance(int k, int x, int y) const {
  Vektor edge = BoxReference()[*picked_];
  edge.Rotate(edge.axis, k);
  for (const RotationStep& step : chain_) edge.Rotate(step.axis, step.angle);
  ZweiDVektor d;
  if (!ToWindow(edge, d)) return std::numeric_limits<double>::max();
  return SegmentDistance(d.x1, d.y1, d.x2, d.y2, x, y);
}

void DreiDScene::RotateDrag(int x, int y) {
  if (!picked_ || *picked_ >= BoxReference().size()) return;
  ResetSegments();
  const int axis = BoxReference()[*picked_].axis;
  for (int other = 1; other <= 3; ++other)
    if (other != axis && angles_.Value(other) != 0) angles_.Set(other, 0);
  angles_.SetCurrentAxis(axis);
  const int dir = DragDistance(1, x, y) >= DragDistance(-1, x, y) ? -1 : 1;
  // Step while the edge comes nearer; the first step that does not is kept.
  int k = 0;
  double previous = DragDistance(0, x, y);
  for (double delta = 1.0; delta > 0.0 && std::abs(k) < kMaxSearchSteps;) {
    k += dir;
    const double d = DragDistance(k, x, y);
    delta = previous - d;
    previous = d;
  }
  angles_.Set(axis, NormalizeDegrees(angles_.Value(axis) + k));
}

void DreiDScene::ZoomDrag(bool up) {
  const float step = static_cast<float>(kZoomStep * eye_);
  plane_ += up ? -step : step;
  eye_ = static_cast<float>(plane_ * kEyePerPlane);
  if (!(plane_ > 0.0f)) plane_ = 0.0f;
  if (!(eye_ > 0.0f)) eye_ = 0.0f;
}
