#pragma once
// The two things the association store reads from the XDG data folders: the shared MIME
// database's glob lists (mime/globs2), which turn an extension into its MIME type, and the
// installed desktop files (applications/), which name the applications and the types they open.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrelink {

struct DesktopApp {
  std::string id;  // "vendor-app.desktop" for applications/vendor/app.desktop
  std::string path;
  std::vector<std::string> mimeTypes;
  int initialPreference = 0;
};

class MimeDatabase {
 public:
  // dataDirs in lookup order, most important first.
  explicit MimeDatabase(std::vector<std::string> dataDirs);

  // The MIME type of files ending in `extension` (with its leading dot) from the "*.ext" globs:
  // highest weight wins, then the more important folder. Matching ignores case unless the glob
  // is marked case-sensitive.
  std::optional<std::string> MimeTypeOfExtension(std::string_view extension) const;

  // The installed applications: the first desktop file of each id in lookup order, without the
  // ones marked Hidden. Ordered by folder, then by id.
  const std::vector<DesktopApp>& InstalledApps() const;
  const DesktopApp* FindApp(std::string_view id) const;

 private:
  std::vector<std::string> dataDirs_;
  mutable std::optional<std::vector<DesktopApp>> apps_;
};

}  // namespace ostrelink
