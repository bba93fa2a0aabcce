#pragma once

// "AVI Properties" (colour depth, field extraction, start position on a preview) and the
// frame-rate dialog "Frequence in original AVI-File" it opens.

#include "platform/ui/table_dialog.h"
#include "sequences/aviprops.h"
#include "sequences/dib.h"

class AviFrameSequence;

class AVIfpsDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // Edits model's rate; OK stores it unless it is not a positive number, which keeps the
  // dialog open.
  AVIfpsDlg(QWidget* parent, AviPropertiesModel& model);

 protected:
  bool CanClose() override;

 private:
  AviPropertiesModel& model_;
};

class AviPropertiesDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  AviPropertiesDlg(QWidget* parent, AviFrameSequence& sequence, AviPropertiesModel& model);

  // Shows the model's read-outs and the preview at its position.
  void Refresh();

 protected:
  void OnCommand(int id) override;
  bool CanClose() override;

 private:
  void TakeChoices();

  AviFrameSequence& sequence_;
  AviPropertiesModel& model_;
  CDIB preview_;
};

// Makes the video sequence run this dialog when it opens.
void InstallAviPropertiesDialog(QWidget* parent);
