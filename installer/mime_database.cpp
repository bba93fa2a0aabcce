#include "installer/mime_database.h"

#include "installer/file_util.h"
#include "installer/text_util.h"

#include <algorithm>
#include <filesystem>
#include <set>

namespace ostrelink {
namespace {

constexpr std::string_view kNoGlobs = "__NOGLOBS__";
constexpr std::string_view kDesktopSuffix = ".desktop";

struct Glob {
  int weight = 0;
  std::string mimeType;
  std::string suffix;  // what follows "*" in a "*.ext" glob
  bool caseSensitive = false;
};

// Lines "weight:type:glob[:flags]"; only "*.ext" globs name an extension.
std::vector<Glob> ReadGlobs2(const std::string& path, std::set<std::string>* noGlobs) {
  std::vector<Glob> globs;
  std::string text;
  if (ReadWholeFile(path, &text) != 0) return globs;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> fields = Split(line, ':');
    if (fields.size() < 3) continue;
    if (fields[2] == kNoGlobs) {
      noGlobs->insert(fields[1]);
      continue;
    }
    const std::string& pattern = fields[2];
    if (pattern.size() < 3 || pattern[0] != '*' || pattern[1] != '.' ||
        pattern.find_first_of("*?[", 1) != std::string::npos) {
      continue;
    }
    Glob glob;
    glob.weight = std::atoi(fields[0].c_str());
    glob.mimeType = fields[1];
    glob.suffix = pattern.substr(1);
    glob.caseSensitive = fields.size() > 3 && fields[3].find("cs") != std::string::npos;
    globs.push_back(std::move(glob));
  }
  return globs;
}

DesktopApp ReadDesktopFile(const std::string& path, std::string id, bool* hidden) {
  DesktopApp app;
  app.id = std::move(id);
  app.path = path;
  *hidden = false;
  std::string text;
  if (ReadWholeFile(path, &text) != 0) {
    *hidden = true;  // unreadable: not usable as an application
    return app;
  }
  bool inEntry = false;
  for (const std::string& line : SplitLines(text)) {
    if (!line.empty() && line[0] == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    std::string key, value;
    if (!inEntry || !SplitKeyValue(line, &key, &value)) continue;
    if (key == "MimeType") {
      app.mimeTypes = Split(value, ';');
      std::erase(app.mimeTypes, std::string());
    } else if (key == "InitialPreference") {
      app.initialPreference = std::atoi(value.c_str());
    } else if (key == "Hidden") {
      *hidden = value == "true";
    }
  }
  return app;
}

}  // namespace

MimeDatabase::MimeDatabase(std::vector<std::string> dataDirs) : dataDirs_(std::move(dataDirs)) {}

std::optional<std::string> MimeDatabase::MimeTypeOfExtension(std::string_view extension) const {
  const std::string lowered = AsciiLower(extension);
  std::set<std::string> maskedTypes;  // __NOGLOBS__ of a more important folder
  std::optional<Glob> best;
  for (const std::string& dir : dataDirs_) {
    std::set<std::string> noGlobsHere;
    for (const Glob& glob : ReadGlobs2(dir + "/mime/globs2", &noGlobsHere)) {
      if (maskedTypes.count(glob.mimeType)) continue;
      const bool matches =
          glob.caseSensitive ? glob.suffix == extension : AsciiLower(glob.suffix) == lowered;
      if (matches && (!best || glob.weight > best->weight)) best = glob;
    }
    maskedTypes.insert(noGlobsHere.begin(), noGlobsHere.end());
  }
  if (!best) return std::nullopt;
  return best->mimeType;
}

const std::vector<DesktopApp>& MimeDatabase::InstalledApps() const {
  if (apps_) return *apps_;
  apps_.emplace();
  std::set<std::string> seen;
  for (const std::string& dir : dataDirs_) {
    const std::filesystem::path root = std::filesystem::path(dir) / "applications";
    std::error_code ec;
    std::vector<std::pair<std::string, std::string>> found;  // id, path
    for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end;
         it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (!name.ends_with(kDesktopSuffix) || !it->is_regular_file(ec)) continue;
      std::string id = it->path().lexically_relative(root).string();
      std::replace(id.begin(), id.end(), '/', '-');
      found.emplace_back(std::move(id), it->path().string());
    }
    std::sort(found.begin(), found.end());
    for (auto& [id, path] : found) {
      if (!seen.insert(id).second) continue;  // a more important folder has this id
      bool hidden = false;
      DesktopApp app = ReadDesktopFile(path, id, &hidden);
      if (!hidden) apps_->push_back(std::move(app));
    }
  }
  return *apps_;
}

const DesktopApp* MimeDatabase::FindApp(std::string_view id) const {
  for (const DesktopApp& app : InstalledApps()) {
    if (app.id == id) return &app;
  }
  return nullptr;
}

}  // namespace ostrelink
