#pragma once

// What an analysis layout frames: the 2D graph window or the 3D stick-figure window. The layout
// talks to either through this interface, places the framed widget beside its side pane and
// hands the document's updates on to it.

#include <QString>

class Document;
class QWidget;
class ResObjectSequence;

namespace platform {
struct CommandEnabler;
}

class AnalysisFramed {
 public:
  virtual ~AnalysisFramed() = default;

  virtual QWidget* Widget() = 0;
  virtual bool Is3D() const = 0;
  // The document's data changed: rebuild from it (and repaint).
  virtual void RebuildCurves(int frame) = 0;
  // The document's current frame changed.
  virtual void GoToFrame(int frame) = 0;
  virtual void AddObjectSequence(ResObjectSequence*) {}
  virtual void RemoveObjectSequence(ResObjectSequence*) {}
  virtual bool ShowsDocument(const Document& document) const = 0;
  // The analysis font changed.
  virtual void FontChanged() {}
  // The pane a 3D window always shows beside it (its angle dialog); null for none.
  virtual QWidget* FixedPane() { return nullptr; }
};
