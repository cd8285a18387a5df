#include "host/platform/dynamic_library.h"

#include <dlfcn.h>

namespace platform {

namespace {

// The loader's text for the last failure; clears it as dlerror does.
std::string LoaderError() {
  const char* text = dlerror();
  return text != nullptr ? text : "unknown dynamic loader error";
}

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::Open(const std::string& path, std::string& error) {
  dlerror();  // drop any stale text
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    error = LoaderError();
    return nullptr;
  }
  return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle, path));
}

bool DynamicLibrary::IsMapped(const std::string& path) {
  // RTLD_NOLOAD finds an already loaded object (by name or by file
  // identity) without loading it; a hit raises its reference count, so give
  // that back at once.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) {
    dlerror();  // do not leave the miss behind for someone else's dlerror
    return false;
  }
  dlclose(handle);
  return true;
}

DynamicLibrary::~DynamicLibrary() {
  if (handle_ != nullptr) dlclose(handle_);
}

void* DynamicLibrary::Resolve(const char* name) const {
  if (handle_ == nullptr || name == nullptr) return nullptr;
  void* address = dlsym(handle_, name);
  if (address == nullptr) dlerror();  // missing symbol: clear the text
  return address;
}

bool DynamicLibrary::Close(std::string& error) {
  if (handle_ == nullptr) return true;
  void* handle = handle_;
  // Whatever the loader says, this handle must not be used or closed again.
  handle_ = nullptr;
  dlerror();
  if (dlclose(handle) != 0) {
    error = LoaderError();
    return false;
  }
  return true;
}

}  // namespace platform
