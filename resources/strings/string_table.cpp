#include "platform/strings.h"

// Each subsystem keeps its texts in its own file: {id, "exact text"}, one entry a line.
namespace platform {
const StringEntry kStringTable[] = {
#include "resources/strings/analysis.inc"
#include "resources/strings/app.inc"
#include "resources/strings/calibration.inc"
#include "resources/strings/objects.inc"
#include "resources/strings/sequences.inc"
};
const std::size_t kStringTableSize = sizeof kStringTable / sizeof kStringTable[0];
}  // namespace platform
