// The process's OpenGL library. SDL loads it (its GL windows need it loaded
// first) and the same library is opened here as well, so its exports can be
// resolved by name.
#pragma once

#include <string>

namespace platform::gl_library {

// Loads the library at path into SDL and opens it for resolving. Needs
// SDL's video subsystem. On failure returns false with error set and leaves
// nothing loaded.
bool Load(const std::string& path, std::string& error);
// Gives the library back to SDL; does nothing when none is loaded.
void Unload();
bool IsLoaded();

// The library's own export of that name, or null.
void* Resolve(const char* name);
// The driver's address for an extension entry point. The driver answers
// with a stub even for names it does not know, so callers ask only for
// entry points of extensions the driver names.
void* ResolveExtension(const char* name);

}  // namespace platform::gl_library
