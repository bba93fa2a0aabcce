#pragma once

// The peak memory of a piece of work: the kernel's high-water mark of the process's resident
// memory, reset before the work (Linux's clear_refs), less what was resident then.

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>

namespace testutil {

class PeakMemory {
 public:
  // Resets the high-water mark; Available() tells whether the kernel let it.
  PeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    available_ = static_cast<bool>(clear);
    start_ = Field("VmRSS:").value_or(0);
  }
  bool Available() const { return available_ && Field("VmHWM:").has_value(); }
  // Bytes the process held at its peak since construction beyond what it held then.
  std::int64_t GrowthBytes() const { return (Field("VmHWM:").value_or(start_) - start_) * 1024; }

 private:
  // A field of /proc/self/status in kB.
  static std::optional<std::int64_t> Field(const std::string& name) {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
      if (key == name) {
        std::int64_t kb = 0;
        if (status >> kb) return kb;
        return std::nullopt;
      }
      status.ignore(1 << 20, '\n');
    }
    return std::nullopt;
  }

  bool available_ = false;
  std::int64_t start_ = 0;
};

}  // namespace testutil
