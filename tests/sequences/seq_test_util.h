#pragma once

// Helpers of the image-sequence tests: a temporary folder that removes itself and files written
// byte for byte.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include <unistd.h>

namespace seqtest {

class TempDir {
 public:
  TempDir() {
    path_ = std::filesystem::temp_directory_path() /
            ("zorvat_seq_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(std::string_view name) const { return (path_ / name).string(); }
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::string p = File(name);
    std::ofstream(p, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return p;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

}  // namespace seqtest
