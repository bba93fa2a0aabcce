// The writer every save goes through, against the situations a user's files are in: links,
// write-protected files and folders, long names, read-only and full file systems.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "platform/files.h"
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
    {"FolderWithoutWritePermission",
     [](Scene& s) {
       s.unprivileged = true;
       fs::create_directories(s.dir / "locked");
       s.Aim(s.dir / "locked" / "calib.cdc", "old\n", fs::perms(0666));
       fs::permissions(s.dir / "locked", fs::perms(0555));
     },
     "The file %s can not be written: no permission to write there."},
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
     nullptr, [](const Scene& s) { EXPECT_EQ(ModeOf(s.target), 0666u); }},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

class Writer : public ::testing::TestWithParam<Row> {
 protected:
  void SetUp() override {
    scene_.dir = fs::temp_directory_path() /
                 ("zorvat-writer-" + std::to_string(::getpid()) + "-" + GetParam().name);
    fs::remove_all(scene_.dir);
    fs::create_directories(scene_.dir);
  }
  void TearDown() override {
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

  Scene scene_;
};

TEST_P(Writer, OutcomeAndWhatItLeaves) {
  const Row& row = GetParam();
  row.stage(scene_);
  if (!scene_.skip.empty()) GTEST_SKIP() << scene_.skip;
  const std::string bytes = row.size ? std::string(row.size, 'n') : std::string("new content\n");
  std::string error;
  bool written = false;
  {
    Unprivileged as(scene_.unprivileged);
    written = platform::WriteFileAtomically(scene_.path, bytes, &error);
  }
  if (row.message == nullptr) {
    EXPECT_TRUE(written) << error;
    EXPECT_EQ(Read(scene_.target), bytes);
  } else {
    EXPECT_FALSE(written);
    EXPECT_EQ(error, platform::Format(row.message, scene_.named));
    if (!scene_.old.empty()) {
      EXPECT_EQ(Read(scene_.target), scene_.old);
    }
  }
  EXPECT_EQ(Leftovers(), std::vector<std::string>{});
  if (row.check) row.check(scene_);
}

INSTANTIATE_TEST_SUITE_P(Cases, Writer, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
