#pragma once

// A shared library looked up by name at run time (the object-model library, the frame server).
// Callers test IsLoaded() and every function they take before calling it.

#include <string>

namespace platform {

class Library {
 public:
  Library() = default;
  // Loads the library by file name or path; IsLoaded() tells whether it worked.
  explicit Library(const std::string& name);
  ~Library();
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  Library(Library&& other) noexcept;
  Library& operator=(Library&& other) noexcept;

  bool IsLoaded() const { return handle_ != nullptr; }
  // The loader's reason when loading failed.
  const std::string& Error() const { return error_; }

  // The function of that name, or null.
  template <typename F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(Symbol(name));
  }
  void* Symbol(const char* name) const;

  void Unload();

 private:
  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace platform
