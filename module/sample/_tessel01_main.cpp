// The sample module. Its scene comes with the engine's graphics; until
// then its module object clears the window to its own colour, so the host
// can tell it is drawing.
#include <GL/gl.h>

#include "module/gl/gl_functions.h"
#include "module/runtime/mo_session.h"

class TTessel01Module : public TModule {
  ZOK_PERSISTENT_CLASS(TTessel01Module, TModule)
 public:
  TTessel01Module() = default;

  int32_t Cycle() override {
    TModule::Cycle();
    if (!gl::Clear) return 0;
    gl::ClearColor(32 / 255.0f, 104 / 255.0f, 80 / 255.0f, 1.0f);
    gl::Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return 1;
  }
};

ZOK_MODULE_OBJECT_CLASS(TTessel01Module);
