// The MDI client's printing commands.

#include <QMainWindow>
#include <QMdiSubWindow>

#include "app/ui/mdiclient.h"
#include "app/ui/preview.h"
#include "app/ui/printer.h"
#include "app/ui/printout.h"
#include "app/zorvatrackapp.h"

namespace {

// The main window comes back in the preview's place and the print counter goes down, however
// the preview ends.
class PreviewScope {
 public:
  PreviewScope(QMainWindow* main, PreviewWindow& preview) : main_(main), preview_(preview) {
    if (g_App) g_App->RaisePrintCounter();
  }
  ~PreviewScope() {
    if (main_) {
      const QRect place = preview_.geometry();
      if (preview_.isMaximized())
        main_->showMaximized();
      else
        main_->showNormal();
      main_->setGeometry(place);
    }
    preview_.hide();
    if (g_App) g_App->LowerPrintCounter();
  }
  PreviewScope(const PreviewScope&) = delete;
  PreviewScope& operator=(const PreviewScope&) = delete;

 private:
  QMainWindow* main_;
  PreviewWindow& preview_;
};

QString MainCaption() {
  return g_App && g_App->MainWindow() ? g_App->MainWindow()->windowTitle() : QString();
}

}  // namespace

void ZorvatrackMDIClient::CePrint(platform::CommandEnabler& ce) {
  ce.Enable(activeSubWindow() != nullptr);
}

void ZorvatrackMDIClient::CmPrint() {
  if (!g_App) return;
  TApxPrintout printout(MainCaption(), this, false);
  g_App->Printer().Print(activeSubWindow() ? static_cast<QWidget*>(activeSubWindow()) : this,
                         printout, true);
}

void ZorvatrackMDIClient::CmPrinterSetup() {
  if (g_App) g_App->Printer().Setup(this);
}

void ZorvatrackMDIClient::CmPageSetup() {
  if (!g_App) return;
  QMainWindow* main = g_App->MainWindow();
  PreviewWindow preview(nullptr, g_App->Printer(), this, MainCaption());
  PreviewScope scope(main, preview);
  if (main) {
    preview.setGeometry(main->geometry());
    if (main->isMaximized())
      preview.showMaximized();
    else
      preview.show();
    main->hide();
  } else {
    preview.show();
  }
  preview.LayoutPage();
  preview.Run();
}
