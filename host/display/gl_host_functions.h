// The OpenGL functions the host itself calls, resolved by name from the
// loaded GL library; null while no library is loaded or when it lacks one.
#pragma once

#include <GL/gl.h>

// X(name without the gl prefix)
// clang-format off
#define ZOK_HOST_GL_FUNCTIONS(X) \
  X(GetString) X(AlphaFunc) X(Begin) X(BindTexture) X(Color3f) X(Color4f) X(BlendFunc) \
  X(DeleteTextures) X(Disable) X(Enable) X(End) X(GenTextures) X(LoadIdentity) X(MatrixMode) \
  X(TexImage2D) X(TexParameterf) X(Normal3f) X(TexCoord2f) X(Vertex2f) X(Ortho) X(Viewport) \
  X(PixelStorei)
// clang-format on

// hostgl::Begin and so on: the types are those gl.h gives glBegin and so on.
namespace hostgl {
#define ZOK_DECLARE_HOST_GL_FUNCTION(name) extern decltype(&::gl##name) name;
ZOK_HOST_GL_FUNCTIONS(ZOK_DECLARE_HOST_GL_FUNCTION)
#undef ZOK_DECLARE_HOST_GL_FUNCTION

constexpr int kFunctionCount = 22;

// Resolves every function through resolve (name -> address or null).
void BindAll(void* (*resolve)(const char* name));
// Nulls every function.
void ClearAll();
}  // namespace hostgl
