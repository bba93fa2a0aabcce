#pragma once

// ZorvatrackApp: the one application object. It builds the MDI main window with menu 100, the
// dockable toolbar and the status bar, owns the document manager, pre-processes the program's
// keys and commands (context help, Enter in any window, Delete in the frame field), drives idle
// time and opens the help. ProgramMain runs start-up and shutdown in their fixed order.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <string>

#include "app/apprules.h"
#include "app/resource.h"
#include "base/application.h"
#include "platform/commands.h"
#include "platform/idle.h"
#include "platform/library.h"
#include "platform/ui/actions.h"
#include "platform/ui/keyfilter.h"

class QKeyEvent;
class QLabel;
class QMainWindow;
class QMdiSubWindow;
class QToolBar;
class FrameEdit;
class FrameScrollBar;
class HelpWindow;
class MyDocManager;
class MyTPrinter;
class WindowListMenu;
class DocumentChild;
class QWidget;
class ZorvatrackMDIClient;

class ZorvatrackApp : public QObject, public platform::CommandTarget, public Application {
  Q_OBJECT
 public:
  ZorvatrackApp();
  ~ZorvatrackApp() override;

  const platform::CommandTable& Commands() const override;

  // The first command-line argument, loaded once the main window shows; empty for none.
  void SetPendingFileName(std::string name) { pendingFileName_ = std::move(name); }
  const std::string& PendingFileName() const { return pendingFileName_; }
  void SetStartedMinimized(bool on) { startedMinimized_ = on; }

  // Instance initialisation, then the message loop; returns the loop's exit code.
  int Run();
  // Builds and shows the main window, then loads the pending file.
  void InitInstance();
  void InitMainWindow();
  // True when every document agrees to close; then the help windows close too.
  bool CanClose();
  // The idle step: enablers of the toolbar, then playback; true asks for more idle time.
  bool IdleAction(long count);
  // The key pre-processing of the whole program; true when the key was consumed.
  bool ProcessAppMsg(QObject* receiver, QKeyEvent* key);

  // The active document, or null: that of the active document window, or of the active
  // analysis window. ActiveChild is the document window that shows it (also while one of its
  // analysis windows is in front), ActiveChildWidget that window as a widget (the receiver of
  // frame changes).
  Resource* GetActiveDocument() const override;
  DocumentChild* ActiveChild() const;
  QWidget* ActiveChildWidget() const;
  // Shows the frame in the status bar, the frame field and the slider; the slider's range
  // becomes first..last unless last < first.
  void ShowFrame(int frame, int first, int last);
  void SetStatusText2(const QString& text = QString()) override;
  // Empties the frame field, the slider and the status fields (no document is left).
  void ClearFrameDisplay();
  void SetStatusText(const QString& text = QString()) override;

  // Palette messages: the program always runs on a true-colour display, where no palette has to
  // be realised or re-mapped, so these have nothing to do.
  bool EvQueryNewPalette() override { return false; }
  void EvPaletteChanged(QObject*) {}
  void BroadcastPaletteChanged(QObject*) {}

  void CmExit();
  void CmHelpContents();
  void CmHowToUse();
  void CmContextHelp();
  void CmAbout();
  void CmSmartObjectPosition();
  void CeSmartObjectPosition(platform::CommandEnabler& ce);

  // The help page of a context id (commands and dialogs' Help buttons).
  void ShowHelpContext(int context);

  // The chain a command takes now: active document or analysis window, MDI client, application,
  // document manager.
  platform::CommandChain Chain();

  QMainWindow* MainWindow() const override { return mainWindow_.get(); }
  QToolBar* Toolbar() const override { return toolbar_; }
  FrameScrollBar* FrameSlider() const { return frameSlider_; }
  FrameEdit* FrameField() const { return frameField_; }
  ZorvatrackMDIClient* MDIClient() const { return mdiClient_; }
  MyDocManager* DocManager() const { return docManager_.get(); }
  QLabel* StatusGadget(int id) const;
  HelpWindow* Help() const { return help_.get(); }
  // The list of open windows at the end of the Window menu.
  WindowListMenu* WindowList() const { return windowList_; }
  platform::ActionRegistry& Actions() override { return actions_; }
  platform::Library& ObjectModelLibrary() { return objectModelLibrary_; }
  bool HelpInUse() const { return helpInUse_; }
  bool ContextHelpMode() const { return contextHelp_.IsOn(); }
  bool SmartObjectPosition() const override { return smartObjectPosition_; }
  int PrintCounter() const override { return printCounter_; }
  void RaisePrintCounter() { ++printCounter_; }
  void LowerPrintCounter() { --printCounter_; }
  // The one printer, made on first use.
  MyTPrinter& Printer();

 private:
  void DockToolbar();
  void BuildToolbar(QToolBar* bar, bool omitLoad);
  bool ClaimKey(QObject* receiver, QKeyEvent* key);
  bool FilterCommand(int id);
  void Apply(const AppDecision& decision);
  bool OpenHelp(const std::string& page, const std::string& anchor = std::string());
  void EndHelpCursor();
  void ChildActivated(QMdiSubWindow* child);
  // The widget of the current MDI child, or null.
  QWidget* CurrentChildWidget() const;
  // The open document the current analysis window shows, or null.
  Resource* AnalysisWindowDocument() const;

  bool helpInUse_ = false;
  ContextHelpState contextHelp_;
  bool helpCursorShown_ = false;
  bool f1Down_ = false;
  FrameScrollBar* frameSlider_ = nullptr;
  FrameEdit* frameField_ = nullptr;
  std::unique_ptr<MyDocManager> docManager_;
  platform::Library objectModelLibrary_;
  bool smartObjectPosition_ = false;
  ZorvatrackMDIClient* mdiClient_ = nullptr;
  int printCounter_ = 0;
  std::unique_ptr<MyTPrinter> printer_;
  QToolBar* toolbar_ = nullptr;
  WindowListMenu* windowList_ = nullptr;
  QString helpFolder_;
  std::string pendingFileName_;
  bool startedMinimized_ = false;

  platform::ActionRegistry actions_;
  platform::AppKeyFilter keys_;
  std::unique_ptr<platform::IdleDriver> idle_;
  std::unique_ptr<QMainWindow> mainWindow_;
  std::unique_ptr<HelpWindow> help_;
  QLabel* statusFrame_ = nullptr;
  QLabel* statusText2_ = nullptr;
};

// The application object while it lives, else null.
extern ZorvatrackApp* g_App;

// The program entry after the QApplication exists: makes the settings store, the defaults and
// the units, then the application with the pending file name, runs it (run replaces the message
// loop, for tests) and writes the units and defaults back before everything is released.
int ProgramMain(
    int argc, char** argv,
    const std::function<int(ZorvatrackApp&)>& run = std::function<int(ZorvatrackApp&)>());
