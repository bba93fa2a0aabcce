#pragma once

// What every fuzz target shares: the program's readers take files, so each input is written to a
// scratch folder of its own process first and the reader is handed the file's name.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/files.h"

namespace fuzz {

// A folder for this process's files ($TMPDIR or /tmp), made on first use and removed when the
// process ends; it is also the settings folder of the process.
inline const std::string& ScratchFolder() {
  struct Folder {
    std::string path;
    Folder() {
      const char* tmp = std::getenv("TMPDIR");
      path = std::string(tmp && tmp[0] == '/' ? tmp : "/tmp") + "/zorvat-fuzz-" +
             std::to_string(::getpid());
      platform::MakeDirectory(path);
      // The program keeps its settings and colour map in the settings folder: here, never in the
      // user's own.
      ::setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    ~Folder() {
      std::error_code ignored;
      std::filesystem::remove_all(path, ignored);
    }
  };
  static const Folder folder;
  return folder.path;
}

// Writes bytes as `name` in the scratch folder and returns its path. A plain write: the
// program's atomic replacement syncs the disk, which would slow fuzzing a hundredfold.
inline std::string WriteInput(std::string_view name, std::string_view bytes) {
  std::string path = ScratchFolder() + "/" + std::string(name);
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline std::string_view Bytes(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Inputs that hold two files: the text before the first zero byte and the bytes after it.
inline std::pair<std::string_view, std::string_view> SplitAtZero(std::string_view input) {
  const std::size_t zero = input.find('\0');
  if (zero == std::string_view::npos) return {input, {}};
  return {input.substr(0, zero), input.substr(zero + 1)};
}

// The same split at the last zero byte: the first file may hold zero bytes of its own.
inline std::pair<std::string_view, std::string_view> SplitAtLastZero(std::string_view input) {
  const std::size_t zero = input.rfind('\0');
  if (zero == std::string_view::npos) return {input, {}};
  return {input.substr(0, zero), input.substr(zero + 1)};
}

}  // namespace fuzz
