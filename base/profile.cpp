#include "base/profile.h"

#include <cstdlib>

#include "base/messages.h"
#include "platform/files.h"
#include "platform/ini.h"
#include "platform/numbers.h"
#include "platform/program_path.h"
#include "platform/strings.h"

AnaProfile* g_Profile = nullptr;

namespace {

std::string Name(int id) { return std::string(platform::LoadString(id)); }

// The settings file beside the program: its name with ".INI" in place of the extension of the
// file name (a dot in a folder name is not an extension).
std::string BesideProgram() {
  std::string path = platform::ProgramPath();
  if (path.empty()) path = "zorvat";
  std::size_t slash = path.rfind('/');
  std::size_t dot = path.rfind('.');
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) path.erase(dot);
  return path + ".INI";
}

}  // namespace

std::string GetAppDataFolder() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.config";
  return std::string();
}

std::string SettingsFolder() {
  std::string folder = GetAppDataFolder();
  if (folder.empty()) return folder;
  platform::MakeDirectory(folder);
  folder += "/Harvelund";
  platform::MakeDirectory(folder);
  folder += "/Zorvatrack";
  platform::MakeDirectory(folder);
  return folder;
}

AnaProfile::AnaProfile(const char* fileName) {
  if (fileName) {
    path_ = fileName;
    return;
  }
  std::string folder = SettingsFolder();
  path_ = folder.empty() ? BesideProgram() : folder + "/Zorvat-Player.INI";
}

int AnaProfile::GetInt(int section, int key, int def) const {
  auto value = platform::ini::ReadValue(path_, Name(section), Name(key));
  if (!value) return def;
  return static_cast<int>(platform::ParseLong(*value));
}

bool AnaProfile::GetString(int section, int key, std::string& out, std::size_t size,
                           std::string_view def) const {
  auto value = platform::ini::ReadValue(path_, Name(section), Name(key));
  out = value ? *value : std::string(def);
  if (size == 0) {
    out.clear();
  } else if (out.size() > size - 1) {
    out.resize(size - 1);
  }
  return !out.empty();
}

double AnaProfile::GetDouble(int section, int key, float def) const {
  std::string text;
  if (!GetString(section, key, text, 256, "")) return def;
  return platform::ParseDouble(text);
}

bool AnaProfile::WriteInt(int section, int key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool AnaProfile::WriteString(int section, int key, std::string_view text) {
  using platform::ini::WriteResult;
  std::string reason;
  const WriteResult result =
      platform::ini::WriteValue(path_, Name(section), Name(key), text, &reason);
  if (result == WriteResult::kWritten) {
    failureShown_ = false;
    return true;
  }
  ReportFailedWrite(result == WriteResult::kReadOnly, reason);
  return false;
}

void AnaProfile::ReportFailedWrite(bool readOnly, const std::string& reason) {
  if (failureShown_) return;
  failureShown_ = true;
  if (readOnly) {
    ErrorMessage(profile_ids::kNotSavedCaption, profile_ids::kWriteProtected, path_);
  } else {
    // The writer's reason names the file and the cause.
    ErrorMessage(profile_ids::kNotSavedCaption, profile_ids::kCannotWrite, reason);
  }
}

bool AnaProfile::WriteValue(int section, int key, double value) {
  return WriteString(section, key, platform::FormatG(value));
}
