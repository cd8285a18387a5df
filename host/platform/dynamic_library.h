// Shared libraries loaded at run time (modules, libpng, libGL).
#pragma once

#include <memory>
#include <string>
#include <utility>

namespace platform {

class DynamicLibrary {
 public:
  // Loads the library at path. On failure returns null and sets error to
  // the loader's own explanation.
  static std::unique_ptr<DynamicLibrary> Open(const std::string& path, std::string& error);

  // True while a library loaded from path is still mapped into the process.
  static bool IsMapped(const std::string& path);

  ~DynamicLibrary();  // unloads
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;

  // Address of an exported symbol, or null.
  void* Resolve(const char* name) const;
  const std::string& Path() const { return path_; }

  // Unloads now; returns false with error set when the loader refused.
  bool Close(std::string& error);

 private:
  DynamicLibrary(void* handle, std::string path) : handle_(handle), path_(std::move(path)) {}
  void* handle_;
  std::string path_;
};

}  // namespace platform
