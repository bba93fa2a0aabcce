#pragma once

// LoadVersionDlg: asks which version of the object-sequence files to load, 0 to the highest
// version every video has. OK gives the version; any other way of closing cancels the load.

#include "platform/ui/table_dialog.h"

class QSpinBox;

class LoadVersionDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  LoadVersionDlg(QWidget* parent, int highest);
  int Version() const;

 private:
  QSpinBox* version_;
};

// Makes the program ask with this dialog whenever several versions can be loaded.
void InstallLoadVersionDialog(QWidget* parent);
