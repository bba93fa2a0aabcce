#pragma once

// The map from help context ids (command ids and dialog ids) to the pages of the program's
// help. Pages are file names in the help folder; the anchor names the command's or dialog's
// paragraph on its page ("c<id>" for commands, "d<id>" for dialogs), or is empty.

#include <string>

struct HelpTopic {
  std::string page;
  std::string anchor;
  // "page#anchor", or the page alone.
  std::string Url() const { return anchor.empty() ? page : page + "#" + anchor; }
};

inline constexpr const char* kHelpContentsPage = "index.html";
inline constexpr const char* kHelpStepByStepPage = "step_by_step.html";

// The topic of a context id; ids the help does not know lead to the contents.
HelpTopic HelpTopicFor(int contextId);
