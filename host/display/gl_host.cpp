#include "host/display/gl_host.h"

#include <stdexcept>

#include "host/messages/log.h"
#include "host/platform/gl_library.h"
#include "shared/gl/gl_extension_table.h"

void LoadGLLibrary(const std::string& file_name) {
  UnloadGLLibrary();
  try {
    std::string error;
    if (!platform::gl_library::Load(file_name, error)) throw std::runtime_error(error);
  } catch (...) {
    FatalError(MI_ERROR_OPENGLDLLNOTFOUND, {file_name});
  }
  hostgl::BindAll(&GetGLProcAddress);
}

void UnloadGLLibrary() {
  hostgl::ClearAll();
  platform::gl_library::Unload();
}

void* GetGLProcAddress(const char* name) {
  return platform::gl_library::Resolve(name);
}

void* GetGLExtProcAddress(const char* name) {
  return platform::gl_library::ResolveExtension(name);
}

const char* GLString(GLenum name) {
  if (hostgl::GetString == nullptr) return nullptr;
  return reinterpret_cast<const char*>(hostgl::GetString(name));
}

bool ExtensionSupported(const char* name, const char* text) {
  if (name == nullptr) return false;
  return ExtensionListed(name, text != nullptr ? text : GLString(GL_EXTENSIONS));
}

bool LoadExtension(const char* name) {
  const TGLExtension* extension = name != nullptr ? FindGLExtension(name) : nullptr;
  if (extension == nullptr) return false;
  // The host calls no extension entry point itself: presence is the answer.
  return GLExtensionPresent(*extension, GLString(GL_EXTENSIONS), GLString(GL_VERSION));
}
