#include "shared/gl/gl_extension_table.h"

const TGLExtension* FindGLExtension(std::string_view name) {
  for (const TGLExtension& extension : kGLExtensions) {
    if (name == extension.name) return &extension;
  }
  return nullptr;
}

bool GLExtensionPresent(const TGLExtension& extension, const char* extension_string,
                        const char* version_string) {
  switch (extension.kind) {
    case TGLExtensionKind::Extension:
      return ExtensionListed(extension.name, extension_string);
    case TGLExtensionKind::CoreVersion:
      // No version string means no context: nothing is present.
      return version_string != nullptr && ParseGLVersion(version_string) >= extension.core_version;
    case TGLExtensionKind::WindowSystem:
      break;
  }
  return false;
}
