#include "host/display/fallback_screen.h"

#include "host/display/gl_host_functions.h"

void DrawFallbackScreen(int32_t width, int32_t height) {
  if (!hostgl::Begin || width <= 0 || height <= 0) return;
  hostgl::Viewport(0, 0, width, height);
  hostgl::MatrixMode(GL_PROJECTION);
  hostgl::LoadIdentity();
  hostgl::Ortho(0, width, height, 0, -1, 1);
  hostgl::MatrixMode(GL_MODELVIEW);
  hostgl::LoadIdentity();
  hostgl::Disable(GL_DEPTH_TEST);
  hostgl::Disable(GL_TEXTURE_2D);
  hostgl::Disable(GL_BLEND);
  // The deep blue of the crash screen: no module is drawing.
  hostgl::Color3f(0.0f, 0.08f, 0.35f);
  hostgl::Begin(GL_QUADS);
  hostgl::Vertex2f(0, 0);
  hostgl::Vertex2f(static_cast<float>(width), 0);
  hostgl::Vertex2f(static_cast<float>(width), static_cast<float>(height));
  hostgl::Vertex2f(0, static_cast<float>(height));
  hostgl::End();
}
