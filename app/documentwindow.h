#pragma once

// What a document asks of its window and of the application's displays: the MDI child that
// shows a Resource implements it. Tests give a document a recording stand-in.

#include <string>

// The docked panels of a document window.
enum PanelKind : int { kObjectPanel = 0, kTemplatePanel = 1, kConnectPanel = 2 };

class DocumentWindow {
 public:
  virtual ~DocumentWindow() = default;

  virtual bool IsMinimised() const = 0;
  // Only the active view is shown (the layout is zoomed).
  virtual bool IsLayoutZoomed() const = 0;
  virtual void ToggleZoom() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The application's frame display: status bar, frame field and slider (last < first keeps the
  // slider's range).
  virtual void ShowFrame(int frame, int first, int last) = 0;
  // Refreshes the object panels for the current object of the active video.
  virtual void UpdatePanels() = 0;
  // The panels' answer to a view notification (codes 32769..32780); point is null or x, y, z.
  virtual int PanelNotify(int code, const float* point) = 0;
  // Docks the object (0), template (1) or connection panel (2) beside the views; moves the
  // docked panel to the other edge; takes it out. Each ends with the active view focused.
  virtual void DockPanel(int panel) { (void)panel; }
  virtual void ToggleDockPosition() {}
  virtual void UndockPanel() {}
  // Runs the frame-rate dialog over the main window; it writes the chosen rate into *rate.
  virtual void AskFrameRate(float* rate, float highest) = 0;
};
