#pragma once
// Where the associations and the backup live, per user or for the whole machine, following the
// XDG base directory rules.
#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace ostrelink {

enum class Scope { kUser, kMachine };

struct XdgPaths {
  std::string writeConfigDir;           // its mimeapps.list receives the new defaults
  std::vector<std::string> configDirs;  // mimeapps.list lookup order, writeConfigDir first
  std::vector<std::string> dataDirs;    // applications/ and mime/ lookup order
  std::string stateRoot;                // the backup folders start below it
  mode_t folderMode = 0700;             // for folders this library creates
};

using EnvLookup = std::function<const char*(const char*)>;

// User scope: $XDG_CONFIG_HOME, $XDG_CONFIG_DIRS, $XDG_DATA_HOME, $XDG_DATA_DIRS and
// $XDG_STATE_HOME with their defaults below $HOME; nothing when neither a home variable nor $HOME
// is an absolute path. Machine scope: /etc/xdg/mimeapps.list and /var/lib, data dirs from
// $XDG_DATA_DIRS. Relative entries are ignored, as the XDG rules ask.
std::optional<XdgPaths> PathsForScope(Scope scope, const EnvLookup& env);

// The desktop names of $XDG_CURRENT_DESKTOP, lower case, in order ("GNOME:Unity" -> gnome, unity).
std::vector<std::string> CurrentDesktops(const EnvLookup& env);

}  // namespace ostrelink
