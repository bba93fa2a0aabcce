#pragma once
// The default applications of file types, kept in the freedesktop.org MIME application files.
// An application is a desktop file id ("zorvat.desktop"). An extension item (".bld") stands for
// the MIME type the shared MIME database gives it; a MIME type item stands for itself.
// The current default is what the mimeapps.list lookup order gives (as `xdg-mime query default`
// finds it): the first installed application listed in the first list that names the type,
// else the installed application that lists the type with the highest InitialPreference.
// Setting a default writes one mimeapps.list, that of the scope, keeping its other lines.
#include "installer/mime_database.h"
#include "installer/xdg_paths.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ostrelink {

// Numbered as the installer's association types.
enum class AssocType { kExtension = 0, kMimeType = 3 };

class AssociationStore {
 public:
  AssociationStore(XdgPaths paths, std::vector<std::string> desktopNames);

  // Result codes: installer/result_codes.h.
  int QueryCurrentDefault(std::string_view item, AssocType type, std::string* app) const;
  int SetAppAsDefault(std::string_view app, std::string_view item, AssocType type);
  // Makes `app` the default of every MIME type its desktop file lists.
  int SetAppAsDefaultAll(std::string_view app);

  // The installed application whose desktop file lists the item's type and has the id progId;
  // nothing when there is none.
  std::optional<std::string> FindOwner(std::string_view item, AssocType type,
                                       std::string_view progId) const;

  const XdgPaths& paths() const { return paths_; }
  std::string WriteFile() const;

 private:
  int MimeTypeOf(std::string_view item, AssocType type, std::string* mimeType) const;
  int WriteDefaults(const std::vector<std::pair<std::string, std::string>>& typeAndApp);
  std::vector<std::string> ListFilesInLookupOrder() const;

  XdgPaths paths_;
  std::vector<std::string> desktopNames_;
  MimeDatabase database_;
};

// True for a text that may stand as a desktop id, extension or MIME type in a mimeapps.list
// line or a property name: not empty, no control characters, none of "/=;[]" (a MIME type has
// exactly one "/"), no blanks at either end.
bool IsSafeName(std::string_view name, AssocType kind);
bool IsSafeAppId(std::string_view app);

}  // namespace ostrelink
