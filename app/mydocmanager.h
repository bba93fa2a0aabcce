#pragma once

// MyDocManager: turns files into documents and owns the file, player and clip-video commands.
// For now it holds no commands and no playback; the application already routes to it and calls
// its idle step.

#include "platform/commands.h"

class MyDocManager : public platform::CommandTarget {
 public:
  const platform::CommandTable& Commands() const override;

  // One playback step while the message queue is empty; true asks for more idle time.
  bool IdlePlay();
};
