#pragma once

// One QAction per command id. Menus, toolbar buttons and accelerators all show the same action;
// triggering it routes the command along the current chain, and the enabler pass greys, checks
// and renames actions from that chain's answers. The status hint and the tooltip come from the
// command's string: the text before the first line break is the hint, the rest the tooltip.

#include <QObject>

#include <functional>
#include <map>

#include "platform/commands.h"

class QAction;
class QMenu;

namespace platform {

class ActionRegistry : public QObject {
  Q_OBJECT
 public:
  using ChainProvider = std::function<CommandChain()>;

  explicit ActionRegistry(QObject* parent = nullptr);

  // The chain that commands take right now (focused view first, document manager last).
  void SetChainProvider(ChainProvider provider) { chain_ = std::move(provider); }

  // Makes the action of command id with its menu text; a second action for one id is an error
  // (std::logic_error).
  QAction* Add(int id, const QString& text);
  // The action of id, or null.
  QAction* Get(int id) const;
  // The command id an action carries (0 for actions of no command).
  static int CommandId(const QAction* action);

  // Sends id along the current chain; false when nobody handled it.
  bool Execute(int id);

  // The enabler pass over every action, or over the actions of one menu when it is about to show.
  void UpdateAll();
  void Update(QMenu* menu);
  void Update(QAction* action);

  // Runs the enabler pass for a menu each time it is about to show.
  void WatchMenu(QMenu* menu);

  // Sees every command before it is routed; true consumes it (it is then not executed).
  void SetCommandFilter(std::function<bool(int id)> filter) { filter_ = std::move(filter); }
  // While on, the enabler pass leaves every action enabled (checks and texts still follow the
  // enablers), so that any command can be chosen, for example to show its help.
  void SetAllEnabled(bool on) { allEnabled_ = on; }

 private:
  ChainProvider chain_;
  std::function<bool(int id)> filter_;
  bool allEnabled_ = false;
  std::map<int, QAction*> actions_;
};

// Hint (status bar) and tooltip of a command string "hint\ntooltip".
struct CommandHelpText {
  QString hint;
  QString tooltip;
};
CommandHelpText SplitCommandString(int id);

}  // namespace platform
