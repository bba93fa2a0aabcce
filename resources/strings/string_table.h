#pragma once

#include <cstddef>

#include "platform/strings.h"

namespace resources {
extern const platform::StringEntry kStringTable[];
extern const std::size_t kStringTableSize;
}  // namespace resources
