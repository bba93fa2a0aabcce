#pragma once

#include <string>

namespace platform {

// The full path of the running program (empty when it cannot be found).
std::string ProgramPath();

}  // namespace platform
