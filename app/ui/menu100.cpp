#include "app/ui/menu100.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <map>
#include <vector>

#include "base/app_ids.h"
#include "base/ui/bitmaps.h"
#include "platform/ui/actions.h"
#include "platform/ui/keypad_shortcuts.h"

namespace {
constexpr MenuEntry Popup(const char* text) { return {MenuRow::kPopup, 0, text}; }
constexpr MenuEntry End() { return {MenuRow::kEnd, 0, nullptr}; }
constexpr MenuEntry Item(int id, const char* text) { return {MenuRow::kItem, id, text}; }
constexpr MenuEntry Separator() { return {MenuRow::kSeparator, 0, nullptr}; }
}  // namespace

const MenuEntry kMenu100[] = {
    Popup("&File"),
    Item(24332, "&Load Image Sequence..."),
    Item(24331, "Load &Multiple Image Sequences ..."),
    Item(24339, "&Close"),
    Separator(),
    Item(24350, "Load Configuration..."),
    Item(24351, "Save Configuration..."),
    Separator(),
    Item(24342, "Print Page Se&tup..."),
    Item(24337, "&Print..."),
    Item(24338, "P&rinter Setup..."),
    Separator(),
    Item(24310, "&Exit\tAlt+F4"),
    End(),

    Popup("&Player"),
    Item(25001, "&Play\tCtrl+P"),
    Item(25002, "&Stop\tCtrl+S"),
    Item(25003, "&Next Frame\tCtrl+N"),
    Item(25004, "P&revious Frame\tCtrl+V"),
    Item(25005, "&Last Frame"),
    Item(25006, "&First Frame"),
    End(),

    Popup("&Image Sequences"),
    Item(25012, "&Calibration..."),
    Item(25013, "&Document Files"),
    Item(25077, "&Info"),
    Separator(),
    Popup("&Layout"),
    Item(25014, "&Zoom"),
    End(),
    Separator(),
    Item(25010, "&Filter..."),
    Item(25011, "&Gamma Correction"),
    End(),

    Popup("&Objects"),
    Item(25101, "&New Object Sequence\tShift+Ins"),
    Item(25102, "Delete Object Sequence\tShift+Del"),
    Item(25103, "&Undelete\tAlt+BKSPC"),
    Item(25121, "Copy& Sequence\tCtrl+C"),
    Separator(),
    Item(25105, "&Set Object\tIns"),
    Item(25106, "Delete Object\tDel"),
    Item(25108, "&Edit Object Sequence"),
    Item(25107, "S&mart Object Position"),
    Item(25109, "&Object Editor..."),
    Separator(),
    Item(25112, "&Load"),
    Item(25110, "S&ave"),
    Item(25111, "Save as new"),
    Item(25114, "&Import..."),
    Item(25113, "E&xport..."),
    Separator(),
    Popup("Object &Model"),
    Item(25116, "&Select Object Model..."),
    Item(25117, "&Edit/Position..."),
    Item(25118, "&Insert in list..."),
    Item(25119, "Delete"),
    End(),
    Popup("Object &Display"),
    Item(25071, "&Only actual objects "),
    Item(25072, "Objects &from All Frames"),
    Item(25074, "&Connections"),
    Item(25073, "Connections And &Angles"),
    Item(25075, "Centers of &mass"),
    End(),
    Item(25076, "Show Dialogs"),
    Separator(),
    Item(25120, "Prese&tting..."),
    End(),

    Popup("&Tracking"),
    Item(25201, "Tracking marked objects to the next frame"),
    Item(25202, "Tracking marked objects one frame backward"),
    Item(25200, "Tracking marked objects to sequence end"),
    Item(25203, "Tracking marked objects to sequence begin"),
    End(),

    Popup("&Analyze"),
    Popup("&New"),
    Popup("&Sequences"),
    Item(25301, "&x to t"),
    Item(25302, "x' to t"),
    Item(25303, "x'' to t"),
    Item(25304, "&y to t"),
    Item(25305, "y' to t"),
    Item(25306, "y'' to t"),
    Item(25307, "&z to t"),
    Item(25308, "z' to t"),
    Item(25309, "z'' to t"),
    Item(25310, "y to x"),
    Item(25311, "|r|' to t"),
    Item(25312, "|r'| to t"),
    Item(25313, "|r|'' to t"),
    Item(25314, "|r''| to t"),
    End(),
    Popup("&Connections"),
    Item(25360, "&Stick Figure"),
    Item(25315, "&Distances to t"),
    Item(25316, "1. Derivation Distances to t"),
    Item(25317, "2. Derivation Distances to t"),
    Item(25318, "&Angle to t"),
    Item(25319, "1. Derivation Angle to t"),
    Item(25320, "2. Derivation Angle to t"),
    Item(25321, "(XY) Angle Projection to t"),
    Item(25322, "1. Derivation (XY) Angle to t"),
    Item(25323, "2. Derivation (XY) Angle to t"),
    Item(25324, "(XZ) Angle Projection to t"),
    Item(25325, "1. Derivation (XZ) Angle to t"),
    Item(25326, "2. Derivation (XZ) Angle to t"),
    Item(25327, "(YZ) Angle Projection to t"),
    Item(25328, "1. Derivation (YZ) Angle to t"),
    Item(25329, "2. Derivation (YZ) Angle to t"),
    End(),
    Popup("Centers of &Mass"),
    Item(25330, "&x to t"),
    Item(25331, "x' to t"),
    Item(25332, "x'' to t"),
    Item(25333, "&y to t"),
    Item(25334, "y' to t"),
    Item(25335, "y'' to t"),
    Item(25336, "&z to t"),
    Item(25337, "z' to t"),
    Item(25338, "z'' to t"),
    Item(25339, "|r|' to t"),
    Item(25340, "|r'| to t"),
    Item(25341, "|r|'' to t"),
    Item(25342, "|r''| to t"),
    End(),
    Popup("&Forces and Moments"),
    Item(25343, "Impulse x to t"),
    Item(25344, "Impulse y to t"),
    Item(25345, "Impulse z to t"),
    Item(25346, "|&Impulse| t"),
    Item(25347, "Force x to t"),
    Item(25348, "Force y to t"),
    Item(25349, "Force z to t"),
    Item(25350, "|&Force| to t"),
    Item(25351, "Moment of Momentum x to t"),
    Item(25352, "Moment of Momentum y to t"),
    Item(25353, "Moment of Momentum z to t"),
    Item(25354, "|Moment of &Momentum| to t"),
    Item(25355, "Moment of Torsion x to t"),
    Item(25356, "Moment of Torsion y to t"),
    Item(25357, "Moment of Torsion z to t"),
    Item(25358, "|Moment of &Torsion| to t"),
    End(),
    End(),
    Separator(),
    Item(25371, "Inter&polate Sequences"),
    Item(25372, "Smoot&hing Sequences"),
    Item(25373, "&Approximate Sequences"),
    Separator(),
    Item(25374, "&Import External Data..."),
    Item(25375, "&End Display of Import Data "),
    Item(25376, "E&xport Analysis Data..."),
    Separator(),
    Item(25377, "&Coordinates"),
    Item(25378, "&Display"),
    Separator(),
    Item(25383, "E&nable Reticules"),
    Item(25384, "Showing &Frame Numbers"),
    Separator(),
    Item(25382, "Se&lect Fonts"),
    End(),

    Popup("&Window"),
    Item(24367, "Smart Tile"),
    Item(24361, "&Cascade"),
    Item(24362, "&Tile"),
    Item(24364, "&Arrange Icons"),
    Item(24365, "C&lose All"),
    Separator(),
    Item(24373, "Toolbar"),
    Separator(),
    Item(24368, "Zoom in"),
    Item(24369, "Zoom out"),
    Item(24370, "Toggle Fit to Window"),
    Separator(),
    Item(24372, "Origin/Units ..."),
    Item(25095, "Add this image to custom clip video\t F9"),
    End(),

    Popup("&Help"),
    Item(2001, "&Contents"),
    Item(2003, "Context Help\tShift+F1"),
    Item(2002, "&How to Use Help"),
    Separator(),
    Item(2009, "&About..."),
    End(),
};
const int kMenu100Size = static_cast<int>(std::size(kMenu100));

const AccelEntry kAccel100[] = {
    {Qt::Key_Escape, 25091},
    {Qt::SHIFT | Qt::Key_Insert, 25101},
    {Qt::SHIFT | Qt::Key_Delete, 25102},
    {Qt::ALT | Qt::Key_Backspace, 25103},
    {QKeyCombination(Qt::Key_Insert), 25105},
    {QKeyCombination(Qt::Key_Delete), 25106},
    {Qt::CTRL | Qt::Key_P, 25001},
    {Qt::CTRL | Qt::Key_S, 25002},
    {Qt::CTRL | Qt::Key_N, 25003},
    {Qt::CTRL | Qt::Key_V, 25004},
    {QKeyCombination(Qt::Key_F2), 25003},
    {QKeyCombination(Qt::Key_F3), 25004},
    {Qt::CTRL | Qt::Key_C, 25121},
    {Qt::CTRL | Qt::Key_F, 24370},
    {Qt::KeypadModifier | Qt::Key_Plus, 24368},
    {Qt::KeypadModifier | Qt::Key_Minus, 24369},
    {QKeyCombination(Qt::Key_F4), 25200},
    {QKeyCombination(Qt::Key_F5), 25201},
    {QKeyCombination(Qt::Key_F6), 25202},
    {Qt::CTRL | Qt::SHIFT | Qt::ALT | Qt::Key_D, 25078},
    {Qt::SHIFT | Qt::Key_F1, 2003},
    {QKeyCombination(Qt::Key_F9), 25095},
};
const int kAccel100Size = static_cast<int>(std::size(kAccel100));

void BuildMenu100(QMenuBar* bar, platform::ActionRegistry& actions) {
  std::vector<QMenu*> open;
  for (const MenuEntry& e : kMenu100) {
    switch (e.kind) {
      case MenuRow::kPopup: {
        QMenu* menu = open.empty() ? bar->addMenu(QString::fromUtf8(e.text))
                                   : open.back()->addMenu(QString::fromUtf8(e.text));
        actions.WatchMenu(menu);
        open.push_back(menu);
        break;
      }
      case MenuRow::kEnd:
        open.pop_back();
        break;
      case MenuRow::kSeparator:
        open.back()->addSeparator();
        break;
      case MenuRow::kItem: {
        QAction* action = actions.Add(e.id, QString::fromUtf8(e.text));
        action->setEnabled(false);  // until the enablers say otherwise
        QIcon icon = bitmaps::Icon(e.id);
        if (!icon.isNull()) action->setIcon(icon);
        open.back()->addAction(action);
        break;
      }
    }
  }
}

void InstallAccelerators100(QWidget* window, platform::ActionRegistry& actions) {
  std::map<int, QList<QKeySequence>> keys;
  std::vector<int> order;
  for (const AccelEntry& a : kAccel100) {
    if (!keys.count(a.id)) order.push_back(a.id);
    keys[a.id].append(QKeySequence(a.key));
  }
  auto* keypad = new platform::KeypadShortcuts(window);
  for (int id : order) {
    QAction* action = actions.Get(id);
    if (!action) {
      action = actions.Add(id, QString());
      action->setEnabled(false);
    }
    action->setShortcuts(keys[id]);  // the menus show them all, keypad keys as "Num+"
    window->addAction(action);
  }
  for (const AccelEntry& a : kAccel100)
    if (a.key.keyboardModifiers() & Qt::KeypadModifier) keypad->Add(a.key, actions.Get(a.id));
}
