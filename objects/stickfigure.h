#pragma once

// The stick figure of a project: connections join two object sequences and are drawn as lines
// between their points; an angle is measured between two connections, drawn as an arc at its
// vertex and plotted over time. The figure belongs to the project's ResObjectSequences.
//
// Every operation that takes an optional video (its SubObjectSequences) works on that video's
// sub-sequences of the same numbers, in image pixels; without one it works on the project
// sequences in world coordinates. Connections and angles of deleted sequences stay in the lists
// (a restored sequence gets them back) but every walk, drawing and the file leave them out.
//
// Angles are radians in [0, 2 pi); -1 means undefined (a point missing, or a connection whose two
// points coincide) and is shown as "undef".

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "objects/colordescr.h"

class ObjectBase;
class ResObjectSequence;
class ResObjectSequences;
class SubObjectSequence;
class SubObjectSequences;
struct ViewMapping;

// The value of an undefined angle.
inline constexpr double kUndefinedAngle = -1.0;

class SequencePair {
 public:
  SequencePair(ResObjectSequence* first, ResObjectSequence* second, ColorValue color);

  // Joins a and b, in either order.
  bool Joins(const ResObjectSequence* a, const ResObjectSequence* b) const;
  friend bool operator==(const SequencePair& p, const SequencePair& q) {
    return p.Joins(q.first, q.second);
  }
  bool HasDeletedEnd() const;
  bool Touches(const ResObjectSequence* s) const { return first == s || second == s; }

  SubObjectSequence* FirstIn(const SubObjectSequences* video) const;
  SubObjectSequence* SecondIn(const SubObjectSequences* video) const;

  ResObjectSequence* first;
  ResObjectSequence* second;
  ColorDescr color;
};

class AngleSequencePair {
 public:
  // Orients the angle at the document's current frame in world coordinates, then takes the name
  // or, without one, "Angle" followed by the numbers of Sequence1..4.
  AngleSequencePair(SequencePair* pair1, SequencePair* pair2,
                    const std::optional<std::string>& name);
  // The pairs, flags and name; the copy does not orient itself again.
  AngleSequencePair(const AngleSequencePair& other);
  AngleSequencePair& operator=(const AngleSequencePair&) = delete;

  // The same two connections in either order.
  bool Joins(const SequencePair* p, const SequencePair* q) const {
    return (pair1 == p && pair2 == q) || (pair1 == q && pair2 == p);
  }

  // The four ends in measuring order: Sequence2 and Sequence3 are the vertex side.
  ResObjectSequence* Sequence1() const;
  ResObjectSequence* Sequence2() const;
  ResObjectSequence* Sequence3() const;
  ResObjectSequence* Sequence4() const;
  ResObjectSequence* SequenceAt(int i) const;  // 1..4
  bool HasDeletedSequence() const;
  // The point of Sequence i (1..4) at the frame in the video or the world; null for a frame
  // below 1, no point, or a point without value.
  const ObjectBase* PointAt(int i, int frame, const SubObjectSequences* video) const;

  // The vertex at the frame, and the orientation flags. False for a frame below 1, a missing
  // point, or lines without a common sequence that are parallel.
  bool Vertex(float out[3], int frame, const SubObjectSequences* video);
  // Vertex at the frame (the document's current frame for a frame below 1), for its flags.
  void Recalculate(int frame, const SubObjectSequences* video);
  // The angle in [0, 2 pi) in plane 0 (full vectors), 1 (XY), 2 (XZ) or 3 (YZ); kUndefinedAngle
  // when a point is missing or a connection has (almost) no length in that plane.
  double Angle(int frame, int plane, const SubObjectSequences* video);
  // Measures from the other side.
  void Switch();
  // The colour of Sequence2, or null.
  const ColorDescr* Color() const;
  // Renames the angle (none: no name); the project then has unsaved changes.
  void SetName(const std::optional<std::string>& newName);

  SequencePair* pair1;
  SequencePair* pair2;
  bool confirmed = true;
  std::optional<std::string> name;
  bool swap1 = false;
  bool swap2 = false;
  bool sharedEnd = false;
  bool autoOrient = true;

 private:
  void MarkModified() const;
};

class SequenceConnect {
 public:
  using Connections = std::vector<std::unique_ptr<SequencePair>>;

  SequenceConnect() = default;
  SequenceConnect(const SequenceConnect&) = delete;
  SequenceConnect& operator=(const SequenceConnect&) = delete;
  virtual ~SequenceConnect() = default;

  virtual bool Disconnect(ResObjectSequence* a, ResObjectSequence* b);
  virtual void RemoveSequence(ResObjectSequence* s);

  // The connection joining a and b in either order (deleted ends included), or null.
  SequencePair* FindConnection(const ResObjectSequence* a, const ResObjectSequence* b) const;
  const Connections& AllConnections() const { return connections_; }
  std::uint32_t ConnectionCount() const { return static_cast<std::uint32_t>(connections_.size()); }

 protected:
  Connections connections_;  // newest first
  std::size_t cursor_ = 0;
  std::uint32_t position_ = 1;
};

class StickFigure : public SequenceConnect {
 public:
  static constexpr std::uint32_t kDefaultArcRadius = 10;
  using Angles = std::vector<std::unique_ptr<AngleSequencePair>>;

  explicit StickFigure(ResObjectSequences* owner) : owner_(owner) {}
  ~StickFigure() override;

  // A new connection of a and b; null when either is missing or they are joined already.
  SequencePair* Connect(ResObjectSequence* a, ResObjectSequence* b, ColorValue color);
  // Drops the connection of a and b and every angle over it.
  bool Disconnect(ResObjectSequence* a, ResObjectSequence* b) override;
  // Drops every connection and angle that s takes part in.
  void RemoveSequence(ResObjectSequence* s) override;

  // The connection cursor, skipping connections with a deleted end.
  void FirstConnection();
  bool NextConnection();
  SequencePair* CurrentConnection() const;
  ResObjectSequence* CurrentFirstSequence() const;
  ResObjectSequence* CurrentSecondSequence() const;

  // A new angle between two different connections; null when either is missing, they join the
  // same sequences, or the angle exists.
  AngleSequencePair* CreateAngle(SequencePair* p, SequencePair* q,
                                 const std::optional<std::string>& name);
  bool DeleteAngle(SequencePair* p, SequencePair* q);
  // The first angle (after null) or the one behind after; includeDeleted false skips angles with
  // a deleted sequence. Null at the end or when after is not in the list.
  AngleSequencePair* NextAngle(const AngleSequencePair* after, bool includeDeleted) const;
  const Angles& AllAngles() const { return angles_; }
  std::uint32_t AngleCount() const { return static_cast<std::uint32_t>(angles_.size()); }

  // Lines of the connections at the frame; skipped when a point is missing or without value or
  // a sequence is hidden or deleted.
  void DrawConnections(const SubObjectSequences* video, ObjectCanvas& canvas,
                       const ViewMapping& map, int frame, int penWidth, int penStyle) const;
  // Legs and arc of every angle with a vertex at the frame.
  void DrawAngles(const SubObjectSequences* video, ObjectCanvas& canvas, const ViewMapping& map,
                  int frame, int penWidth, int penStyle) const;

  ResObjectSequences* Owner() const { return owner_; }

  std::uint32_t arcRadius = kDefaultArcRadius;

 private:
  void RemoveAnglesWhere(const std::function<bool(const AngleSequencePair&)>& match);

  ResObjectSequences* owner_;
  Angles angles_;  // newest first
};
