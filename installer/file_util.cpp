#include "installer/file_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace ostrelink {
namespace {

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return -errno;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

}  // namespace

int ReadWholeFile(const std::string& path, std::string* bytes) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -errno;
  bytes->clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int rc = -errno;
      close(fd);
      return rc;
    }
    if (n == 0) break;
    bytes->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return 0;
}

std::string ParentOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode) {
  std::string target = path;
  char resolved[PATH_MAX];
  struct stat linkInfo;
  if (lstat(path.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
    if (!realpath(path.c_str(), resolved)) return -errno;
    target = resolved;
  }
  std::string temp = target + ".XXXXXX";
  const int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return -errno;
  int rc = fchmod(fd, mode) == 0 ? 0 : -errno;
  if (rc == 0) rc = WriteAll(fd, bytes);
  if (rc == 0 && fsync(fd) != 0) rc = -errno;
  if (close(fd) != 0 && rc == 0) rc = -errno;
  if (rc == 0 && rename(temp.c_str(), target.c_str()) != 0) rc = -errno;
  if (rc != 0) unlink(temp.c_str());
  return rc;
}

int MakeFolders(const std::string& dir, mode_t mode, std::vector<std::string>* created) {
  const size_t firstCreated = created->size();
  size_t pos = 0;
  while (pos < dir.size()) {
    size_t next = dir.find('/', pos + 1);
    if (next == std::string::npos) next = dir.size();
    const std::string level = dir.substr(0, next);
    pos = next;
    if (level == "/" || level.empty() || level.back() == '/') continue;
    if (mkdir(level.c_str(), mode) == 0) {
      created->push_back(level);
      continue;
    }
    const int err = errno;
    struct stat info;
    if (err == EEXIST && stat(level.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) continue;
    // Roll back only what this call made; folders that were there before stay.
    RemoveFolders(std::vector<std::string>(created->begin() + firstCreated, created->end()));
    created->resize(firstCreated);
    return err == EEXIST ? -ENOTDIR : -err;
  }
  return 0;
}

void RemoveFolders(const std::vector<std::string>& created) {
  for (auto it = created.rbegin(); it != created.rend(); ++it) rmdir(it->c_str());
}

}  // namespace ostrelink
