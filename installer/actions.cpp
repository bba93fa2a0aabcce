// The five installer actions. Each one catches everything, logs it and answers the installer
// with a result that never fails the installation, except that GetAllOldDefaults and
// SetDefaultCustom return 1 when the association store cannot be opened.
#include "installer/ostrelink.h"

#include "installer/action_data.h"
#include "installer/association_store.h"
#include "installer/backup.h"
#include "installer/file_util.h"
#include "installer/result_codes.h"
#include "installer/xdg_paths.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace ostrelink {
namespace {

constexpr const char* kDataProperty = "CustomActionData";
constexpr const char* kProductCodeProperty = "ProductCode";
constexpr const char* kAllUsersProperty = "ALLUSERS";
constexpr const char* kExtensionPropertyPrefix = "QZ_DF_EXT_";
constexpr const char* kMimePropertyPrefix = "QZ_DF_MIME_";
constexpr const char* kUnknownException = "Failed to Set Defaults. Unknown exception";
constexpr const char* kNoDialog =
    "There is no association dialog on this system; the defaults of %s are left as they are";
constexpr size_t kMarkSize = 2;
constexpr unsigned kStoreUnavailable = 1;

class Session {
 public:
  explicit Session(OstrelinkSession* session) : session_(session) {}

  std::string Property(const std::string& name) const {
    if (!session_ || !session_->get_property) return {};
    const char* value = session_->get_property(session_->context, name.c_str());
    return value ? value : "";
  }
  void SetProperty(const std::string& name, const std::string& value) {
    if (session_ && session_->set_property) {
      session_->set_property(session_->context, name.c_str(), value.c_str());
    }
  }
  void Log(const std::string& text) {
    if (session_ && session_->log_info) session_->log_info(session_->context, text.c_str());
  }
  void LogFailure(int code) { Log("Failed to Set Defaults. Error code: " + std::to_string(code)); }

 private:
  OstrelinkSession* session_;
};

const char* Environment(const char* name) { return std::getenv(name); }

// The installer's ALLUSERS property chooses the scope, so the caller decides, not the uid.
std::optional<XdgPaths> PathsOf(const Session& session) {
  const Scope scope = session.Property(kAllUsersProperty) == "1" ? Scope::kMachine : Scope::kUser;
  return PathsForScope(scope, Environment);
}

std::optional<AssociationStore> OpenStore(Session& session) {
  std::optional<XdgPaths> paths = PathsOf(session);
  if (!paths) {
    session.LogFailure(kErrNoHome);
    return std::nullopt;
  }
  return AssociationStore(std::move(*paths), CurrentDesktops(Environment));
}

struct Item {
  std::string text;  // ".ext" or the MIME type
  AssocType type;
  std::string property;  // where GetAllOldDefaults keeps the former default
};

std::vector<Item> ItemsOf(const AppEntry& entry) {
  std::vector<Item> items;
  for (const std::string& ext : entry.extensions) {
    items.push_back({"." + ext, AssocType::kExtension, kExtensionPropertyPrefix + ext});
  }
  for (const std::string& mime : entry.mimeTypes) {
    items.push_back({mime, AssocType::kMimeType, kMimePropertyPrefix + mime});
  }
  return items;
}

std::optional<std::string> BackupPathOf(Session& session, const XdgPaths& paths) {
  std::optional<std::string> path =
      BackupPath(paths.stateRoot, session.Property(kProductCodeProperty));
  if (!path) session.LogFailure(kErrInvalidName);
  return path;
}

template <typename Action>
unsigned Guarded(OstrelinkSession* raw, Action action) {
  Session session(raw);
  try {
    return action(session);
  } catch (const std::exception& e) {
    session.Log(e.what());
  } catch (...) {
    session.Log(kUnknownException);
  }
  return 0;
}

unsigned RecordOldDefaults(Session& session) {
  std::optional<AssociationStore> store = OpenStore(session);
  if (!store) return kStoreUnavailable;
  const std::optional<AppEntry> entry = ParseEntry(session.Property(kDataProperty));
  if (!entry) return 0;
  for (const Item& item : ItemsOf(*entry)) {
    std::string current;
    // A type the application already handles (a repair, a second installation) has no former
    // handler to remember.
    if (store->QueryCurrentDefault(item.text, item.type, &current) == kOk && !current.empty() &&
        current != entry->application) {
      session.SetProperty(item.property, current);
    }
  }
  return 0;
}

unsigned SetDefaults(Session& session) {
  std::optional<AssociationStore> store = OpenStore(session);
  if (!store) return kStoreUnavailable;
  std::vector<BackupLine> lines;
  for (const AppEntry& entry : ParseEntries(session.Property(kDataProperty))) {
    for (const Item& item : ItemsOf(entry)) {
      const std::string old = session.Property(item.property);
      const std::string owner =
          old.empty() ? std::string() : store->FindOwner(item.text, item.type, old).value_or(old);
      if (const int rc = store->SetAppAsDefault(entry.application, item.text, item.type);
          rc != kOk) {
        session.LogFailure(rc);
        continue;
      }
      std::string now;
      if (store->QueryCurrentDefault(item.text, item.type, &now) == kOk && !now.empty() &&
          !old.empty() && old != now && old != entry.application) {
        lines.push_back({now, item.text, old, owner});
      }
    }
  }
  if (lines.empty()) return 0;
  if (const std::optional<std::string> path = BackupPathOf(session, store->paths())) {
    if (const int rc = WriteBackup(*path, lines, store->paths().folderMode); rc != 0) {
      session.LogFailure(rc);
    }
  }
  return 0;
}

void RestoreLines(Session& session, const XdgPaths& paths, const std::string& bytes) {
  if (bytes.size() <= kMarkSize) return;
  const std::vector<std::string> lines =
      SplitBackupLines(DecodeUtf16Le(std::string_view(bytes).substr(kMarkSize)));
  if (lines.empty()) return;
  AssociationStore store(paths, CurrentDesktops(Environment));
  for (const std::string& text : lines) {
    const std::optional<BackupLine> line = ParseBackupLine(text);
    if (!line || line->newProgId == line->oldProgId) continue;
    const AssocType type =
        line->item.empty() || line->item[0] == '.' ? AssocType::kExtension : AssocType::kMimeType;
    std::string current;
    if (const int rc = store.QueryCurrentDefault(line->item, type, &current); rc != kOk) {
      session.LogFailure(rc);
      continue;
    }
    // A type the user has given to another application since is left alone.
    if (current != line->newProgId) continue;
    if (const int rc = store.SetAppAsDefault(line->owner, line->item, type); rc != kOk) {
      session.LogFailure(rc);
    }
  }
}

unsigned Restore(Session& session) {
  const std::optional<XdgPaths> paths = PathsOf(session);
  if (!paths) {
    session.LogFailure(kErrNoHome);
    return 0;
  }
  const std::optional<std::string> path = BackupPathOf(session, *paths);
  if (!path) return 0;
  std::string bytes;
  if (const int rc = ReadWholeFile(*path, &bytes); rc != 0) {
    if (rc != -ENOENT) session.LogFailure(rc);
    return 0;
  }
  // The backup goes whatever happens, so a restore runs at most once per installation.
  struct RemoveWhenDone {
    Session& session;
    const std::string& path;
    ~RemoveWhenDone() {
      if (unlink(path.c_str()) != 0) session.LogFailure(-errno);
    }
  } remove{session, *path};
  RestoreLines(session, *paths, bytes);
  return 0;
}

unsigned SetAll(Session& session) {
  std::optional<AssociationStore> store = OpenStore(session);
  if (!store) return 0;
  if (const int rc = store->SetAppAsDefaultAll(session.Property(kDataProperty)); rc != kOk) {
    session.LogFailure(rc);
  }
  return 0;
}

unsigned Customize(Session& session) {
  const std::string app = session.Property(kDataProperty);
  std::string text = kNoDialog;
  text.replace(text.find("%s"), 2, app);
  session.Log(text);
  return 0;
}

}  // namespace
}  // namespace ostrelink

extern "C" {

unsigned GetAllOldDefaults(OstrelinkSession* session) {
  return ostrelink::Guarded(session, ostrelink::RecordOldDefaults);
}

unsigned SetDefaultCustom(OstrelinkSession* session) {
  return ostrelink::Guarded(session, ostrelink::SetDefaults);
}

unsigned SetDefaultAll(OstrelinkSession* session) {
  return ostrelink::Guarded(session, ostrelink::SetAll);
}

unsigned CustomizeDefaults(OstrelinkSession* session) {
  return ostrelink::Guarded(session, ostrelink::Customize);
}

unsigned RestoreDefaults(OstrelinkSession* session) {
  return ostrelink::Guarded(session, ostrelink::Restore);
}

}  // extern "C"
