#include "xdg_tree.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace ostrelink::test {
namespace {

const char* const kTreeVariables[] = {
    "HOME",          "XDG_CONFIG_HOME", "XDG_CONFIG_DIRS",    "XDG_DATA_HOME",
    "XDG_DATA_DIRS", "XDG_STATE_HOME",  "XDG_CURRENT_DESKTOP"};

void MakeWritable(const fs::path& root) {
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  }
}

}  // namespace

void WriteText(const std::string& path, const std::string& text) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  ASSERT_TRUE(out.good()) << path;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool Exists(const std::string& path) { return fs::exists(path); }

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

AssocType TypeOf(const std::string& item) {
  return !item.empty() && item[0] == '.' ? AssocType::kExtension : AssocType::kMimeType;
}

void XdgTree::SetUp() {
  char pattern[] = "/tmp/ostrelink-test-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  root_ = pattern;
  home_ = root_ + "/home";
  configHome_ = home_ + "/.config";
  dataHome_ = home_ + "/.local/share";
  stateHome_ = home_ + "/.local/state";
  sysConfig_ = root_ + "/etc-xdg";
  sysData_ = root_ + "/usr-share";
  const fs::path fixtures = fs::path(ZORVAT_SOURCE_DIR) / "tests/installer/fixtures";
  fs::copy(fixtures / "etc-xdg", sysConfig_, fs::copy_options::recursive);
  fs::copy(fixtures / "usr-share", sysData_, fs::copy_options::recursive);
  fs::create_directories(configHome_);
  fs::create_directories(dataHome_);
  for (const char* name : kTreeVariables) {
    const char* old = getenv(name);
    savedEnv_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
  }
  setenv("HOME", home_.c_str(), 1);
  setenv("XDG_CONFIG_HOME", configHome_.c_str(), 1);
  setenv("XDG_CONFIG_DIRS", sysConfig_.c_str(), 1);
  setenv("XDG_DATA_HOME", dataHome_.c_str(), 1);
  setenv("XDG_DATA_DIRS", sysData_.c_str(), 1);
  setenv("XDG_STATE_HOME", stateHome_.c_str(), 1);
  unsetenv("XDG_CURRENT_DESKTOP");
}

void XdgTree::TearDown() {
  for (const auto& [name, value] : savedEnv_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  MakeWritable(root_);
  std::error_code ec;
  fs::remove_all(root_, ec);
}

void XdgTree::InstallProgramDesktopFile() {
  fs::create_directories(dataHome_ + "/applications");
  fs::copy_file(fs::path(ZORVAT_SOURCE_DIR) / "resources/desktop/zorvat.desktop",
                dataHome_ + "/applications/zorvat.desktop", fs::copy_options::overwrite_existing);
}

AssociationStore XdgTree::UserStore() const {
  return AssociationStore(*PathsForScope(Scope::kUser, getenv), {});
}

std::string XdgTree::DefaultOf(const std::string& item) const {
  std::string app;
  return UserStore().QueryCurrentDefault(item, TypeOf(item), &app) == 0 ? app : "(none)";
}

std::string XdgTree::RunInTree(const std::string& command, int* status) const {
  const std::string full = "env -i PATH='" + root_ + "/bin':\"$PATH\" HOME='" + home_ +
                           "' XDG_CONFIG_HOME='" + configHome_ + "' XDG_CONFIG_DIRS='" +
                           sysConfig_ + "' XDG_DATA_HOME='" + dataHome_ + "' XDG_DATA_DIRS='" +
                           sysData_ + "' XDG_STATE_HOME='" + stateHome_ + "' " + command;
  std::string output;
  FILE* pipe = popen(full.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
  const int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return output;
}

}  // namespace ostrelink::test
