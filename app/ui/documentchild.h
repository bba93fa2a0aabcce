#pragma once

// What the application asks of an MDI child that shows a document: its place in the command
// chain, the document, the frames it can show and whether it may close. The child widget itself
// receives the frame changes (the document's WM_GOTOFRAME, ids::kMsgGoToFrame).

#include "platform/commands.h"

class Resource;

class DocumentChild : public platform::CommandTarget {
 public:
  // The document the child shows.
  virtual Resource* GetResource() = 0;
  // The smallest frame count over the document's image sequences.
  virtual int MinFrameCount() const = 0;
  // Asked before the program closes; false keeps the program open.
  virtual bool CanClose() = 0;
};
