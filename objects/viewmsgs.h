#pragma once

// What the image view decides without a window: zoom steps and scroll ranges, the display
// options of its menu, and setting, moving and deleting the current object's point on the
// current frame (free, on the line of sight of another camera, or from the known world point).

#include <memory>
#include <utility>
#include <vector>

class FrameSequence;
class ObjectBase;
class Document;
class ResObjectSequence;
class SubObjectSequence;

namespace view {

// Commands of the image view.
inline constexpr int kZoomIn = 24368;
inline constexpr int kZoomOut = 24369;
inline constexpr int kToggleFit = 24370;
inline constexpr int kUpdateImage = 24371;
inline constexpr int kFilter = 25010;
inline constexpr int kGamma = 25011;
inline constexpr int kOnlyActualObjects = 25071;
inline constexpr int kObjectsAllFrames = 25072;
inline constexpr int kConnectionsAndAngles = 25073;
inline constexpr int kConnections = 25074;
inline constexpr int kCentersOfMass = 25075;
inline constexpr int kDevCaps = 25078;
inline constexpr int kCancel = 25091;
inline constexpr int kSetObject = 25105;
inline constexpr int kDeleteObject = 25106;
inline constexpr int kEditObjectSequence = 25108;
inline constexpr int kEditPositionModel = 25117;
inline constexpr int kInsertInList = 25118;
inline constexpr int kIdle = 25120;
inline constexpr int kTrackNext = 25201;
inline constexpr int kUsageErrorCaption = 31102;
inline constexpr int kOnlyWithinFrame = 31103;
inline constexpr int kPositionFormat = 31077;
// Shown in a view whose frame the video's background count has not reached yet.
inline constexpr int kWaitingForFrame = 31046;

inline constexpr unsigned kInitialDisplayFlags = 0x52;

// Zoom table steps; false when the step changes nothing.
bool ZoomInStep(double zx, double zy, double& z);
bool ZoomOutStep(double zx, double zy, double& z);
// The table value fit-to-window gives way to: the first entry not below the larger factor.
double FitOffZoom(double zx, double zy);
bool CanZoomIn(bool fit, double zx, double zy);
bool CanZoomOut(bool fit, double zx, double zy);

// Scroll ranges of a zoomed image in a client area; hShown and vShown tell whether the bars are
// shown now, barWidth and barHeight are the bars' thicknesses.
std::pair<int, int> ScrollRanges(int imageWidth, int imageHeight, double zx, double zy,
                                 int clientWidth, int clientHeight, bool hShown, bool vShown,
                                 int barWidth, int barHeight);

// Display options: the flags after a command, and whether its menu item is checked.
unsigned ApplyDisplayCommand(unsigned flags, int id);
bool DisplayChecked(unsigned flags, int id);

// Whether the straight line (px, py) + t (ux, uy) crosses the region bounded by the closed
// polygon: some boundary point lies on each side of it (or on it).
bool LineCrossesPolygon(const std::vector<std::pair<double, double>>& boundary, double px,
                        double py, double ux, double uy);

// Releasing at x = width or y = height is still inside.
inline bool InsideImage(float x, float y, int width, int height) {
  return x >= 0 && y >= 0 && x <= width && y <= height;
}

// Setting the current object's point in one view.
enum Mode { kFree = 0, kLineOfSight = 1, kWorldPoint = 2 };

struct SetState {
  bool setting = false;
  Mode mode = kFree;
  int otherCamera = -1;
  float linePoint[3] = {0, 0, 0};
  float lineDirection[3] = {0, 0, 0};
  std::unique_ptr<ObjectBase> saved;
};

// The current sequence and its points in the video; null when there is none.
ResObjectSequence* CurrentSequence(Document& doc);
SubObjectSequence* CurrentSub(Document& doc, FrameSequence& video);

enum class StartResult { kDragging, kPlaced, kMissesImage, kNothing };
// "Set Object": takes the point of the current frame out (kept in state.saved) and chooses the
// positioning mode. kDragging: the user drags it now; kPlaced: it was placed from its world
// point; kMissesImage: the world point or line of sight misses this image (the old point is
// back, the world point recomputed); kNothing: no current object in this video.
StartResult StartSetting(Document& doc, FrameSequence& video, SetState& state, bool smart);
// Moves an image point onto the line of sight while setting in that mode.
void HoldOnLine(const FrameSequence& video, const SetState& state, float& x, float& y);
// Button released at (x, y): true when the point was placed; false (setting goes on) outside.
bool FinishSetting(Document& doc, FrameSequence& video, SetState& state, float x, float y);
// Ends a running setting without placing anything: the point taken out goes back.
void StopSetting(Document& doc, FrameSequence& video, SetState& state);
// Esc: ends setting (the old point back), then removes the current point of the current frame,
// or drops a new sequence that never got one.
void Cancel(Document& doc, FrameSequence& video, SetState& state);
// Del: removes the current point of the current frame.
void DeleteObject(Document& doc, FrameSequence& video);
bool HasCurrentPoint(Document& doc, FrameSequence& video);

}  // namespace view
