#pragma once

// The smallest pieces of the object model.
//
// ObjectBase is one marked point of one frame. Frames count from 1. In a per-video sequence x and
// y are image pixels and z is 0; in a project sequence they are world coordinates (mm). The
// largest float (kMissingCoordinate) in x or y means the frame has no value; it is stored,
// streamed and converted unchanged.
//
// ObjectArray is the frame-indexed sparse array that owns the points of one sequence: slot f
// holds the point of frame f or nothing. It starts with a given number of slots from frame 1
// and grows (by whole steps of kGrowthDelta) when a point beyond its end is filed.
//
// ObjectSequence adds the sequence number that ties a project sequence (ResObjectSequence) to
// its per-video sequences (SubObjectSequence), and the operations both of them provide.

#include <cstdint>
#include <memory>
#include <vector>

#include "calibration/calibrat.h"

class Document;

class ObjectBase {
 public:
  ObjectBase() = default;
  ObjectBase(std::uint32_t frame, float x, float y, float z = 0) : frame(frame), x(x), y(y), z(z) {}
  virtual ~ObjectBase() = default;

  // Both x and y hold a value.
  bool HasValue() const { return x != kMissingCoordinate && y != kMissingCoordinate; }

  std::uint32_t frame = 0;
  float x = 0, y = 0, z = 0;
};

// A point made by the ASCII reader.
class Object : public ObjectBase {
 public:
  using ObjectBase::ObjectBase;
  ~Object() override = default;
};

class ObjectArray {
 public:
  static constexpr int kLowerBound = 1;
  static constexpr int kGrowthDelta = 10;
  // The largest frame a point may have: a frame number beyond any video's length (a corrupt
  // import or a caller's arithmetic gone wrong) must not make the array claim all memory.
  static constexpr int kMaxFrame = 1 << 24;

  explicit ObjectArray(int size);
  virtual ~ObjectArray() = default;
  ObjectArray(const ObjectArray&) = delete;
  ObjectArray& operator=(const ObjectArray&) = delete;

  // Number of slots; frames 1..Size() are addressable without growing.
  int Size() const { return static_cast<int>(slots_.size()); }
  // Number of points held.
  int Count() const { return count_; }
  // Frame of the last slot (lower bound + size - 1).
  int LastIndex() const { return kLowerBound + Size() - 1; }

  // The point of the frame, or null (also for a frame outside the array).
  ObjectBase* ItemAt(long frame) const;

  // Files the point under its frame, replacing (and deleting) a point already there, growing the
  // array when needed. Returns the point filed; null for a null point and for a point whose
  // frame is below 1 or above kMaxFrame (that point is deleted).
  ObjectBase* Add(std::unique_ptr<ObjectBase> point);
  // Deletes the point of the frame, if any.
  void Remove(long frame);
  // Deletes every point.
  void Clear();
  // Grows the array to at least size slots (rounded up to whole growth steps).
  void GrowTo(int size);

 private:
  std::vector<std::unique_ptr<ObjectBase>> slots_;
  int count_ = 0;
};

class ObjectSequence : public ObjectArray {
 public:
  // An empty sequence of size slots (at least 1).
  ObjectSequence(std::int32_t number, int size);
  // A copy of every point of other, under a new number.
  ObjectSequence(const ObjectSequence& other, std::int32_t number);
  ~ObjectSequence() override = default;

  // Files a point (see ObjectArray::Add) and tells the project it changed.
  virtual ObjectBase* AddObject(std::unique_ptr<ObjectBase> point) = 0;
  // Deletes the point of a frame and tells the project it changed.
  virtual void RemoveObject(long frame) = 0;
  virtual void SetFlags(std::uint32_t mask) = 0;
  virtual void ClearFlags(std::uint32_t mask) = 0;
  // Search limits of tracking, pixels.
  virtual int HorizontalLimit() const = 0;
  virtual int VerticalLimit() const = 0;
  virtual void SetModified() = 0;
  virtual void MakeCurrent() = 0;
  virtual Document* GetDocument() const = 0;

  // AddObject of a new point.
  ObjectBase* AddPoint(long frame, float x, float y, float z = 0);

  std::int32_t number;
};
