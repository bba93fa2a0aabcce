#include "installer/xdg_paths.h"

#include "installer/text_util.h"

#include <cctype>

namespace ostrelink {
namespace {

std::vector<std::string> SplitColons(const std::string& text) {
  std::vector<std::string> parts = Split(text, ':');
  std::erase(parts, std::string());
  return parts;
}

bool IsAbsolute(const std::string& path) { return !path.empty() && path[0] == '/'; }

// An absolute directory from a variable, or the fallback.
std::string DirFromEnv(const EnvLookup& env, const char* name, const std::string& fallback) {
  const char* value = env(name);
  if (value && IsAbsolute(value)) return value;
  return fallback;
}

std::vector<std::string> DirListFromEnv(const EnvLookup& env, const char* name,
                                        const std::string& fallback) {
  std::vector<std::string> dirs;
  if (const char* value = env(name)) {
    for (std::string& dir : SplitColons(value)) {
      if (IsAbsolute(dir)) dirs.push_back(std::move(dir));
    }
  }
  return dirs.empty() ? SplitColons(fallback) : dirs;
}

constexpr const char* kDefaultDataDirs = "/usr/local/share:/usr/share";
constexpr const char* kDefaultConfigDirs = "/etc/xdg";
constexpr const char* kMachineConfigDir = "/etc/xdg";
constexpr const char* kMachineStateRoot = "/var/lib";
constexpr mode_t kUserFolderMode = 0700;
constexpr mode_t kMachineFolderMode = 0755;

}  // namespace

std::optional<XdgPaths> PathsForScope(Scope scope, const EnvLookup& env) {
  XdgPaths paths;
  paths.dataDirs = DirListFromEnv(env, "XDG_DATA_DIRS", kDefaultDataDirs);
  if (scope == Scope::kMachine) {
    paths.writeConfigDir = kMachineConfigDir;
    paths.configDirs = {kMachineConfigDir};
    paths.stateRoot = kMachineStateRoot;
    paths.folderMode = kMachineFolderMode;
    return paths;
  }
  const std::string home = DirFromEnv(env, "HOME", "");
  const std::string configHome =
      DirFromEnv(env, "XDG_CONFIG_HOME", home.empty() ? "" : home + "/.config");
  const std::string dataHome =
      DirFromEnv(env, "XDG_DATA_HOME", home.empty() ? "" : home + "/.local/share");
  const std::string stateHome =
      DirFromEnv(env, "XDG_STATE_HOME", home.empty() ? "" : home + "/.local/state");
  if (configHome.empty() || dataHome.empty() || stateHome.empty()) return std::nullopt;
  paths.writeConfigDir = configHome;
  paths.configDirs = {configHome};
  for (std::string& dir : DirListFromEnv(env, "XDG_CONFIG_DIRS", kDefaultConfigDirs)) {
    paths.configDirs.push_back(std::move(dir));
  }
  paths.dataDirs.insert(paths.dataDirs.begin(), dataHome);
  paths.stateRoot = stateHome;
  paths.folderMode = kUserFolderMode;
  return paths;
}

std::vector<std::string> CurrentDesktops(const EnvLookup& env) {
  const char* value = env("XDG_CURRENT_DESKTOP");
  std::vector<std::string> names = SplitColons(value ? value : "");
  for (std::string& name : names) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return names;
}

}  // namespace ostrelink
