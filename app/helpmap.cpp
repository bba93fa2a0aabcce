#include "app/helpmap.h"

#include <iterator>

namespace {

struct HelpRange {
  int first;
  int last;
  const char* page;
  char anchorKind;  // 'c' command, 'd' dialog, 0: the page alone
};

// One row per id or range; the first row that covers an id wins.
constexpr HelpRange kHelpMap[] = {
    {2001, 2003, "help.html", 'c'},
    {2009, 2009, "help.html", 'c'},
    {24310, 24310, "file.html", 'c'},
    {24331, 24332, "file.html", 'c'},
    {24337, 24339, "file.html", 'c'},
    {24342, 24342, "file.html", 'c'},
    {24350, 24351, "file.html", 'c'},
    {24361, 24373, "window.html", 'c'},
    {25001, 25006, "player.html", 'c'},
    {22224, 22224, "player.html", 'c'},
    {12345, 12345, "player.html", 'c'},
    {25010, 25014, "image_sequences.html", 'c'},
    {25016, 25059, "image_sequences.html", 0},
    {25071, 25076, "objects.html", 'c'},
    {25077, 25077, "image_sequences.html", 'c'},
    {24505, 24508, "image_sequences.html", 0},  // the calibration window's own commands
    {25411, 25413, "image_sequences.html", 0},
    {25078, 25078, "dialogs.html", 'c'},
    {25091, 25091, "objects.html", 'c'},
    {25095, 25095, "window.html", 'c'},
    {25101, 25121, "objects.html", 'c'},
    {25200, 25203, "tracking.html", 'c'},
    {25360, 25360, "analyze.html", 'c'},
    {25301, 25360, "analyze.html", 0},
    {25370, 25385, "analyze.html", 'c'},
    {24226, 24226, "analyze.html", 'd'},
    {22213, 22213, "analyze.html", 'c'},
    {20000, 21999, "dialogs.html", 'd'},
};

// The Help buttons of dialogs open these places.
struct DialogHelp {
  int context;
  const char* page;
  const char* anchor;
};

constexpr DialogHelp kDialogHelp[] = {
    {35001, "dialogs.html", "d20130"}, {35004, "dialogs.html", "d20300"},
    {35005, "dialogs.html", "d20370"}, {35010, "tracking.html", "options"},
    {35014, "dialogs.html", "d20150"}, {35016, "dialogs.html", "d20110"},
    {35018, "dialogs.html", "d21150"}, {35019, "dialogs.html", "d20390"},
    {35020, "dialogs.html", "d20230"}, {35021, "dialogs.html", "d20200"},
    {35012, "analyze.html", "d24221"}, {35013, "analyze.html", "d24222"},
    {35017, "analyze.html", "d24224"}, {35006, "dialogs.html", "d20503"},
    {35007, "dialogs.html", "d20400"},
    {35008, "dialogs.html", "d20501"}, {35009, "dialogs.html", "d20502"},
    {35011, "analyze.html", "d20504"},
    {35002, "dialogs.html", "d20660"},
    {1600, "objects.html", "d1600"},  // the object-sequence version to load
};

}  // namespace

HelpTopic HelpTopicFor(int contextId) {
  for (const DialogHelp& row : kDialogHelp)
    if (row.context == contextId) return {row.page, row.anchor};
  for (const HelpRange& row : kHelpMap) {
    if (contextId < row.first || contextId > row.last) continue;
    HelpTopic topic{row.page, {}};
    if (row.anchorKind) topic.anchor = row.anchorKind + std::to_string(contextId);
    return topic;
  }
  return {kHelpContentsPage, {}};
}
