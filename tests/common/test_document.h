#pragma once

// A document for the tests of the floors below the program shell: it keeps image sequences,
// object sequences and a current frame, hands frame changes and repaints to the views as the
// program's document does, and answers the rest from fields a test sets. It has no window, no
// object model and no analysis windows.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/document.h"
#include "base/filename.h"
#include "objects/docaccess.h"
#include "objects/resobjseq.h"
#include "platform/events.h"
#include "sequences/framesequence.h"

class TestDocument : public Document {
 public:
  explicit TestDocument(FileName name = FileName("/tmp/test.rsc"))
      : name_(std::move(name)), objects_(std::make_unique<ResObjectSequences>(this)) {}
  ~TestDocument() override {
    objects_.reset();  // their sub-sequences live in the videos
    sequences_.clear();
  }

  // Takes the sequence and numbers it from 1.
  FrameSequence* AddFrameSequence(FrameSequence* sequence) {
    sequence->number = SequenceCount() + 1;
    sequence->document = this;
    sequences_.emplace_back(sequence);
    return sequence;
  }

  int CurrentFrame() const override { return currentFrame; }
  unsigned Serial() const override { return 1; }
  const FileName& DocumentName() const override { return name_; }
  int SequenceCount() const override { return static_cast<int>(sequences_.size()); }
  FrameSequence* Sequence(int index) const override {
    return index >= 0 && index < SequenceCount() ? sequences_[index].get() : nullptr;
  }
  FrameSequence* GetActiveFrameSequence() override {
    return active ? active : (sequences_.empty() ? nullptr : sequences_.front().get());
  }
  void SetActiveFrameSequence(FrameSequence* sequence) override { active = sequence; }
  int MinFrameCount() const override {
    return Over([](int a, int b) { return std::min(a, b); }, &FrameSequence::Frames);
  }
  int MaxFrameCount() const override {
    return Over([](int a, int b) { return std::max(a, b); }, &FrameSequence::Frames);
  }
  int MaxFrameWidth() const override {
    return Over([](int a, int b) { return std::max(a, b); }, &FrameSequence::Width);
  }
  int MaxFrameHeight() const override {
    return Over([](int a, int b) { return std::max(a, b); }, &FrameSequence::Height);
  }
  float GetFramesPerSecond() const override { return framesPerSecond; }
  bool IsPlanar() const override { return planar; }
  bool CanReconstruct() const override { return canReconstruct; }

  ResObjectSequences* ObjectSequences() const override { return objects_.get(); }
  void ResetObjectSequences() override {
    objects_.reset();
    for (auto& s : sequences_) s->ResetSubObjectSequences();
    objects_ = std::make_unique<ResObjectSequences>(this);
  }
  bool CanClose() override { return canClose; }
  bool AskSaveObjectSequences() override { return objectSequencesMayGo; }

  unsigned ModelId() const override { return modelId; }
  const FileName& ModelFileName() const override { return modelName_; }
  void SetModelFileName(const FileName& name) override { modelName_ = name; }
  bool LoadObjectModel() override { return false; }
  bool WriteObjectModel() override { return true; }
  void ConnectModelObjects() override {}
  void UpdateObjectModel(int) override {}

  void RecalcObjectSequences(int frame) override { objects_->ComputeWorldPoints(frame); }
  void RecalcAllFrames() override { objects_->PlaceModelPoints(0); }

  // Clamps to the shortest sequence and has the views show the frame.
  int EvGoToFrame(int frame) override {
    frame = std::clamp(frame, 1, std::max(1, MinFrameCount()));
    if (frame != currentFrame) {
      currentFrame = frame;
      ForwardCommand(vnShowFrame, frame);
    }
    return 1;
  }
  bool ForwardCommand(int code, int argument) override {
    bool result = true;
    for (auto& s : sequences_)
      if (s->view)
        result = platform::SendMessage(s->view, WM_VNNOTIFY, code, argument) != 0 && result;
    return result;
  }
  void UpdateViews() override {
    ++viewUpdates;
    InvalidateViews();
  }
  void InvalidateViews() override { ForwardCommand(vnRepaintFrame, currentFrame); }
  void UpdateDialogs() override {}
  void UpdateAnalysisWindows(ResObjectSequence*) override {}
  void RemoveFromAnalysisWindows(ResObjectSequence*) override {}
  void SetPaletteEntry(int, std::uint32_t) override {}
  // The built-in colour map's colour, as a document without a colour map gives it.
  std::uint32_t SetObjectColor(int index) override { return objdoc::ObjectColor(nullptr, index); }

  QObject* WindowObject() const override { return nullptr; }
  bool IsWindowMinimised() const override { return false; }

  int currentFrame = 1;
  FrameSequence* active = nullptr;
  float framesPerSecond = 25.0f;
  bool planar = false;
  bool canReconstruct = true;
  bool canClose = true;
  bool objectSequencesMayGo = true;  // the answer to the question about unsaved sequences
  unsigned modelId = 0;
  int viewUpdates = 0;

 private:
  template <class Pick, class Field>
  int Over(Pick pick, Field field) const {
    if (sequences_.empty()) return 0;
    int n = ((*sequences_.front()).*field)();
    for (auto& s : sequences_) n = pick(n, ((*s).*field)());
    return n;
  }

  FileName name_;
  FileName modelName_;
  std::vector<std::unique_ptr<FrameSequence>> sequences_;
  std::unique_ptr<ResObjectSequences> objects_;
};
