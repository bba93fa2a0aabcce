#include "platform/program_path.h"

#include <unistd.h>

#include <vector>

namespace platform {

std::string ProgramPath() {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (n <= 0 || static_cast<std::size_t>(n) >= buffer.size()) return std::string();
  return std::string(buffer.data(), static_cast<std::size_t>(n));
}

}  // namespace platform
