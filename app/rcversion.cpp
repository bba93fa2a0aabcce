#include "app/rcversion.h"

#include "platform/version.h"

namespace {
constexpr const char* kLegalCopyright = "Copyright (C) 2026 Harvelund";
}  // namespace

ProjectRCVersion::ProjectRCVersion()
    : productName_(platform::kProductName),
      productVersion_(platform::kProductVersion),
      fileVersion_(platform::kProductVersion),
      legalCopyright_(kLegalCopyright) {}
