#include "host/display/zok_window.h"

#include "host/core/globals.h"
#include "host/display/hotkeys.h"
#include "host/images/host_textures.h"
#include "host/messages/cl_console.h"
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
  HandleHotkeys(*this, key, g_console);
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
  // A module that drew nothing gets the crash screen under the console.
  if (g_console) g_console->Draw(width, height, drawn == 0);
  SwapTheBuffers();
}
