// The five installer actions end to end on a temporary XDG tree: the program's desktop file is
// installed for the user, other applications and lists come from fixtures/.
#include "installer/backup.h"
#include "installer/memory_session.h"
#include "installer/ostrelink.h"
#include "xdg_tree.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

namespace ostrelink {
namespace {

using test::Exists;
using test::ReadText;
using test::WriteText;

constexpr const char* kApp = "zorvat.desktop";
constexpr const char* kProductCode = "{5A0E-ZORVAT}";
// Two extensions and one MIME type, as the package passes them.
const std::string kEntry = std::string(kApp) + "\x02" + "bld\x04" + "dsc\x03" +
                           "application/x-zorvat-vraw\x04" + "application/x-zorvat-object-sequence";

constexpr const char* kUserList =
    "# my own settings\n"
    "[Default Applications]\n"
    "text/x-zorvat-description=texteditor.desktop\n"
    "application/x-zorvat-vraw=acme-rawtool.desktop\n";

class Actions : public test::XdgTree {
 protected:
  void SetUp() override {
    XdgTree::SetUp();
    InstallProgramDesktopFile();
    WriteText(UserList(), kUserList);
  }

  std::string BackupFile() const {
    return stateHome_ + "/Vantorel/Pakmerion/Default Programs/" + kProductCode;
  }

  // GetAllOldDefaults then SetDefaultCustom on one session, as the package runs them.
  void Install(MemorySession& session) {
    session.properties["ProductCode"] = kProductCode;
    session.properties["CustomActionData"] = kEntry;
    EXPECT_EQ(GetAllOldDefaults(session.get()), 0u);
    EXPECT_EQ(SetDefaultCustom(session.get()), 0u);
  }

  std::vector<std::string> Restore() {
    MemorySession session;
    session.properties["ProductCode"] = kProductCode;
    EXPECT_EQ(RestoreDefaults(session.get()), 0u);
    return session.log;
  }
};

TEST_F(Actions, InstallRecordsAndSetsThenRemovalGivesBackAllButTheUsersLaterChoice) {
  MemorySession session;
  Install(session);
  EXPECT_TRUE(session.log.empty()) << session.log.front();
  EXPECT_EQ(session.Property("QZ_DF_EXT_bld"), "framesviewer.desktop");
  EXPECT_EQ(session.Property("QZ_DF_EXT_dsc"), "texteditor.desktop");
  EXPECT_EQ(session.Property("QZ_DF_MIME_application/x-zorvat-vraw"), "acme-rawtool.desktop");
  // The program itself already was the only handler of object sequences: nothing to remember.
  EXPECT_FALSE(session.Property("QZ_DF_MIME_application/x-zorvat-object-sequence"));

  for (const char* item : {".bld", ".dsc", "application/x-zorvat-vraw", ".os"}) {
    EXPECT_EQ(DefaultOf(item), kApp) << item;
  }
  EXPECT_EQ(ReadText(BackupFile()),
            EncodeBackup("zorvat.desktop = .bld = framesviewer.desktop = framesviewer.desktop\n"
                         "zorvat.desktop = .dsc = texteditor.desktop = texteditor.desktop\n"
                         "zorvat.desktop = application/x-zorvat-vraw = acme-rawtool.desktop = "
                         "acme-rawtool.desktop\n"));
  struct stat info;
  ASSERT_EQ(stat(BackupFile().c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);

  // Later the user gives description files to another editor.
  ASSERT_EQ(UserStore().SetAppAsDefault("othereditor.desktop", ".dsc", AssocType::kExtension), 0);

  EXPECT_TRUE(Restore().empty());
  EXPECT_EQ(DefaultOf(".bld"), "framesviewer.desktop");
  EXPECT_EQ(DefaultOf(".dsc"), "othereditor.desktop");
  EXPECT_EQ(DefaultOf("application/x-zorvat-vraw"), "acme-rawtool.desktop");
  EXPECT_FALSE(Exists(BackupFile()));
  EXPECT_NE(ReadText(UserList()).find("# my own settings\n"), std::string::npos);
}

TEST_F(Actions, RepairKeepsTheFormerHandlersInTheBackup) {
  MemorySession first;
  Install(first);
  const std::string backup = ReadText(BackupFile());

  MemorySession repair;  // a new installer session: no properties carried over
  Install(repair);
  EXPECT_FALSE(repair.Property("QZ_DF_EXT_bld")) << "the program is not a former handler";
  EXPECT_EQ(ReadText(BackupFile()), backup);

  // After the user took .bld elsewhere, a repair takes it back and records that choice, while
  // the other lines stay.
  ASSERT_EQ(UserStore().SetAppAsDefault("acme-rawtool.desktop", ".bld", AssocType::kExtension), 0);
  MemorySession second;
  Install(second);
  EXPECT_EQ(ReadText(BackupFile()),
            EncodeBackup("zorvat.desktop = .dsc = texteditor.desktop = texteditor.desktop\n"
                         "zorvat.desktop = application/x-zorvat-vraw = acme-rawtool.desktop = "
                         "acme-rawtool.desktop\n"
                         "zorvat.desktop = .bld = acme-rawtool.desktop = acme-rawtool.desktop\n"));

  Restore();
  EXPECT_EQ(DefaultOf(".bld"), "acme-rawtool.desktop");
  EXPECT_EQ(DefaultOf(".dsc"), "texteditor.desktop");
}

TEST_F(Actions, ReadOnlyListIsLoggedPerItemAndTheInstallationGoesOn) {
  ASSERT_EQ(chmod(UserList().c_str(), 0444), 0);
  MemorySession session;
  Install(session);
  EXPECT_EQ(session.log, std::vector<std::string>(4, "Failed to Set Defaults. Error code: -13"));
  EXPECT_EQ(ReadText(UserList()), kUserList);
  EXPECT_FALSE(Exists(BackupFile())) << "nothing was replaced, so nothing to give back";
}

TEST_F(Actions, RestoreSkipsLinesItCannotUseAndDeletesTheBackup) {
  const std::string lines =
      "zorvat.desktop = .bld = framesviewer.desktop = framesviewer.desktop\n"
      "zorvat.desktop = .dsc = texteditor.desktop\n"                   // three fields
      "zorvat.desktop = .dsc = other=editor.desktop = x.desktop\n"     // "=" in a field
      "zorvat.desktop = .dsc = zorvat.desktop = texteditor.desktop\n"  // old equals new
      "zorvat.desktop = .unknown = a.desktop = a.desktop\n";           // no such type
  MemorySession session;
  Install(session);
  WriteText(BackupFile(), EncodeBackup(lines));
  EXPECT_EQ(Restore(), std::vector<std::string>{"Failed to Set Defaults. Error code: -1001"});
  EXPECT_EQ(DefaultOf(".bld"), "framesviewer.desktop");
  EXPECT_EQ(DefaultOf(".dsc"), kApp);
  EXPECT_FALSE(Exists(BackupFile()));

  // A file holding only the mark is deleted without anything else happening.
  WriteText(BackupFile(), "\xFF\xFE");
  EXPECT_TRUE(Restore().empty());
  EXPECT_FALSE(Exists(BackupFile()));
  EXPECT_TRUE(Restore().empty()) << "no backup: nothing to do";
}

TEST_F(Actions, OtherActionsAndAMissingHome) {
  MemorySession all;
  all.properties["CustomActionData"] = kApp;
  EXPECT_EQ(SetDefaultAll(all.get()), 0u);
  EXPECT_TRUE(all.log.empty());
  for (const char* item : {".bld", ".dsc", ".rsc", ".par", ".vraw", ".vr2", ".os"}) {
    EXPECT_EQ(DefaultOf(item), kApp) << item;
  }

  MemorySession customize;
  customize.properties["CustomActionData"] = kApp;
  EXPECT_EQ(CustomizeDefaults(customize.get()), 0u);
  EXPECT_EQ(customize.log, std::vector<std::string>{
                               "There is no association dialog on this system; the defaults of "
                               "zorvat.desktop are left as they are"});

  unsetenv("HOME");
  unsetenv("XDG_CONFIG_HOME");
  MemorySession homeless;
  homeless.properties["CustomActionData"] = kEntry;
  EXPECT_EQ(GetAllOldDefaults(homeless.get()), 1u);
  EXPECT_EQ(SetDefaultCustom(homeless.get()), 1u);
  EXPECT_EQ(SetDefaultAll(homeless.get()), 0u);
  EXPECT_EQ(homeless.log.size(), 3u);
  EXPECT_EQ(homeless.log.front(), "Failed to Set Defaults. Error code: -1005");
}

TEST(OstrelinkLibrary, ExportsTheFiveActions) {
  void* library = dlopen(OSTRELINK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* name : {"GetAllOldDefaults", "SetDefaultCustom", "SetDefaultAll",
                           "CustomizeDefaults", "RestoreDefaults"}) {
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  }
  EXPECT_EQ(dlsym(library, "_ZN9ostrelink10ParseEntryESt17basic_string_viewIcSt11char_traitsIcEE"),
            nullptr);
  dlclose(library);
}

// The shell commands of the README's file-association section, in order: its indented block, a
// command to each line or run of lines joined by a trailing backslash, with the host's path for
// the one the README names.
std::vector<std::string> ReadmeAssociationCommands() {
  std::istringstream readme(ReadText(std::string(ZORVAT_SOURCE_DIR) + "/README.md"));
  std::vector<std::string> commands;
  std::string line;
  bool inSection = false, continued = false;
  while (std::getline(readme, line)) {
    if (line.rfind("## ", 0) == 0) {
      if (inSection) break;
      inSection = line == "## File associations";
      continue;
    }
    if (!inSection || line.rfind("    ", 0) != 0) continue;
    line = line.substr(4);
    if (const size_t at = line.find("build/installer/ostrelink"); at != std::string::npos) {
      line.replace(at, std::strlen("build/installer/ostrelink"),
                   std::string("'") + OSTRELINK_HOST + "'");
    }
    if (continued) {
      commands.back() += "\n" + line;
    } else {
      commands.push_back(line);
    }
    continued = !line.empty() && line.back() == '\\';
  }
  return commands;
}

// The install and removal lines the README gives, run as they stand on a temporary home with the
// program's real desktop file and MIME definitions and other handlers set: every type the
// desktop file lists goes to the program and comes back to its former handler.
TEST_F(Actions, TheReadmesInstallAndRemovalLinesGiveEveryTypeBack) {
  if (!test::HaveProgram("update-mime-database")) GTEST_SKIP() << "no update-mime-database";
  std::filesystem::create_directories(dataHome_ + "/mime/packages");
  std::filesystem::copy_file(
      std::filesystem::path(ZORVAT_SOURCE_DIR) / "resources/desktop/zorvat-mime.xml",
      dataHome_ + "/mime/packages/zorvat-mime.xml");
  int status = -1;
  RunInTree("update-mime-database '" + dataHome_ + "/mime' >/dev/null 2>&1", &status);
  ASSERT_EQ(status, 0);
  std::filesystem::remove(sysData_ + "/mime/globs2");  // only the program's own definitions
  WriteText(UserList(), std::string(kUserList) +
                            "text/x-zorvat-document=texteditor.desktop\n"
                            "application/x-zorvat-vr2=acme-rawtool.desktop\n");

  const std::vector<std::string> commands = ReadmeAssociationCommands();
  ASSERT_EQ(commands.size(), 2u) << "the README gives one install and one removal command";

  // Every type of the desktop file, by extension and by MIME type.
  const std::vector<std::string> items = {".bld",
                                          ".dsc",
                                          ".rsc",
                                          ".par",
                                          ".vraw",
                                          ".vr2",
                                          ".OS",
                                          "application/x-zorvat-frames",
                                          "text/x-zorvat-description",
                                          "text/x-zorvat-document",
                                          "text/x-zorvat-camera-list",
                                          "application/x-zorvat-vraw",
                                          "application/x-zorvat-vr2",
                                          "application/x-zorvat-object-sequence"};
  auto defaults = [&] {
    std::vector<std::string> all;
    for (const std::string& item : items) all.push_back(DefaultOf(item));
    return all;
  };
  const std::vector<std::string> before = defaults();
  EXPECT_EQ(before,
            (std::vector<std::string>{
                "framesviewer.desktop", "texteditor.desktop", "texteditor.desktop",
                "othereditor.desktop", "acme-rawtool.desktop", "acme-rawtool.desktop", kApp,
                "framesviewer.desktop", "texteditor.desktop", "texteditor.desktop",
                "othereditor.desktop", "acme-rawtool.desktop", "acme-rawtool.desktop", kApp}));

  const std::string install = RunInTree(commands[0], &status);
  EXPECT_EQ(status, 0) << install;
  EXPECT_NE(install.find("Property QZ_DF_EXT_bld = framesviewer.desktop"), std::string::npos)
      << install;
  for (const std::string& item : items) EXPECT_EQ(DefaultOf(item), kApp) << item;

  const std::string removal = RunInTree(commands[1], &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(removal, "");
  // Object sequences had no handler but the program, so they stay with it.
  EXPECT_EQ(defaults(), before);
  const std::string backups = stateHome_ + "/Vantorel/Pakmerion/Default Programs";
  EXPECT_TRUE(!Exists(backups) || std::filesystem::is_empty(backups))
      << "the removal used its backup up";
}

}  // namespace
}  // namespace ostrelink
