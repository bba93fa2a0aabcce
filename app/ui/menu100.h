#pragma once

// Menu 100 and accelerator table 100 of the main window, as data, and their builders.

#include <QKeyCombination>

class QMenuBar;
class QWidget;

namespace platform {
class ActionRegistry;
}

enum class MenuRow { kPopup, kEnd, kItem, kSeparator };

struct MenuEntry {
  MenuRow kind;
  int id;            // command of an item
  const char* text;  // item or popup text; "\t" separates the shown key
};

struct AccelEntry {
  QKeyCombination key;
  int id;
};

extern const MenuEntry kMenu100[];
extern const int kMenu100Size;
extern const AccelEntry kAccel100[];
extern const int kAccel100Size;

// Makes the action of every item (one per command id) and fills the menu bar; every popup runs
// the enabler pass when it opens.
void BuildMenu100(QMenuBar* bar, platform::ActionRegistry& actions);

// Binds the keys of the accelerator table to their commands' actions (making actions for commands
// on no menu) and adds those actions to window, where their keys work.
void InstallAccelerators100(QWidget* window, platform::ActionRegistry& actions);
