// The host's OpenGL library: loading it, resolving entry points for itself
// and for modules (host functions 10 and 12), and the extension queries.
#pragma once

#include <GL/gl.h>

#include <string>

#include "host/display/gl_host_functions.h"
#include "shared/gl/gl_text.h"

// Loads the GL library file and binds the host's functions (hostgl::*).
// Any library loaded before is given back first. Needs SDL's video
// subsystem and must come before the GL window is created. Failure is the
// fatal error MI_ERROR_OPENGLDLLNOTFOUND.
void LoadGLLibrary(const std::string& file_name);
// Nulls the host's functions and gives the library back.
void UnloadGLLibrary();

// The loaded library's export of that name, or null.
void* GetGLProcAddress(const char* name);
// The driver's address of an extension entry point, or null without a
// library. Ask only for entry points of extensions the driver names.
void* GetGLExtProcAddress(const char* name);

// glGetString(name) as text, or null without a library or a context.
const char* GLString(GLenum name);

// True when name is a whole word of text; without a text, of the current
// context's extension string.
bool ExtensionSupported(const char* name, const char* text = nullptr);

// Runs the extension loader of that exact name: true when the driver offers
// it. WGL_* names and names without a loader answer false.
bool LoadExtension(const char* name);
