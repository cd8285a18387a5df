#include "host/display/zok_window.h"

#include "host/display/fallback_screen.h"
#include "host/images/host_textures.h"
#include "host/modules/cl_module.h"
#include "shared/zok_protocol.h"

void TZOKWindow::Destroy() {
  // Texture names die with the context, so they go while it still exists.
  if (WindowExists() && opengl_initialized) HostTextureRegistry().DeleteAllTextures();
  TCLWindow::Destroy();
}

void TZOKWindow::OnMouseMove() {
  if (g_module) g_module->Dispatch(Re_OnMouseMove, mouse_x, mouse_y, 0);
}

void TZOKWindow::OnResize() {
  if (g_module) g_module->Dispatch(Re_OnResize, width, height, 0);
}

void TZOKWindow::OnPress(int32_t key) {
  if (g_module) g_module->Dispatch(Re_OnPress, key, 0, 0);
}

void TZOKWindow::OnRelease(int32_t key) {
  if (g_module) g_module->Dispatch(Re_OnRelease, key, 0, 0);
}

void TZOKWindow::OnType(char16_t character) {
  if (g_module) g_module->Dispatch(Re_OnType, static_cast<int32_t>(character), 0, 0);
}

void TZOKWindow::OnCycle() {
  if (!g_module || !previous_active) return;
  g_module->CheckRecompiled();
  const int32_t drawn = g_module->Dispatch(Re_OnCycle, 0, 0, 0);
  if (drawn == 0) DrawFallbackScreen(width, height);
  SwapTheBuffers();
}
