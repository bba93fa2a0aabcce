// Private messages, idle processing, actions and table dialogs inside a running QApplication.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <vector>

#include "platform/events.h"
#include "platform/idle.h"
#include "platform/library.h"
#include "platform/ui/actions.h"
#include "platform/ui/table_dialog.h"

namespace {

class Receiver : public QObject {
 public:
  bool event(QEvent* e) override {
    if (auto* m = platform::AsMessage(e)) {
      received.push_back(m->message);
      m->result = m->wParam + m->lParam;
      return true;
    }
    return QObject::event(e);
  }
  std::vector<int> received;
};

TEST(Messages, SendIsSynchronousAndPostIsQueued) {
  Receiver r;
  EXPECT_EQ(platform::SendMessage(&r, 26000, 40, 2), 42);
  platform::PostMessage(&r, 24371);
  platform::PostMessage(&r, 24372);
  EXPECT_EQ(r.received, std::vector<int>{26000});
  QCoreApplication::processEvents();
  EXPECT_EQ(r.received, (std::vector<int>{26000, 24371, 24372}));
  EXPECT_EQ(platform::SendMessage(nullptr, 26000), 0);
}

TEST(Idle, CallsWhileAskedThenSleepsUntilWoken) {
  std::vector<long> counts;
  platform::IdleDriver idle([&](long count) {
    counts.push_back(count);
    return count < 2;
  });
  EXPECT_TRUE(QTest::qWaitFor([&] { return counts.size() >= 3; }, 3000));
  QTest::qWait(50);
  EXPECT_EQ(counts, (std::vector<long>{0, 1, 2}));
  EXPECT_FALSE(idle.IsRunning());
  idle.Wake();
  EXPECT_TRUE(QTest::qWaitFor([&] { return counts.size() >= 6; }, 3000));
  QTest::qWait(50);
  EXPECT_EQ(counts, (std::vector<long>{0, 1, 2, 0, 1, 2}));
}

TEST(Library, LooksUpFunctionsByName) {
  platform::Library libm("libm.so.6");
  ASSERT_TRUE(libm.IsLoaded()) << libm.Error();
  auto cosine = libm.Function<double (*)(double)>("cos");
  ASSERT_NE(cosine, nullptr);
  EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
  EXPECT_EQ(libm.Symbol("no_such_function_here"), nullptr);
  platform::Library missing("libzorvat-no-such-library.so");
  EXPECT_FALSE(missing.IsLoaded());
  EXPECT_FALSE(missing.Error().empty());
  EXPECT_EQ(missing.Symbol("cos"), nullptr);
}

class Player : public platform::CommandTarget {
 public:
  const platform::CommandTable& Commands() const override;
  void CmPlay() { ++plays; }
  void CePlay(platform::CommandEnabler& ce) { ce.Enable(canPlay); }
  int plays = 0;
  bool canPlay = false;
};
constexpr platform::CommandEntry kPlayerEntries[] = {
    platform::Command<&Player::CmPlay, &Player::CePlay>(24041)};
const platform::CommandTable kPlayerTable{kPlayerEntries};
const platform::CommandTable& Player::Commands() const { return kPlayerTable; }

TEST(Actions, CarryCommandIdsRouteAndAreGreyedByEnablers) {
  Player player;
  platform::ActionRegistry registry;
  registry.SetChainProvider([&] { return platform::CommandChain{&player}; });
  QAction* play = registry.Add(24041, "&Play");
  QAction* other = registry.Add(24042, "&Other");
  EXPECT_THROW(registry.Add(24041, "again"), std::logic_error);
  EXPECT_EQ(platform::ActionRegistry::CommandId(play), 24041);
  registry.UpdateAll();
  EXPECT_FALSE(play->isEnabled());
  EXPECT_FALSE(other->isEnabled());
  player.canPlay = true;
  QMenu menu;
  menu.addAction(play);
  registry.Update(&menu);
  EXPECT_TRUE(play->isEnabled());
  play->trigger();
  EXPECT_EQ(player.plays, 1);
}

const platform::ControlSpec kControls[] = {
    {20012, platform::ControlKind::kLabel, "Text", 0, 0},
    {3, platform::ControlKind::kPushButton, "Apply", 1, 0},
    {1, platform::ControlKind::kDefPushButton, "OK"},
    {2, platform::ControlKind::kPushButton, "Cancel"},
    {6, platform::ControlKind::kPushButton, "Yes"},
};

class ProbeDialog : public platform::TableDialog {
 public:
  ProbeDialog() : TableDialog(nullptr, "Probe", kControls) {}
  std::vector<int> commands;
  bool allowClose = true;

 protected:
  void OnCommand(int id) override { commands.push_back(id); }
  bool CanClose() override { return allowClose; }
};

// Presses a key or a button once the modal loop runs.
int RunWith(ProbeDialog& dialog, std::function<void()> action) {
  QTimer::singleShot(0, &dialog, action);
  return dialog.Execute();
}

TEST(TableDialog, ControlsAreFoundByIdAndButtonsGiveTheirResults) {
  ProbeDialog dialog;
  ASSERT_NE(dialog.ControlAs<QLabel>(20012), nullptr);
  EXPECT_EQ(dialog.ControlAs<QLabel>(20012)->text(), "Text");
  EXPECT_EQ(dialog.Control(20012)->objectName(), "20012");
  EXPECT_EQ(RunWith(dialog, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); }), 2);
  EXPECT_EQ(RunWith(dialog, [&] {
              dialog.ControlAs<QPushButton>(3)->click();
              dialog.ControlAs<QPushButton>(6)->click();
            }),
            6);
  EXPECT_EQ(dialog.commands, std::vector<int>{3});
  dialog.allowClose = false;
  EXPECT_EQ(RunWith(dialog, [&] {
              dialog.ControlAs<QPushButton>(1)->click();  // refused: the dialog stays
              dialog.ControlAs<QPushButton>(2)->click();
            }),
            2);
}

}  // namespace
