#pragma once

// The project's object sequences. A document owns one ResObjectSequences: its ResObjectSequence
// objects, each one marked point over all videos of the project, sorted by number. A sequence's
// own points are the point's world coordinates per frame (mm); its image positions in each video
// live in that video's SubObjectSequence of the same number (objects/subobjseq.h). The list also
// owns the stick figure, knows the current sequence, and carries the modified flag that tells
// the document it has unsaved changes.
//
// Flags and masks are in objects/objects_ids.h; a sequence passes a mask when it has no flag
// outside it. Deleting a sequence keeps it in the list (flag kDeleted, the undelete buffer);
// RemoveSequence drops it for good.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/filename.h"
#include "objects/colordescr.h"
#include "objects/objectarray.h"
#include "objects/objects_ids.h"

class FrameSequence;
class ResObjectSequences;
class StickFigure;
class SubObjectSequences;
struct BodyModel;

class ResObjectSequence : public ObjectSequence, public ColorDescr {
 public:
  // A sequence of the owner's document: as many slots as its longest video, the colour, marker
  // size and style from the defaults, the owner's default algorithm, the flags, the name
  // "Object <number>" and search limits for its largest frame.
  ResObjectSequence(ResObjectSequences* owner, std::int32_t number, ColorValue color,
                    std::uint32_t flags);
  ~ResObjectSequence() override = default;

  ObjectBase* AddObject(std::unique_ptr<ObjectBase> point) override;
  void RemoveObject(long frame) override;
  void SetFlags(std::uint32_t mask) override;
  // Also marks the project modified (untracking and unhiding are changes to save).
  void ClearFlags(std::uint32_t mask) override;
  int HorizontalLimit() const override { return horizontalLimit; }
  int VerticalLimit() const override { return verticalLimit; }
  void SetModified() override;
  void MakeCurrent() override;
  Document* GetDocument() const override;

  bool Passes(std::uint32_t mask) const { return PassesMask(flags, mask); }
  bool IsDeleted() const { return (flags & seqflag::kDeleted) != 0; }
  bool IsHidden() const { return (flags & seqflag::kHidden) != 0; }

  // Limits from the settings HorizontalLimit and VerticalLimit (percent of the frame):
  // ((p / 2) * side / 100) * 2 - 1, at least 3.
  void SetSearchLimits(int frameWidth, int frameHeight);
  // Sets the colour, its palette entry in every video, and redraws the document.
  void SetColor(ColorValue value);
  // The image point of the world point at the frame in the document's active video, when it has
  // one and that video is calibrated; false otherwise.
  bool ProjectToImage(float image[3], int frame) const;
  // Brings the flags of a record of an older program to the present meaning: every body-model
  // result becomes kModelResultFromFile (recomputed from the model, never saved again).
  void ConvertOldFlags();
  // True when the sequence is an object or a result of the loaded body model.
  bool GetModelDefaultCoord() const;

  ResObjectSequences* Owner() const { return owner_; }

  bool placed = false;
  std::uint32_t algorithm;
  std::uint32_t flags;
  std::uint32_t editable = 0;
  std::string name;
  std::int32_t horizontalLimit = 3;
  std::int32_t verticalLimit = 3;

 private:
  ResObjectSequences* owner_;
};

class ResObjectSequences {
 public:
  using List = std::vector<std::unique_ptr<ResObjectSequence>>;

  explicit ResObjectSequences(Document* document);
  ~ResObjectSequences();
  ResObjectSequences(const ResObjectSequences&) = delete;
  ResObjectSequences& operator=(const ResObjectSequences&) = delete;

  // The largest sequence number: files holding a larger one are refused, so that numbering on
  // from the highest never overflows.
  static constexpr std::int32_t kMaxNumber = 1 << 24;

  // A new sequence numbered HighestNumber() + 1 (the lowest free number once the highest is
  // kMaxNumber; null when every number is taken), with an empty sub-sequence in every video; it
  // becomes current.
  ResObjectSequence* NewSequence(std::uint32_t flags);
  ResObjectSequence* Find(std::int32_t number, std::uint32_t mask) const;
  // The sequence of that number, created (flags 0, not made current) when there is none.
  ResObjectSequence* GetOrCreate(std::int32_t number);
  // The largest number, -1 when empty.
  std::int32_t HighestNumber() const;
  int CountDeleted() const;
  // The current sequence when it exists and is neither hidden nor deleted; otherwise the first
  // visible one passing kOrdinary becomes current; null (current -1) when there is none.
  ResObjectSequence* GetCurrent();
  ResObjectSequence* CurrentSequence() { return GetCurrent(); }
  std::int32_t CurrentNumber() const { return current_; }
  void SetCurrentNumber(std::int32_t number) { current_ = number; }

  // Moves the sequence (below 0: the current one) into the undelete buffer.
  void DeleteSequence(std::int32_t number);
  void Restore(ResObjectSequence* sequence);
  // Restores the only deleted sequence, or lets the user choose among several.
  void Undelete();
  // Drops the sequence for good: from the stick figure, every video and the list.
  void RemoveSequence(ResObjectSequence* sequence);

  // Recomputes the world point of the sequence at the frame from its image points, removing it
  // when none can be computed (objects/worldpoints.cpp).
  void CollectModelCoords(ResObjectSequence& sequence, int frame);
  // Image points of a body-model result sequence at the frame from its world point.
  void PlaceModelPoints(ResObjectSequence& sequence, int frame);
  // The same for every ordinary sequence at the frame, or at every frame of the document for 0.
  void ComputeWorldPoints(int frame);
  void PlaceModelPoints(int frame);
  // Takes the defaults of the body model's objects, results and connections; video null: every
  // video.
  void ApplyModelDefaults(const BodyModel& model, FrameSequence* video);

  // Object-sequence files (objects/osfile.cpp).
  bool AllFilesExist() const;
  // Writes every video's file of the selected version (0 when none is selected); false after a
  // message when a file could not be written (the modified flag then stays).
  bool SaveAll();
  // Loads the files of a version every video has, asking which when there are several.
  void LoadVersion();

  Document* GetDocument() const { return document_; }
  StickFigure& Figure() { return *stickFigure_; }
  const StickFigure& Figure() const { return *stickFigure_; }
  const List& Sequences() const { return list_; }
  int Count() const { return static_cast<int>(list_.size()); }
  bool IsModified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }

  std::uint32_t defaultAlgorithm;
  std::int32_t selectedVersion = 0;
  bool bodyModelFlag = false;
  // The object-model file the loaded files named (the first one when they differ).
  FileName modelFile;

 private:
  // The number NewSequence gives, or none when every number up to kMaxNumber is taken.
  std::optional<std::int32_t> NextFreeNumber() const;
  ResObjectSequence* Insert(std::unique_ptr<ResObjectSequence> sequence);
  void AddToVideos(std::int32_t number);
  void RefreshDefaultAlgorithm();

  Document* document_;
  bool modified_ = false;
  std::int32_t current_ = -1;
  std::unique_ptr<StickFigure> stickFigure_;
  List list_;
};

// Walks the sequences that pass a mask, in number order.
class SequenceIterator {
 public:
  SequenceIterator(const ResObjectSequences& list, std::uint32_t mask);
  // The sequence at the cursor, or null at the end.
  ResObjectSequence* Current() const;
  // Advances to the next passing sequence and returns it (null at the end).
  ResObjectSequence* Next();
  // Back to the first passing sequence; returns it.
  ResObjectSequence* Restart();

 private:
  void SkipToPassing();

  const ResObjectSequences::List& list_;
  std::uint32_t mask_;
  std::size_t index_ = 0;
};

// A sequence name read from a file, without its control characters: a zero byte would cut the
// file names the export makes of it short, a line end would split its description file.
std::string SafeSequenceName(std::string_view name);

// Chooses among several deleted sequences (the undelete dialog); returns the one to restore or
// null. Without a chooser nothing is restored.
using UndeleteChooser = std::function<ResObjectSequence*(ResObjectSequences&)>;
void SetUndeleteChooser(UndeleteChooser chooser);
