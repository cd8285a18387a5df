#include "module/gl/gl_functions.h"

namespace gl {
#define ZOK_DEFINE_GL_FUNCTION(name, result, params) result(*name) params = nullptr;
ZOK_GL_CORE_FUNCTIONS(ZOK_DEFINE_GL_FUNCTION)
ZOK_GL_EXTENSION_FUNCTIONS(ZOK_DEFINE_GL_FUNCTION)
#undef ZOK_DEFINE_GL_FUNCTION
}  // namespace gl
