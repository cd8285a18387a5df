// The sample module. Its scene comes with the engine's graphics; until
// then it clears the window to its own colour, so the host can tell it is
// drawing.
#include <GL/gl.h>

#include "module/gl/gl_functions.h"
#include "module/runtime/module_hooks.h"
#include "shared/zok_protocol.h"

void ModuleStart(const std::string&, const std::string&, const std::string&) {}

int32_t ModuleMessageHandler(int32_t code, int32_t, int32_t, int32_t) {
  switch (code) {
    case Re_OnCycle:
      if (!gl::Clear) return 0;
      gl::ClearColor(32 / 255.0f, 104 / 255.0f, 80 / 255.0f, 1.0f);
      gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      return 1;
    case Re_OnResize:
    case Re_OnType:
    case Re_OnCreate:
      return 0;
  }
  return 1;
}
