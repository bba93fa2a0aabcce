#pragma once

// Resource: the document, one per loaded project (a document file of several cameras or one
// image sequence opened directly). It owns the project's image sequences (numbered from 1 in the
// order they were added) and object sequences, holds the current frame, and is the hub of every
// frame change and every recomputation of world coordinates. Its window (DocumentWindow) shows
// it; without a window a document still answers every query and frame change, which is how it
// is tested.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/sequencelist.h"
#include "base/application.h"
#include "base/document.h"
#include "base/filename.h"
#include "base/filesnapshot.h"

class DocumentWindow;
class FrameSequence;
class ResObjectSequence;
class ResObjectSequences;

class Resource : public Document {
 public:
  // fileName is the document file, or the image sequence opened directly (then the document's
  // name takes the extension "RSC"). Reads the caption from the document file's DESCRIPTION.
  Resource(const FileName& fileName, bool isResourceFile);
  // Closes the analysis windows that show the document, deletes the object sequences and the
  // image sequences, and leaves the list of open documents.
  ~Resource() override;
  Resource(const Resource&) = delete;
  Resource& operator=(const Resource&) = delete;

  void SetWindow(DocumentWindow* window) { window_ = window; }
  DocumentWindow* Window() const { return window_; }
  QObject* WindowObject() const override;
  bool IsWindowMinimised() const override;

  // Takes the sequence (owned from now on), numbers it and reads its calibration data file when
  // the document file names one.
  void AddFrameSequence(FrameSequence* sequence);
  // Prepares every sequence's palette; false when the user cancelled a colour reduction.
  bool ReduceColors();
  // The document side of the window's set-up: one frame rate for all sequences (asking when
  // their rates differ); afterwards the rate is known.
  void SetupRate();
  // Asks about unsaved object sequences, calibrations and the document file, and each sequence;
  // false keeps the document open.
  bool CanClose() override;
  // Offers to save the object sequences when they changed (31104, 31106); false when the user
  // cancelled or they could not be saved.
  bool AskSaveObjectSequences() override;
  // Reads DESCRIPTION (n = 0) or CALIB_DATA_n of the document file; false when it cannot be
  // opened.
  bool ReadResourceEntry(int n);

  int SequenceCount() const override { return static_cast<int>(sequences_.size()); }
  // The sequence at array position index (its number - 1).
  FrameSequence* Sequence(int index) const override;
  FrameSequence* GetActiveFrameSequence() override;
  void SetActiveFrameSequence(FrameSequence* sequence) override { active_ = sequence; }
  ResObjectSequences* ObjectSequences() const override { return objectSequences_.get(); }
  // Replaces the object sequences by an empty set, as a newly opened document has.
  void ResetObjectSequences() override;

  int CurrentFrame() const override { return currentFrame_; }
  unsigned Serial() const override { return serial_; }
  bool RateKnown() const { return rateKnown_; }
  const std::string& Caption() const { return caption_; }
  // The description: the window's caption as well.
  void SetCaption(const std::string& caption);
  // Names the document's own file (nothing is written).
  void SetDocumentName(const FileName& name) { documentName_ = name; }
  const FileName& DocumentName() const override { return documentName_; }
  const FileName& ModelFileName() const override { return modelFileName_; }
  unsigned ModelId() const override { return modelId_; }
  void SetModelFileName(const FileName& name) override { modelFileName_ = name; }
  void SetModelId(unsigned id) { modelId_ = id; }

  // The document file as the program last read or wrote it: what the program held of it then
  // (sequences, calibration data names, description) and the file's bytes.
  struct DocumentFileState {
    DocumentFileRecord held;
    FileSnapshot onDisk;
  };
  DocumentFileState& SavedDocumentFile() { return savedDocumentFile_; }
  const DocumentFileState& SavedDocumentFile() const { return savedDocumentFile_; }

  bool playing = false;

  int MinFrameCount() const override;
  int MaxFrameCount() const override;
  int MaxFrameWidth() const override;
  int MaxFrameHeight() const override;
  // The document's rate when known, else 1.0.
  float GetFramesPerSecond() const override { return rateKnown_ ? framesPerSecond_ : 1.0f; }
  int CountCalibrated() const;
  bool HasMultipleCalibrated() const { return CountCalibrated() > 1; }
  bool CanReconstruct() const override { return CountCalibrated() >= 2 || SequenceCount() == 1; }
  bool IsPlanar() const override;
  int FirstIncompleteCalibration() const;
  // Mean and standard deviation of the model points' divergence between every pair of
  // calibrated cameras; both 0 below two matched points.
  void GetDivergence3D(double& mean, double& sd) const;

  // The frame change every player, slider and tracking step goes through; returns 1.
  int EvGoToFrame(int frame) override;
  // The view-to-document codes; the result as each code gives it (0 for unknown codes).
  int EvViewNotify(int code, const float* point, FrameSequence* sequence = nullptr);
  // Sends a view notification to every sequence's view (only the active one while zoomed); the
  // AND of their answers, true when no view answers.
  bool ForwardCommand(int code, int argument) override;

  void UpdateViews() override;
  void InvalidateViews() override;
  void UpdateDialogs() override;
  void UpdateAnalysisWindows(ResObjectSequence* sequence) override;
  void RemoveFromAnalysisWindows(ResObjectSequence* sequence) override;
  // Sets palette entry index of every sequence.
  void SetPaletteEntry(int index, std::uint32_t colour) override;
  // The colour map's colour for an object number (modulo the map's size), also set in the
  // palettes; 0x00BBGGRR.
  std::uint32_t SetObjectColor(int index) override;

  void DockObjectSequenceDlg() override;
  void DockObjectTemplateDlg() override;
  void DockConnectDlg() override;
  void ToggleDockPosition() override;
  void UndockDialog() override;

  // World points of every object sequence at frame (0: all frames), then the object model.
  void RecalcObjectSequences(int frame) override;
  // Image points from the world points, every frame.
  void RecalcAllFrames() override;
  void UpdateObjectModel(int frame) override;
  bool LoadObjectModel() override;
  bool WriteObjectModel() override;
  // Connects the sequences as the model's connections say and creates the result sequences of
  // every segment and of the whole body.
  void ConnectModelObjects() override;
  // "Select Object Model": a sequence per object of the model the library lets the user choose,
  // connected as the model says, with its defaults. Without the library or the functions
  // nothing happens.
  void CmSelectObjectModel();
  bool CanSelectObjectModel() const;
  // "Delete" of the object model: after the user confirms, every body-model object and result
  // sequence goes for good and the model is released.
  void CmDeleteObjectModel();
  bool CanDeleteObjectModel() const;
  // Hands the selected model back to the library (when the document goes away).
  void ReleaseObjectModel();

 private:
  struct ObjectSequencesDeleter {
    void operator()(ResObjectSequences* sequences) const;
  };
  void CreateObjectSequences();

  DocumentWindow* window_ = nullptr;
  bool rateKnown_ = false;
  unsigned serial_;
  int currentFrame_ = 1;
  float framesPerSecond_ = 1.0f;
  FrameSequence* active_ = nullptr;
  unsigned modelId_ = 0;
  FileName documentName_;
  FileName modelFileName_;
  std::string caption_;
  DocumentFileState savedDocumentFile_;
  std::unique_ptr<ResObjectSequences, ObjectSequencesDeleter> objectSequences_;
  std::vector<std::unique_ptr<FrameSequence>> sequences_;
};

// The open documents, most recently opened first; the list does not own them.
class ResourceList {
 public:
  void Add(Resource* document);
  void Detach(Resource* document);
  // With null the first document; else the one after document (null at the end or when
  // document is not listed).
  Resource* Next(Resource* document) const;
  bool Empty() const { return documents_.empty(); }

 private:
  std::vector<Resource*> documents_;
};

extern ResourceList g_ResourceList;
