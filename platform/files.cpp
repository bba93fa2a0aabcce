#include "platform/files.h"

#include "platform/strings.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

namespace platform {
namespace {

// Set by tests to make the writer's next step of a kind fail with an error number.
int g_faults[2] = {0, 0};

// 0, or the error number a test set for this step (once).
int Fault(writer_faults::Step step) { return std::exchange(g_faults[static_cast<int>(step)], 0); }

// The message id of the cause a failed write names, from the system's error number; 0 where the
// system's own text says it best.
int CauseId(int error) {
  switch (error) {
    case EISDIR:
      return files_ids::kNotPlainFile;
    case EACCES:
    case EPERM:
      return files_ids::kNoPermission;
    case EROFS:
      return files_ids::kReadOnlyFileSystem;
    case ENOSPC:
      return files_ids::kNoSpace;
    case EDQUOT:
      return files_ids::kQuotaExceeded;
    case ENAMETOOLONG:
      return files_ids::kNameTooLong;
    case ENOENT:
    case ENOTDIR:
      return files_ids::kNoFolder;
    case ELOOP:
      return files_ids::kTooManyLinks;
    default:
      return 0;
  }
}

std::string CauseText(int error) {
  const int id = CauseId(error);
  return id != 0 ? std::string(LoadString(id)) : std::strerror(error);
}

// Why a write failed: the system's error number, and where that alone would mislead, the
// message id of the cause to name instead (a cause text with %s takes the system's text).
struct Failure {
  Failure() = default;
  explicit Failure(int systemError, int cause = 0) : error(systemError), causeId(cause) {}

  int error = 0;
  int causeId = 0;
  bool notPutBack = false;  // the old content could not be put back
  std::string kept;         // where it is then; empty: it is lost

  explicit operator bool() const { return error != 0 || causeId != 0; }
};

std::string MessageOf(const std::string& file, const Failure& failure) {
  std::string why = CauseText(failure.error);
  if (failure.causeId != 0) why = FormatString(failure.causeId, why);
  if (failure.notPutBack && failure.kept.empty())
    return FormatString(files_ids::kNotPutBackLost, file, why);
  if (failure.notPutBack) return FormatString(files_ids::kNotPutBack, file, why, failure.kept);
  return FormatString(files_ids::kCannotWrite, file, why);
}

bool Fail(std::string* error, const std::string& file, const Failure& failure) {
  if (error) *error = MessageOf(file, failure);
  return false;
}

// The folder and the name of path within it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

// path as messages name it: its folder as the system finds it (links and ".." resolved), so the
// user sees where the file really is; path itself when the folder cannot be resolved.
std::string RealFolderPath(const std::string& path) {
  const auto [folder, name] = SplitPath(path);
  char real[PATH_MAX];
  if (::realpath(folder.c_str(), real) == nullptr) return path;
  const std::string base(real);
  return base == "/" ? "/" + name : base + "/" + name;
}

// A link in a sticky folder every user may write is followed only when it belongs to the user
// or to the folder's owner: anyone else could have planted it to point a save at a file of
// theirs choosing. The kernel's own guard (fs.protected_symlinks) has the same rule, but a save
// follows links itself, so it applies the rule itself.
bool MayFollow(const std::string& link, const struct stat& st) {
  struct stat folder {};
  if (::stat(SplitPath(link).first.c_str(), &folder) != 0) return false;
  const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
  return !shared || st.st_uid == ::geteuid() || st.st_uid == folder.st_uid;
}

// The file a chain of symbolic links leads to (path itself when it is none), so that a save
// replaces the linked file rather than the link. A link may lead to a file not made yet.
// An empty Failure, or the one that stops the walk (ELOOP for a loop; a link that may not be
// followed, named in *refused).
Failure FollowLinks(const std::string& path, std::string& target, std::string* refused) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit on a chain of links
  target = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return Failure{errno == ENOENT ? 0 : errno};
    if (!S_ISLNK(st.st_mode)) return {};
    if (!MayFollow(target, st)) {
      if (refused) *refused = target;
      return Failure{0, files_ids::kLinkOfAnotherUser};
    }
    std::string next(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink(target.c_str(), next.data(), next.size());
    if (n < 0) return Failure{errno};
    if (n == 0 || static_cast<std::size_t>(n) >= next.size()) return Failure{ENAMETOOLONG};
    next.resize(static_cast<std::size_t>(n));
    if (next.front() != '/') {
      const std::size_t slash = target.rfind('/');
      if (slash != std::string::npos) next = target.substr(0, slash + 1) + next;
    }
    target = next;
  }
  return Failure{ELOOP};
}

bool ProtectedByMode(const std::string& file, const struct stat& st) {
  if ((st.st_mode & S_IWUSR) == 0) return true;
  // A read-only file system is not the file's protection: the write names that cause.
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno != EROFS;
}

// Creates a new file beside the target under a short name of its own, so that the name stays
// within the system's limit whatever the target's length; dot-first, so file choosers hide it
// while it exists. The descriptor, or -1 with errno.
int CreateTemporary(int folder, unsigned mode, std::string& name) {
  static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937 random{std::random_device{}()};
  std::uniform_int_distribution<int> digit(0, sizeof kDigits - 2);
  constexpr int kAttempts = 100;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    name = ".zorvat-";
    for (int i = 0; i < 10; ++i) name += kDigits[digit(random)];
    const int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// The names of a file's extended attributes (access lists among them); false with errno.
bool AttributeNames(const std::string& path, int fd, std::vector<std::string>& names) {
  std::vector<char> list;
  for (;;) {
    const ssize_t size =
        fd >= 0 ? ::flistxattr(fd, nullptr, 0) : ::llistxattr(path.c_str(), nullptr, 0);
    if (size < 0 && errno == ENOTSUP) {  // a file system without attributes: the file has none
      names.clear();
      return true;
    }
    if (size < 0) return false;
    list.resize(static_cast<std::size_t>(size));
    const ssize_t got = fd >= 0 ? ::flistxattr(fd, list.data(), list.size())
                                : ::llistxattr(path.c_str(), list.data(), list.size());
    if (got >= 0) {
      list.resize(static_cast<std::size_t>(got));
      break;
    }
    if (errno != ERANGE) return false;  // grew meanwhile: ask again
  }
  names.clear();
  for (std::size_t at = 0; at < list.size(); at += names.back().size() + 1)
    names.emplace_back(list.data() + at);
  return true;
}

// The value of an attribute; false with errno.
bool AttributeValue(const std::string& path, int fd, const std::string& name, std::string& value) {
  for (;;) {
    const ssize_t size = fd >= 0 ? ::fgetxattr(fd, name.c_str(), nullptr, 0)
                                 : ::lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t got = fd >= 0
                            ? ::fgetxattr(fd, name.c_str(), value.data(), value.size())
                            : ::lgetxattr(path.c_str(), name.c_str(), value.data(), value.size());
    if (got >= 0) {
      value.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
}

// Gives the new file exactly the extended attributes of the old one: its access list and the
// user's attributes, and none that the folder's defaults gave it. 0, or the error number.
int KeepAttributes(const std::string& oldPath, int fd) {
  std::vector<std::string> oldNames, newNames;
  if (!AttributeNames(oldPath, -1, oldNames) || !AttributeNames(oldPath, fd, newNames))
    return errno;
  for (const std::string& name : newNames)
    if (std::find(oldNames.begin(), oldNames.end(), name) == oldNames.end() &&
        ::fremovexattr(fd, name.c_str()) != 0)
      return errno;
  for (const std::string& name : oldNames) {
    std::string value, now;
    if (!AttributeValue(oldPath, -1, name, value)) return errno;
    if (AttributeValue(oldPath, fd, name, now) && now == value) continue;
    if (::fsetxattr(fd, name.c_str(), value.data(), value.size(), 0) != 0) return errno;
  }
  return 0;
}

int ChangeMode(int fd, mode_t mode) {
  if (const int fault = Fault(writer_faults::Step::kModeChange)) {
    errno = fault;
    return -1;
  }
  return ::fchmod(fd, mode);
}

// The outcome of giving the new file what the old one had: done, refused by the system (the
// file is then written in place, where it keeps all of it), or failed.
enum class Kept { kAll, kNotHere, kFailed };

// Gives the new file the owner, group, permission bits, access list and attributes of the one it
// replaces, so that a save changes nobody's access. The bits come after the owner, as a change
// of owner clears the set-id bits, and the access list last, as its mask is the group bits.
Kept KeepWhoMayUse(int fd, const std::string& oldPath, const struct stat& old, int& error) {
  struct stat now {};
  if (::fstat(fd, &now) != 0) return error = errno, Kept::kFailed;
  if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
      ::fchown(fd, old.st_uid, old.st_gid) != 0)
    return error = errno, errno == EPERM ? Kept::kNotHere : Kept::kFailed;
  if (ChangeMode(fd, old.st_mode & 07777) != 0) return error = errno, Kept::kFailed;
  if ((error = KeepAttributes(oldPath, fd)) != 0)
    return error == EPERM || error == ENOTSUP || error == EACCES ? Kept::kNotHere : Kept::kFailed;
  // What the system made of it all must be what the old file had.
  if (::fstat(fd, &now) != 0) return error = errno, Kept::kFailed;
  if (now.st_uid != old.st_uid || now.st_gid != old.st_gid ||
      (now.st_mode & 07777) != (old.st_mode & 07777))
    return error = EPERM, Kept::kFailed;
  return Kept::kAll;
}

// Writes bytes as the whole content of an open file, durably. 0, or the error number.
int ReplaceContent(int fd, std::string_view bytes) {
  if (const int failure = WriteAllAt(fd, bytes, 0)) return failure;
  if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) return errno;
  return ::fsync(fd) != 0 ? errno : 0;
}

// The old file must go where the write does not reach. An empty Failure, or the one that stops
// the save before anything was written; `replaceInPlace` when the new file could not be given
// what the old one had.
Failure WriteAndRename(int folder, const std::string& name, std::string_view bytes,
                       const std::string& oldPath, const struct stat* old, unsigned mode,
                       bool& replaceInPlace) {
  std::string temp;
  // The copy of an existing file is readable by none but its maker until it has the old bits.
  const int fd = CreateTemporary(folder, old ? 0600 : mode, temp);
  if (fd < 0)
    return Failure{errno, errno == EACCES || errno == EPERM ? files_ids::kNoFolderPermission : 0};
  Failure failure;
  if (old) {
    int error = 0;
    const Kept kept = KeepWhoMayUse(fd, oldPath, *old, error);
    if (kept == Kept::kNotHere) replaceInPlace = true;
    if (kept == Kept::kFailed) failure = Failure{error, files_ids::kAccessNotKept};
  }
  if (!failure && !replaceInPlace) failure.error = ReplaceContent(fd, bytes);
  if (::close(fd) != 0 && !failure) failure.error = errno;
  if (!failure && !replaceInPlace && ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0)
    failure.error = errno;
  if (failure || replaceInPlace) {
    ::unlinkat(folder, temp.c_str(), 0);
    return failure;
  }
  // The new name survives a crash once the folder is on disk; the file is in place either way.
  (void)::fsync(folder);
  return {};
}

// The user's cache folder for the old content of a large file while it is written in place.
std::string CacheFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  std::string base;
  if (cache && cache[0] == '/') {
    base = cache;
  } else if (const char* home = std::getenv("HOME"); home && home[0] == '/') {
    base = std::string(home) + "/.cache";
  } else {
    return std::string();
  }
  ::mkdir(base.c_str(), 0700);
  const std::string folder = base + "/zorvatrack";
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

// Copies count bytes from one open file to another from their starts; 0 or the error number.
int CopyContent(int from, int to, off_t count) {
  std::string buffer(std::size_t{1} << 20, '\0');
  for (off_t at = 0; at < count;) {
    const ssize_t n = ::pread(from, buffer.data(), buffer.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return n < 0 ? errno : EIO;  // shorter than it was: changed meanwhile
    if (const int failure = WriteAllAt(to, std::string_view(buffer.data(), n), at)) return failure;
    at += n;
  }
  return ::ftruncate(to, count) != 0 ? errno : 0;
}

// The old content of a file written in place, to be put back when the write fails: in memory,
// or for a large file as a copy in the user's cache folder.
class KeptContent {
 public:
  static constexpr off_t kInMemory = off_t{16} << 20;

  KeptContent() = default;
  KeptContent(const KeptContent&) = delete;
  KeptContent& operator=(const KeptContent&) = delete;
  ~KeptContent() {
    if (copy_ >= 0) ::close(copy_);
    if (!copyPath_.empty() && !keepCopy_) ::unlink(copyPath_.c_str());
  }

  // Takes the content of fd (size bytes); 0 or the error number.
  int Keep(int fd, off_t size) {
    size_ = size;
    if (size <= kInMemory) {
      bytes_.resize(static_cast<std::size_t>(size));
      for (std::size_t at = 0; at < bytes_.size();) {
        const ssize_t n =
            ::pread(fd, bytes_.data() + at, bytes_.size() - at, static_cast<off_t>(at));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? errno : EIO;
        at += static_cast<std::size_t>(n);
      }
      return 0;
    }
    if (const int failure = MakeCopy()) return failure;
    if (const int failure = CopyContent(fd, copy_, size)) return failure;
    return ::fsync(copy_) != 0 ? errno : 0;
  }

  // Puts the old content back into fd; true when it is there again.
  bool PutBack(int fd) {
    if (Fault(writer_faults::Step::kPutBack) != 0) return false;
    const int failure = copy_ >= 0 ? CopyContent(copy_, fd, size_) : ReplaceContent(fd, bytes_);
    return failure == 0 && ::fsync(fd) == 0;
  }

  // Where the old content stays for the user when it could not be put back: the copy, made now
  // for content held in memory; empty when even that fails.
  std::string Leave() {
    if (copy_ < 0 && (MakeCopy() != 0 || WriteAllAt(copy_, bytes_, 0) != 0 || ::fsync(copy_) != 0))
      return std::string();
    keepCopy_ = true;
    return copyPath_;
  }

 private:
  int MakeCopy() {
    const std::string folder = CacheFolder();
    if (folder.empty()) return ENOENT;
    std::string path = folder + "/kept-XXXXXX";
    copy_ = ::mkstemp(path.data());
    if (copy_ < 0) return errno;
    copyPath_ = path;
    return 0;
  }

  off_t size_ = 0;
  std::string bytes_;
  int copy_ = -1;
  std::string copyPath_;
  bool keepCopy_ = false;
};

// Writes the new content into the file itself, which keeps its other names, its owner and all
// it had, in a folder the user may not write too. The old content is kept first and put back
// when the write fails.
Failure WriteInPlace(int folder, const std::string& name, const struct stat& old,
                     std::string_view bytes) {
  const int fd = ::openat(folder, name.c_str(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return Failure{errno};
  struct stat now {};
  Failure failure;
  KeptContent kept;
  if (::fstat(fd, &now) != 0) {
    failure.error = errno;
  } else if (now.st_dev != old.st_dev || now.st_ino != old.st_ino) {
    failure.causeId = files_ids::kReplacedMeanwhile;  // another program's file now: not ours
  } else if (const int keeping = kept.Keep(fd, now.st_size)) {
    failure = Failure{keeping, files_ids::kOldContentNotKept};
  } else if (const int writing = ReplaceContent(fd, bytes)) {
    failure.error = writing;
    if (!kept.PutBack(fd)) {
      failure.notPutBack = true;
      failure.kept = kept.Leave();
    }
  }
  ::close(fd);
  return failure;
}

}  // namespace

namespace writer_faults {
void FailNext(Step step, int error) { g_faults[static_cast<int>(step)] = error; }
}  // namespace writer_faults

int WriteAllAt(int fd, std::string_view bytes, off_t at) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::pwrite(fd, data, left, at);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    data += n;
    at += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  if (!FileExists(path)) return false;  // a folder opens as a stream but cannot be read
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  try {
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  } catch (const std::exception&) {
    return false;
  }
  return !in.bad();
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* error,
                         unsigned mode) {
  std::string file, refused;
  if (const Failure failure = FollowLinks(path, file, &refused))
    return Fail(error, refused.empty() ? path : RealFolderPath(refused), failure);
  const std::string shown = RealFolderPath(file);
  const auto [folderPath, name] = SplitPath(file);
  if (name.empty()) return Fail(error, shown, Failure{EISDIR});
  const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return Fail(error, shown, Failure{errno});
  struct stat old {};
  const bool exists = ::fstatat(folder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0;
  Failure failure;
  if (!exists && errno != ENOENT) {
    failure.error = errno;
  } else if (exists && !S_ISREG(old.st_mode)) {
    failure.error = EISDIR;  // a link here now was put there after it was followed
  } else if (exists && ProtectedByMode(shown, old)) {
    ::close(folder);
    if (error) *error = FormatString(files_ids::kWriteProtected, shown);
    return false;
  } else {
    // A file of several names is one file: each name must show the new content. A folder the
    // user may not write takes no new file, though the file itself may be writable.
    bool inPlace =
        exists && (old.st_nlink > 1 || (::faccessat(folder, ".", W_OK, AT_EACCESS) != 0 &&
                                        (errno == EACCES || errno == EPERM)));
    if (!inPlace)
      failure = WriteAndRename(folder, name, bytes, shown, exists ? &old : nullptr, mode, inPlace);
    if (!failure && inPlace) failure = WriteInPlace(folder, name, old, bytes);
  }
  ::close(folder);
  return !failure || Fail(error, shown, failure);
}

std::string WriteFailureMessage(const std::string& file, int error) {
  return MessageOf(file, Failure{error});
}

bool IsWriteProtected(const std::string& path) {
  std::string file;
  if (FollowLinks(path, file, nullptr)) return false;
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ProtectedByMode(file, st);
}
namespace {

// The identity of the file fd has open, reached through path.
std::optional<FileIdentity> IdentityThrough(const std::string& path, int fd) {
  struct stat link {
  }, file{};
  if (::lstat(path.c_str(), &link) != 0 ||
      (fd >= 0 ? ::fstat(fd, &file) : ::stat(path.c_str(), &file)) != 0)
    return std::nullopt;
  FileIdentity id;
  id.device = file.st_dev;
  id.inode = file.st_ino;
  id.isLink = S_ISLNK(link.st_mode);
  if (id.isLink) {
    std::string target(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
    if (n < 0) return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    id.linkTarget = std::move(target);
  }
  return id;
}

}  // namespace

std::optional<FileIdentity> IdentityOf(const std::string& path) {
  return IdentityThrough(path, -1);
}

std::optional<FileFacts> ReadFileFacts(const std::string& path) {
  // Not blocking: a pipe of that name is no file to read and must not hang the program.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<FileFacts> facts;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    if (std::optional<FileIdentity> id = IdentityThrough(path, fd)) {
      facts.emplace();
      facts->identity = std::move(*id);
    }
  }
  Sha256 digest;
  std::string buffer(std::size_t{1} << 16, '\0');
  for (ssize_t n = 0; facts;) {
    n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) facts.reset();
    if (n <= 0) break;
    digest.Add(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    facts->size += static_cast<std::uint64_t>(n);
  }
  ::close(fd);
  if (facts) facts->digest = digest.Finish();
  return facts;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    std::size_t stop = end == std::string_view::npos ? text.size() : end;
    std::size_t len = stop - start;
    if (len > 0 && text[start + len - 1] == '\r') --len;
    lines.emplace_back(text.substr(start, len));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

std::string FindFileIgnoringCase(const std::string& path) {
  if (FileExists(path)) return path;
  std::size_t slash = path.rfind('/');
  std::string folder = slash == std::string::npos ? "." : path.substr(0, slash == 0 ? 1 : slash);
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return std::string();
  std::string found;
  while (dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      std::string candidate = slash == std::string::npos
                                  ? std::string(entry->d_name)
                                  : path.substr(0, slash + 1) + entry->d_name;
      if (FileExists(candidate)) {
        found = candidate;
        break;
      }
    }
  }
  ::closedir(dir);
  return found;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectory(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  return DirectoryExists(path);
}

}  // namespace platform
