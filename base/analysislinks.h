#pragma once

// The analysis windows as documents see them. Each open analysis window registers a link; a
// document reaches the windows that show it through its serial.

#include <functional>

class ResObjectSequence;

class AnalysisLink {
 public:
  virtual ~AnalysisLink() = default;
  // The serial of the document whose object sequences the window shows.
  virtual unsigned DocumentSerial() const = 0;
  // Moves the frame marker (the window's answer to WM_GOTOFRAME).
  virtual void GoToFrame(int frame) = 0;
  // Rebuilds the curves after the document's data changed, and repaints at once.
  virtual void RebuildCurves(int frame, unsigned serial) = 0;
  virtual void AddObjectSequence(ResObjectSequence* sequence) = 0;
  virtual void RemoveObjectSequence(ResObjectSequence* sequence) = 0;
  // Closes the window (its document is going away).
  virtual void CloseWindow() = 0;
};

void RegisterAnalysisLink(AnalysisLink* link);
void UnregisterAnalysisLink(AnalysisLink* link);
// Calls f for every registered window that shows the document with this serial.
void ForEachAnalysisLink(unsigned serial, const std::function<void(AnalysisLink&)>& f);
