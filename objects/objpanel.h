#pragma once

// What the object panel, the template panel and the "Edit Object Sequence" dialog show and
// change of one object sequence, without a window: the position read-outs, the algorithm's
// place in its list, and the edits, each of which the project must save.

#include <cstdint>
#include <string>

#include "objects/canvas.h"

class Document;
class FrameSequence;
class ResObjectSequence;
class SubObjectSequence;

namespace objpanel {

inline constexpr int kEditDialog = 20400;
inline constexpr int kObjectPanel = 20440;
inline constexpr int kTemplatePanel = 20450;
inline constexpr std::uint32_t kFirstAlgorithm = 25205;  // SSD
inline constexpr int kAlgorithmCount = 4;
inline constexpr int kAlgorithmWordId = 3007;
inline constexpr int kMaxLimit = 999;
inline constexpr int kMaxMarkerSide = 99;

// The image position at the current frame, "x/y" with two decimals: mirrored by the origin
// corner in pixels, or in world units through the video's calibration. Empty without a point.
std::string Position2D(const Document& doc, FrameSequence& video, const SubObjectSequence& sub);
// The world position "x/y/z" in the space unit; empty without one.
std::string Position3D(const Document& doc, const ResObjectSequence& s);

// The algorithm's index in the list (0 SSD .. 3 Manual; anything else 0) and back.
int AlgorithmIndex(std::uint32_t algorithm);
std::uint32_t AlgorithmAt(int index);

// A non-empty name replaces the old one; false when nothing changed.
bool SetName(ResObjectSequence& s, const std::string& name);
// Both limits, each within 0..999.
bool SetLimits(ResObjectSequence& s, long long horizontal, long long vertical);
bool SetAlgorithm(ResObjectSequence& s, std::uint32_t algorithm);
bool SetMarkerStyle(ResObjectSequence& s, int style);

// Every property the "Edit Object Sequence" dialog edits.
struct SequenceValues {
  std::string name;
  ColorValue color = 0;
  bool tracked = false;
  bool displayed = true;
  long long horizontalLimit = 0, verticalLimit = 0;
  int style = 0;
  long long markerWidth = 1, markerHeight = 1;
  std::uint32_t algorithm = kFirstAlgorithm;
};
SequenceValues ValuesOf(const ResObjectSequence& s);
// Stores the values (the name only when not empty; name and colour not in read-only mode;
// limits 0..999, marker sides 1..99); true when anything changed, which is then to be saved.
bool ApplyValues(ResObjectSequence& s, const SequenceValues& v, bool readOnly);

// The template values typed into the panel: sizes made odd, at least 3 and at most the frame;
// offsets as typed. Written back into the fields; true when the template changed.
struct TemplateFields {
  long long width = 0, height = 0, xOffset = 0, yOffset = 0;
};
bool ApplyTemplateFields(SubObjectSequence& sub, TemplateFields& fields, int frameWidth,
                         int frameHeight);
// The template's offsets to 0; true when they were not.
bool CentreTemplate(SubObjectSequence& sub);
// Shape 0 rectangle or 1 circle; true when it changed.
bool SetTemplateShape(SubObjectSequence& sub, int shape);
// The template as the defaults make it for the frame size.
void ResetTemplate(SubObjectSequence& sub, int frameWidth, int frameHeight);

}  // namespace objpanel
