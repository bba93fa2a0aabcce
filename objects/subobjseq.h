#pragma once

// Per-video object sequences. Each video (FrameSequence) owns one SubObjectSequences: for every
// project sequence the SubObjectSequence of the same number, holding that point's image
// positions in this video frame by frame (pixels, z = 0) and its tracking Template. Flags,
// limits, name and colour are asked of the ResObjectSequence of the same number in the video's
// document; without a document those questions answer nothing.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "base/filesnapshot.h"
#include "objects/colordescr.h"
#include "objects/objectarray.h"

class FrameSequence;
class ResObjectSequence;
class SubObjectSequences;

class SubObjectSequence : public ObjectSequence, public Template {
 public:
  // An empty sequence of the video's frame count with a template for its frame size (colour
  // planes for a video of more than 8 bits per pixel).
  SubObjectSequence(SubObjectSequences* owner, std::int32_t number);
  ~SubObjectSequence() override = default;

  ObjectBase* AddObject(std::unique_ptr<ObjectBase> point) override;
  void RemoveObject(long frame) override;
  void SetFlags(std::uint32_t mask) override;
  void ClearFlags(std::uint32_t mask) override;
  int HorizontalLimit() const override;
  int VerticalLimit() const override;
  void SetModified() override;
  void MakeCurrent() override;
  Document* GetDocument() const override;

  // The project sequence of the same number, or null.
  ResObjectSequence* Res() const;
  SubObjectSequences* Owner() const { return owner_; }

 private:
  SubObjectSequences* owner_;
};

// What SubObjectSequences::Paint draws, as bits.
enum PaintOption : unsigned {
  kPaintCurrentFrame = 0x02,
  kPaintTrack = 0x04,
  kPaintConnections = 0x10,
  kPaintAngles = 0x20,
  kPaintTemplate = 0x40,
  kPaintHiddenToo = 0x80,
};

// Where and how large the image is drawn: device = trunc(image * scale + 0.45 + origin).
struct ViewMapping {
  double xOrigin = 0, yOrigin = 0;
  double xScale = 1, yScale = 1;
};

class SubObjectSequences {
 public:
  using List = std::vector<std::unique_ptr<SubObjectSequence>>;

  explicit SubObjectSequences(FrameSequence* owner = nullptr) : owner_(owner) {}
  SubObjectSequences(const SubObjectSequences&) = delete;
  SubObjectSequences& operator=(const SubObjectSequences&) = delete;
  virtual ~SubObjectSequences() = default;

  FrameSequence* Owner() const { return owner_; }
  void SetOwner(FrameSequence* owner) { owner_ = owner; }
  Document* GetDocument() const;

  // A new empty sub-sequence of that number; null when the number (0 or above) is already there.
  SubObjectSequence* Add(std::int32_t number);
  void Remove(SubObjectSequence* sequence);
  void Clear() { list_.clear(); }
  SubObjectSequence* Find(std::int32_t number) const;
  // Frame 0: the number of sub-sequences; otherwise how many hold a point at the frame.
  int CountAtFrame(int frame) const;
  int Count() const { return static_cast<int>(list_.size()); }
  const List& Sequences() const { return list_; }

  // The first visible ordinary sequence whose point at the document's current frame lies within
  // its marker radius / scale of (x, y); null when none.
  ResObjectSequence* FindAt(float x, float y, double scale) const;
  ResObjectSequence* HitTest(float x, float y, double scale) const { return FindAt(x, y, scale); }
  // Makes the sequence found current; false when none is found.
  bool SelectAt(float x, float y, double scale) const;
  // Whether the sequence found is the document's current one.
  bool IsCurrentAt(float x, float y, double scale) const;

  // Draws the sequences (options: PaintOption bits) at the document's current frame. A
  // manually tracked point takes its template offsets when drawn (they are then 0).
  void Paint(ObjectCanvas& canvas, const ViewMapping& map, unsigned options);

  // Object-sequence files of this video (objects/osfile.cpp): the highest version whose file
  // opens (-1 when even version 0 does not), whether the document's selected version exists, and
  // loading the selected version.
  int HighestVersion() const;
  bool HasVersion() const;
  bool LoadVersion();

  // What this document last read or wrote of the file of the selected version: a save asks
  // before it replaces a file it never read or one that changed since (objects/osguard.h).
  FileSnapshot onDisk;

  // Hands the current values of this video's model objects to the body-model library
  // (objects/worldpoints.cpp).
  void StoreModelDefaults(const struct BodyModel& model) const;

 private:
  FrameSequence* owner_;
  List list_;
};

// Walks the sub-sequences in number order.
class SubSequenceIterator {
 public:
  explicit SubSequenceIterator(const SubObjectSequences& list) : list_(list.Sequences()) {}
  SubObjectSequence* Current() const {
    return index_ < list_.size() ? list_[index_].get() : nullptr;
  }
  SubObjectSequence* Next() {
    if (index_ < list_.size()) ++index_;
    return Current();
  }
  void Restart() { index_ = 0; }

 private:
  const SubObjectSequences::List& list_;
  std::size_t index_ = 0;
};

// The point of a sequence at a frame with both coordinates present, or null.
const ObjectBase* PointWithValue(const ObjectArray* sequence, long frame);
