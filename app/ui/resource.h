#pragma once

// Resource: the document, one MDI child per loaded set of image sequences. What exists so far is
// what the application frame asks of it: a command target in the routing chain, the receiver of
// WM_GOTOFRAME and its smallest frame count.

#include <QWidget>

#include "platform/commands.h"

class Resource : public QWidget, public platform::CommandTarget {
  Q_OBJECT
 public:
  explicit Resource(QWidget* parent = nullptr);

  const platform::CommandTable& Commands() const override;

  // The smallest frame count over the document's image sequences.
  virtual int MinFrameCount() const { return 0; }
  // Asked before the program closes; false keeps the program open.
  virtual bool CanClose() { return true; }
};
