// The writer every save goes through, against the situations a user's files are in: links
// (the user's own and those another user planted), hard links, access lists and attributes,
// write-protected files and folders, long names, read-only and full file systems, and a file
// another program changes before or while the user is asked about it.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>

#include "base/filesnapshot.h"
#include "common/question_service.h"
#include "platform/files.h"
#include "platform/message_service.h"
#include "platform/strings.h"

namespace fs = std::filesystem;

namespace {

constexpr uid_t kNobody = 65534;

// A tmpfs on a folder for the life of the object.
class Tmpfs {
 public:
  // Mounts a tmpfs of size bytes on folder; on failure, why in Failure().
  Tmpfs(const fs::path& folder, const std::string& size) : folder_(folder) {
    const std::string options = "size=" + size;
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0) {
      mounted_ = true;
    } else {
      failure_ = std::string("a tmpfs can not be mounted here: ") + std::strerror(errno);
    }
  }
  ~Tmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  Tmpfs(const Tmpfs&) = delete;
  Tmpfs& operator=(const Tmpfs&) = delete;

  const std::string& Failure() const { return failure_; }

  bool MakeReadOnly() {
    return ::mount(nullptr, folder_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  fs::path folder_;
  bool mounted_ = false;
  std::string failure_;
};

// The superuser writes into any folder and any file whatever their bits, so a write that must
// meet them runs as nobody; an ordinary user writes as who they are.
class Unprivileged {
 public:
  explicit Unprivileged(bool wanted) : active_(wanted && ::geteuid() == 0) {
    if (active_) {
      EXPECT_EQ(::setegid(kNobody), 0);
      EXPECT_EQ(::seteuid(kNobody), 0);
    }
  }
  ~Unprivileged() {
    if (active_) {
      EXPECT_EQ(::seteuid(0), 0);
      EXPECT_EQ(::setegid(0), 0);
    }
  }
  Unprivileged(const Unprivileged&) = delete;
  Unprivileged& operator=(const Unprivileged&) = delete;

 private:
  bool active_;
};

std::string Read(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void Put(const fs::path& file, const std::string& text, fs::perms mode = fs::perms(0644)) {
  std::ofstream(file, std::ios::binary) << text;
  fs::permissions(file, mode);
}

unsigned ModeOf(const fs::path& file) {
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

struct stat StatOf(const fs::path& file) {
  struct stat st {};
  EXPECT_EQ(::stat(file.c_str(), &st), 0) << file;
  return st;
}

// Makes a symbolic link as user nobody, in a child process: the link is theirs, as one they
// planted would be. Everything the child needs is made before the fork.
bool LinkAsNobody(const std::string& target, const fs::path& link) {
  const std::string linkPath = link.string();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool ok = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 &&
                    ::symlink(target.c_str(), linkPath.c_str()) == 0;
    ::_exit(ok ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}

// Every extended attribute of a file (its access list among them), name to value.
std::map<std::string, std::string> AttributesOf(const fs::path& file) {
  std::map<std::string, std::string> attributes;
  char names[4096];
  const ssize_t size = ::llistxattr(file.c_str(), names, sizeof names);
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    char value[4096];
    const ssize_t n = ::lgetxattr(file.c_str(), names + at, value, sizeof value);
    attributes[names + at] = n < 0 ? "?" : std::string(value, static_cast<std::size_t>(n));
  }
  return attributes;
}

// An access list in the system's own form: owner rw, user nobody rw, owning group r, mask rw,
// others nothing.
std::string AccessListForNobody() {
  struct Entry {
    std::uint16_t tag, perm;
    std::uint32_t id;
  };
  const std::uint32_t kVersion = 2, kUndefined = ~0u;
  const Entry entries[] = {{0x01, 6, kUndefined},
                           {0x02, 6, kNobody},
                           {0x04, 4, kUndefined},
                           {0x10, 6, kUndefined},
                           {0x20, 0, kUndefined}};
  std::string bytes(reinterpret_cast<const char*>(&kVersion), sizeof kVersion);
  bytes.append(reinterpret_cast<const char*>(entries), sizeof entries);
  return bytes;
}

using testutil::QuestionService;

// One situation: a folder of its own, what the write aims at and what it must leave.
struct Scene {
  fs::path dir;
  std::string path;   // what the writer is given
  fs::path target;    // the file whose content the write decides
  std::string named;  // the file the failure's message names
  std::string old;    // target's content before (empty: none)
  bool unprivileged = false;
  std::unique_ptr<Tmpfs> tmpfs;
  std::string skip;  // why the machine cannot stage this scene
  // A save of a file the program read: the file as read, and the user's answers (with what
  // another program does while each question is open).
  std::optional<FileSnapshot> read;
  std::deque<int> answers;
  QuestionService* questions = nullptr;  // while the save runs

  // The program reads the file path names now.
  void ReadNow() {
    read.emplace();
    read->Take(path);
  }

  // Aims the write at file, which holds old (when not empty) with mode.
  void Aim(const fs::path& file, std::string before = "old content\n",
           fs::perms mode = fs::perms(0644)) {
    path = file.string();
    target = file;
    named = file.string();
    old = std::move(before);
    if (!old.empty()) Put(file, old, mode);
  }

  // A small tmpfs on dir/sub; false (with the reason in skip) where none can be mounted.
  bool Mount(const std::string& sub, const std::string& size) {
    fs::create_directories(dir / sub);
    tmpfs = std::make_unique<Tmpfs>(dir / sub, size);
    skip = tmpfs->Failure();
    return skip.empty();
  }
};

struct Row {
  const char* name;
  std::function<void(Scene&)> stage;
  // printf format of the whole message with %s for the named file; nullptr: the write succeeds.
  // A save of a file the program read ends in the notice that the other version was kept.
  const char* message;
  std::function<void(const Scene&)> check = nullptr;  // what else the row must leave
  std::size_t size = 0;                               // bytes written; 0: a short text
};

const Row kRows[] = {
    {"NewFile", [](Scene& s) { s.Aim(s.dir / "new.cdc", ""); }, nullptr},
    {"ModeKept", [](Scene& s) { s.Aim(s.dir / "calib.cdc", "old\n", fs::perms(0640)); }, nullptr,
     [](const Scene& s) { EXPECT_EQ(ModeOf(s.target), 0640u); }},
    {"ChainOfRelativeLinks",
     [](Scene& s) {
       fs::create_directories(s.dir / "shared");
       s.Aim(s.dir / "shared" / "calib.cdc", "shared calibration\n", fs::perms(0664));
       fs::create_symlink("shared/calib.cdc", s.dir / "hop.cdc");
       fs::create_symlink("hop.cdc", s.dir / "doc.cdc");
       s.path = (s.dir / "doc.cdc").string();
     },
     nullptr,
     [](const Scene& s) {
       EXPECT_TRUE(fs::is_symlink(s.dir / "doc.cdc"));
       EXPECT_EQ(fs::read_symlink(s.dir / "hop.cdc"), "shared/calib.cdc");
       EXPECT_EQ(ModeOf(s.target), 0664u);
     }},
    {"LinkToFileNotMadeYet",
     [](Scene& s) {
       s.Aim(s.dir / "made.cdc", "");
       fs::create_symlink("made.cdc", s.dir / "link.cdc");
       s.path = (s.dir / "link.cdc").string();
     },
     nullptr, [](const Scene& s) { EXPECT_TRUE(fs::is_symlink(s.dir / "link.cdc")); }},
    {"WriteProtectedFile", [](Scene& s) { s.Aim(s.dir / "calib.cdc", "kept\n", fs::perms(0444)); },
     "The file %s is write-protected; it is left as it is.",
     [](const Scene& s) { EXPECT_EQ(ModeOf(s.target), 0444u); }},
    {"WriteProtectedFileBehindLink",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "kept\n", fs::perms(0444));
       fs::create_symlink("calib.cdc", s.dir / "doc.cdc");
       s.path = (s.dir / "doc.cdc").string();
     },
     "The file %s is write-protected; it is left as it is.",
     [](const Scene& s) { EXPECT_TRUE(fs::is_symlink(s.dir / "doc.cdc")); }},
    {"FileOfAnotherUser",
     [](Scene& s) {
       s.unprivileged = true;
       if (::geteuid() != 0) s.skip = "only the superuser can stage another user's file";
       s.Aim(s.dir / "calib.cdc", "theirs\n", fs::perms(0644));
       fs::permissions(s.dir, fs::perms(0777));
     },
     "The file %s is write-protected; it is left as it is."},
    {"Name250Characters", [](Scene& s) { s.Aim(s.dir / (std::string(246, 'c') + ".cdc")); },
     nullptr},
    {"Name255Characters", [](Scene& s) { s.Aim(s.dir / (std::string(251, 'c') + ".cdc")); },
     nullptr},
    {"Name256Characters", [](Scene& s) { s.Aim(s.dir / (std::string(252, 'c') + ".cdc"), ""); },
     "The file %s can not be written: the name is too long."},
    // A file the user may write, in a folder they may not: written in place, reached through
    // "..", and a new file there refused, naming the real folder and the permission missing.
    {"WritableFileInLockedFolder",
     [](Scene& s) {
       s.unprivileged = true;
       fs::create_directories(s.dir / "u" / "mine");
       fs::create_directories(s.dir / "u" / "locked");
       s.Aim(s.dir / "u" / "locked" / "data.cdc", "old\n", fs::perms(0666));
       fs::permissions(s.dir / "u" / "locked", fs::perms(0555));
       s.path = (s.dir / "u" / "mine" / ".." / "locked" / "data.cdc").string();
     },
     nullptr,
     [](const Scene& s) {
       EXPECT_EQ(ModeOf(s.target), 0666u);
       EXPECT_EQ(StatOf(s.target).st_uid, ::geteuid());
     }},
    {"NewFileInLockedFolder",
     [](Scene& s) {
       // "mine" leads to u/deep/er: "mine/.." is u/deep, where the locked folder is.
       s.unprivileged = true;
       fs::create_directories(s.dir / "u" / "deep" / "er");
       fs::create_symlink("deep/er", s.dir / "u" / "mine");
       fs::create_directories(s.dir / "u" / "deep" / "locked");
       s.Aim(s.dir / "u" / "deep" / "locked" / "data.cdc", "");
       fs::permissions(s.dir / "u" / "deep" / "locked", fs::perms(0555));
       s.path = (s.dir / "u" / "mine" / ".." / "locked" / "data.cdc").string();
     },
     "The file %s can not be written: no permission to create a file in its folder."},
    {"ReadOnlyFileSystem",
     [](Scene& s) {
       if (!s.Mount("ro", "64k")) return;
       s.Aim(s.dir / "ro" / "calib.cdc");
       if (!s.tmpfs->MakeReadOnly()) s.skip = "the tmpfs can not be made read-only";
     },
     "The file %s can not be written: the file system is read-only."},
    {"MissingFolder", [](Scene& s) { s.Aim(s.dir / "missing" / "calib.cdc", ""); },
     "The file %s can not be written: its folder does not exist."},
    {"FullDisk",
     [](Scene& s) {
       if (!s.Mount("small", "64k")) return;
       s.Aim(s.dir / "small" / "calib.cdc");
     },
     "The file %s can not be written: no space is left on the disk.", nullptr, 256 * 1024},
    {"FolderInTheWay",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "");
       fs::create_directories(s.target);
     },
     "The file %s can not be written: it is not a plain file.",
     [](const Scene& s) { EXPECT_TRUE(fs::is_directory(s.target)); }},
    {"LinkLoop",
     [](Scene& s) {
       s.Aim(s.dir / "a.cdc", "");
       fs::create_symlink("b.cdc", s.dir / "a.cdc");
       fs::create_symlink("a.cdc", s.dir / "b.cdc");
     },
     "The file %s can not be written: too many symbolic links lead to it.",
     [](const Scene& s) { EXPECT_TRUE(fs::is_symlink(s.target)); }},
    {"OwnerAndGroupKept",
     [](Scene& s) {
       if (::geteuid() != 0) s.skip = "only the superuser can hand a file to another owner";
       s.Aim(s.dir / "calib.cdc", "old\n", fs::perms(0640));
       ASSERT_EQ(::chown(s.target.c_str(), kNobody, kNobody), 0);
     },
     nullptr,
     [](const Scene& s) {
       struct stat st {};
       ASSERT_EQ(::stat(s.target.c_str(), &st), 0);
       EXPECT_EQ(st.st_uid, kNobody);
       EXPECT_EQ(st.st_gid, kNobody);
       EXPECT_EQ(st.st_mode & 07777, 0640u);
     }},
    {"OwnerTheWriterMayNotGive",
     [](Scene& s) {
       s.unprivileged = true;
       if (::geteuid() != 0) s.skip = "only the superuser can stage another user's file";
       s.Aim(s.dir / "calib.cdc", "shared\n", fs::perms(0666));
       fs::permissions(s.dir, fs::perms(0777));
     },
     nullptr,
     [](const Scene& s) {
       // Written into the file itself: the colleague still owns it.
       EXPECT_EQ(ModeOf(s.target), 0666u);
       EXPECT_EQ(StatOf(s.target).st_uid, 0u);
     }},
    // Links another user planted in a sticky folder every user may write, leading to a file of
    // the superuser's and to a name in a folder only the superuser may write.
    {"PlantedLinkToAnotherFile",
     [](Scene& s) {
       if (::geteuid() != 0) s.skip = "only the superuser can run a child as another user";
       fs::create_directories(s.dir / "shared");
       fs::permissions(s.dir / "shared", fs::perms(01777));
       s.Aim(s.dir / "secret.cdc", "root only\n", fs::perms(0600));
       if (s.skip.empty()) {
         EXPECT_TRUE(LinkAsNobody("../secret.cdc", s.dir / "shared" / "a.cdc"));
       }
       s.path = (s.dir / "shared" / "a.cdc").string();
       s.named = s.path;
     },
     "The file %s can not be written: it is a link another user made in a folder shared by all "
     "users, and such a link is not followed."},
    {"PlantedLinkToNewName",
     [](Scene& s) {
       if (::geteuid() != 0) s.skip = "only the superuser can run a child as another user";
       fs::create_directories(s.dir / "shared");
       fs::permissions(s.dir / "shared", fs::perms(01777));
       fs::create_directories(s.dir / "rootonly");
       fs::permissions(s.dir / "rootonly", fs::perms(0700));
       s.Aim(s.dir / "rootonly" / "made.cdc", "");
       if (s.skip.empty()) {
         EXPECT_TRUE(LinkAsNobody("../rootonly/made.cdc", s.dir / "shared" / "a.cdc"));
       }
       s.path = (s.dir / "shared" / "a.cdc").string();
       s.named = s.path;
     },
     "The file %s can not be written: it is a link another user made in a folder shared by all "
     "users, and such a link is not followed.",
     [](const Scene& s) { EXPECT_FALSE(fs::exists(s.target)); }},
    // The same folder: the user's own link, and one of the folder's owner, are followed.
    {"OwnLinkInSharedFolder",
     [](Scene& s) {
       fs::create_directories(s.dir / "shared");
       fs::permissions(s.dir / "shared", fs::perms(01777));
       s.Aim(s.dir / "mine.cdc");
       fs::create_symlink("../mine.cdc", s.dir / "shared" / "a.cdc");
       s.path = (s.dir / "shared" / "a.cdc").string();
     },
     nullptr, [](const Scene& s) { EXPECT_TRUE(fs::is_symlink(s.path)); }},
    {"LinkOfSharedFolderOwner",
     [](Scene& s) {
       if (::geteuid() != 0) s.skip = "only the superuser can run a child as another user";
       fs::create_directories(s.dir / "shared");
       fs::permissions(s.dir / "shared", fs::perms(01777));
       if (s.skip.empty()) {
         EXPECT_EQ(::chown((s.dir / "shared").c_str(), kNobody, kNobody), 0);
       }
       s.Aim(s.dir / "theirs.cdc", "old\n", fs::perms(0666));
       if (s.skip.empty()) {
         EXPECT_TRUE(LinkAsNobody("../theirs.cdc", s.dir / "shared" / "a.cdc"));
       }
       s.path = (s.dir / "shared" / "a.cdc").string();
     },
     nullptr, [](const Scene& s) { EXPECT_TRUE(fs::is_symlink(s.path)); }},
    // One file under two names: both show the new content and stay one file; a write that
    // fails (a full disk) puts the old content back, also for a file too large to keep in memory.
    {"HardLink",
     [](Scene& s) {
       s.Aim(s.dir / "cam1.cdc", "old\n", fs::perms(0640));
       fs::create_hard_link(s.target, s.dir / "cam2.cdc");
     },
     nullptr,
     [](const Scene& s) {
       EXPECT_EQ(StatOf(s.target).st_ino, StatOf(s.dir / "cam2.cdc").st_ino);
       EXPECT_EQ(StatOf(s.target).st_nlink, 2u);
       EXPECT_EQ(ModeOf(s.target), 0640u);
     }},
    {"HardLinkOnFullDisk",
     [](Scene& s) {
       if (!s.Mount("small", "64k")) return;
       s.Aim(s.dir / "small" / "cam1.cdc");
       fs::create_hard_link(s.target, s.dir / "small" / "cam2.cdc");
     },
     "The file %s can not be written: no space is left on the disk.",
     [](const Scene& s) { EXPECT_EQ(StatOf(s.target).st_nlink, 2u); }, 256 * 1024},
    {"LargeHardLinkOnFullDisk",
     [](Scene& s) {
       if (!s.Mount("small", "24m")) return;
       s.Aim(s.dir / "small" / "cam1.cdc", std::string(17 << 20, 'o'));
       fs::create_hard_link(s.target, s.dir / "small" / "cam2.cdc");
     },
     "The file %s can not be written: no space is left on the disk.",
     [](const Scene& s) { EXPECT_EQ(StatOf(s.target).st_nlink, 2u); }, 32 << 20},
    // An access list that lets nobody read and write, and a user's attribute: both kept, the
    // group bits (the list's mask) no wider, nobody still able to read the new content.
    {"AccessListAndAttribute",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "old\n", fs::perms(0640));
       const std::string acl = AccessListForNobody();
       if (::setxattr(s.target.c_str(), "user.origin", "lab", 3, 0) != 0 ||
           ::setxattr(s.target.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
         s.skip = std::string("the file system takes no access list or attribute: ") +
                  std::strerror(errno);
     },
     nullptr,
     [](const Scene& s) {
       const auto attributes = AttributesOf(s.target);
       EXPECT_EQ(attributes.at("user.origin"), "lab");
       EXPECT_EQ(attributes.at("system.posix_acl_access"), AccessListForNobody());
       EXPECT_EQ(ModeOf(s.target), 0660u);
       Unprivileged as(true);
       if (::geteuid() == kNobody) {
         EXPECT_EQ(::access(s.target.c_str(), R_OK | W_OK), 0);
       }
     }},
    // A failed step of keeping the file's access is a failed save.
    {"FailingModeChange",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "old\n", fs::perms(0644));
       platform::writer_faults::FailNext(platform::writer_faults::Step::kModeChange, EIO);
     },
     "The file %s can not be written: its owner, permissions, access list or attributes could "
     "not be kept (Input/output error).",
     [](const Scene& s) { EXPECT_EQ(ModeOf(s.target), 0644u); }},
    // Another program writes again while "File changed by another program" is open: Yes covers
    // the version asked about only, so the user is asked again.
    {"ChangeDuringQuestionKept",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "read here\n");
       s.ReadNow();
       Put(s.target, "their first change\n");
       s.answers = {platform::kIdYes, platform::kIdNo};
       s.old = "their second change\n";
       s.questions->whileAsked = {[&s] { Put(s.target, s.old); }};
     },
     "File: %s\n\nThe other program's version was kept. The changes made here were not written "
     "to this file.",
     [](const Scene& s) { EXPECT_EQ(s.questions->Questions(), 2); }},
    {"ChangeDuringQuestionOverwritten",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "read here\n");
       s.ReadNow();
       Put(s.target, "their first change\n");
       s.answers = {platform::kIdYes, platform::kIdYes};
       s.questions->whileAsked = {[&s] { Put(s.target, "their second change\n"); }};
     },
     nullptr, [](const Scene& s) { EXPECT_EQ(s.questions->Questions(), 2); }},
    // The file read is replaced by a link to, or a copy of, the same bytes: another file, asked
    // about.
    {"FileReplacedByLink",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "same\n");
       s.ReadNow();
       Put(s.dir / "store.cdc", "same\n");
       fs::remove(s.target);
       fs::create_symlink("store.cdc", s.target);
       s.answers = {platform::kIdNo};
     },
     "File: %s\n\nThe other program's version was kept. The changes made here were not written "
     "to this file.",
     [](const Scene& s) {
       EXPECT_EQ(s.questions->Questions(), 1);
       EXPECT_TRUE(fs::is_symlink(s.target));
     }},
    {"FileReplacedBySameBytes",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "same\n");
       s.ReadNow();
       Put(s.dir / "copy.cdc", "same\n");
       fs::rename(s.dir / "copy.cdc", s.target);
       s.answers = {platform::kIdNo};
     },
     "File: %s\n\nThe other program's version was kept. The changes made here were not written "
     "to this file.",
     [](const Scene& s) { EXPECT_EQ(s.questions->Questions(), 1); }},
    // Unchanged since it was read: written without a question.
    {"UnchangedSinceRead",
     [](Scene& s) {
       s.Aim(s.dir / "calib.cdc", "read here\n");
       s.ReadNow();
     },
     nullptr, [](const Scene& s) { EXPECT_EQ(s.questions->Questions(), 0); }},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// The user's cache folder, where the old content of a large file written in place is kept, set
// to folder for the life of the object and removed with it.
class CacheFolder {
 public:
  explicit CacheFolder(fs::path folder) : folder_(std::move(folder)) {
    if (const char* before = std::getenv("XDG_CACHE_HOME")) before_ = before;
    ::setenv("XDG_CACHE_HOME", folder_.c_str(), 1);
  }
  ~CacheFolder() {
    if (before_)
      ::setenv("XDG_CACHE_HOME", before_->c_str(), 1);
    else
      ::unsetenv("XDG_CACHE_HOME");
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }
  CacheFolder(const CacheFolder&) = delete;
  CacheFolder& operator=(const CacheFolder&) = delete;

  // The files kept there.
  std::vector<std::string> Kept() const {
    std::vector<std::string> found;
    std::error_code ignored;
    for (auto& e : fs::recursive_directory_iterator(folder_, ignored))
      if (!e.is_directory(ignored)) found.push_back(e.path());
    return found;
  }

 private:
  fs::path folder_;
  std::optional<std::string> before_;
};

// A file's content as the folder listings compare it: large ones by size and a hash.
std::string Content(const std::string& bytes) {
  if (bytes.size() <= 256) return bytes;
  return std::to_string(bytes.size()) + " bytes, hash " +
         std::to_string(std::hash<std::string>{}(bytes));
}

// Every name in a folder, as what it is: a file's content, a link's target, a folder.
std::map<std::string, std::string> Tree(const fs::path& dir) {
  std::map<std::string, std::string> tree;
  std::error_code ignored;
  for (auto& e : fs::recursive_directory_iterator(dir, ignored)) {
    const std::string name = e.path().lexically_relative(dir).string();
    if (e.is_symlink(ignored))
      tree[name] = "link to " + fs::read_symlink(e.path(), ignored).string();
    else if (e.is_directory(ignored))
      tree[name] = "folder";
    else
      tree[name] = Content(Read(e.path()));
  }
  return tree;
}

// The names in dir of the file at target (itself and its hard links).
std::vector<std::string> NamesOf(const fs::path& dir, const fs::path& target) {
  std::vector<std::string> names;
  struct stat file {};
  if (::stat(target.c_str(), &file) != 0) return names;
  std::error_code ignored;
  for (auto& e : fs::recursive_directory_iterator(dir, ignored)) {
    struct stat st {};
    if (::lstat(e.path().c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_ino == file.st_ino &&
        st.st_dev == file.st_dev)
      names.push_back(e.path().lexically_relative(dir).string());
  }
  return names;
}

class Writer : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    scene_.dir = fs::temp_directory_path() /
                 ("zorvat-writer-" + std::to_string(::getpid()) + "-" + GetParam().name);
    fs::remove_all(scene_.dir);
    fs::create_directories(scene_.dir);
    cache_ = std::make_unique<CacheFolder>(scene_.dir.string() + "-cache");
    scene_.questions = &questions_;
  }
  void TearDown() override {
    cache_.reset();
    scene_.tmpfs.reset();
    std::error_code ignored;
    for (auto& e : fs::recursive_directory_iterator(scene_.dir, ignored))
      if (!e.is_symlink(ignored) && e.is_directory(ignored))
        fs::permissions(e.path(), fs::perms(0755), ignored);
    fs::remove_all(scene_.dir, ignored);
  }

  // Names of temporary files left anywhere in the scene.
  std::vector<std::string> Leftovers() const {
    std::vector<std::string> found;
    std::error_code ignored;
    for (auto& e : fs::recursive_directory_iterator(scene_.dir, ignored))
      if (e.path().filename().string().rfind(".zorvat-", 0) == 0) found.push_back(e.path());
    return found;
  }

  QuestionService questions_;
  Scene scene_;
  std::unique_ptr<CacheFolder> cache_;
};

TEST_P(Writer, OutcomeAndWhatItLeaves) {
  const Row& row = GetParam();
  row.stage(scene_);
  if (!scene_.skip.empty()) GTEST_SKIP() << scene_.skip;
  const std::string bytes = row.size ? std::string(row.size, 'n') : std::string("new content\n");
  std::string error;
  bool written = false;
  bool mayWrite = true;
  if (scene_.read) {
    // A save of a file the program read asks first when the file changed since.
    questions_.answers = scene_.answers;
    mayWrite = MayReplace(scene_.path, *scene_.read);
    if (!mayWrite && !questions_.shown.empty()) error = questions_.shown.back().text;
  }
  const auto before = Tree(scene_.dir);
  const std::vector<std::string> sameFile = NamesOf(scene_.dir, scene_.target);
  if (mayWrite) {
    Unprivileged as(scene_.unprivileged);
    written = platform::WriteFileAtomically(scene_.path, bytes, &error);
  }
  // Every name in the folder afterwards: as before, but for the file written under each of its
  // names (and a new one where there was none).
  auto expected = before;
  if (row.message == nullptr) {
    EXPECT_TRUE(written) << error;
    EXPECT_EQ(Content(Read(scene_.target)), Content(bytes));
    for (const std::string& name : sameFile) expected[name] = Content(bytes);
    expected[scene_.target.lexically_relative(scene_.dir).string()] = Content(bytes);
  } else {
    EXPECT_FALSE(written);
    EXPECT_EQ(error, platform::Format(row.message, scene_.named));
    if (!scene_.old.empty()) {
      EXPECT_EQ(Content(Read(scene_.target)), Content(scene_.old));
    }
  }
  EXPECT_EQ(Tree(scene_.dir), expected);
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  EXPECT_EQ(cache_->Kept(), std::vector<std::string>{});
  if (row.check) row.check(scene_);
}

INSTANTIATE_TEST_SUITE_P(Cases, Writer, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A write into the file itself that fails, and whose old content cannot be put back either: the
// message names where the old content is kept, and it is there whole, for a small file kept in
// memory as for a large one copied to the cache folder first.
TEST(WriterInPlace, OldContentNotPutBackIsKeptAndNamed) {
  const struct {
    std::size_t oldSize, newSize;
    const char* disk;
  } cases[] = {{12, 256 * 1024, "64k"}, {17 << 20, 32 << 20, "24m"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.oldSize);
    const fs::path dir =
        fs::temp_directory_path() / ("zorvat-putback-" + std::to_string(::getpid()));
    fs::create_directories(dir / "small");
    {
      const CacheFolder cache(dir.string() + "-cache");
      const Tmpfs tmpfs(dir / "small", c.disk);
      if (!tmpfs.Failure().empty()) GTEST_SKIP() << tmpfs.Failure();
      const fs::path target = dir / "small" / "cam1.cdc";
      const std::string old(c.oldSize, 'o');
      Put(target, old);
      fs::create_hard_link(target, dir / "small" / "cam2.cdc");
      platform::writer_faults::FailNext(platform::writer_faults::Step::kPutBack, EIO);
      std::string error;
      EXPECT_FALSE(platform::WriteFileAtomically(target, std::string(c.newSize, 'n'), &error));
      const std::vector<std::string> kept = cache.Kept();
      ASSERT_EQ(kept.size(), 1u);
      EXPECT_EQ(error, platform::Format("The file %s can not be written: no space is left on the "
                                        "disk. Its old content could not be put back; it is kept "
                                        "in %s.",
                                        target.string(), kept[0]));
      EXPECT_EQ(Content(Read(kept[0])), Content(old));
    }
    fs::remove_all(dir);
  }
}

}  // namespace
