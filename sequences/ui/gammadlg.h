#pragma once

// "Gamma Correction": the modeless dialog that sets the colour-correction factors of a window's
// shown image. Each change sends the window command 24371 (prepare and repaint), so the picture
// follows the scroll bars live.

#include "platform/ui/table_dialog.h"
#include "sequences/imagedialogs.h"

class CDIB;
class GammaDefaults;

class GammaDialog : public platform::TableDialog {
  Q_OBJECT
 public:
  // parent is the window to notify; dib the bitmap it shows; defaults receives "Save as Default"
  // (the program's, unless given).
  GammaDialog(QWidget* parent, CDIB& dib, GammaDefaults* defaults = GetGammaDefaults());

  const GammaDialogModel& Model() const { return model_; }

 protected:
  void OnCommand(int id) override;

 private:
  // Shows the model's positions, texts and check boxes.
  void Refresh();

  GammaDialogModel model_;
};
