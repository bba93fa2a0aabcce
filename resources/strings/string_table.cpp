#include "resources/strings/string_table.h"

// Each subsystem keeps its texts in its own file: {id, "exact text"}, one entry a line.
namespace resources {
const platform::StringEntry kStringTable[] = {
#include "resources/strings/app.inc"
#include "resources/strings/calibration.inc"
#include "resources/strings/sequences.inc"
#include "resources/strings/objects.inc"
#include "resources/strings/analysis.inc"
};
const std::size_t kStringTableSize = sizeof kStringTable / sizeof kStringTable[0];
}  // namespace resources
