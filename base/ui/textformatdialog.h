#pragma once

// TextFormatDialog ("Text Format Settings"): decimal character, precision and column delimiter
// of ASCII number files. OK refuses a decimal character equal to the delimiter and stays open;
// only an accepted OK stores the format.

#include "base/textformat.h"
#include "platform/ui/table_dialog.h"

class TextFormatDialog : public platform::TableDialog, public TextFormat {
  Q_OBJECT
 public:
  explicit TextFormatDialog(QWidget* parent);

 protected:
  bool CanClose() override;
};
