#pragma once

// The program-wide rules of the key and command pre-processing (ProcessAppMsg), kept free of
// windows so they can be checked on their own: context-help mode, the Enter rule of the frame
// field and the show state of the main window.

#include <optional>
#include <string>
#include <string_view>

// What the pre-processing does with one input.
enum class AppAction {
  kNone,               // let the input go on
  kShowHelpContext,    // open the help page of the context id
  kShowHelpContents,   // open the help contents
  kStartContextHelp,   // context-help mode just turned on: show the help cursor
  kEndContextHelp,     // context-help mode just turned off by Esc: back to the arrow cursor
  kSetHelpCursor,      // keep showing the help cursor
  kChooseMenuItem,     // choose the highlighted menu item (its command then shows its help)
  kGoToFrame,          // Enter: the frame field's number goes to the active document
  kDeleteInFrameField  // Delete in the frame field: edit the field
};

struct AppDecision {
  AppAction action = AppAction::kNone;
  bool consumed = false;
  int context = 0;  // help context of kShowHelpContext
};

// Context-help mode: off until Shift+F1, the Context Help command or F1 in an open menu; on until
// the next command (which shows its help page instead of running), Esc, or F1-initiated help.
class ContextHelpState {
 public:
  bool IsOn() const { return on_; }

  // A command about to run; f1Down tells whether F1 is held.
  AppDecision Command(int id, bool f1Down);
  // F1 pressed outside a menu.
  AppDecision F1(bool shift);
  // F1 pressed while a menu is open.
  AppDecision F1InMenu();
  // Esc pressed.
  AppDecision Esc();
  // Mouse moves and menus opening.
  AppDecision Pointer();
  // The Context Help command.
  AppDecision Start();

 private:
  bool on_ = false;
};

// The Enter rule of the frame field: with an active document, the decimal number at the start of
// the field (text that does not begin with one gives 0) clamped to 1 .. the document's smallest
// frame count, written back as "%d" and sent as the new frame; without a document the field is
// emptied and nothing is sent.
struct EnterResult {
  std::string fieldText;
  std::optional<int> frame;
};
EnterResult EnterFrameRule(std::string_view fieldText, std::optional<int> minFrameCount);

// The show state of the main window at start: minimised only when the desktop started the program
// minimised, maximised otherwise.
enum class ShowState { kMaximized, kMinimized };
ShowState MainWindowShowState(bool startedMinimized);
