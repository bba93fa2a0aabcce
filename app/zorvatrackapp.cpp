#include "app/zorvatrackapp.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <new>

#include "analysis/ui/anlwinlayout.h"
#include "app/documentwindow.h"
#include "app/helpmap.h"
#include "app/mydocmanager.h"
#include "app/ui/aboutdlg.h"
#include "app/ui/documentchild.h"
#include "app/ui/documentservices.h"
#include "app/ui/helpwindow.h"
#include "app/ui/mdiclient.h"
#include "app/ui/menu100.h"
#include "app/ui/printer.h"
#include "app/ui/windowlistmenu.h"
#include "base/app_ids.h"
#include "base/defaults.h"
#include "base/profile.h"
#include "base/ui/bitmaps.h"
#include "base/ui/gadgets.h"
#include "base/unitsorigin.h"
#include "platform/busy.h"
#include "platform/events.h"
#include "platform/strings.h"
#include "platform/ui/table_dialog.h"
#include "sequences/ui/playercontrols.h"

ZorvatrackApp* g_App = nullptr;

static void InitHelpResources() { Q_INIT_RESOURCE(help); }

namespace {

constexpr int kStatusFontPoints = 8;
constexpr int kToolbarFontPoints = 10;
constexpr int kCascadeCommand = 24361;  // an item of the Window menu
constexpr int kFrameFieldChars = 12;
constexpr int kText2Chars = 24;
constexpr int kSliderWidth = 120, kSliderHeight = 24;
constexpr int kFieldWidth = 60, kFieldHeight = 20, kFieldLimit = 10;
const char* const kHelpFolder = "qrc:/help/";

QString Text(int id) {
  std::string_view s = platform::LoadString(id);
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// The main window asks the application before it closes.
class ZorvatrackFrame : public QMainWindow {
 public:
  explicit ZorvatrackFrame(ZorvatrackApp& app) : app_(app) {}

 protected:
  void closeEvent(QCloseEvent* event) override {
    if (!app_.CanClose()) {
      event->ignore();
      return;
    }
    event->accept();
    QCoreApplication::exit(0);
  }

 private:
  ZorvatrackApp& app_;
};

// A status-bar field as wide as chars digits (the widest characters of its texts, mostly).
QLabel* TextGadget(int id, int chars, QStatusBar* bar) {
  auto* label = new QLabel(bar);
  label->setObjectName(QString::number(id));
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  label->setText(QString(chars, QLatin1Char('0')));
  label->setFixedWidth(label->sizeHint().width());
  label->clear();
  bar->addPermanentWidget(label);
  return label;
}

// Shows text whole: a field that is too narrow widens, and never narrows again (it would jitter).
void SetFieldText(QLabel* field, const QString& text) {
  field->setText(text);
  if (field->sizeHint().width() > field->width()) field->setFixedWidth(field->sizeHint().width());
}

bool IsKey(const QKeyEvent* key, Qt::Key k) { return key->key() == k; }

// True for the main window and everything in it, the floating toolbar included.
bool InMainWindow(QObject* receiver, const QWidget* mainWindow) {
  for (auto* w = qobject_cast<QWidget*>(receiver); w; w = w->parentWidget())
    if (w == mainWindow) return true;
  return false;
}

}  // namespace

const platform::CommandTable& ZorvatrackApp::Commands() const {
  using platform::Command;
  static const platform::CommandEntry entries[] = {
      Command<&ZorvatrackApp::CmHelpContents>(cmd::kHelpContents),
      Command<&ZorvatrackApp::CmHowToUse>(cmd::kHowToUse),
      Command<&ZorvatrackApp::CmContextHelp>(cmd::kContextHelp),
      Command<&ZorvatrackApp::CmAbout>(cmd::kAbout),
      Command<&ZorvatrackApp::CmExit>(cmd::kExit),
      Command<&ZorvatrackApp::CmSmartObjectPosition, &ZorvatrackApp::CeSmartObjectPosition>(
          cmd::kSmartObjectPosition),
  };
  static const platform::CommandTable table{entries};
  return table;
}

ZorvatrackApp::ZorvatrackApp() : docManager_(new (std::nothrow) MyDocManager) {
  SetApplication(this);
  InitHelpResources();
  // The pages are built into the program, so their place has no length limit to respect.
  helpFolder_ = kHelpFolder;
  actions_.SetChainProvider([this] { return Chain(); });
  actions_.SetCommandFilter([this](int id) { return FilterCommand(id); });
  keys_.SetHook([this](QObject* receiver, QKeyEvent* key) { return ProcessAppMsg(receiver, key); });
  keys_.SetClaim([this](QObject* receiver, QKeyEvent* key) { return ClaimKey(receiver, key); });
  keys_.SetReleaseHook([this](QObject*, QKeyEvent* key) {
    if (IsKey(key, Qt::Key_F1) && !key->isAutoRepeat()) f1Down_ = false;
    return false;
  });
  keys_.Install();
  platform::SetHelpHandler([this](int context) { ShowHelpContext(context); });
  platform::SetBusyHandler([](bool busy) {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      QApplication::restoreOverrideCursor();
  });
}

MyTPrinter& ZorvatrackApp::Printer() {
  if (!printer_) printer_ = std::make_unique<MyTPrinter>();
  return *printer_;
}

ZorvatrackApp::~ZorvatrackApp() {
  if (TheApplication() == this) SetApplication(nullptr);
  platform::SetHelpHandler(nullptr);
  platform::SetBusyHandler(nullptr);
  EndHelpCursor();
  idle_.reset();
  mainWindow_.reset();
  mdiClient_ = nullptr;
  toolbar_ = nullptr;
  frameSlider_ = nullptr;
  frameField_ = nullptr;
  statusFrame_ = statusText2_ = nullptr;
  help_.reset();
  docManager_.reset();
  objectModelLibrary_.Unload();
  if (g_App == this) g_App = nullptr;
}

int ZorvatrackApp::Run() {
  InitInstance();
  return QApplication::exec();
}

void ZorvatrackApp::InitInstance() {
  InitMainWindow();
  InstallDocumentServices(mainWindow_.get());
  if (MainWindowShowState(startedMinimized_) == ShowState::kMinimized)
    mainWindow_->showMinimized();
  else
    mainWindow_->showMaximized();
  idle_ = std::make_unique<platform::IdleDriver>([this](long count) { return IdleAction(count); });
  idle_->WatchApplicationInput();
  if (!pendingFileName_.empty()) platform::RouteCommand(Chain(), cmd::kLoadImageSequence);
}

void ZorvatrackApp::InitMainWindow() {
  mdiClient_ = new ZorvatrackMDIClient;
  QObject::connect(mdiClient_, &QMdiArea::subWindowActivated,
                   [this](QMdiSubWindow* child) { ChildActivated(child); });
  auto frame = std::make_unique<ZorvatrackFrame>(*this);
  frame->setWindowTitle(Text(ids::kAppName));
  frame->setCentralWidget(mdiClient_);
  frame->setWindowIcon(bitmaps::Icon(ids::kAppIcon));
  mainWindow_ = std::move(frame);
  BuildMenu100(mainWindow_->menuBar(), actions_);
  InstallAccelerators100(mainWindow_.get(), actions_);
  if (QMenu* windowMenu = MenuHolding(actions_.Get(kCascadeCommand)))
    windowList_ = new WindowListMenu(windowMenu, mdiClient_);
  DockToolbar();

  QStatusBar* bar = mainWindow_->statusBar();
  QFont font = bar->font();
  font.setPointSize(kStatusFontPoints);
  font.setBold(false);
  font.setItalic(false);
  bar->setFont(font);
  bar->setObjectName(QString::number(ids::kStatusMessage));
  statusFrame_ = TextGadget(ids::kStatusFrame, kFrameFieldChars, bar);
  statusText2_ = TextGadget(ids::kStatusText2, kText2Chars, bar);

  helpInUse_ = QFile::exists(QStringLiteral(":/help/") + kHelpContentsPage);
  actions_.UpdateAll();
}

void ZorvatrackApp::DockToolbar() {
  toolbar_ = new QToolBar(mainWindow_.get());
  QFont font = toolbar_->font();
  font.setPointSize(kToolbarFontPoints);
  toolbar_->setFont(font);
  toolbar_->setMovable(true);
  toolbar_->setFloatable(true);
  toolbar_->setIconSize(QSize(16, 16));
  BuildToolbar(toolbar_, false);
  toolbar_->setObjectName(QString::number(ids::kToolbarWindow));
  toolbar_->setWindowTitle(Text(ids::kToolbarCaption));
  mainWindow_->addToolBar(Qt::TopToolBarArea, toolbar_);
}

void ZorvatrackApp::BuildToolbar(QToolBar* bar, bool omitLoad) {
  auto button = [this, bar](int id) {
    QAction* action = actions_.Get(id);
    if (!action) action = actions_.Add(id, QString());
    if (action->icon().isNull()) action->setIcon(bitmaps::Icon(id));
    action->setEnabled(false);
    bar->addWidget(new TFlatButtonGadget(action, bar));
  };
  auto separator = [bar](int size) { bar->addWidget(new TFlatSeparatorGadget(size, 0, bar)); };

  if (!omitLoad) button(cmd::kLoadImageSequence);
  separator(4);
  button(cmd::kPlay);
  button(cmd::kStop);
  button(cmd::kFirstFrame);
  frameSlider_ = new FrameScrollBar(bar, ids::kFrameSlider, kSliderWidth, kSliderHeight);
  frameSlider_->SetTarget([this]() -> QObject* { return ActiveChildWidget(); });
  bar->addWidget(frameSlider_);
  button(cmd::kLastFrame);
  separator(8);
  frameField_ = new FrameEdit(bar, ids::kFrameField, "0", kFieldWidth, kFieldHeight, kFieldLimit);
  bar->addWidget(frameField_);
  separator(12);
  button(cmd::kTrackToBegin);
  button(cmd::kTrackBack);
  button(cmd::kTrackNext);
  button(cmd::kTrackToEnd);
  separator(4);
  button(cmd::kAnalyzeXt);
  button(cmd::kAnalyzeYt);
  button(cmd::kAnalyzeZt);
  button(cmd::kAnalyzeYx);
  button(cmd::kReticules);
  button(cmd::kFrameNumbers);
  separator(4);
  button(cmd::kSetFit);
  button(cmd::kZoomIn);
  button(cmd::kZoomOut);
  separator(4);
  button(cmd::kAddToClipVideo);
  separator(4);
  button(cmd::kHelpContents);
  separator(4);
}

platform::CommandChain ZorvatrackApp::Chain() {
  // An active analysis window comes first; its document's window follows, so that the document's
  // commands act the same with either in front.
  return {mdiClient_ ? mdiClient_->ActiveAnalysisLayout() : nullptr, ActiveChild(), mdiClient_,
          this, docManager_.get()};
}

QWidget* ZorvatrackApp::ActiveChildWidget() const {
  return dynamic_cast<QWidget*>(ActiveChild());
}

// The current child stays the active one while a dialog or the help has the focus.
QWidget* ZorvatrackApp::CurrentChildWidget() const {
  QMdiSubWindow* child = mdiClient_ ? mdiClient_->currentSubWindow() : nullptr;
  return child ? child->widget() : nullptr;
}

Resource* ZorvatrackApp::AnalysisWindowDocument() const {
  auto* layout = qobject_cast<AnlWinLayout*>(CurrentChildWidget());
  if (!layout) return nullptr;
  // Only a document that is still open: its analysis windows close after it.
  for (Resource* doc = g_ResourceList.Next(nullptr); doc; doc = g_ResourceList.Next(doc))
    if (doc == layout->GetResource()) return doc;
  return nullptr;
}

DocumentChild* ZorvatrackApp::ActiveChild() const {
  if (auto* window = dynamic_cast<DocumentChild*>(CurrentChildWidget())) return window;
  Resource* doc = AnalysisWindowDocument();
  return doc ? dynamic_cast<DocumentChild*>(doc->Window()) : nullptr;
}

Resource* ZorvatrackApp::GetActiveDocument() const {
  if (auto* window = dynamic_cast<DocumentChild*>(CurrentChildWidget()))
    return window->GetResource();
  return AnalysisWindowDocument();
}

bool ZorvatrackApp::CanClose() {
  if (mdiClient_) {
    for (QMdiSubWindow* child : mdiClient_->subWindowList())
      if (auto* doc = dynamic_cast<DocumentChild*>(child->widget()); doc && !doc->CanClose())
        return false;
  }
  if (helpInUse_ && help_) help_->close();
  return true;
}

bool ZorvatrackApp::IdleAction(long) {
  actions_.UpdateAll();
  return docManager_ ? docManager_->IdlePlay() : false;
}

void ZorvatrackApp::ShowFrame(int frame, int first, int last) {
  if (statusFrame_)
    SetFieldText(statusFrame_,
                 QString::fromStdString(platform::FormatString(ids::kStatusFrameFormat, frame)));
  if (frameField_) {
    frameField_->setText(QString::number(frame));
    frameField_->repaint();
  }
  if (mainWindow_) mainWindow_->statusBar()->repaint();
  if (!frameSlider_) return;
  if (last >= first) frameSlider_->setRange(first, last);
  frameSlider_->setValue(frame);
}

void ZorvatrackApp::SetStatusText2(const QString& text) {
  if (statusText2_) SetFieldText(statusText2_, text);
}

void ZorvatrackApp::ClearFrameDisplay() {
  if (statusFrame_) statusFrame_->clear();
  if (statusText2_) statusText2_->clear();
  if (frameField_) frameField_->clear();
  if (frameSlider_) frameSlider_->setRange(0, 0);
}

void ZorvatrackApp::ChildActivated(QMdiSubWindow* child) {
  if (child || !mdiClient_) return;
  // The closing window is still listed while it deactivates: look once it has gone.
  QTimer::singleShot(0, mdiClient_, [this] {
    for (QMdiSubWindow* w : mdiClient_->subWindowList())
      if (dynamic_cast<DocumentChild*>(w->widget())) return;
    ClearFrameDisplay();
  });
}

void ZorvatrackApp::SetStatusText(const QString& text) {
  if (!mainWindow_) return;
  mainWindow_->statusBar()->showMessage(text);
  mainWindow_->statusBar()->repaint();
}

QLabel* ZorvatrackApp::StatusGadget(int id) const {
  if (id == ids::kStatusFrame) return statusFrame_;
  if (id == ids::kStatusText2) return statusText2_;
  return nullptr;
}

void ZorvatrackApp::CmExit() {
  if (mainWindow_) mainWindow_->close();
}

void ZorvatrackApp::CmHelpContents() { helpInUse_ = OpenHelp(kHelpContentsPage); }

void ZorvatrackApp::CmHowToUse() { helpInUse_ = OpenHelp(kHelpStepByStepPage); }

void ZorvatrackApp::CmContextHelp() { Apply(contextHelp_.Start()); }

void ZorvatrackApp::CmAbout() {
  ZorvatrackAboutDlg dialog(mainWindow_.get());
  dialog.Execute();
}

void ZorvatrackApp::CmSmartObjectPosition() { smartObjectPosition_ = !smartObjectPosition_; }

void ZorvatrackApp::CeSmartObjectPosition(platform::CommandEnabler& ce) {
  ce.Enable(true);
  ce.SetCheck(smartObjectPosition_ ? platform::CommandEnabler::kChecked
                                   : platform::CommandEnabler::kUnchecked);
}

void ZorvatrackApp::ShowHelpContext(int context) {
  HelpTopic topic = HelpTopicFor(context);
  OpenHelp(topic.page, topic.anchor);
}

bool ZorvatrackApp::OpenHelp(const std::string& page, const std::string& anchor) {
  if (!help_) help_ = std::make_unique<HelpWindow>(helpFolder_);
  return help_->ShowTopic({page, anchor});
}

bool ZorvatrackApp::FilterCommand(int id) {
  AppDecision decision = contextHelp_.Command(id, f1Down_);
  if (!decision.consumed) return false;
  EndHelpCursor();
  ShowHelpContext(decision.context);
  return true;
}

void ZorvatrackApp::Apply(const AppDecision& decision) {
  switch (decision.action) {
    case AppAction::kStartContextHelp:
    case AppAction::kChooseMenuItem:
      if (!helpCursorShown_) {
        QApplication::setOverrideCursor(Qt::WhatsThisCursor);
        helpCursorShown_ = true;
      }
      // Every command can be chosen now: choosing one shows its help page.
      actions_.SetAllEnabled(true);
      actions_.UpdateAll();
      break;
    case AppAction::kEndContextHelp:
      EndHelpCursor();
      break;
    case AppAction::kShowHelpContents:
      CmHelpContents();
      break;
    case AppAction::kShowHelpContext:
      EndHelpCursor();
      ShowHelpContext(decision.context);
      break;
    default:
      break;
  }
}

void ZorvatrackApp::EndHelpCursor() {
  if (helpCursorShown_) {
    QApplication::restoreOverrideCursor();
    helpCursorShown_ = false;
  }
  actions_.SetAllEnabled(false);
  if (mainWindow_) actions_.UpdateAll();
}

bool ZorvatrackApp::ClaimKey(QObject*, QKeyEvent* key) {
  if (QApplication::activeModalWidget()) return false;
  if (IsKey(key, Qt::Key_F1)) return true;
  if (IsKey(key, Qt::Key_Escape)) return contextHelp_.IsOn();
  if (IsKey(key, Qt::Key_Delete) && key->modifiers() == Qt::NoModifier)
    return frameField_ && QApplication::focusWidget() == frameField_;
  return false;
}

bool ZorvatrackApp::ProcessAppMsg(QObject* receiver, QKeyEvent* key) {
  if (QApplication::activeModalWidget()) return false;
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());

  if (IsKey(key, Qt::Key_F1)) {
    if (key->isAutoRepeat()) return true;
    f1Down_ = true;
    if (menu) {
      // F1 on a highlighted item asks for its help: choosing the item shows it.
      Apply(contextHelp_.F1InMenu());
      QAction* item = menu->activeAction();
      int id = platform::ActionRegistry::CommandId(item);
      if (id) {
        while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
        actions_.Execute(id);
      }
      return true;
    }
    Apply(contextHelp_.F1(key->modifiers() & Qt::ShiftModifier));
    return true;
  }
  // The other keys have their program-wide meaning in the main window, not in the help.
  if (menu || !InMainWindow(receiver, mainWindow_.get())) return false;

  if (IsKey(key, Qt::Key_Escape)) {
    AppDecision decision = contextHelp_.Esc();
    Apply(decision);
    return decision.consumed;
  }
  if (IsKey(key, Qt::Key_Return) || IsKey(key, Qt::Key_Enter)) {
    if (!frameField_) return false;
    DocumentChild* doc = ActiveChild();
    std::optional<int> count;
    if (doc) count = doc->MinFrameCount();
    EnterResult result = EnterFrameRule(frameField_->text().toStdString(), count);
    frameField_->setText(QString::fromStdString(result.fieldText));
    if (result.frame) platform::SendMessage(ActiveChildWidget(), ids::kMsgGoToFrame, *result.frame);
    return false;
  }
  if (IsKey(key, Qt::Key_Delete) && key->modifiers() == Qt::NoModifier && frameField_ &&
      receiver == frameField_) {
    // Edits the field only: Delete must never reach the Delete Object command from here.
    frameField_->del();
    return true;
  }
  return false;
}

int ProgramMain(int argc, char** argv, const std::function<int(ZorvatrackApp&)>& run) {
  // A refused allocation leaves the global store empty; its users test for that.
  g_Profile = new (std::nothrow) AnaProfile();
  g_Defaults = new (std::nothrow) DefaultValueStruct();
  if (g_Defaults && g_Profile) g_Defaults->Load();
  g_UnitsOrigin.Read();

  std::unique_ptr<ZorvatrackApp> app(new (std::nothrow) ZorvatrackApp);
  int result = 1;
  if (app) {
    g_App = app.get();
    app->SetPendingFileName(argc > 1 && argv[1] ? argv[1] : "");
    result = run ? run(*app) : app->Run();
  }

  g_UnitsOrigin.Write();
  if (g_Defaults && g_Profile) g_Defaults->Save();
  delete g_Defaults;
  g_Defaults = nullptr;
  delete g_Profile;
  g_Profile = nullptr;
  app.reset();
  return result;
}
