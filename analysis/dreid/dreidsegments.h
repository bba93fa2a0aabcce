#pragma once

// The segments of the 3D scene: the twelve edges of a box around the stick figure, three of them
// labelled as the coordinate axes, and the connections of a document's stick figure at one frame.
// Each list is kept twice: the working copy is turned for display, the reference copy never, and
// entry n of the working list is reset from entry n of the reference list before every new set
// of turns.
//
// Coordinates are world coordinates (mm) with z negated, as the figure is drawn. Turns are by
// whole degrees through one program-wide pair of 360-entry sine and cosine tables.

#include <array>
#include <cstdint>
#include <vector>

#include "objects/canvas.h"

class Document;
class ResObjectSequence;

// The tables of sin(i / 57.2957795) and cos(i / 57.2957795), i = 0..359, in single precision.
struct RotationTables {
  std::array<float, 360> sine;
  std::array<float, 360> cosine;
};
const RotationTables& TheRotationTables();

// The degree value as a table index: trunc(fmod(degrees, 360)), plus 360 when negative.
int NormalizeDegrees(double degrees);

// Coordinate axes of a segment.
enum SceneAxis : std::int32_t { kNoAxis = 0, kAxisX = 1, kAxisY = 2, kAxisZ = 3 };

class Vektor {
 public:
  Vektor() = default;
  Vektor(float x1, float y1, float z1, float x2, float y2, float z2, std::int32_t axis,
         ColorValue colour, std::int32_t identifier, char label)
      : x1(x1),
        y1(y1),
        z1(z1),
        x2(x2),
        y2(y2),
        z2(z2),
        colour(colour),
        label(label),
        axis(axis),
        identifier(identifier) {}

  // Copies the six coordinates only.
  void CopyPoints(const Vektor& other);
  bool SameSegment(const Vektor& other) const { return identifier == other.identifier; }
  // Turns both end points about the coordinate axis (1, 2 or 3; any other value leaves the
  // segment unchanged) through the origin by whole degrees.
  void Rotate(int axis, double degrees);
  // Moves both end points by (dx, dy, dz).
  void Shift(float dx, float dy, float dz);

  float x1 = 0, y1 = 0, z1 = 0, x2 = 0, y2 = 0, z2 = 0;
  ColorValue colour = kPaletteIndexFlag;
  char label = 0;  // 'x', 'y', 'z', or 0 for none
  std::int32_t axis = kNoAxis;
  std::int32_t identifier = 0;
};

// A segment as drawn in window coordinates, kept for picking. source is the index of the
// segment in the working list it was projected from.
struct ZweiDVektor {
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  ColorValue colour = kBlack;
  std::size_t source = 0;
  char label = 0;
  std::int32_t labelX = 0, labelY = 0;  // top left of the label's text
};

using VektorList = std::vector<Vektor>;

// The extents of the figure; kUnset (the largest float) marks an unset one.
struct SceneExtents {
  static constexpr float kUnset = 3.40282347e+38f;
  float xmin = kUnset, xmax = kUnset, ymin = kUnset, ymax = kUnset, zmin = kUnset, zmax = kUnset;
  bool IsSet() const { return xmin != kUnset; }
};

class DreiDRahmen {
 public:
  // Empties both lists and builds the twelve edges in groups of four (working, then reference),
  // the axes starting at the box corner the origin corner (0..3) selects: the face z = zmin,
  // the edges parallel to Z, then the face z = zmax. An origin corner outside 0..3 builds only the
  // face z = zmax. The labelled axis edges take axisColour, the others edgeColour.
  void BuildBox(const SceneExtents& e, int originCorner, ColorValue axisColour,
                ColorValue edgeColour);

  VektorList& BoxWorking() { return boxWorking_; }
  const VektorList& BoxWorking() const { return boxWorking_; }
  VektorList& BoxReference() { return boxReference_; }
  const VektorList& BoxReference() const { return boxReference_; }

 private:
  VektorList boxWorking_;
  VektorList boxReference_;
};

class DreiDObjectSequences {
 public:
  static constexpr std::uint32_t kNoFrame = 0xFFFFFFFFu;

  explicit DreiDObjectSequences(Document* document) : document_(document) {}

  // Whether BuildSegments looks at every frame again for the extents and the frame range, or
  // takes them from its last look (the points have not changed since: only the frame has).
  enum class Coverage { kRescan, kKeep };

  // Rebuilds both lists and the extents for the frame: a segment for every connection of the
  // document's stick figure whose two points exist at the frame, with z negated. The extents
  // cover every frame at which a connection has both points, so the box does not change from
  // frame to frame. Hidden sequences give neither segments nor extents; points with an undefined
  // coordinate are left out of both. True when any connection has points.
  bool BuildSegments(std::uint32_t frame, Coverage coverage = Coverage::kRescan);

  const SceneExtents& Extents() const { return extents_; }
  SceneExtents& Extents() { return extents_; }
  std::uint32_t CurrentFrame() const { return currentFrame_; }
  std::uint32_t FirstFrame() const { return firstFrame_; }
  std::uint32_t LastFrame() const { return lastFrame_; }
  Document* GetDocument() const { return document_; }

  VektorList& FigureWorking() { return figureWorking_; }
  const VektorList& FigureWorking() const { return figureWorking_; }
  VektorList& FigureReference() { return figureReference_; }
  const VektorList& FigureReference() const { return figureReference_; }

 private:
  // What the last rescan found: the extents (z negated) and the frame range.
  struct Covered {
    bool valid = false;
    SceneExtents extents;
    std::uint32_t first = kNoFrame, last = kNoFrame;
  };

  // The frames at which both sequences have points: their extents and frame range.
  static Covered CoverConnection(const ResObjectSequence& a, const ResObjectSequence& b);
  // Takes in what a connection covers.
  void TakeInCovered(const Covered& c);

  VektorList figureWorking_;
  VektorList figureReference_;
  Covered covered_;
  SceneExtents extents_;
  std::uint32_t currentFrame_ = 0;
  std::uint32_t lastFrame_ = kNoFrame;
  std::uint32_t firstFrame_ = kNoFrame;
  Document* document_;
};
