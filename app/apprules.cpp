#include "app/apprules.h"

#include <algorithm>

#include "platform/numbers.h"

namespace {
// The frame field is read no further than this many characters.
constexpr std::size_t kFrameFieldRead = 100;
}  // namespace

AppDecision ContextHelpState::Command(int id, bool f1Down) {
  if (!on_ && !f1Down) return {};
  on_ = false;
  return {AppAction::kShowHelpContext, true, id};
}

AppDecision ContextHelpState::F1(bool shift) {
  if (shift) return Start();
  return {AppAction::kShowHelpContents, true, 0};
}

AppDecision ContextHelpState::F1InMenu() {
  on_ = true;
  return {AppAction::kChooseMenuItem, true, 0};
}

AppDecision ContextHelpState::Esc() {
  if (!on_) return {};
  on_ = false;
  return {AppAction::kEndContextHelp, true, 0};
}

AppDecision ContextHelpState::Pointer() {
  if (!on_) return {};
  return {AppAction::kSetHelpCursor, true, 0};
}

AppDecision ContextHelpState::Start() {
  on_ = true;
  return {AppAction::kStartContextHelp, true, 0};
}

EnterResult EnterFrameRule(std::string_view fieldText, std::optional<int> minFrameCount) {
  if (!minFrameCount) return {std::string(), std::nullopt};
  long frame = platform::ParseLong(fieldText.substr(0, kFrameFieldRead));
  frame = std::max(frame, 1L);
  frame = std::min(frame, static_cast<long>(*minFrameCount));
  int result = static_cast<int>(frame);
  return {std::to_string(result), result};
}

ShowState MainWindowShowState(bool startedMinimized) {
  return startedMinimized ? ShowState::kMinimized : ShowState::kMaximized;
}
