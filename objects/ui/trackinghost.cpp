#include "objects/ui/trackinghost.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMainWindow>

#include <memory>

#include "base/application.h"
#include "objects/canvas.h"
#include "objects/tracking.h"
#include "objects/ui/bildview.h"
#include "sequences/framesequence.h"
#include "sequences/ui/playercontrols.h"

namespace {

class ViewTrackingHost : public TrackingHost {
 public:
  void BeginLongRun() override {
    Application* app = TheApplication();
    if (app && app->Toolbar())
      abort_ = std::make_unique<AbortGadget>(app->Toolbar(), app->MainWindow());
  }
  void EndLongRun() override { abort_.reset(); }
  bool PollAbort() override { return abort_ && abort_->PumpMessages(); }
  Frame* DisplayFrame(FrameSequence& video) override {
    auto* view = qobject_cast<BildView*>(video.view.data());
    return view ? &view->DisplayFrame() : nullptr;
  }
  void MoveCursorTo(FrameSequence& video, float x, float y) override {
    auto* view = qobject_cast<BildView*>(video.view.data());
    // Desktops that keep the pointer to the user (Wayland) refuse: nothing happens there.
    if (!view || QGuiApplication::platformName() == QLatin1String("wayland")) return;
    const QPoint client(ToDevice(x, view->ZoomX(), 0.0 - view->ScrollX()),
                        ToDevice(y, view->ZoomY(), 0.0 - view->ScrollY()));
    QCursor::setPos(view->viewport()->mapToGlobal(client));
  }

 private:
  std::unique_ptr<AbortGadget> abort_;
};

}  // namespace

int RunTrackingCommand(Document& doc, int command) {
  ViewTrackingHost host;
  return CmTracking(doc, command, host);
}
