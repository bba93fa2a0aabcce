#include <QApplication>

#include "app/zorvatrackapp.h"
#include "base/ui/messagedlg.h"
#include "platform/message_service.h"
#include "platform/numeric_locale.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::UseCNumericLocale();

  DialogMessageService messages;
  platform::SetMessageService(&messages);
  int result = ProgramMain(argc, argv);
  platform::SetMessageService(nullptr);
  return result;
}
