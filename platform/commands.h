#pragma once

// Command routing. Every command target (view, document, MDI client, main window, application,
// document manager) has one static table of entries: a command id (or id range), its handler and
// its enabler. A command goes along a chain of targets and is handled by the first that lists a
// handler for it. Enabling asks the first target in the chain with an enabler for the command;
// without one, the command is enabled exactly when some target in the chain handles it.

#include <optional>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace platform {

// What an enabler says about its command: enabled, check state, and optionally a new text.
struct CommandEnabler {
  enum Check { kUnchanged = -1, kUnchecked = 0, kChecked = 1, kIndeterminate = 2 };

  explicit CommandEnabler(int commandId) : id(commandId) {}
  void Enable(bool on = true) { enabled = on; }
  void SetCheck(int state) { check = state; }
  void SetText(std::string newText) { text = std::move(newText); }

  int id;
  bool enabled = true;
  int check = kUnchanged;
  std::optional<std::string> text;
};

class CommandTarget;

struct CommandEntry {
  int first;
  int last;
  void (*handler)(CommandTarget&, int id);
  void (*enabler)(CommandTarget&, CommandEnabler&);

  bool Covers(int id) const { return id >= first && id <= last; }
};

// A class's table; base points to the table of the class it derives from, which is searched
// after its own entries.
struct CommandTable {
  std::span<const CommandEntry> entries;
  const CommandTable* base = nullptr;
};

class CommandTarget {
 public:
  virtual ~CommandTarget() = default;
  virtual const CommandTable& Commands() const = 0;

  // Runs the handler of id; false when this target has none.
  bool DispatchCommand(int id);
  // Runs the enabler of id into ce; false when this target has none.
  bool DispatchEnabler(CommandEnabler& ce);
  bool HasHandler(int id) const;

 private:
  const CommandEntry* Find(int id, bool wantHandler) const;
};

namespace detail {
template <typename M>
struct MemberClass;
template <typename C, typename R, typename... A>
struct MemberClass<R (C::*)(A...)> {
  using type = C;
};
template <auto M>
using ClassOf = typename MemberClass<decltype(M)>::type;

template <auto H>
void CallHandler(CommandTarget& target, int id) {
  auto& self = static_cast<ClassOf<H>&>(target);
  if constexpr (std::is_invocable_v<decltype(H), ClassOf<H>&, int>) {
    (self.*H)(id);
  } else {
    (void)id;
    (self.*H)();
  }
}

template <auto E>
void CallEnabler(CommandTarget& target, CommandEnabler& ce) {
  (static_cast<ClassOf<E>&>(target).*E)(ce);
}
}  // namespace detail

// Table entries: Command<&T::CmX>(id), Command<&T::CmX, &T::CeX>(id),
// CommandRange<&T::CmX>(first, last) whose handler takes the id, Enabler<&T::CeX>(id).
template <auto H>
constexpr CommandEntry Command(int id) {
  return {id, id, &detail::CallHandler<H>, nullptr};
}
template <auto H, auto E>
constexpr CommandEntry Command(int id) {
  return {id, id, &detail::CallHandler<H>, &detail::CallEnabler<E>};
}
template <auto H>
constexpr CommandEntry CommandRange(int first, int last) {
  return {first, last, &detail::CallHandler<H>, nullptr};
}
template <auto H, auto E>
constexpr CommandEntry CommandRange(int first, int last) {
  return {first, last, &detail::CallHandler<H>, &detail::CallEnabler<E>};
}
template <auto E>
constexpr CommandEntry Enabler(int id) {
  return {id, id, nullptr, &detail::CallEnabler<E>};
}
template <auto E>
constexpr CommandEntry EnablerRange(int first, int last) {
  return {first, last, nullptr, &detail::CallEnabler<E>};
}

using CommandChain = std::vector<CommandTarget*>;

// Sends id along the chain (null targets are skipped); false when nobody handles it.
bool RouteCommand(const CommandChain& chain, int id);

// Asks the chain whether id is enabled, checked, or has a new text.
CommandEnabler QueryCommand(const CommandChain& chain, int id);

}  // namespace platform
