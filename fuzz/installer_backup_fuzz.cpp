// The installer's association backup: merged into on installation, read back and removed on
// removal. The XDG folders point into the scratch folder, so nothing real is touched.

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "fuzz_input.h"
#include "installer/backup.h"
#include "installer/memory_session.h"
#include "installer/ostrelink.h"

namespace {

constexpr const char* kProductCode = "zorvat-fuzz";

std::string BackupFile() {
  static const std::string path = [] {
    const std::string home = fuzz::ScratchFolder() + "/home";
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"}) {
      ::setenv(name, (home + "/" + name).c_str(), 1);
    }
    ::setenv("HOME", home.c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (home + "/etc").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (home + "/share").c_str(), 1);
    return *ostrelink::BackupPath(home + "/XDG_STATE_HOME", kProductCode);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = BackupFile();
  const std::string_view input = fuzz::Bytes(data, size);
  // Installing again merges new lines into what the backup holds.
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
  ostrelink::WriteBackup(path, {{"zorvat.desktop", ".bld", "old.desktop", "old.desktop"}}, 0700);
  // Removal reads the backup back and deletes it.
  std::ofstream(path, std::ios::binary | std::ios::trunc) << input;
  ostrelink::MemorySession session;
  session.properties["ProductCode"] = kProductCode;
  RestoreDefaults(session.get());
  return 0;
}
