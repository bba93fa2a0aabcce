#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>

#include "app/messages.h"
#include "app/profile.h"
#include "app/ui/messagedlg.h"
#include "platform/message_service.h"
#include "platform/numeric_locale.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  platform::UseCNumericLocale();

  g_Profile = new AnaProfile();
  DialogMessageService messages;
  platform::SetMessageService(&messages);

  QMainWindow window;
  window.setWindowTitle("Zorvatrack");
  window.setCentralWidget(new QMdiArea(&window));
  window.showMaximized();
  int result = app.exec();

  platform::SetMessageService(nullptr);
  delete g_Profile;
  g_Profile = nullptr;
  return result;
}
