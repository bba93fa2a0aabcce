#include "installer/association_store.h"

#include "installer/file_util.h"
#include "installer/mimeapps.h"
#include "installer/result_codes.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace ostrelink {
namespace {

constexpr const char* kListName = "mimeapps.list";
constexpr mode_t kNewListMode = 0644;
constexpr mode_t kAnyWrite = 0222;

bool HasOnlySafeCharacters(std::string_view text, std::string_view forbidden) {
  if (text.empty() || text.front() == ' ' || text.back() == ' ') return false;
  for (char c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    if (forbidden.find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool Lists(const DesktopApp& app, std::string_view mimeType) {
  return std::find(app.mimeTypes.begin(), app.mimeTypes.end(), mimeType) != app.mimeTypes.end();
}

}  // namespace

bool IsSafeName(std::string_view name, AssocType kind) {
  if (kind == AssocType::kExtension) return HasOnlySafeCharacters(name, "/=;[]");
  const size_t slash = name.find('/');
  return slash != std::string_view::npos && slash > 0 && slash + 1 < name.size() &&
         name.find('/', slash + 1) == std::string_view::npos &&
         HasOnlySafeCharacters(name, "=;[] \t");
}

bool IsSafeAppId(std::string_view app) { return HasOnlySafeCharacters(app, "/=;[]"); }

AssociationStore::AssociationStore(XdgPaths paths, std::vector<std::string> desktopNames)
    : paths_(std::move(paths)),
      desktopNames_(std::move(desktopNames)),
      database_(paths_.dataDirs) {}

std::string AssociationStore::WriteFile() const { return paths_.writeConfigDir + "/" + kListName; }

int AssociationStore::MimeTypeOf(std::string_view item, AssocType type,
                                 std::string* mimeType) const {
  if (type == AssocType::kMimeType) {
    if (!IsSafeName(item, type)) return kErrInvalidName;
    *mimeType = std::string(item);
    return kOk;
  }
  if (item.size() < 2 || item[0] != '.' || !IsSafeName(item.substr(1), type)) {
    return kErrInvalidName;
  }
  const std::optional<std::string> found = database_.MimeTypeOfExtension(item);
  if (!found) return kErrNoAssociation;
  *mimeType = *found;
  return kOk;
}

std::vector<std::string> AssociationStore::ListFilesInLookupOrder() const {
  std::vector<std::string> files;
  auto addFolder = [&](const std::string& dir) {
    for (const std::string& desktop : desktopNames_) {
      files.push_back(dir + "/" + desktop + "-" + kListName);
    }
    files.push_back(dir + "/" + kListName);
  };
  for (const std::string& dir : paths_.configDirs) addFolder(dir);
  for (const std::string& dir : paths_.dataDirs) addFolder(dir + "/applications");
  return files;
}

int AssociationStore::QueryCurrentDefault(std::string_view item, AssocType type,
                                          std::string* app) const {
  std::string mimeType;
  if (const int rc = MimeTypeOf(item, type, &mimeType); rc != kOk) return rc;
  for (const std::string& file : ListFilesInLookupOrder()) {
    std::string text;
    if (ReadWholeFile(file, &text) != 0) continue;
    for (const std::string& listed : ListedDefaults(text, mimeType)) {
      if (database_.FindApp(listed)) {
        *app = listed;
        return kOk;
      }
    }
  }
  const DesktopApp* best = nullptr;
  for (const DesktopApp& candidate : database_.InstalledApps()) {
    if (Lists(candidate, mimeType) &&
        (!best || candidate.initialPreference > best->initialPreference)) {
      best = &candidate;
    }
  }
  if (!best) return kErrNoAssociation;
  *app = best->id;
  return kOk;
}

int AssociationStore::SetAppAsDefault(std::string_view app, std::string_view item, AssocType type) {
  if (!IsSafeAppId(app)) return kErrInvalidName;
  std::string mimeType;
  if (const int rc = MimeTypeOf(item, type, &mimeType); rc != kOk) return rc;
  if (!database_.FindApp(app)) return kErrAppNotInstalled;
  return WriteDefaults({{mimeType, std::string(app)}});
}

int AssociationStore::SetAppAsDefaultAll(std::string_view app) {
  if (!IsSafeAppId(app)) return kErrInvalidName;
  const DesktopApp* desktop = database_.FindApp(app);
  if (!desktop) return kErrAppNotInstalled;
  std::vector<std::pair<std::string, std::string>> typeAndApp;
  for (const std::string& mimeType : desktop->mimeTypes) {
    if (IsSafeName(mimeType, AssocType::kMimeType)) typeAndApp.emplace_back(mimeType, app);
  }
  if (typeAndApp.empty()) return kOk;
  return WriteDefaults(typeAndApp);
}

int AssociationStore::WriteDefaults(
    const std::vector<std::pair<std::string, std::string>>& typeAndApp) {
  const std::string path = WriteFile();
  std::string text;
  mode_t mode = kNewListMode;
  struct stat info;
  if (stat(path.c_str(), &info) == 0) {
    // A list without write permission is the owner's way of saying "leave it alone"; root, who
    // may write anyway, is held to it too.
    if (access(path.c_str(), W_OK) != 0) return -errno;
    if ((info.st_mode & kAnyWrite) == 0) return -EACCES;
    if (const int rc = ReadWholeFile(path, &text); rc != 0) return rc;
    mode = info.st_mode & 07777;
  } else if (errno != ENOENT) {
    return -errno;
  } else {
    std::vector<std::string> created;
    if (const int rc = MakeFolders(paths_.writeConfigDir, paths_.folderMode, &created); rc != 0) {
      return rc;
    }
  }
  for (const auto& [mimeType, app] : typeAndApp) text = WithDefault(text, mimeType, app);
  if (const int rc = ReplaceFile(path, text, mode); rc != 0) return rc;
  // A desktop-specific list, or one of a folder looked at first, may still name another
  // application; then the change did not take effect and the caller must hear of it.
  for (const auto& [mimeType, app] : typeAndApp) {
    std::string effective;
    if (QueryCurrentDefault(mimeType, AssocType::kMimeType, &effective) != kOk ||
        effective != app) {
      return kErrShadowed;
    }
  }
  return kOk;
}

std::optional<std::string> AssociationStore::FindOwner(std::string_view item, AssocType type,
                                                       std::string_view progId) const {
  std::string mimeType;
  if (MimeTypeOf(item, type, &mimeType) != kOk) return std::nullopt;
  const DesktopApp* app = database_.FindApp(progId);
  if (!app || !Lists(*app, mimeType)) return std::nullopt;
  return app->id;
}

}  // namespace ostrelink
