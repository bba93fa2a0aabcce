#include "base/filename.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <vector>

namespace {

bool HasDriveLetter(std::string_view p) {
  return p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
}

std::string CurrentDirectory() {
  std::vector<char> buffer(4096);
  while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
    if (errno != ERANGE || buffer.size() > (1u << 20)) return "/";
    buffer.resize(buffer.size() * 2);
  }
  return std::string(buffer.data());
}

// Removes ".", empty components and resolves ".." lexically, as a full-path conversion does;
// ".." at the root stays at the root.
std::string Normalise(const std::string& absolute) {
  std::vector<std::string_view> parts;
  std::string_view rest(absolute);
  while (!rest.empty()) {
    std::size_t slash = rest.find('/');
    std::string_view part = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    if (part.empty() || part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(part);
  }
  std::string out;
  for (auto part : parts) {
    out += '/';
    out += part;
  }
  if (out.empty()) out = "/";
  if (absolute.size() > 1 && absolute.back() == '/' && out != "/") out += '/';
  return out;
}

// Index just after the last "/" (0 when there is none).
std::size_t NameStart(const std::string& p) {
  std::size_t slash = p.rfind('/');
  return slash == std::string::npos ? 0 : slash + 1;
}

// Index of the "." that starts the extension of the last component, or npos.
std::size_t ExtStart(const std::string& p) {
  std::size_t dot = p.rfind('.');
  return dot == std::string::npos || dot < NameStart(p) ? std::string::npos : dot;
}

std::vector<std::string_view> Components(std::string_view dir) {
  std::vector<std::string_view> out;
  while (!dir.empty()) {
    std::size_t slash = dir.find('/');
    std::string_view part = dir.substr(0, slash);
    if (!part.empty()) out.push_back(part);
    if (slash == std::string_view::npos) break;
    dir.remove_prefix(slash + 1);
  }
  return out;
}

}  // namespace

std::string ToPosixPath(std::string_view path) {
  std::string p(path);
  for (char& c : p)
    if (c == '\\') c = '/';
  if (HasDriveLetter(p)) p.erase(0, 2);
  return p;
}

FileName::FileName(std::string_view path) { SetFullPath(path); }

FileName::FileName(std::string_view dir, std::string_view name) {
  std::string joined(dir);
  joined += name;
  SetFullPath(joined);
}

FileName FileName::FromParts(std::string_view, std::string_view dir, std::string_view name,
                             std::string_view ext) {
  std::string p = ToPosixPath(dir);
  if (!p.empty() && p.back() != '/') p += '/';
  p += name;
  if (!ext.empty() && ext.front() != '.') p += '.';
  p += ext;
  return FileName(p);
}

FileName FileName::ResolveAgainst(const FileName& base, std::string_view name) {
  std::string p = ToPosixPath(name);
  if (!p.empty() && p.front() == '/') return FileName(p);
  return FileName(base.Folder(), p);
}

void FileName::SetFullPath(std::string_view path) {
  std::string p = ToPosixPath(path);
  if (p.empty()) {
    path_.clear();
    null_ = true;
    return;
  }
  if (p.front() != '/') p = CurrentDirectory() + "/" + p;
  path_ = Normalise(p);
  null_ = false;
}

std::string FileName::Dir() const {
  if (null_) return std::string();
  return path_.substr(0, NameStart(path_));
}

std::string FileName::Name() const {
  if (null_) return std::string();
  std::size_t start = NameStart(path_);
  std::size_t ext = ExtStart(path_);
  return path_.substr(start, (ext == std::string::npos ? path_.size() : ext) - start);
}

std::string FileName::Ext() const {
  if (null_) return std::string();
  std::size_t ext = ExtStart(path_);
  return ext == std::string::npos ? std::string() : path_.substr(ext);
}

std::string FileName::NameExt() const {
  if (null_) return std::string();
  return path_.substr(NameStart(path_));
}

std::string FileName::Folder() const { return Dir(); }

void FileName::SetExtension(std::string_view ext) {
  if (null_) return;
  if (!ext.empty() && ext.front() == '.') ext.remove_prefix(1);
  if (ext.empty()) return;
  std::size_t dot = ExtStart(path_);
  if (dot == std::string::npos) {
    path_ += '.';
  } else {
    path_.erase(dot + 1);
  }
  path_ += ext;
}

std::string FileName::RelativeTo(const FileName& base) const {
  if (null_) return std::string();
  if (base.null_) return path_;
  const std::string dir = Dir();
  const std::string baseDir = base.Dir();
  if (dir == baseDir) return NameExt();
  // Folders on POSIX differ by case, so components compare exactly.
  auto mine = Components(dir);
  auto theirs = Components(baseDir);
  std::size_t common = 0;
  while (common < mine.size() && common < theirs.size() && mine[common] == theirs[common]) ++common;
  std::string out;
  for (std::size_t i = common; i < theirs.size(); ++i) out += "../";
  for (std::size_t i = common; i < mine.size(); ++i) {
    out += mine[i];
    out += '/';
  }
  return out + NameExt();
}

std::string FileName::ValueRelativeTo(const FileName& base) const {
  std::string value = RelativeTo(base);
  const bool skipped = !value.empty() && (static_cast<unsigned char>(value[0]) <= ' ' ||
                                          value[0] == '\x7f');
  if (skipped || HasDriveLetter(value)) value.insert(0, "./");
  return value;
}

bool NameReadsBack(std::string_view path) {
  if (path.find_first_of("\r\n\\") != std::string_view::npos) return false;
  return path.empty() || !std::isspace(static_cast<unsigned char>(path.back()));
}
