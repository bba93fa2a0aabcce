#pragma once

// ZorvatrackMDIClient: the client area of the main window, parent of every document and analysis
// window. Its own commands (printing, window arrangement, analysis windows) are not in its table
// yet, so the enablers grey them.

#include <QMdiArea>

#include "platform/commands.h"

class ZorvatrackMDIClient : public QMdiArea, public platform::CommandTarget {
  Q_OBJECT
 public:
  explicit ZorvatrackMDIClient(QWidget* parent = nullptr);

  const platform::CommandTable& Commands() const override;
};
