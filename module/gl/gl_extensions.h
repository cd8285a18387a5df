// The module's extension loaders: tests against the current context's
// extension string and resolving of the extension's entry points into the
// gl:: variables.
#pragma once

#include <GL/gl.h>

namespace gl {

// glGetString(name) as text, or null while unbound or without a context.
const char* GLString(GLenum name);

// True when name is a whole word of text; without a text, of the current
// context's extension string.
bool ExtensionSupported(const char* name, const char* text = nullptr);

// Runs the extension loader of that exact name. True when the driver offers
// the extension and every one of its entry points resolved; an extension
// without entry points needs its presence only. WGL_* names and names
// without a loader answer false.
bool LoadExtension(const char* name);

}  // namespace gl
