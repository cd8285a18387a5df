// The extension loaders as data: each name with the entry points its
// loader resolves. Both deliverables dispatch over the same table; only the
// module stores the resolved addresses.
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "shared/gl/gl_text.h"

enum class TGLExtensionKind {
  Extension,     // named in the GL extension string
  CoreVersion,   // part of the core from a GL version on
  WindowSystem,  // WGL_*: no window-system extensions on this platform
};

struct TGLExtension {
  const char* name;
  TGLExtensionKind kind;
  TGLVersion core_version;  // CoreVersion only
  std::span<const char* const> entry_points;
};

constexpr size_t kGLExtensionCount = 147;
extern const TGLExtension kGLExtensions[kGLExtensionCount];

// The loader of exactly that name (case-sensitive), or null.
const TGLExtension* FindGLExtension(std::string_view name);

// Whether the driver offers the extension, judged from its GL extension
// string and GL version string (either may be null: no context).
bool GLExtensionPresent(const TGLExtension& extension, const char* extension_string,
                        const char* version_string);
