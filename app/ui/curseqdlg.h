#pragma once

// CurSeqDlg ("Current Document"): the properties of a document's image sequences, one at a
// time, stepped with "&-" and "&+".

#include "platform/ui/table_dialog.h"

class Resource;

class CurSeqDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // number: the sequence shown first, counted from 1.
  CurSeqDlg(Resource& document, int number, QWidget* parent);

  int Shown() const { return number_; }

 protected:
  void OnCommand(int id) override;

 private:
  void Show(int number);

  Resource& document_;
  int number_;
};
