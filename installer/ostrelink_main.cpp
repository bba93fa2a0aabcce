// ostrelink: runs the association actions of the installer library from a package script or a
// shell. Properties come from the arguments; the actions run in the order given on one session,
// so GetAllOldDefaults can hand the former defaults to SetDefaultCustom. The log goes to stdout.
#include "installer/memory_session.h"
#include "installer/ostrelink.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Action = unsigned (*)(OstrelinkSession*);

struct NamedAction {
  const char* name;
  Action action;
  bool takesApplicationName;  // its data is the application id alone
};

constexpr NamedAction kActions[] = {
    {"GetAllOldDefaults", GetAllOldDefaults, false}, {"SetDefaultCustom", SetDefaultCustom, false},
    {"SetDefaultAll", SetDefaultAll, true},          {"CustomizeDefaults", CustomizeDefaults, true},
    {"RestoreDefaults", RestoreDefaults, false},
};

constexpr const char* kUsage =
    "usage: ostrelink [options] ACTION...\n"
    "Runs the actions in order on one installer session and prints its log.\n"
    "ACTION: GetAllOldDefaults SetDefaultCustom SetDefaultAll CustomizeDefaults RestoreDefaults\n"
    "  --app ID               the application's desktop file id (e.g. zorvat.desktop)\n"
    "  --extensions LIST      its extensions without dot, separated by commas\n"
    "  --mime-types LIST      its MIME types, separated by commas\n"
    "  --data TEXT            CustomActionData as the installer passes it (instead of the above)\n"
    "  --product-code CODE    ProductCode: names the backup of the former defaults\n"
    "  --property NAME=VALUE  any other session property\n"
    "  --user | --machine     the calling user's settings, or the whole machine\n"
    "                         (default: the whole machine when run as root)\n";

std::string JoinList(std::string_view commaList) {
  std::string joined(commaList);
  for (char& c : joined) {
    if (c == ',') c = '\x04';
  }
  return joined;
}

int Usage(const char* problem) {
  if (problem) std::fprintf(stderr, "ostrelink: %s\n", problem);
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ostrelink::MemorySession session;
  session.onLog = [](const std::string& text) { std::printf("%s\n", text.c_str()); };
  session.onPropertySet = [](const std::string& name, const std::string& value) {
    std::printf("Property %s = %s\n", name.c_str(), value.c_str());
  };
  std::string app, extensions, mimeTypes, data;
  bool haveData = false;
  int allUsers = geteuid() == 0 ? 1 : 0;
  std::vector<const NamedAction*> actions;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) return false;
      *out = argv[++i];
      return true;
    };
    std::string text;
    if (arg == "--app") {
      if (!value(&app)) return Usage("--app needs a value");
    } else if (arg == "--extensions") {
      if (!value(&extensions)) return Usage("--extensions needs a value");
    } else if (arg == "--mime-types") {
      if (!value(&mimeTypes)) return Usage("--mime-types needs a value");
    } else if (arg == "--data") {
      if (!value(&data)) return Usage("--data needs a value");
      haveData = true;
    } else if (arg == "--product-code") {
      if (!value(&text)) return Usage("--product-code needs a value");
      session.properties["ProductCode"] = text;
    } else if (arg == "--property") {
      if (!value(&text) || text.find('=') == std::string::npos) {
        return Usage("--property needs NAME=VALUE");
      }
      session.properties[text.substr(0, text.find('='))] = text.substr(text.find('=') + 1);
    } else if (arg == "--user") {
      allUsers = 0;
    } else if (arg == "--machine") {
      allUsers = 1;
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      const NamedAction* found = nullptr;
      for (const NamedAction& action : kActions) {
        if (arg == action.name) found = &action;
      }
      if (!found) return Usage(("unknown argument " + std::string(arg)).c_str());
      actions.push_back(found);
    }
  }
  if (actions.empty()) return Usage("no action given");
  session.properties["ALLUSERS"] = allUsers ? "1" : "";
  const std::string entry = app + '\x02' + JoinList(extensions) + '\x03' + JoinList(mimeTypes);
  unsigned result = 0;
  for (const NamedAction* action : actions) {
    session.properties["CustomActionData"] =
        haveData ? data : (action->takesApplicationName ? app : entry);
    const unsigned rc = action->action(session.get());
    if (rc != 0 && result == 0) result = rc;
  }
  return static_cast<int>(result);
}
