#include "installer/association_store.h"

#include "installer/result_codes.h"
#include "xdg_tree.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <map>

namespace ostrelink {
namespace {

using test::ReadText;
using test::WriteText;

constexpr const char* kUserList =
    "# my own settings\n"
    "[Added Associations]\n"
    "text/plain=othereditor.desktop;\n"
    "\n"
    "[Default Applications]\n"
    "text/x-zorvat-description=texteditor.desktop\n"
    "application/x-zorvat-vraw=acme-rawtool.desktop\n"
    "application/x-zorvat-vr2=missing.desktop;acme-rawtool.desktop;\n"
    "\n"
    "[Removed Associations]\n"
    "text/plain=texteditor.desktop;\n";

class Store : public test::XdgTree {
 protected:
  void SetUp() override {
    XdgTree::SetUp();
    WriteText(UserList(), kUserList);
  }
};

TEST(XdgPaths, ScopeChoosesTheFolders) {
  const std::map<std::string, std::string> env = {
      {"HOME", "/h"}, {"XDG_DATA_DIRS", "/d1:relative:/d2"}, {"XDG_CONFIG_DIRS", "/c1"}};
  auto lookup = [&env](const char* name) -> const char* {
    const auto it = env.find(name);
    return it == env.end() ? nullptr : it->second.c_str();
  };
  const std::optional<XdgPaths> user = PathsForScope(Scope::kUser, lookup);
  ASSERT_TRUE(user);
  EXPECT_EQ(user->writeConfigDir, "/h/.config");
  EXPECT_EQ(user->configDirs, (std::vector<std::string>{"/h/.config", "/c1"}));
  EXPECT_EQ(user->dataDirs, (std::vector<std::string>{"/h/.local/share", "/d1", "/d2"}));
  EXPECT_EQ(user->stateRoot, "/h/.local/state");

  const std::optional<XdgPaths> machine = PathsForScope(Scope::kMachine, lookup);
  ASSERT_TRUE(machine);
  EXPECT_EQ(machine->writeConfigDir, "/etc/xdg");
  EXPECT_EQ(machine->configDirs, (std::vector<std::string>{"/etc/xdg"}));
  EXPECT_EQ(machine->dataDirs, (std::vector<std::string>{"/d1", "/d2"}));
  EXPECT_EQ(machine->stateRoot, "/var/lib");

  // Without any home there is nowhere to keep a user's defaults.
  EXPECT_FALSE(PathsForScope(Scope::kUser, [](const char*) -> const char* { return nullptr; }));
}

TEST_F(Store, CurrentDefaultFollowsTheLookupOrder) {
  struct Case {
    const char* item;
    const char* expected;
  };
  const Case cases[] = {
      {".bld", "framesviewer.desktop"},  // system config list
      {".BLD", "framesviewer.desktop"},  // globs ignore case unless marked
      {".dsc", "texteditor.desktop"},    // user list before the system's; rival glob weighs less
      {"application/x-zorvat-vraw", "acme-rawtool.desktop"},  // id of applications/acme/...
      {".vr2", "acme-rawtool.desktop"},  // the first listed one that is installed
      {".par", "othereditor.desktop"},   // no list names it: highest InitialPreference
      {".rsc", "texteditor.desktop"},    // no list names it: the only application for it
      {".os", "(none)"},                 // listed and able only: a hidden desktop file
      {".unknown", "(none)"},
  };
  for (const Case& c : cases) EXPECT_EQ(DefaultOf(c.item), c.expected) << c.item;

  std::string app;
  const AssociationStore store = UserStore();
  EXPECT_EQ(store.QueryCurrentDefault(".a;b", AssocType::kExtension, &app), kErrInvalidName);
  EXPECT_EQ(store.QueryCurrentDefault("text", AssocType::kMimeType, &app), kErrInvalidName);
  EXPECT_EQ(store.QueryCurrentDefault(".unknown", AssocType::kExtension, &app), kErrNoAssociation);
}

TEST_F(Store, ExtensionTakesTheHeaviestGlobWithItsCaseRule) {
  const MimeDatabase database({dataHome_, sysData_});
  EXPECT_EQ(database.MimeTypeOfExtension(".DSC"), "text/x-zorvat-description");
  EXPECT_EQ(database.MimeTypeOfExtension(".Cs"), "text/x-exact-case");
  EXPECT_FALSE(database.MimeTypeOfExtension(".cs"));
  // A more important folder's __NOGLOBS__ drops the type's globs of the folders after it.
  WriteText(dataHome_ + "/mime/globs2", "50:text/x-zorvat-description:__NOGLOBS__\n");
  EXPECT_EQ(MimeDatabase({dataHome_, sysData_}).MimeTypeOfExtension(".dsc"),
            "application/x-rival-dsc");
}

TEST_F(Store, SettingWritesOnlyTheDefaultLineOfTheUserList) {
  InstallProgramDesktopFile();
  AssociationStore store = UserStore();
  ASSERT_EQ(store.SetAppAsDefault("zorvat.desktop", ".dsc", AssocType::kExtension), kOk);
  ASSERT_EQ(store.SetAppAsDefault("zorvat.desktop", ".bld", AssocType::kExtension), kOk);
  std::string expected = kUserList;
  expected.replace(expected.find("text/x-zorvat-description=texteditor.desktop"),
                   std::string("text/x-zorvat-description=texteditor.desktop").size(),
                   "text/x-zorvat-description=zorvat.desktop");
  expected.insert(expected.find("\n\n[Removed"), "\napplication/x-zorvat-frames=zorvat.desktop");
  EXPECT_EQ(ReadText(UserList()), expected);
  EXPECT_EQ(DefaultOf(".dsc"), "zorvat.desktop");
  EXPECT_EQ(DefaultOf("application/x-zorvat-frames"), "zorvat.desktop");
  EXPECT_EQ(
      ReadText(sysConfig_ + "/mimeapps.list"),
      ReadText(std::string(ZORVAT_SOURCE_DIR) + "/tests/installer/fixtures/etc-xdg/mimeapps.list"));
}

TEST_F(Store, RefusesNamesThatWouldCorruptTheListAndAppsNotInstalled) {
  AssociationStore store = UserStore();
  EXPECT_EQ(
      store.SetAppAsDefault("evil.desktop\n[Default Applications]", ".bld", AssocType::kExtension),
      kErrInvalidName);
  EXPECT_EQ(store.SetAppAsDefault("framesviewer.desktop", "text/x\nx=y", AssocType::kMimeType),
            kErrInvalidName);
  EXPECT_EQ(store.SetAppAsDefault("missing.desktop", ".bld", AssocType::kExtension),
            kErrAppNotInstalled);
  EXPECT_EQ(ReadText(UserList()), kUserList);
}

TEST_F(Store, ReadOnlyListIsLeftAloneEvenForRoot) {
  ASSERT_EQ(chmod(UserList().c_str(), 0444), 0);
  AssociationStore store = UserStore();
  EXPECT_EQ(store.SetAppAsDefault("framesviewer.desktop", ".dsc", AssocType::kExtension), -EACCES);
  EXPECT_EQ(ReadText(UserList()), kUserList);
}

TEST_F(Store, SettingReportsADesktopListThatOverridesIt) {
  setenv("XDG_CURRENT_DESKTOP", "Acme", 1);
  WriteText(configHome_ + "/acme-mimeapps.list",
            "[Default Applications]\napplication/x-zorvat-frames=framesviewer.desktop\n");
  AssociationStore store(*PathsForScope(Scope::kUser, getenv), CurrentDesktops(getenv));
  EXPECT_EQ(store.SetAppAsDefault("acme-rawtool.desktop", ".bld", AssocType::kExtension),
            kErrShadowed);
}

TEST_F(Store, OwnerIsTheInstalledApplicationListingTheType) {
  const AssociationStore store = UserStore();
  EXPECT_EQ(store.FindOwner(".dsc", AssocType::kExtension, "othereditor.desktop"),
            "othereditor.desktop");
  EXPECT_FALSE(store.FindOwner(".bld", AssocType::kExtension, "othereditor.desktop"))
      << "does not list the type";
  EXPECT_FALSE(store.FindOwner(".os", AssocType::kExtension, "retired.desktop")) << "hidden";
  EXPECT_FALSE(store.FindOwner(".dsc", AssocType::kExtension, "OtherEditor.desktop"))
      << "ids compare exactly";
}

TEST_F(Store, XdgMimeAgreesOnTheCurrentDefault) {
  if (!test::HaveProgram("xdg-mime")) GTEST_SKIP() << "xdg-mime is not installed";
  InstallProgramDesktopFile();
  // xdg-mime counts a desktop file only when its program is on the path.
  WriteText(root_ + "/bin/zorvat", "#!/bin/sh\n");
  ASSERT_EQ(chmod((root_ + "/bin/zorvat").c_str(), 0755), 0);
  // xdg-mime looks only at the first application of a list line, so the type whose first
  // listed application is missing is left out.
  const char* const types[] = {"application/x-zorvat-frames", "text/x-zorvat-description",
                               "text/x-zorvat-document", "text/x-zorvat-camera-list",
                               "application/x-zorvat-vraw"};
  auto compareAll = [&](const char* when) {
    for (const char* type : types) {
      int status = 0;
      std::string answer = RunInTree(std::string("xdg-mime query default ") + type, &status);
      while (!answer.empty() && answer.back() == '\n') answer.pop_back();
      EXPECT_EQ(status, 0) << type;
      EXPECT_EQ(answer, DefaultOf(type)) << type << " " << when;
    }
  };
  compareAll("before");
  AssociationStore store = UserStore();
  ASSERT_EQ(store.SetAppAsDefault("zorvat.desktop", ".par", AssocType::kExtension), kOk);
  ASSERT_EQ(store.SetAppAsDefault("zorvat.desktop", ".bld", AssocType::kExtension), kOk);
  compareAll("after");
}

}  // namespace
}  // namespace ostrelink
