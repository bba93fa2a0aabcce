#pragma once
// An installer session held in memory: properties in a map, log records in a list. The
// command-line host runs the actions on one, and so do the tests.
#include "installer/ostrelink.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace ostrelink {

class MemorySession {
 public:
  MemorySession() {
    session_.context = this;
    session_.get_property = [](void* context, const char* name) -> const char* {
      auto* self = static_cast<MemorySession*>(context);
      const auto it = self->properties.find(name);
      return it == self->properties.end() ? nullptr : it->second.c_str();
    };
    session_.set_property = [](void* context, const char* name, const char* value) {
      auto* self = static_cast<MemorySession*>(context);
      self->properties[name] = value;
      if (self->onPropertySet) self->onPropertySet(name, value);
      return 0;
    };
    session_.log_info = [](void* context, const char* text) {
      auto* self = static_cast<MemorySession*>(context);
      self->log.emplace_back(text);
      if (self->onLog) self->onLog(text);
    };
  }
  MemorySession(const MemorySession&) = delete;
  MemorySession& operator=(const MemorySession&) = delete;

  OstrelinkSession* get() { return &session_; }

  std::optional<std::string> Property(const std::string& name) const {
    const auto it = properties.find(name);
    if (it == properties.end()) return std::nullopt;
    return it->second;
  }

  std::map<std::string, std::string> properties;
  std::vector<std::string> log;
  std::function<void(const std::string&)> onLog;
  std::function<void(const std::string&, const std::string&)> onPropertySet;

 private:
  OstrelinkSession session_{};
};

}  // namespace ostrelink
