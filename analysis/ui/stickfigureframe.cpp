#include "analysis/ui/stickfigureframe.h"

#include <QObject>

#include "analysis/ui/analysisframed.h"
#include "analysis/ui/dreidanlwin.h"
#include "analysis/ui/winkelangebendb.h"
#include "base/document.h"

namespace {

// Lives as a child of the 3D window, so the window takes it along when it goes.
class StickFigureFrame : public QObject, public AnalysisFramed {
 public:
  StickFigureFrame(QWidget* layout, const std::string& title, int frame, Document* document)
      : dialog_(new WinkelAngebenDB(layout)),
        window_(new DreiDAnlWin(layout, QString::fromStdString(title), frame, document)) {
    window_->SetAngleDialog(dialog_);
    dialog_->SetWindow3D(window_);
    dialog_->resize(dialog_->sizeHint());
    setParent(window_);
  }
  QWidget* Widget() override { return window_; }
  bool Is3D() const override { return true; }
  void RebuildCurves(int frame) override { window_->RebuildCurves(frame); }
  void GoToFrame(int frame) override { window_->GotoFrame(frame); }
  bool ShowsDocument(const Document& document) const override {
    return window_->DocumentSerial() == document.Serial();
  }
  void FontChanged() override { window_->FontChanged(); }
  QWidget* FixedPane() override { return dialog_; }

 private:
  WinkelAngebenDB* dialog_;
  DreiDAnlWin* window_;
};

}  // namespace

AnalysisFramed* MakeStickFigureFrame(QWidget* layout, const std::string& title, int currentFrame,
                                     Document* document) {
  return new StickFigureFrame(layout, title, currentFrame, document);
}
