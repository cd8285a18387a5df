#include "module/gl/gl_extensions.h"

#include "module/gl/gl_functions.h"
#include "module/gl/gl_slots.h"
#include "module/runtime/host_functions.h"
#include "shared/gl/gl_extension_table.h"
#include "shared/gl/gl_text.h"

namespace gl {

namespace {

void* ResolveExtensionEntryPoint(const char* name) {
  return host::GetGLExtProcAddress != nullptr ? host::GetGLExtProcAddress(name) : nullptr;
}

}  // namespace

const char* GLString(GLenum name) {
  if (GetString == nullptr) return nullptr;
  return reinterpret_cast<const char*>(GetString(name));
}

bool ExtensionSupported(const char* name, const char* text) {
  if (name == nullptr) return false;
  return ExtensionListed(name, text != nullptr ? text : GLString(GL_EXTENSIONS));
}

bool LoadExtension(const char* name) {
  const TGLExtension* extension = name != nullptr ? FindGLExtension(name) : nullptr;
  if (extension == nullptr ||
      !GLExtensionPresent(*extension, GLString(GL_EXTENSIONS), GLString(GL_VERSION))) {
    return false;
  }
  // Every entry point must resolve: a caller told yes calls all of them.
  bool all_resolved = true;
  for (const char* entry_point : extension->entry_points) {
    void* address = ResolveExtensionEntryPoint(entry_point);
    void** variable = ExtensionSlot(entry_point);
    if (variable != nullptr) *variable = address;
    all_resolved = all_resolved && address != nullptr && variable != nullptr;
  }
  return all_resolved;
}

}  // namespace gl
