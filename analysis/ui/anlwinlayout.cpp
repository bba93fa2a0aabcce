#include "analysis/ui/anlwinlayout.h"

#include <QFontDialog>
#include <QMdiSubWindow>

#include "analysis/anlwinkind.h"
#include "analysis/ui/analysisfont.h"
#include "analysis/ui/anlwin.h"
#include "analysis/ui/exportanalyzedlg.h"
#include "analysis/ui/valuepanes.h"
#include "base/document.h"
#include "platform/strings.h"

namespace {

AnlWinLayout::StickFigureFactory& Factory() {
  static AnlWinLayout::StickFigureFactory factory;
  return factory;
}

AnlWinLayout::FontChooser& Chooser() {
  static AnlWinLayout::FontChooser chooser;
  return chooser;
}

}  // namespace

AnlWinLayout::AnlWinLayout(QWidget* parent, const std::string& title, int currentFrame,
                           Document* document, int kind)
    : QWidget(parent), document_(document) {
  setFocusPolicy(Qt::StrongFocus);
  window2D_ = new AnlWin(this, title, currentFrame, document, kind);
  framed_ = window2D_;
  combined_ = new FadenkreuzeBarDB(this);
  crosshairPane_ = new FadenkreuzeDB(this);
  framePane_ = new BarDB(this);
  for (QWidget* p : {static_cast<QWidget*>(combined_), static_cast<QWidget*>(crosshairPane_),
                     static_cast<QWidget*>(framePane_)})
    p->hide();
  window2D_->SetCommandSink([this](int id) { DispatchCommand(id); },
                            [this](platform::CommandEnabler& ce) { DispatchEnabler(ce); });
  RegisterAnalysisLink(this);
}

AnlWinLayout::AnlWinLayout(QWidget* parent, Document* document, AnalysisFramed* framed)
    : QWidget(parent), document_(document) {
  Frame(framed);
  RegisterAnalysisLink(this);
}

void AnlWinLayout::Frame(AnalysisFramed* framed) {
  framed_ = framed;
  if (!framed_) return;
  framed_->Widget()->setParent(this);
  if (QWidget* pane = framed_->FixedPane()) pane->setParent(this);
}

AnlWinLayout::~AnlWinLayout() { UnregisterAnalysisLink(this); }

void AnlWinLayout::SetStickFigureFactory(StickFigureFactory factory) {
  Factory() = std::move(factory);
}

bool AnlWinLayout::HasStickFigureFactory() { return static_cast<bool>(Factory()); }

AnlWinLayout* AnlWinLayout::Create3D(QWidget* parent, const std::string& title, int currentFrame,
                                     Document* document) {
  if (!Factory()) return nullptr;
  auto* layout = new AnlWinLayout(parent, document, nullptr);
  AnalysisFramed* framed = Factory()(layout, title, currentFrame, document);
  if (!framed) {
    delete layout;
    return nullptr;
  }
  layout->Frame(framed);
  return layout;
}

void AnlWinLayout::SetFontChooser(FontChooser chooser) { Chooser() = std::move(chooser); }

bool AnlWinLayout::Is3D() const { return framed_ && framed_->Is3D(); }

void AnlWinLayout::SetupWindow() {
  resize(kClientWidth + (ShownPane() ? ShownPane()->width() : 0), kClientHeight);
  // The window is laid out at its size before it builds its plot.
  ArrangePanes();
  if (window2D_) window2D_->SetupWindow();
  if (window2D_) {
    window2D_->SetPaintingAllowed(true);
    window2D_->SetValueDialogs(nullptr, nullptr, nullptr);
  }
  if (QWidget* pane = ShownPane()) pane->show();
}

ValuePane* AnlWinLayout::SelectedPane() const {
  if (crosshairByte_ && frameByte_) return combined_;
  if (crosshairByte_) return crosshairPane_;
  if (frameByte_) return framePane_;
  return nullptr;
}

QWidget* AnlWinLayout::ShownPane() const {
  if (!framed_) return nullptr;
  if (!window2D_) return framed_->FixedPane();
  return SelectedPane();
}

void AnlWinLayout::ArrangePanes() {
  if (!framed_) return;
  QWidget* pane = ShownPane();
  const int paneWidth = pane ? pane->width() : 0;
  const int w = width(), h = height();
  QWidget* framed = framed_->Widget();
  if (!pane) {
    framed->setGeometry(0, 0, w, h);
    return;
  }
  if (panePosition_ == 0) {
    pane->setGeometry(0, 0, paneWidth, h);
    framed->setGeometry(paneWidth, 0, std::max(0, w - paneWidth), h);
  } else {
    pane->setGeometry(std::max(0, w - paneWidth), 0, paneWidth, h);
    framed->setGeometry(0, 0, std::max(0, w - paneWidth), h);
  }
}

void AnlWinLayout::resizeEvent(QResizeEvent*) { ArrangePanes(); }

void AnlWinLayout::SwitchPane(QWidget* before) {
  ValuePane* now = SelectedPane();
  const int delta = (now ? now->width() : 0) - (before ? before->width() : 0);
  window2D_->SetCrosshairsEnabled(false);
  // The MDI child grows or shrinks by the difference, the plot keeps its size.
  QWidget* frame = parentWidget() && qobject_cast<QMdiSubWindow*>(parentWidget())
                       ? parentWidget()
                       : static_cast<QWidget*>(this);
  if (delta != 0) frame->resize(frame->width() + delta, frame->height());
  if (before && before != now) before->hide();
  if (now) now->show();
  ArrangePanes();
  window2D_->SetValueDialogs(now == combined_ ? combined_ : nullptr,
                             now == crosshairPane_ ? crosshairPane_ : nullptr,
                             now == framePane_ ? framePane_ : nullptr);
  window2D_->SetCrosshairsEnabled(true);
}

void AnlWinLayout::CmCrosshairPane(int id) {
  if (!window2D_) return;
  QWidget* before = ShownPane();
  crosshairByte_ = !crosshairByte_;
  SwitchPane(before);
  window2D_->ToggleCrosshairs(id);
  window2D_->RefreshPanes();
  window2D_->Repaint();
}

void AnlWinLayout::CmFrameNumberPane() {
  if (!window2D_) return;
  QWidget* before = ShownPane();
  frameByte_ = !frameByte_;
  window2D_->SetMarkerShown(frameByte_);
  SwitchPane(before);
  window2D_->RefreshPanes();
  window2D_->Repaint();
}

void AnlWinLayout::CmPanePosition() {
  panePosition_ = panePosition_ == 2 ? 0 : 2;
  ArrangePanes();
  update();
}

void AnlWinLayout::CmSelectFonts() {
  std::optional<QFont> chosen;
  if (Chooser()) {
    chosen = Chooser()(AnalysisFont());
  } else {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, AnalysisFont(), nullptr, "Select Fonts",
                                            QFontDialog::ScalableFonts);
    if (ok) chosen = font;
  }
  if (chosen) AnalysisFont() = *chosen;
  if (framed_) framed_->FontChanged();
  if (document_) document_->UpdateViews();
}

void AnlWinLayout::Cm2D(int id) {
  if (!window2D_) return;
  using namespace anlcmd;
  switch (id) {
    case kInterpolate:
      window2D_->OnInterpolateGaps();
      break;
    case kLowPass:
      window2D_->OnLowPass();
      break;
    case kApproximate:
      window2D_->OnApproximate();
      break;
    case kCoordinates:
      window2D_->OnAlterValues();
      break;
    case kDisplayStyle:
      window2D_->OnDisplayStyle();
      break;
    case kStyleByMouse:
      window2D_->ArmStyleDrag();
      break;
    case kFit:
      window2D_->OnFit();
      break;
    case kImport:
      window2D_->OnImportData();
      break;
    case kEndImport:
      window2D_->OnEndImport();
      break;
    default:
      if ((id >= kFirstStyle && id <= kLastStyle) || id == kFollowWindowStyle)
        window2D_->SetSelectedStyle(id);
      break;
  }
}

void AnlWinLayout::CmExportAnalysisData() {
  if (document_) RunAnalysisExport(this, *document_);
}

void AnlWinLayout::CmZoom(int id) {
  if (window2D_) window2D_->OnZoom(id);
}

void AnlWinLayout::CeAnalysisCommand(platform::CommandEnabler& ce) {
  if (ce.id == anlcmd::kPanePosition) {
    const int text = window2D_ ? (panePosition_ == 0 ? 32055 : 32054)
                               : (panePosition_ == 0 ? 32057 : 32056);
    ce.SetText(std::string(platform::LoadString(text)));
    return;
  }
  if (!window2D_) {
    ce.Enable(false);
    return;
  }
  window2D_->EnableCommand(ce);
}

void AnlWinLayout::CeZoom(platform::CommandEnabler& ce) {
  if (!window2D_) {
    ce.Enable(false);
    return;
  }
  window2D_->EnableCommand(ce);
}

const platform::CommandTable& AnlWinLayout::Commands() const {
  using L = AnlWinLayout;
  using namespace anlcmd;
  static const platform::CommandEntry entries[] = {
      platform::CommandRange<&L::Cm2D, &L::CeAnalysisCommand>(kAlterSequences, kApproximate),
      platform::CommandRange<&L::Cm2D, &L::CeAnalysisCommand>(kImport, kEndImport),
      platform::Command<&L::CmExportAnalysisData>(kExport),
      platform::CommandRange<&L::Cm2D, &L::CeAnalysisCommand>(kCoordinates, kDisplayStyle),
      platform::Command<&L::Cm2D>(kStyleByMouse),
      platform::CommandRange<&L::Cm2D>(kFirstStyle, kLastStyle),
      platform::Command<&L::Cm2D>(kFollowWindowStyle),
      platform::Command<&L::Cm2D, &L::CeAnalysisCommand>(kFit),
      platform::CommandRange<&L::CmZoom, &L::CeZoom>(kZoomIn, kZoomOut),
      platform::CommandRange<&L::CmCrosshairPane, &L::CeAnalysisCommand>(kReticules,
                                                                         kReticulesOld),
      platform::Command<&L::CmCrosshairPane, &L::CeAnalysisCommand>(kReticulesMenu),
      platform::Command<&L::CmFrameNumberPane, &L::CeAnalysisCommand>(kFrameNumbers),
      platform::Command<&L::CmFrameNumberPane, &L::CeAnalysisCommand>(kFrameNumbersMenu),
      platform::Command<&L::CmSelectFonts>(kFonts),
      platform::Command<&L::CmPanePosition, &L::CeAnalysisCommand>(kPanePosition),
  };
  static const platform::CommandTable table{entries};
  return table;
}

bool AnlWinLayout::ShowsDocument(const Document& document) const {
  return framed_ && framed_->ShowsDocument(document);
}

unsigned AnlWinLayout::DocumentSerial() const { return document_ ? document_->Serial() : 0; }

void AnlWinLayout::GoToFrame(int frame) {
  if (framed_) framed_->GoToFrame(frame);
}

void AnlWinLayout::RebuildCurves(int frame, unsigned) {
  if (framed_) framed_->RebuildCurves(frame);
}

void AnlWinLayout::AddObjectSequence(ResObjectSequence* sequence) {
  if (framed_) framed_->AddObjectSequence(sequence);
}

void AnlWinLayout::RemoveObjectSequence(ResObjectSequence* sequence) {
  if (framed_) framed_->RemoveObjectSequence(sequence);
}

void AnlWinLayout::CloseWindow() {
  UnregisterAnalysisLink(this);
  document_ = nullptr;
  if (auto* child = qobject_cast<QMdiSubWindow*>(parentWidget())) child->close();
  else close();
}
