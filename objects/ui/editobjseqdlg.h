#pragma once

// EditObjectSequenceDlg: the modal "Edit Object Sequence" dialog for every property of one
// object sequence: colour, description, tracked and displayed, search limits, marker style and
// size, and tracking algorithm. In read-only mode colour and description stay as they are.

#include "objects/objpanel.h"
#include "platform/ui/table_dialog.h"

class ColorBox;
class Document;
class ResObjectSequence;

class EditObjectSequenceDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  EditObjectSequenceDlg(ResObjectSequence& sequence, QWidget* parent, bool readOnly = false);

  // The values as the controls show them.
  objpanel::SequenceValues Values() const;

 protected:
  void OnCommand(int id) override;
  bool CanClose() override;

 private:
  ResObjectSequence& sequence_;
  bool readOnly_;
  ColorBox* colour_;
};

// Runs the dialog for the sequence; on OK stores the values and redraws the document. True on
// OK.
bool EditSequence(ResObjectSequence& sequence, QWidget* parent, bool readOnly = false);
