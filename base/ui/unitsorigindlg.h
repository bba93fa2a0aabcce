#pragma once

// UnitsOriginDlg ("Origin and Units of Coordinates"): edits a copy of the units and origin and
// copies it back only on OK.

#include "base/unitsorigin.h"
#include "platform/ui/table_dialog.h"

class UnitsOriginDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  explicit UnitsOriginDlg(QWidget* parent, UnitsOrigin& target = g_UnitsOrigin);

  const UnitsOrigin& Current() const { return copy_; }

 protected:
  bool CanClose() override;

 private:
  void SetSpaceUnit(int u);
  void SetPixel(bool on);
  void SetCorner(int corner);

  UnitsOrigin& target_;
  UnitsOrigin copy_;
};
