#pragma once

// MessageDlg: the program's modal message dialog, a picture beside the centred text; the error
// form has OK, the question form Yes, No and Cancel.

#include <QString>

#include "platform/message_service.h"
#include "platform/ui/table_dialog.h"

class MessageDlg : public platform::TableDialog {
  Q_OBJECT
 public:
  // resourceId is 20010 (error) or 20011 (question); a null parent means the main window.
  MessageDlg(const QString& caption, const QString& text, int resourceId, QWidget* parent);
};

// The message service of the running program: the beep of the message's kind, then MessageDlg
// modal to the main window.
class DialogMessageService : public platform::MessageService {
 public:
  int Show(platform::MessageKind kind, const std::string& caption,
           const std::string& text) override;
};
