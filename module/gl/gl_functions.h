// The module's OpenGL entry points: gl::Begin for glBegin and so on, null
// until bound. The OpenGL 1.1 set is bound by BindGL when the module
// starts; extension entry points by the loaders of gl_extensions.h. Module
// code never calls libGL's own symbols: the module does not link OpenGL.
#pragma once

#include <GL/gl.h>

#include "module/gl/gl_core_function_list.h"
#include "module/gl/gl_extension_function_list.h"

namespace gl {
#define ZOK_DECLARE_GL_FUNCTION(name, result, params) extern result(*name) params;
ZOK_GL_CORE_FUNCTIONS(ZOK_DECLARE_GL_FUNCTION)
ZOK_GL_EXTENSION_FUNCTIONS(ZOK_DECLARE_GL_FUNCTION)
#undef ZOK_DECLARE_GL_FUNCTION
}  // namespace gl
