#pragma once

// What the connection panel decides without a window: dragging from one point to another to
// connect two object sequences, clicking connections to select them and to propose the angle
// between two of them, keeping, switching, renaming and dropping angles, and the 2D and 3D
// read-outs of the selection. The panel window only shows this state and draws the band.

#include <array>
#include <optional>
#include <string>

#include "objects/canvas.h"

class AngleSequencePair;
class Document;
class FrameSequence;
class ResObjectSequence;
class SequencePair;
class StickFigure;
class SubObjectSequence;

namespace connect {

inline constexpr int kPanelDialog = 20470;
inline constexpr int kColorKey = 3011;                   // "ConnectionColor"
inline constexpr ColorValue kDefaultColor = 0x00FF0000;  // pure blue
// Clicks count as on a connection within this many screen pixels of its line.
inline constexpr double kHitPixels = 4.0;

struct Readouts {
  bool hasAngle = false;
  bool confirmed = false;
  std::string angle2D, angle3D;  // "undef" when undefined
  std::string name;
  bool canDeleteConnection = false;
  std::string length2D, length3D;
  // The sequences the four swatches show (null: grey).
  std::array<const ResObjectSequence*, 4> swatches{};
};

// The colour of the setting "r g b", the default blue when it is not three numbers.
ColorValue ParseColor(const std::string& text);
std::string ColorText(ColorValue color);

class ConnectPanelLogic {
 public:
  explicit ConnectPanelLogic(Document& doc);
  // A proposed angle is dropped with the panel.
  ~ConnectPanelLogic();
  ConnectPanelLogic(const ConnectPanelLogic&) = delete;
  ConnectPanelLogic& operator=(const ConnectPanelLogic&) = delete;

  // Starts a drag at the current object when the active video has two points or more at the
  // current frame and the current object is one of them; false when nothing started.
  bool BeginAtCurrentObject();
  // During a drag: the band ends at p and the sequence under it (within its marker radius /
  // zoom, other than the start) becomes the candidate.
  void MouseMove(float x, float y, double zoom);
  // Released over a candidate: the two sequences are connected anew in the current colour and
  // the connection is selected; false (the drag goes on) without a candidate.
  bool MouseUp();
  // Ends a drag without a connection; false when none ran.
  bool CancelDrag();
  // A click outside a drag: hits a connection, or clears the selection (dropping a proposal).
  void MouseDown(float x, float y, double zoom, bool panelVisible);
  // The first connection whose line lies within 4 screen pixels of p between its end points;
  // selects it or proposes the angle with the selection.
  bool HitConnection(float x, float y, double zoom, bool panelVisible);

  void ProposeAngle(SequencePair* p, SequencePair* q);
  // Drops the selection of an angle; a proposed angle is deleted.
  void ReleaseAngle();
  // Ends a drag and drops every selection (the panel is closed).
  void Reset();

  // The buttons.
  void CreateAngle();
  void DeleteAngle();
  void SwitchAngle();
  void DeleteConnection();
  // Renames the selected angle (empty text: no name); the project then has unsaved changes.
  void RenameAngle(const std::string& name);
  // The chosen colour: the selected connection's (or the angle's first connection's) and the
  // colour of new connections.
  void SetColor(ColorValue color);

  // Drops selections that no longer exist, then computes what the panel shows; the current
  // colour follows the selection.
  Readouts UpdateReadouts();

  bool Dragging() const { return dragging_; }
  SubObjectSequence* Start() const { return start_; }
  SubObjectSequence* Candidate() const { return candidate_; }
  SequencePair* SelectedConnection() const { return connection_; }
  AngleSequencePair* SelectedAngle() const { return angle_; }
  const float* BandEnd() const { return bandEnd_; }
  ColorValue CurrentColor() const { return color_; }
  void SetCurrentColor(ColorValue color) { color_ = color; }
  // The start's point at the current frame, for the band; false when it has none.
  bool BandStart(float out[2]) const;

 private:
  StickFigure* Figure() const;
  FrameSequence* Video() const;
  ResObjectSequence* DocSequence(const SubObjectSequence* s) const;
  void ClearSelection();
  bool IsLiveConnection(const SequencePair* p) const;

  Document& doc_;
  SubObjectSequence* start_ = nullptr;
  SubObjectSequence* candidate_ = nullptr;
  SequencePair* connection_ = nullptr;
  AngleSequencePair* angle_ = nullptr;
  float bandEnd_[3] = {0, 0, 0};
  ColorValue color_ = kDefaultColor;
  bool dragging_ = false;
};

}  // namespace connect
