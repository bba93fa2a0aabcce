#include "app/ui/resourcewindow.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMdiSubWindow>

#include "app/resource.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/framespersecond.h"
#include "app/ui/viewlayoutwindow.h"
#include "app/zorvatrackapp.h"
#include "objects/objcommands.h"
#include "objects/tracking.h"
#include "objects/ui/bildview.h"
#include "objects/ui/trackinghost.h"
#include "platform/events.h"
#include "sequences/framesequence.h"

namespace {
constexpr int kZoomCommand = 25014;
constexpr int kInfoCommand = 25077;
constexpr int kFirstLayoutCommand = 25016, kLastLayoutCommand = 25059;
}  // namespace

ResourceWindow::ResourceWindow(std::unique_ptr<Resource> document)
    : document_(std::move(document)), layout_(new ViewLayoutWindow(*document_, this)) {
  document_->SetWindow(this);
  setWindowTitle(QString::fromStdString(document_->Caption()));
  setFocusPolicy(Qt::StrongFocus);
  for (int i = 0; i < document_->SequenceCount(); ++i)
    if (auto* view = qobject_cast<QWidget*>(document_->Sequence(i)->view.data()))
      view->setParent(layout_);
}

ResourceWindow::~ResourceWindow() {
  document_->SetWindow(nullptr);
  // The views belong to their sequences, which the document deletes.
  for (int i = 0; i < document_->SequenceCount(); ++i)
    if (auto* view = qobject_cast<QWidget*>(document_->Sequence(i)->view.data()))
      view->setParent(nullptr);
}

QObject* CreateSequenceView(FrameSequence& sequence) {
  auto* window = sequence.document
                     ? qobject_cast<ResourceWindow*>(sequence.document->WindowObject())
                     : nullptr;
  return new BildView(sequence, window ? window->Layout() : nullptr);
}

QMdiSubWindow* ResourceWindow::SubWindow() const {
  return qobject_cast<QMdiSubWindow*>(parentWidget());
}

bool ResourceWindow::SetupWindow() {
  document_->SetupRate();
  layout_->ArrangeViews();
  document_->ForwardCommand(vnShowFrame, document_->CurrentFrame());
  return document_->RateKnown();
}

const platform::CommandTable& ResourceWindow::Commands() const {
  static constexpr platform::CommandEntry entries[] = {
      platform::Command<&ResourceWindow::CmInfo>(kInfoCommand),
      platform::Command<&ResourceWindow::CmLayout, &ResourceWindow::CeZoom>(kZoomCommand),
      platform::CommandRange<&ResourceWindow::CmLayout, &ResourceWindow::CeLayout>(
          kFirstLayoutCommand, kLastLayoutCommand),
      platform::CommandRange<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kZoomIn, view::kToggleFit),
      platform::CommandRange<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kFilter, view::kGamma),
      platform::CommandRange<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kOnlyActualObjects, view::kCentersOfMass),
      platform::Command<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kCancel),
      platform::CommandRange<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kSetObject, view::kDeleteObject),
      platform::CommandRange<&ResourceWindow::CmObjectSequences,
                             &ResourceWindow::CeObjectSequences>(objcmd::kNewObjectSequence,
                                                                 objcmd::kUndelete),
      platform::CommandRange<&ResourceWindow::CmObjectSequences,
                             &ResourceWindow::CeObjectSequences>(objcmd::kSave, objcmd::kLoad),
      platform::CommandRange<&ResourceWindow::CmTracking, &ResourceWindow::CeTracking>(
          track::kToEnd, track::kToBegin),
  };
  static const platform::CommandTable table{entries};
  return table;
}

void ResourceWindow::CmLayout(int id) { layout_->CmLayout(id); }

void ResourceWindow::CmInfo() {
  FrameSequence* active = document_->GetActiveFrameSequence();
  CurSeqDlg(*document_, active ? active->number : 1, g_App ? g_App->MainWindow() : nullptr)
      .Execute();
}

void ResourceWindow::CeZoom(platform::CommandEnabler& ce) {
  ce.Enable(document_->SequenceCount() > 1);
  ce.SetCheck(layout_->IsZoomed() ? platform::CommandEnabler::kChecked
                                  : platform::CommandEnabler::kUnchecked);
}

void ResourceWindow::CeLayout(platform::CommandEnabler& ce) {
  int row = LayoutRowForCommand(document_->SequenceCount(), ce.id);
  ce.Enable(row >= 0);
  if (row >= 0)
    ce.SetCheck(row == layout_->CurrentRow() ? platform::CommandEnabler::kChecked
                                             : platform::CommandEnabler::kUnchecked);
}

BildView* ResourceWindow::ActiveView() const {
  FrameSequence* active = document_->GetActiveFrameSequence();
  return active ? qobject_cast<BildView*>(active->view.data()) : nullptr;
}

void ResourceWindow::CmViewCommand(int id) {
  if (BildView* view = ActiveView()) view->DispatchCommand(id);
}

void ResourceWindow::CeViewCommand(platform::CommandEnabler& ce) {
  BildView* view = ActiveView();
  if (!view || !view->DispatchEnabler(ce)) ce.Enable(view && view->HasHandler(ce.id));
}

void ResourceWindow::CmObjectSequences(int id) {
  Resource& doc = *document_;
  switch (id) {
    case objcmd::kNewObjectSequence:
      objcmd::NewObjectSequence(doc);
      break;
    case objcmd::kDeleteObjectSequence:
      objcmd::DeleteObjectSequence(doc);
      break;
    case objcmd::kUndelete:
      objcmd::Undelete(doc);
      break;
    case objcmd::kSave:
      objcmd::Save(doc);
      break;
    case objcmd::kSaveAsNew:
      objcmd::SaveAsNew(doc);
      break;
    case objcmd::kLoad:
      objcmd::Load(doc);
      break;
    default:
      break;
  }
}

void ResourceWindow::CeObjectSequences(platform::CommandEnabler& ce) {
  Resource& doc = *document_;
  switch (ce.id) {
    case objcmd::kNewObjectSequence:
      ce.Enable(objcmd::CanNewObjectSequence(doc));
      break;
    case objcmd::kDeleteObjectSequence:
      ce.Enable(objcmd::CanDeleteObjectSequence(doc));
      break;
    case objcmd::kUndelete:
      ce.Enable(objcmd::CanUndelete(doc));
      break;
    case objcmd::kSave:
    case objcmd::kSaveAsNew:
      ce.Enable(objcmd::CanSave(doc));
      break;
    case objcmd::kLoad:
      ce.Enable(objcmd::CanLoad(doc));
      break;
    default:
      ce.Enable(false);
  }
}

void ResourceWindow::CmTracking(int id) { RunTrackingCommand(*document_, id); }

void ResourceWindow::CeTracking(platform::CommandEnabler& ce) {
  ce.Enable(::CeTracking(*document_));
}

int ResourceWindow::MinFrameCount() const { return document_->MinFrameCount(); }

bool ResourceWindow::CanClose() { return document_->CanClose(); }

bool ResourceWindow::IsMinimised() const {
  QMdiSubWindow* sub = SubWindow();
  return sub ? sub->isMinimized() : isMinimized();
}

bool ResourceWindow::IsLayoutZoomed() const { return layout_->IsZoomed(); }

void ResourceWindow::ToggleZoom() { layout_->ToggleZoom(); }

void ResourceWindow::SetCaption(const std::string& caption) {
  setWindowTitle(QString::fromStdString(caption));
}

void ResourceWindow::ShowFrame(int frame, int first, int last) {
  if (g_App) g_App->ShowFrame(frame, first, last);
}

void ResourceWindow::AskFrameRate(float* rate, float highest) {
  FramesPerSecondDlg(g_App ? g_App->MainWindow() : nullptr, rate, highest).Execute();
}

bool ResourceWindow::event(QEvent* e) {
  if (auto* m = platform::AsMessage(e)) {
    if (m->message == WM_GOTOFRAME) {
      m->result = document_->EvGoToFrame(static_cast<int>(m->wParam));
      return true;
    }
    if (m->message == WM_VIEWNOTIFY) {
      const int code = static_cast<int>(m->wParam);
      if (code == DN_ACTIVEVIEW) {
        m->result =
            document_->EvViewNotify(code, nullptr, reinterpret_cast<FrameSequence*>(m->lParam));
      } else {
        m->result = document_->EvViewNotify(code, reinterpret_cast<const float*>(m->lParam));
      }
      return true;
    }
  }
  return QWidget::event(e);
}

void ResourceWindow::closeEvent(QCloseEvent* e) {
  if (document_->CanClose())
    e->accept();
  else
    e->ignore();
}

void ResourceWindow::Activated() {
  layout_->BuildLayoutMenu();
  ShowFrame(document_->CurrentFrame(), 1, document_->MinFrameCount());
}

void ResourceWindow::focusInEvent(QFocusEvent* e) {
  Activated();
  if (auto* active = document_->GetActiveFrameSequence())
    if (auto* view = qobject_cast<QWidget*>(active->view.data())) view->setFocus();
  QWidget::focusInEvent(e);
}

void ResourceWindow::resizeEvent(QResizeEvent*) { layout_->setGeometry(rect()); }
