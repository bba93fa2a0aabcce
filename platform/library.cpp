#include "platform/library.h"

#include <dlfcn.h>

#include <utility>

namespace platform {

Library::Library(const std::string& name) {
  handle_ = ::dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = ::dlerror();
    error_ = why ? why : "cannot load " + name;
  }
}

Library::~Library() { Unload(); }

Library::Library(Library&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_)) {}

Library& Library::operator=(Library&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

void* Library::Symbol(const char* name) const {
  return handle_ && name ? ::dlsym(handle_, name) : nullptr;
}

void Library::Unload() {
  if (handle_) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace platform
