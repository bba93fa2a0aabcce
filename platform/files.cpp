#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>

namespace platform {
namespace {

void SetError(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
}

std::string TemporaryNameBeside(const std::string& path) {
  static std::mt19937 random{std::random_device{}()};
  return path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(random() % 1000000);
}

bool WriteAll(int fd, std::string_view bytes) {
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    ssize_t n = ::write(fd, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
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
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    if (S_ISDIR(old.st_mode)) {
      errno = EISDIR;
      SetError(error, path);
      return false;
    }
    mode = old.st_mode & 07777;
  }
  const std::string temp = TemporaryNameBeside(path);
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    SetError(error, temp);
    return false;
  }
  // An existing file keeps its permissions despite the umask.
  if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, mode);
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (!ok) SetError(error, temp);
  if (::close(fd) != 0 && ok) {
    SetError(error, temp);
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
    SetError(error, path);
    ok = false;
  }
  if (!ok) ::unlink(temp.c_str());
  return ok;
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
