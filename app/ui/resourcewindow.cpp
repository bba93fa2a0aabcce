#include "app/ui/resourcewindow.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>

#include "analysis/anlwinkind.h"
#include "analysis/ui/exportanalyzedlg.h"
#include "app/calibrationhost.h"
#include "app/documentfiles.h"
#include "app/resource.h"
#include "app/ui/curseqdlg.h"
#include "app/ui/framespersecond.h"
#include "app/ui/viewlayoutwindow.h"
#include "app/zorvatrackapp.h"
#include "objects/asciiobj.h"
#include "objects/objcommands.h"
#include "objects/resobjseq.h"
#include "objects/subobjseq.h"
#include "objects/tracking.h"
#include "objects/ui/bildview.h"
#include "objects/ui/connectdlg.h"
#include "objects/ui/exportdlg.h"
#include "objects/ui/objectimport.h"
#include "objects/ui/objectpanels.h"
#include "objects/ui/objeditor.h"
#include "objects/ui/trackinghost.h"
#include "platform/events.h"
#include "platform/strings.h"
#include "sequences/framesequence.h"

namespace {
constexpr int kZoomCommand = 25014;
constexpr int kInfoCommand = 25077;
constexpr int kCalibrationCommand = 25012, kDocumentFilesCommand = 25013;
constexpr int kShowDialogs = 25076;
constexpr int kObjectEditor = 25109;
constexpr int kSelectObjectModel = 25116, kDeleteObjectModel = 25119;
constexpr int kFirstLayoutCommand = 25016, kLastLayoutCommand = 25059;
}  // namespace

ResourceWindow::ResourceWindow(std::unique_ptr<Resource> document)
    : document_(std::move(document)),
      layout_(new ViewLayoutWindow(*document_, this)),
      objectPanel_(new ObjectSequenceDlg(*document_, layout_)),
      templatePanel_(new ObjectTemplateDlg(*document_, layout_)),
      connectPanel_(new ConnectDlg(*document_, layout_)) {
  for (QWidget* panel :
       std::initializer_list<QWidget*>{objectPanel_, templatePanel_, connectPanel_}) {
    panel->hide();
    panel->adjustSize();
  }
  document_->SetWindow(this);
  setWindowTitle(QString::fromStdString(document_->Caption()));
  setFocusPolicy(Qt::StrongFocus);
  for (int i = 0; i < document_->SequenceCount(); ++i)
    if (auto* view = qobject_cast<QWidget*>(document_->Sequence(i)->view.data()))
      view->setParent(layout_);
}

ResourceWindow::~ResourceWindow() {
  // The panels work on the document's sequences: they go before it.
  layout_->UndockWindow();
  delete connectPanel_;
  delete templatePanel_;
  delete objectPanel_;
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
  // The object panel docks before the first arrangement, which sizes the window for both.
  DockPanel(kObjectPanel);
  document_->ForwardCommand(vnShowFrame, document_->CurrentFrame());
  return document_->RateKnown();
}

const platform::CommandTable& ResourceWindow::Commands() const {
  static constexpr platform::CommandEntry entries[] = {
      platform::Command<&ResourceWindow::CmInfo>(kInfoCommand),
      platform::CommandRange<&ResourceWindow::CmCalibration>(kCalibrationCommand,
                                                             kDocumentFilesCommand),
      platform::Command<&ResourceWindow::CmShowDialogs, &ResourceWindow::CeShowDialogs>(
          kShowDialogs),
      platform::Command<&ResourceWindow::CmAscii, &ResourceWindow::CeAscii>(ascii::kCopySequence),
      platform::Command<&ResourceWindow::CmObjectEditor, &ResourceWindow::CeObjectEditor>(
          kObjectEditor),
      platform::Command<&ResourceWindow::CmObjectModel, &ResourceWindow::CeObjectModel>(
          kSelectObjectModel),
      platform::Command<&ResourceWindow::CmObjectModel, &ResourceWindow::CeObjectModel>(
          kDeleteObjectModel),
      platform::CommandRange<&ResourceWindow::CmAscii, &ResourceWindow::CeAscii>(
          ascii::kExportCommand, ascii::kImportCommand),
      platform::Command<&ResourceWindow::CmExportAnalysisData>(anlcmd::kExport),
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
      platform::Command<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kEditObjectSequence),
      platform::Command<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kDevCaps),
      platform::CommandRange<&ResourceWindow::CmViewCommand, &ResourceWindow::CeViewCommand>(
          view::kEditPositionModel, view::kInsertInList),
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

bool ResourceWindow::InFront() const {
  QMdiSubWindow* sub = SubWindow();
  return !sub || !sub->mdiArea() || sub->mdiArea()->currentSubWindow() == sub;
}

BildView* ResourceWindow::ViewFor(int id) const {
  // Esc belongs to the image view: pressed in one of the document's graphs it must not delete a
  // point the user does not see.
  if (id == view::kCancel && !InFront()) return nullptr;
  return ActiveView();
}

void ResourceWindow::CmViewCommand(int id) {
  if (BildView* view = ViewFor(id)) view->DispatchCommand(id);
}

void ResourceWindow::CeViewCommand(platform::CommandEnabler& ce) {
  BildView* view = ViewFor(ce.id);
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
      SaveDocumentFiles(doc);
      break;
    case objcmd::kSaveAsNew:
      objcmd::SaveAsNew(doc);
      SaveDocumentFiles(doc);
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

void ResourceWindow::UpdatePanels() {
  FrameSequence* video = document_->GetActiveFrameSequence();
  ResObjectSequences* all = document_->ObjectSequences();
  ResObjectSequence* current = all ? all->GetCurrent() : nullptr;
  SubObjectSequence* sub = current && video && video->subObjectSequences
                               ? video->subObjectSequences->Find(current->number)
                               : nullptr;
  objectPanel_->SetObjectSequence(sub);
  templatePanel_->SetObjectSequence(sub);
  if (connectPanel_->isVisible()) connectPanel_->UpdateReadouts();
}

int ResourceWindow::PanelNotify(int code, const float* p) {
  const float x = p ? p[0] : 0, y = p ? p[1] : 0;
  switch (code) {
    case DN_PANELSVISIBLE:
      return layout_->DockedPanel() != nullptr;
    case DN_CONNECTPANELVISIBLE:
      return connectPanel_->isVisible();
    case DN_OBJECTPANELVISIBLE:
      return objectPanel_->isVisible();
    case DN_TEMPLATEPANELVISIBLE:
      return templatePanel_->isVisible();
    case DN_EDITMODEACTIVE:
      return connectPanel_->Dragging() || templatePanel_->Dragging();
    case DN_BEGINCONNECTION:
      return connectPanel_->BeginAtCurrentObject();
    case DN_TEMPLATEMOUSEDOWN:
      return p && templatePanel_->isVisible() && templatePanel_->MouseDown(x, y);
    case DN_MOUSEDOWN:
      if (!p) return 0;
      connectPanel_->MouseDown(x, y);
      if (templatePanel_->isVisible()) templatePanel_->MouseDown(x, y);
      return 1;
    case DN_MOUSEUP:
      if (connectPanel_->Dragging()) connectPanel_->MouseUp();
      if (templatePanel_->Dragging()) templatePanel_->MouseUp();
      return 1;
    case DN_MOUSEMOVE:
      if (!p) return 0;
      // The template rectangle answers the mouse only while its panel is shown.
      if (connectPanel_->Dragging())
        connectPanel_->MouseMove(x, y);
      else if (templatePanel_->isVisible() || templatePanel_->Dragging())
        templatePanel_->MouseMove(x, y);
      return 1;
    case DN_CANCELDRAG:
      return connectPanel_->CancelDrag();
    default:
      return 0;
  }
}

void ResourceWindow::FocusVideo(FrameSequence* video) {
  if (video) document_->SetActiveFrameSequence(video);
  if (BildView* view = ActiveView()) view->setFocus();
}

void ResourceWindow::ChangePanels(const std::function<void()>& change) {
  // Hiding the panel that holds the keyboard would make the toolkit hand it on to the next
  // widget in the chain, often another camera's view, whose video would then become the active
  // one: the keyboard goes to the active view first, and comes back to it after the change.
  FrameSequence* active = document_->GetActiveFrameSequence();
  FocusVideo(active);
  change();
  FocusVideo(active);
}

void ResourceWindow::DockPanel(int panel) {
  QWidget* const panels[] = {objectPanel_, templatePanel_, connectPanel_};
  if (panel < 0 || panel > kConnectPanel) return;
  ChangePanels([&] {
    layout_->DockWindow(panels[panel], 0);
    UpdatePanels();
  });
}

void ResourceWindow::ToggleDockPosition() {
  ChangePanels([&] { layout_->ToggleDockMode(); });
}

void ResourceWindow::UndockPanel() {
  ChangePanels([&] {
    if (layout_->DockedPanel() == connectPanel_) connectPanel_->CancelDrag();
    layout_->UndockWindow();
    document_->UpdateViews();
  });
}

void ResourceWindow::CmShowDialogs() { DockPanel(kObjectPanel); }

void ResourceWindow::CeShowDialogs(platform::CommandEnabler& ce) {
  ce.Enable(layout_->DockedPanel() == nullptr);
}

void ResourceWindow::CmAscii(int id) {
  Resource& doc = *document_;
  FrameSequence* video = doc.GetActiveFrameSequence();
  QWidget* parent = g_App ? static_cast<QWidget*>(g_App->MainWindow()) : this;
  if (id == ascii::kCopySequence) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(ascii::CopySequenceText(doc)));
    return;
  }
  if (!video) return;
  if (id == ascii::kImportCommand) {
    ObjectImport(*video, parent).Import();
    return;
  }
  ObjectExport(parent, doc, *video).Execute();
}

void ResourceWindow::CmExportAnalysisData() {
  QWidget* parent = g_App ? static_cast<QWidget*>(g_App->MainWindow()) : this;
  RunAnalysisExport(parent, *document_);
}

void ResourceWindow::CeAscii(platform::CommandEnabler& ce) {
  ce.Enable(ce.id == ascii::kImportCommand || ascii::CanCopyOrExport(*document_));
}

void ResourceWindow::CmObjectEditor() {
  ObjectEditor(g_App ? static_cast<QWidget*>(g_App->MainWindow()) : this, *document_).Execute();
  document_->UpdateViews();
}

void ResourceWindow::CeObjectEditor(platform::CommandEnabler& ce) {
  ce.Enable(ascii::CanCopyOrExport(*document_));
}

void ResourceWindow::CmObjectModel(int id) {
  if (id == kSelectObjectModel)
    document_->CmSelectObjectModel();
  else
    document_->CmDeleteObjectModel();
}

void ResourceWindow::CeObjectModel(platform::CommandEnabler& ce) {
  ce.Enable(ce.id == kSelectObjectModel ? document_->CanSelectObjectModel()
                                        : document_->CanDeleteObjectModel());
}

void ResourceWindow::CmCalibration(int id) {
  QMainWindow* main = g_App ? g_App->MainWindow() : nullptr;
  // The calibration window steps through the cameras on its own: the user's camera stays the
  // active one when it is left.
  FrameSequence* active = document_->GetActiveFrameSequence();
  if (id == kCalibrationCommand) {
    ::CmCalibration(*document_, main);
    // The main window, hidden while the calibration window ran, takes the keyboard back.
    if (main && main->isVisible()) main->activateWindow();
  } else {
    CmDocumentFiles(*document_, main);
  }
  FocusVideo(active);
}
