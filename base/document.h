#pragma once

// Document: what the image, object and analysis subsystems use of a document. The program's
// document (Resource, app/resource.h) implements it; those subsystems reach their document only
// through it, and tests give them a small stand-in.
//
// Frames count from 1. A document's image sequences are numbered from 1 in the order they were
// added; Sequence(index) takes the array position (number - 1).

#include <cstdint>

class FileName;
class FrameSequence;
class QObject;
class ResObjectSequence;
class ResObjectSequences;

// Private messages of the document.
inline constexpr int WM_GOTOFRAME = 26000;
inline constexpr int WM_VIEWNOTIFY = 0x8000;
// The view notification message and its codes, sent by the document to its image views.
inline constexpr int WM_VNNOTIFY = 0x7FFB;
inline constexpr int vnShowFrame = 101;
inline constexpr int vnRepaintFrame = 102;
inline constexpr int vnPaletteChanged = 103;

// Codes of WM_VIEWNOTIFY, sent by image views to their document.
enum ViewNotifyCode : int {
  DN_PANELSVISIBLE = 32769,
  DN_CONNECTPANELVISIBLE = 32770,
  DN_OBJECTPANELVISIBLE = 32771,
  DN_TEMPLATEPANELVISIBLE = 32772,
  DN_CURRENTOBJECTCHANGED = 32773,
  DN_EDITMODEACTIVE = 32774,
  DN_BEGINCONNECTION = 32775,
  DN_TEMPLATEMOUSEDOWN = 32776,
  DN_MOUSEDOWN = 32777,
  DN_MOUSEUP = 32778,
  DN_MOUSEMOVE = 32779,
  DN_CANCELDRAG = 32780,
  DN_ACTIVEVIEW = 32781,
  DN_TOGGLEZOOM = 32782,
};

class Document {
 public:
  virtual ~Document() = default;

  virtual int CurrentFrame() const = 0;
  // A program-wide serial, from 1, that analysis windows know their document by.
  virtual unsigned Serial() const = 0;
  // The document's own file (a relative object-model name is taken against its folder).
  virtual const FileName& DocumentName() const = 0;

  virtual int SequenceCount() const = 0;
  // The sequence at array position index, or null.
  virtual FrameSequence* Sequence(int index) const = 0;
  // The sequence whose view is active, else the first.
  virtual FrameSequence* GetActiveFrameSequence() = 0;
  virtual void SetActiveFrameSequence(FrameSequence* sequence) = 0;
  virtual int MinFrameCount() const = 0;
  virtual int MaxFrameCount() const = 0;
  virtual int MaxFrameWidth() const = 0;
  virtual int MaxFrameHeight() const = 0;
  // The document's rate when known, else 1.0.
  virtual float GetFramesPerSecond() const = 0;
  // One sequence that is scaled linearly or not calibrated.
  virtual bool IsPlanar() const = 0;
  // Two calibrated sequences or more, or exactly one sequence.
  virtual bool CanReconstruct() const = 0;

  // The object sequences the document owns (with their stick figure).
  virtual ResObjectSequences* ObjectSequences() const = 0;
  // Replaces them by an empty set, as a newly opened document has.
  virtual void ResetObjectSequences() = 0;
  // Asks about unsaved object sequences (and each image sequence); false keeps things as they are.
  virtual bool CanClose() = 0;
  // Asks about unsaved object sequences only, offering to save them; false keeps them as they
  // are (the user cancelled, or they could not be saved).
  virtual bool AskSaveObjectSequences() = 0;

  // The object model: 0 when none is loaded.
  virtual unsigned ModelId() const = 0;
  virtual const FileName& ModelFileName() const = 0;
  virtual void SetModelFileName(const FileName& name) = 0;
  virtual bool LoadObjectModel() = 0;
  virtual bool WriteObjectModel() = 0;
  // Connects the sequences as the model's connections say.
  virtual void ConnectModelObjects() = 0;
  // Hands the object coordinates of frame (0: all frames) to the model and takes its results.
  virtual void UpdateObjectModel(int frame) = 0;

  // World points of every object sequence at frame (0: all frames), then the object model.
  virtual void RecalcObjectSequences(int frame) = 0;
  // Image points from the world points, every frame.
  virtual void RecalcAllFrames() = 0;

  // The frame change every player, slider and tracking step goes through: clamps the frame,
  // makes it current and shows it everywhere; returns 1.
  virtual int EvGoToFrame(int frame) = 0;
  // Sends a view notification (vnShowFrame ...) to the views; the AND of their answers.
  virtual bool ForwardCommand(int code, int argument) = 0;
  virtual void UpdateViews() = 0;
  virtual void InvalidateViews() = 0;
  virtual void UpdateDialogs() = 0;
  // The analysis windows that show the document take a new or restored sequence, or let one go
  // before it is deleted.
  virtual void UpdateAnalysisWindows(ResObjectSequence* sequence) = 0;
  virtual void RemoveFromAnalysisWindows(ResObjectSequence* sequence) = 0;
  // Sets palette entry index of every sequence.
  virtual void SetPaletteEntry(int index, std::uint32_t colour) = 0;
  // The colour map's colour for an object number, also set in the palettes; 0x00BBGGRR.
  virtual std::uint32_t SetObjectColor(int index) = 0;

  // The docked panels beside the views: dock the object, template or connection panel, move
  // the docked one to the other edge, or take it out; each ends with the active view focused.
  // A document without a window has no panels.
  virtual void DockObjectSequenceDlg() {}
  virtual void DockObjectTemplateDlg() {}
  virtual void DockConnectDlg() {}
  virtual void ToggleDockPosition() {}
  virtual void UndockDialog() {}

  // The document's window, where views send WM_VIEWNOTIFY; null while it has none.
  virtual QObject* WindowObject() const = 0;
  virtual bool IsWindowMinimised() const = 0;
};
