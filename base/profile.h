#pragma once

// AnaProfile: the program's settings, one section of one INI file. Section and key names are
// string-table entries passed by number; every read and write goes to the file at once.
// Missing files, sections and keys give the caller's default.

#include <string>
#include <string_view>

#include "base/profile_keys.h"

class AnaProfile {
 public:
  // With a file name the settings live there; without, in the settings folder
  // (SettingsFolder() + "/Zorvat-Player.INI"), or beside the program when there is no such
  // folder.
  explicit AnaProfile(const char* fileName = nullptr);

  const std::string& FilePath() const { return path_; }

  int GetInt(int section, int key, int def) const;
  // Copies the value (or def) cut to size - 1 characters into out; true when out is not empty.
  bool GetString(int section, int key, std::string& out, std::size_t size,
                 std::string_view def) const;
  // The default for a missing or empty value; text that is no number gives 0.0.
  double GetDouble(int section, int key, float def) const;

  // Writes go through a symbolic link to the file it names. A write-protected file is left as it
  // is (message 3091); a file that cannot be written keeps its old contents (message 3092).
  // Both show once, under caption 3090, until a write succeeds again, so that saving all
  // settings at once gives one message rather than one per key.
  bool WriteInt(int section, int key, int value);
  bool WriteString(int section, int key, std::string_view text);
  // Written as "%g" of the value widened to double: 1.0 is "1", 0.495f is "0.495".
  bool WriteValue(int section, int key, double value);

 private:
  void ReportFailedWrite(bool readOnly, const std::string& reason);

  std::string path_;
  bool failureShown_ = false;
};

namespace profile_ids {
inline constexpr int kNotSavedCaption = 3090;  // "Settings not saved"
inline constexpr int kWriteProtected = 3091;
inline constexpr int kCannotWrite = 3092;
}  // namespace profile_ids

// The store every subsystem uses; made by the program entry before anything reads a setting.
extern AnaProfile* g_Profile;

// The user's application-data folder ($XDG_CONFIG_HOME, else ~/.config); empty when there is no
// home.
std::string GetAppDataFolder();

// The settings folder: the application-data folder + "/Harvelund/Zorvatrack", created on demand;
// empty when there is no application-data folder.
std::string SettingsFolder();
