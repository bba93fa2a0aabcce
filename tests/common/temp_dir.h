#pragma once

// A fresh folder under the system's temporary folder for one test, removed with its contents
// when the test ends.

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace testutil {

class TempDir {
 public:
  explicit TempDir(std::string_view prefix = "zorvat") {
    path_ = std::filesystem::temp_directory_path() /
            (std::string(prefix) + "_" + std::to_string(::getpid()) + "_" +
             std::to_string(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(std::string_view name) const { return (path_ / name).string(); }
  // Writes bytes to name (creating its folders) and returns the file's path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::string p = File(name);
    std::filesystem::create_directories(std::filesystem::path(p).parent_path());
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

}  // namespace testutil
