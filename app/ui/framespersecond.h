#pragma once

// FramesPerSecondDlg ("Video-Frequences"): asks for one frame rate when a document's image
// sequences have different rates. It can only be left with OK, and only with a rate above 0.

#include "platform/ui/table_dialog.h"

class FramesPerSecondDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // *rate holds the lowest rate on entry and receives the chosen one.
  FramesPerSecondDlg(QWidget* parent, float* rate, float highest);

  void reject() override {}  // Esc and the close box do nothing

 protected:
  bool CanClose() override;

 private:
  float* rate_;
};

// Sets rate from the number at the start of text (a text that is no number keeps rate); false,
// leaving rate as it was, when the result would not be above 0.
bool ParseFrameRate(const std::string& text, float& rate);
