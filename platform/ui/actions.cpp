#include "platform/ui/actions.h"

#include <QAction>
#include <QMenu>

#include <stdexcept>
#include <string>

#include "platform/strings.h"

namespace platform {

ActionRegistry::ActionRegistry(QObject* parent) : QObject(parent) {}

CommandHelpText SplitCommandString(int id) {
  QString text = QString::fromUtf8(LoadString(id).data(), LoadString(id).size());
  int brk = text.indexOf('\n');
  if (brk < 0) return {text, QString()};
  return {text.left(brk), text.mid(brk + 1)};
}

QAction* ActionRegistry::Add(int id, const QString& text) {
  if (actions_.count(id)) throw std::logic_error("command id " + std::to_string(id) + " twice");
  auto* action = new QAction(text, this);
  action->setData(id);
  CommandHelpText help = SplitCommandString(id);
  action->setStatusTip(help.hint);
  action->setToolTip(help.tooltip.isEmpty() ? help.hint : help.tooltip);
  connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
  actions_[id] = action;
  return action;
}

QAction* ActionRegistry::Get(int id) const {
  auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

int ActionRegistry::CommandId(const QAction* action) { return action ? action->data().toInt() : 0; }

bool ActionRegistry::Execute(int id) {
  if (filter_ && filter_(id)) return true;
  if (!chain_) return false;
  return RouteCommand(chain_(), id);
}

void ActionRegistry::Update(QAction* action) {
  int id = CommandId(action);
  if (!id || !chain_) return;
  CommandEnabler ce = QueryCommand(chain_(), id);
  action->setEnabled(ce.enabled || allEnabled_);
  if (ce.check != CommandEnabler::kUnchanged) {
    action->setCheckable(true);
    action->setChecked(ce.check == CommandEnabler::kChecked);
  }
  if (ce.text) action->setText(QString::fromStdString(*ce.text));
}

void ActionRegistry::UpdateAll() {
  for (auto& [id, action] : actions_) Update(action);
}

void ActionRegistry::Update(QMenu* menu) {
  for (QAction* action : menu->actions()) Update(action);
}

void ActionRegistry::WatchMenu(QMenu* menu) {
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { Update(menu); });
}

}  // namespace platform
