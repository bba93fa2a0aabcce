// The shell's rules without windows: the Enter rule of the frame field, context-help mode,
// bitmap-button repeat timing on a fake clock, window placement, the help map and the entries of
// the Window menu's list of windows.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "app/apprules.h"
#include "app/helpmap.h"
#include "app/placewindow.h"
#include "app/ui/menu100.h"
#include "app/windowlist.h"
#include "base/buttonrules.h"

namespace {

TEST(EnterRule, ClampsTheFieldToTheDocumentsFrames) {
  struct Case {
    const char* field;
    int minFrames;
    int frame;
  };
  const Case cases[] = {
      {"0", 250, 1},     {"99999", 250, 250}, {"17", 250, 17},
      {"250", 250, 250}, {"12abc", 250, 12},  {"", 250, 1},
      {"abc", 250, 1},   {"-5", 250, 1},      {"99999999999999999999", 250, 250},
  };
  for (const Case& c : cases) {
    EnterResult r = EnterFrameRule(c.field, c.minFrames);
    ASSERT_TRUE(r.frame) << c.field;
    EXPECT_EQ(*r.frame, c.frame) << c.field;
    EXPECT_EQ(r.fieldText, std::to_string(c.frame)) << c.field;
  }
}

TEST(EnterRule, WithoutDocumentEmptiesTheField) {
  EnterResult r = EnterFrameRule("42", std::nullopt);
  EXPECT_FALSE(r.frame);
  EXPECT_EQ(r.fieldText, "");
}

TEST(ContextHelp, CommandShowsItsHelpInsteadOfRunningOnce) {
  ContextHelpState help;
  EXPECT_FALSE(help.Command(25107, false).consumed);  // off: commands run

  AppDecision start = help.F1(true);  // Shift+F1
  EXPECT_EQ(start.action, AppAction::kStartContextHelp);
  EXPECT_TRUE(help.IsOn());
  EXPECT_EQ(help.Pointer().action, AppAction::kSetHelpCursor);

  AppDecision d = help.Command(25107, false);
  EXPECT_TRUE(d.consumed);
  EXPECT_EQ(d.action, AppAction::kShowHelpContext);
  EXPECT_EQ(d.context, 25107);
  EXPECT_FALSE(help.IsOn());
  EXPECT_FALSE(help.Command(25107, false).consumed);  // the next one runs again
}

TEST(ContextHelp, EscLeavesTheModeAndIsOtherwisePassedOn) {
  ContextHelpState help;
  EXPECT_FALSE(help.Esc().consumed);  // Esc belongs to the views then
  help.Start();
  AppDecision d = help.Esc();
  EXPECT_TRUE(d.consumed);
  EXPECT_EQ(d.action, AppAction::kEndContextHelp);
  EXPECT_FALSE(help.IsOn());
  EXPECT_FALSE(help.Pointer().consumed);
}

TEST(ContextHelp, F1HeldOrInMenuTurnsTheChosenCommandIntoHelp) {
  ContextHelpState help;
  AppDecision contents = help.F1(false);
  EXPECT_EQ(contents.action, AppAction::kShowHelpContents);
  EXPECT_FALSE(help.IsOn());
  // F1 held down while a command comes in.
  AppDecision held = help.Command(24310, true);
  EXPECT_EQ(held.action, AppAction::kShowHelpContext);
  EXPECT_EQ(held.context, 24310);
  // F1 in an open menu: the highlighted item is chosen and shows its help.
  EXPECT_EQ(help.F1InMenu().action, AppAction::kChooseMenuItem);
  EXPECT_TRUE(help.IsOn());
  EXPECT_EQ(help.Command(25001, false).context, 25001);
  EXPECT_FALSE(help.IsOn());
}

TEST(ShowState, MaximisedUnlessStartedMinimised) {
  EXPECT_EQ(MainWindowShowState(false), ShowState::kMaximized);
  EXPECT_EQ(MainWindowShowState(true), ShowState::kMinimized);
}

// Periodic timers on a clock the test moves.
class FakeClock : public RepeatTimers {
 public:
  void Start(int id, int ms) override { timers_[id] = {ms, now_ + ms}; }
  void Stop(int id) override { timers_.erase(id); }
  void AdvanceTo(long t, AutoRepeat& button) {
    for (;;) {
      auto next = timers_.end();
      for (auto it = timers_.begin(); it != timers_.end(); ++it)
        if (it->second.due <= t && (next == timers_.end() || it->second.due < next->second.due))
          next = it;
      if (next == timers_.end()) break;
      now_ = next->second.due;
      next->second.due += next->second.interval;
      button.Timer(next->first);
    }
    now_ = t;
  }
  bool Running() const { return !timers_.empty(); }

 private:
  struct Timer {
    int interval;
    long due;
  };
  std::map<int, Timer> timers_;
  long now_ = 0;
};

TEST(BitmapButtonRepeat, SendsAtOnceThenAfterTheFirstDelayThenEveryInterval) {
  struct Case {
    unsigned style;
    int first;
    int interval;
  };
  const Case cases[] = {
      {0x2000, 350, 40}, {0x1000, 600, 100}, {0x4000, 200, 10}, {0x5000, 600, 100}};
  for (const Case& c : cases) {
    FakeClock clock;
    int sent = 0;
    AutoRepeat button(25540, c.style, clock, [&sent] { ++sent; });
    button.Press();
    EXPECT_EQ(sent, 1) << std::hex << c.style;
    button.Move(true);
    clock.AdvanceTo(c.first - 1, button);
    EXPECT_EQ(sent, 1) << std::hex << c.style;
    clock.AdvanceTo(c.first, button);
    EXPECT_EQ(sent, 2) << std::hex << c.style;
    clock.AdvanceTo(c.first + c.interval - 1, button);
    EXPECT_EQ(sent, 2) << std::hex << c.style;
    clock.AdvanceTo(c.first + 3 * c.interval, button);
    EXPECT_EQ(sent, 5) << std::hex << c.style;
    button.Release();
    EXPECT_FALSE(clock.Running());
    clock.AdvanceTo(100000, button);
    EXPECT_EQ(sent, 5) << std::hex << c.style;
  }
}

TEST(BitmapButtonRepeat, DraggingOffPausesTheCommandsButNotTheTimers) {
  FakeClock clock;
  int sent = 0;
  AutoRepeat button(25545, 0x2000, clock, [&sent] { ++sent; });
  button.Press();
  button.Move(false);
  clock.AdvanceTo(1000, button);
  EXPECT_EQ(sent, 1);
  EXPECT_TRUE(clock.Running());
  button.Move(true);
  clock.AdvanceTo(1049, button);
  EXPECT_EQ(sent, 1);
  clock.AdvanceTo(1050, button);  // the first timer kept its 350 ms period while outside
  EXPECT_EQ(sent, 2);
  clock.AdvanceTo(1090, button);
  EXPECT_EQ(sent, 3);
  button.DoubleClick();  // repeats at once
  EXPECT_EQ(sent, 4);
}

TEST(ButtonRules, FlatBorderAndBitmapByState) {
  EXPECT_EQ(FlatBorderFor(false, true, false, true), FlatBorder::kNone);
  EXPECT_EQ(FlatBorderFor(true, true, false, true), FlatBorder::kRaised);
  EXPECT_EQ(FlatBorderFor(true, false, false, true), FlatBorder::kNone);
  EXPECT_EQ(FlatBorderFor(true, true, true, true), FlatBorder::kSunken);
  EXPECT_EQ(FlatBorderFor(false, true, false, false), FlatBorder::kSunken);

  EXPECT_EQ(BitmapForState(100, 0, true, true, false, false), 102);
  EXPECT_EQ(BitmapForState(100, 0, false, true, true, false), 101);
  EXPECT_EQ(BitmapForState(100, 0, false, false, true, false), 103);
  EXPECT_EQ(BitmapForState(100, 0, false, false, false, true), 104);
  EXPECT_EQ(BitmapForState(100, bbs::kSingleBitmap, true, true, false, false), 100);

  int dx = -1, dy = -1;
  PlacementOffset(0x24, 100, 50, 21, 10, dx, dy);  // right, centre
  EXPECT_EQ(dx, 79);
  EXPECT_EQ(dy, 20);
  PlacementOffset(0x33, 100, 50, 21, 10, dx, dy);
  EXPECT_EQ(dx, 0);
  EXPECT_EQ(dy, 0);
}

TEST(PlaceWindow, BesideBelowOrCentredAndKeptOnTheScreen) {
  const int w = 1280, h = 1024;
  // Mode 2 at the right edge goes to the left of the reference.
  ScreenPoint p = PlaceRect({0, 0, 200, 100}, {1000, 300, 1280, 500}, kPlaceRight, w, h);
  EXPECT_EQ(p.x, 800);
  EXPECT_EQ(p.y, 300);
  // Mode 3 at the bottom goes above the reference.
  p = PlaceRect({0, 0, 200, 100}, {100, 900, 400, 1024}, kPlaceBelow, w, h);
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 800);
  // Centred, larger than the reference: up and left by half the difference.
  p = PlaceRect({0, 0, 301, 200}, {500, 400, 600, 500}, kPlaceCentre, w, h);
  EXPECT_EQ(p.x, 400);
  EXPECT_EQ(p.y, 350);
  // A window wider than the screen ends at the left edge; unknown modes centre.
  p = PlaceRect({0, 0, 1500, 100}, {600, 400, 700, 500}, 9, w, h);
  EXPECT_EQ(p.x, 0);
  EXPECT_EQ(p.y, 400);
}

std::string HelpPage(const std::string& page) {
  std::ifstream in(std::filesystem::path(ZORVAT_SOURCE_DIR) / "resources/help" / page);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void ExpectHelpPlace(int id) {
  HelpTopic topic = HelpTopicFor(id);
  std::string text = HelpPage(topic.page);
  ASSERT_FALSE(text.empty()) << id << " " << topic.page;
  if (!topic.anchor.empty()) {
    EXPECT_NE(text.find("name=\"" + topic.anchor + "\""), std::string::npos)
        << id << " " << topic.Url();
  }
}

TEST(HelpMap, EveryMenuCommandHasAPageWithItsParagraph) {
  for (int i = 0; i < kMenu100Size; ++i) {
    const MenuEntry& e = kMenu100[i];
    if (e.kind == MenuRow::kItem) ExpectHelpPlace(e.id);
  }
  // The Help buttons of the dialogs.
  for (int context : {35001, 35004, 35005, 35006, 35007, 35008, 35009, 35010, 35011, 35014, 35016,
                      35018, 35019, 35020, 35021, 1600}) {
    ExpectHelpPlace(context);
    EXPECT_NE(HelpTopicFor(context).page, kHelpContentsPage) << context;
  }
  EXPECT_EQ(HelpTopicFor(-7).page, kHelpContentsPage);
  EXPECT_EQ(HelpTopicFor(20390).Url(), "dialogs.html#d20390");
  EXPECT_FALSE(HelpPage(kHelpStepByStepPage).empty());
}

TEST(WindowList, NumbersTheFirstNineAsKeysAndShowsAmpersandsAsThemselves) {
  struct Case {
    int number;
    const char* title;
    const char* entry;
  };
  const Case cases[] = {
      {1, "walk", "&1 walk"},
      {9, "3. Analysis / walk", "&9 3. Analysis / walk"},
      {10, "walk", "10 walk"},
      {2, "jump & run", "&2 jump && run"},
      {3, "&&", "&3 &&&&"},
      {4, "", "&4 "},
  };
  for (const Case& c : cases) EXPECT_EQ(WindowListEntry(c.number, c.title), c.entry) << c.title;
}

}  // namespace
