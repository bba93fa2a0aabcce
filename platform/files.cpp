#include "platform/files.h"

#include "platform/strings.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <utility>

namespace platform {
namespace {

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

bool Fail(std::string* error, const std::string& file, int cause) {
  if (error) *error = WriteFailureMessage(file, cause);
  return false;
}

// The file a chain of symbolic links leads to (path itself when it is none), so that a save
// replaces the linked file rather than the link. A link may lead to a file not made yet.
// 0, or the error number that stops the walk (ELOOP for a loop).
int FollowLinks(const std::string& path, std::string& target) {
  constexpr int kMaxLinks = 40;  // the kernel's own limit on a chain of links
  target = path;
  for (int i = 0; i < kMaxLinks; ++i) {
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(st.st_mode)) return 0;
    std::string next(static_cast<std::size_t>(PATH_MAX), '\0');
    const ssize_t n = ::readlink(target.c_str(), next.data(), next.size());
    if (n < 0) return errno;
    if (n == 0 || static_cast<std::size_t>(n) >= next.size()) return ENAMETOOLONG;
    next.resize(static_cast<std::size_t>(n));
    if (next.front() != '/') {
      const std::size_t slash = target.rfind('/');
      if (slash != std::string::npos) next = target.substr(0, slash + 1) + next;
    }
    target = next;
  }
  return ELOOP;
}

bool ProtectedByMode(const std::string& file, const struct stat& st) {
  if ((st.st_mode & S_IWUSR) == 0) return true;
  // A read-only file system is not the file's protection: the write names that cause.
  return ::faccessat(AT_FDCWD, file.c_str(), W_OK, AT_EACCESS) != 0 && errno != EROFS;
}

// The folder and the name of path within it.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
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

// Gives the new file the owner, group and permission bits of the one it replaces. A process
// that may not give the owner keeps its own (a user's save of a colleague's file in a shared
// folder); the group follows where the user belongs to it. The bits come last, as a change of
// owner clears the set-id bits.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  struct stat now {};
  if (::fstat(fd, &now) == 0 && (now.st_uid != old.st_uid || now.st_gid != old.st_gid)) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, -1, old.st_gid);
  }
  (void)::fchmod(fd, old.st_mode & 07777);
}

// 0, or the error number of the failed write; a write that takes no bytes is a full disk.
int WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (n == 0) return ENOSPC;
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return 0;
}

// Writes the temporary file whole and durably, then renames it over the target. 0, or the
// error number of the step that failed.
int WriteAndRename(int folder, const std::string& name, std::string_view bytes,
                   const struct stat* old, unsigned mode) {
  std::string temp;
  const int fd = CreateTemporary(folder, mode, temp);
  if (fd < 0) return errno;
  if (old) KeepOwnerAndMode(fd, *old);
  int failure = WriteAll(fd, bytes);
  if (failure == 0 && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::renameat(folder, temp.c_str(), folder, name.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlinkat(folder, temp.c_str(), 0);
    return failure;
  }
  // The new name survives a crash once the folder is on disk; the file is in place either way.
  (void)::fsync(folder);
  return 0;
}

}  // namespace

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
  std::string file;
  if (const int failure = FollowLinks(path, file)) return Fail(error, path, failure);
  struct stat old {};
  const bool exists = ::stat(file.c_str(), &old) == 0;
  if (!exists && errno != ENOENT) return Fail(error, file, errno);
  if (exists && !S_ISREG(old.st_mode)) return Fail(error, file, EISDIR);
  if (exists && ProtectedByMode(file, old)) {
    if (error) *error = FormatString(files_ids::kWriteProtected, file);
    return false;
  }
  const auto [folderPath, name] = SplitPath(file);
  if (name.empty()) return Fail(error, file, EISDIR);
  const int folder = ::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return Fail(error, file, errno);
  // The copy of an existing file is readable by none but its maker until it has the old bits.
  const int failure =
      WriteAndRename(folder, name, bytes, exists ? &old : nullptr, exists ? 0600 : mode);
  ::close(folder);
  return failure == 0 || Fail(error, file, failure);
}

std::string WriteFailureMessage(const std::string& file, int error) {
  const int id = CauseId(error);
  const std::string why = id != 0 ? std::string(LoadString(id)) : std::strerror(error);
  return FormatString(files_ids::kCannotWrite, file, why);
}

bool IsWriteProtected(const std::string& path) {
  std::string file;
  if (FollowLinks(path, file) != 0) return false;
  struct stat st {};
  return ::stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ProtectedByMode(file, st);
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
      std::string candidate =
          slash == std::string::npos ? std::string(entry->d_name)
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
