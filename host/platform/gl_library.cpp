#include "host/platform/gl_library.h"

#include <SDL.h>

#include <memory>

#include "host/platform/dynamic_library.h"

namespace platform::gl_library {

namespace {
// Non-null exactly while SDL holds the library for us.
std::unique_ptr<DynamicLibrary> g_library;
}  // namespace

bool Load(const std::string& path, std::string& error) {
  Unload();
  if (SDL_GL_LoadLibrary(path.c_str()) != 0) {
    error = SDL_GetError();
    return false;
  }
  // SDL has mapped it already; this only takes a second reference to the
  // same object.
  g_library = DynamicLibrary::Open(path, error);
  if (!g_library) {
    SDL_GL_UnloadLibrary();
    return false;
  }
  return true;
}

void Unload() {
  if (!g_library) return;
  g_library.reset();
  SDL_GL_UnloadLibrary();
}

bool IsLoaded() {
  return g_library != nullptr;
}

void* Resolve(const char* name) {
  return g_library && name != nullptr ? g_library->Resolve(name) : nullptr;
}

void* ResolveExtension(const char* name) {
  return g_library && name != nullptr ? SDL_GL_GetProcAddress(name) : nullptr;
}

}  // namespace platform::gl_library
