#pragma once

// analysis/dreid/: the 3D stick-figure scene, its segments and its view angles.
//
// DreiDScene: what the 3D stick-figure window computes, free of widgets. It holds the box and the
// figure at the current frame, centred on the middle of the figure's extents, and shows them in
// perspective: the eye stands on the z axis at E, the picture plane at P (E = 4P/3), and every
// segment is moved by +r in z (r is half the diagonal of the extents) so that the scene lies in
// 0 <= z <= 2r and the plane P = 2.4r beyond it. A point (x, y, z) is drawn at
//   centre + zoom * (E - P) * (x, y) / (E - z),
// the centre being the middle of the viewport (y is not flipped). Segments reaching beyond the
// plane are cut at it.
//
// The user turns the picture about the axes of the box (the rotation chain: each turn about an
// axis of the box as it was last shown) and moves plane and eye by dragging. A figure whose
// drawn points all coincide, or a viewport too small for the box, gives nothing to draw.

#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/dreid/dreidsegments.h"
#include "analysis/dreid/viewangles.h"

class PlotCanvas;

// The window the scene is drawn into, in pixels.
struct SceneViewport {
  int width = 0;
  int height = 0;
  int left = 0;  // added to the centre: the corner of a print rectangle
  int top = 0;
  int margin = 0;             // kept free at each edge
  double textDiagonal = 0.0;  // the diagonal of the text "X" in the window's font
};

// Redraw flags: the view changed (plane, eye or turn), the frame changed, or everything.
enum SceneRedraw : unsigned { kRedrawAll = 1, kRedrawView = 2, kRedrawFrame = 4 };

// Messages FitZoom asks the window to show: the viewport is too narrow (32012) or too low (32011).
enum FitMessage : unsigned { kNoFitMessage = 0, kWidthTooSmall = 1, kHeightTooSmall = 2 };

struct RotationStep {
  int axis;
  int angle;  // degrees 0..359
};

class DreiDScene : public DreiDObjectSequences, public DreiDRahmen {
 public:
  // The largest distance in pixels at which a press picks an axis edge.
  static constexpr double kPickDistance = 7.0;
  // The colour of a picked edge.
  static constexpr ColorValue kHighlight = Rgb(255, 0, 0);

  explicit DreiDScene(Document* document);

  // The corner the axes start from (0..3) and the colours of the labelled axes (also of their
  // labels) and of the other box edges; they take effect at the next rebuild.
  void SetBoxLook(int originCorner, ColorValue axisColour, ColorValue edgeColour);
  void SetViewport(const SceneViewport& viewport) { viewport_ = viewport; }
  const SceneViewport& Viewport() const { return viewport_; }

  // Builds the segments and the box for the frame and centres them; with reset (the points have
  // changed) also looks at every frame again for the extents, places plane and eye and fits the
  // zoom (FitMessage bits of the messages to show); without, the extents of the last reset stay.
  // A picked edge stays picked. Without segments, or when all drawn points coincide, nothing can
  // be drawn.
  unsigned Rebuild(std::uint32_t frame, bool reset);
  // Zoom so that the box fills the viewport less the margins and the room of the labels; sets
  // the too-small states (each message is asked for once until the size suffices again).
  unsigned FitZoom();

  // Moves to the frame, kept within the figure's first and last frame; false (nothing to do)
  // when it is the current frame. Otherwise *redraw is the redraw flag to use.
  bool GotoFrame(std::uint32_t frame, unsigned* redraw);
  // No turns, angles 0, plane and eye at their start; the zoom stays.
  void OriginalView();

  // The turns the angles ask for: for X, Y, Z, those with a non-zero angle or the current axis.
  void ApplyAngles();
  // Makes (axis, angle) the newest turn (or changes it when the newest turn is about the same
  // axis), then turns the working segments by the whole chain, newest first.
  void ApplyRotation(int axis, int angle);
  void ClearRotations() { chain_.clear(); }
  // Working segments from their references.
  void ResetSegments();
  const std::vector<RotationStep>& Chain() const { return chain_; }

  // Projects both end points in place (see the header comment); false when an end point has no
  // finite picture position.
  bool Project(Vektor& v) const;
  // Cuts the segment at the plane z = plane: false when it lies wholly beyond.
  static bool ClipAtPlane(Vektor& v, float plane);
  // The distance of the pixel (px, py) from the segment.
  static double SegmentDistance(float x1, float y1, float x2, float y2, int px, int py);

  // Draws the box (when drawBox) and the figure into the canvas and keeps what was drawn for
  // picking. False when a label could not be written (message 32024); drawing goes on.
  bool Draw(PlotCanvas& canvas, bool drawBox);

  // Picks the first drawn box edge within kPickDistance of (x, y) and shows it in kHighlight.
  bool PickAxis(int x, int y);
  // Gives the picked edge its colour back.
  void ReleasePick();
  std::optional<std::size_t> PickedEdge() const { return picked_; }
  // Turns the picked edge's axis by the whole degrees that bring the edge nearest to (x, y),
  // searching from the angle it has; the other two angles become 0.
  void RotateDrag(int x, int y);
  // Moves plane and eye away (up false) or nearer (up true) by 5 % of the eye's distance; neither
  // becomes negative.
  void ZoomDrag(bool up);

  ViewAngles& Angles() { return angles_; }
  const ViewAngles& Angles() const { return angles_; }
  bool CannotDraw() const { return cannotDraw_; }
  float Radius() const { return r_; }
  float Plane() const { return plane_; }
  float Eye() const { return eye_; }
  float Zoom() const { return zoom_; }
  void SetPlaneAndEye(float plane, float eye) { plane_ = plane, eye_ = eye; }
  void SetZoom(float zoom) { zoom_ = zoom; }
  const std::vector<ZweiDVektor>& DrawnBox() const { return drawnBox_; }
  const std::vector<ZweiDVektor>& DrawnFigure() const { return drawnFigure_; }
  void ForgetDrawn();

 private:
  // Plane and eye for the radius.
  void PlacePlaneAndEye();
  void CentreScene();
  // The projected box edges, the labelled axes and the picked edge over the others.
  void DrawBoxLines(PlotCanvas& canvas) const;
  // The distance of (x, y) from the picked edge turned by k degrees about its own axis and then
  // by the chain.
  double DragDistance(int k, int x, int y) const;
  // Clips and projects a copy of the segment moved by +r; false when it is not visible.
  bool ToWindow(const Vektor& v, ZweiDVektor& out) const;

  SceneViewport viewport_;
  int originCorner_ = 2;
  ColorValue axisColour_ = kBlack;
  ColorValue edgeColour_ = Rgb(128, 128, 128);
  float r_ = 0;
  float plane_ = 0;
  float eye_ = 0;
  float zoom_ = 1.0f;
  bool nothingToDraw_ = true;
  bool cannotDraw_ = true;
  bool widthTooSmall_ = false;
  bool heightTooSmall_ = false;
  std::vector<RotationStep> chain_;  // newest first
  ViewAngles angles_;
  std::optional<std::size_t> picked_;
  ColorValue pickedColour_ = kBlack;
  std::vector<ZweiDVektor> drawnBox_;
  std::vector<ZweiDVektor> drawnFigure_;
};
