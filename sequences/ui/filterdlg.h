#pragma once

// "Filtering the Sequence": the modeless dialog that chooses the filter and the paint delay of a
// window's shown image. Each choice sends the window command 24371 (prepare and repaint).

#include "platform/ui/table_dialog.h"
#include "sequences/imagedialogs.h"

class CDIB;

class FilterDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // parent is the window to notify; dib is the bitmap it shows.
  FilterDlg(QWidget* parent, CDIB& dib);

  const FilterDlgModel& Model() const { return model_; }

  // Cancel restores the filter held at opening before the dialog closes.
  void done(int result) override;

 private:
  FilterDlgModel model_;
};
