#pragma once

// Application: what the image, object and analysis subsystems use of the application object
// (ZorvatrackApp, app/zorvatrackapp.h, implements it). TheApplication() is null while no
// application runs, as in tests of the logic alone; every caller tests it.

class Document;
class QMainWindow;
class QString;
class QToolBar;

namespace platform {
class ActionRegistry;
class Library;
}  // namespace platform

class Application {
 public:
  virtual ~Application() = default;

  // Parent of modal dialogs and source of the abort button's input.
  virtual QMainWindow* MainWindow() const = 0;
  // Where the abort button of long work goes.
  virtual QToolBar* Toolbar() const = 0;
  // The actions of every command, for context menus.
  virtual platform::ActionRegistry& Actions() = 0;
  // The active document window's document, or null.
  virtual Document* GetActiveDocument() const = 0;
  // The second field of the status bar (the image view's position read-out).
  virtual void SetStatusText2(const QString& text) = 0;
  // The status bar's message area (progress of work that runs beside the interface); empty
  // clears it.
  virtual void SetStatusText(const QString& text) = 0;
  // Realises the active document's palette (a view calls it when it gets the focus).
  virtual bool EvQueryNewPalette() = 0;
  // Toggled by command 25107; read by the image view.
  virtual bool SmartObjectPosition() const = 0;
  // Not 0 while a window is printed or previewed.
  virtual int PrintCounter() const = 0;
};

Application* TheApplication();
void SetApplication(Application* application);

// The object-model library of the running program; null when none is loaded (the program never
// loads it itself).
platform::Library* ObjectModelLibrary();
void SetObjectModelLibrary(platform::Library* library);
