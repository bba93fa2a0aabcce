#pragma once
// A temporary XDG tree for the association tests: a home with its config, data and state
// folders, plus a "system" config folder and data folder filled from fixtures/. The XDG
// variables point into it for the test's duration, so no test touches the real home or /etc.
#include "installer/association_store.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ostrelink::test {

class XdgTree : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Copies the program's desktop file into the user's applications folder.
  void InstallProgramDesktopFile();

  std::string UserList() const { return configHome_ + "/mimeapps.list"; }
  AssociationStore UserStore() const;
  // The item's current default, or "(none)" when there is none.
  std::string DefaultOf(const std::string& item) const;

  // Runs a shell command with the tree's XDG variables only and <tree>/bin first on the path;
  // returns its standard output.
  std::string RunInTree(const std::string& command, int* status = nullptr) const;

  std::string root_, home_, configHome_, dataHome_, stateHome_, sysConfig_, sysData_;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> savedEnv_;
};

void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
bool Exists(const std::string& path);
bool HaveProgram(const char* name);

// The type a fixture item stands for: ".bld" and friends as the program's types.
AssocType TypeOf(const std::string& item);

}  // namespace ostrelink::test
