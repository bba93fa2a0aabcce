#pragma once

// The colour-reduction dialogs: "Color Reduction" (20130) chooses the sampled frames and the
// method before true-colour sequences are reduced for a palette display; "Color Reduction"
// (20140) shows the progress of one sequence's reduction, which it runs as soon as it is shown.

#include "platform/ui/table_dialog.h"
#include "sequences/colreduce.h"

class FrameSequence;
class QProgressBar;

class SetupColReduceDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // For a document of `frames` frames (its shortest sequence); starts with the method in use.
  SetupColReduceDlg(QWidget* parent, int frames);

  // A single frame needs no choice: OK at once, from = to = 1. Otherwise the dialog; OK stores
  // the choice as the settings in use.
  int Execute();
  const ColReduceSettings& Settings() const { return model_.Settings(); }

 protected:
  bool CanClose() override;

 private:
  SetupColReduceModel model_;
};

class ColReduceDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // For sequence's colours, reduced with the settings in use.
  ColReduceDlg(QWidget* parent, FrameSequence& sequence);

  // Shows the dialog, runs the reduction as soon as it is on the screen and ends with OK.
  int Execute();

 private:
  void Run();

  FrameSequence& sequence_;
  QProgressBar* gauge_;
};
