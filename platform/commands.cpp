#include "platform/commands.h"

namespace platform {

const CommandEntry* CommandTarget::Find(int id, bool wantHandler) const {
  for (const CommandTable* table = &Commands(); table; table = table->base) {
    for (const CommandEntry& e : table->entries) {
      if (!e.Covers(id)) continue;
      if (wantHandler ? e.handler != nullptr : e.enabler != nullptr) return &e;
    }
  }
  return nullptr;
}

bool CommandTarget::DispatchCommand(int id) {
  const CommandEntry* e = Find(id, true);
  if (!e) return false;
  e->handler(*this, id);
  return true;
}

bool CommandTarget::DispatchEnabler(CommandEnabler& ce) {
  const CommandEntry* e = Find(ce.id, false);
  if (!e) return false;
  e->enabler(*this, ce);
  return true;
}

bool CommandTarget::HasHandler(int id) const { return Find(id, true) != nullptr; }

bool RouteCommand(const CommandChain& chain, int id) {
  for (CommandTarget* target : chain)
    if (target && target->DispatchCommand(id)) return true;
  return false;
}

CommandEnabler QueryCommand(const CommandChain& chain, int id) {
  CommandEnabler ce(id);
  for (CommandTarget* target : chain)
    if (target && target->DispatchEnabler(ce)) return ce;
  bool handled = false;
  for (CommandTarget* target : chain)
    if (target && target->HasHandler(id)) handled = true;
  ce.Enable(handled);
  return ce;
}

}  // namespace platform
