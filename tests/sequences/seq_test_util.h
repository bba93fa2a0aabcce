#pragma once

// Helpers of the image-sequence tests: a temporary folder that removes itself and files written
// byte for byte.

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "common/temp_dir.h"

namespace seqtest {

// Test folders of this suite.
struct TempDir : testutil::TempDir {
  TempDir() : testutil::TempDir("zorvat_seq") {}
};

}  // namespace seqtest
