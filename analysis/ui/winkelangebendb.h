#pragma once

// WinkelAngebenDB: the angle panel beside the 3D window. It shows and edits the turn of the
// picture, one angle in whole degrees per axis (only one of them non-zero), each with an edit
// and a scroll bar that wraps from 359 to 0 and back; "Original" brings back the unturned view
// and "Single Frame" chooses between showing only the current frame's figure and keeping the
// figures of all shown frames. The angles live in the 3D window (its AngleStrings); the panel
// reads and writes them there and asks the window to redraw. Enter applies the three edits; the
// panel never closes by a key.

#include "platform/ui/table_dialog.h"

class DreiDAnlWin;
class QLineEdit;
class QScrollBar;
class ViewAngles;

class WinkelAngebenDB : public platform::TableDialog {
  Q_OBJECT
 public:
  explicit WinkelAngebenDB(QWidget* parent);

  // Links the panel to its window (whose angles it edits) and takes up the window's state.
  void SetWindow3D(DreiDAnlWin* window);

  // Every edit and scroll bar from the window's angles.
  void ShowAngles();
  void RepaintControls();

  void accept() override { ApplyEdits(); }
  void reject() override {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void OnCommand(int id) override;

 private:
  QLineEdit* Edit(int axis) const;
  QScrollBar* ScrollBar(int axis) const;
  ViewAngles* Angles() const;
  // Takes the three edits into the angles, each as 0..359, keeps one axis and redraws.
  void ApplyEdits();
  void EvHScroll(int axis, int position);
  void CmSingleFrame();
  void SendRedraw(unsigned flags) const;

  DreiDAnlWin* window_ = nullptr;
};
