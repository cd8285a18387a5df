#include "host/display/gl_host_functions.h"

namespace hostgl {

#define ZOK_DEFINE_HOST_GL_FUNCTION(name) decltype(&::gl##name) name = nullptr;
ZOK_HOST_GL_FUNCTIONS(ZOK_DEFINE_HOST_GL_FUNCTION)
#undef ZOK_DEFINE_HOST_GL_FUNCTION

#define ZOK_COUNT_HOST_GL_FUNCTION(name) +1
static_assert(kFunctionCount == 0 ZOK_HOST_GL_FUNCTIONS(ZOK_COUNT_HOST_GL_FUNCTION));
#undef ZOK_COUNT_HOST_GL_FUNCTION

void BindAll(void* (*resolve)(const char* name)) {
#define ZOK_BIND_HOST_GL_FUNCTION(name) \
  name = reinterpret_cast<decltype(name)>(resolve("gl" #name));
  ZOK_HOST_GL_FUNCTIONS(ZOK_BIND_HOST_GL_FUNCTION)
#undef ZOK_BIND_HOST_GL_FUNCTION
}

void ClearAll() {
#define ZOK_CLEAR_HOST_GL_FUNCTION(name) name = nullptr;
  ZOK_HOST_GL_FUNCTIONS(ZOK_CLEAR_HOST_GL_FUNCTION)
#undef ZOK_CLEAR_HOST_GL_FUNCTION
}

}  // namespace hostgl
