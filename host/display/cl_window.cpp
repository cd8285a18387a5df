#include "host/display/cl_window.h"

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/display/gl_host.h"
#include "host/messages/log.h"
#include "host/platform/video_display.h"

TCLWindow* g_window = nullptr;
bool g_application_active = true;

namespace {
constexpr int32_t kLowestKey = -5;
constexpr int32_t kDefaultWidth = 800;
constexpr int32_t kDefaultHeight = 600;
}  // namespace

TCLWindow::~TCLWindow() {
  // Destroy normally ran; this covers a window whose construction failed.
  surface_.reset();
  UnloadGLLibrary();
  if (g_window == this) g_window = nullptr;
}

void TCLWindow::Create() {
  video_modes_.Clear();
  VerboseLog("Obtainning video modes list from the system...");
  EnumerateVideoModes();
  VerboseLog("Video modes found: %0", {VideoModeCount()});
  for (int32_t i = 0; i < VideoModeCount(); ++i) {
    VerboseLog("  %0x%1", {VideoModeWidth(i), VideoModeHeight(i)});
  }

  width = g_config->ReadInt("video", "width");
  height = g_config->ReadInt("video", "height");
  sixteen_bit = g_config->ReadBool("video", "16_bit");

  if (g_config->ReadBool("video", "fullscreen")) {
    GoFullscreen(width, height);
    skip_switch = true;  // the mode is set before the window exists
  }

  CreateTheWindow();
  previous_active = true;
  active = true;
  InitOpenGL();
  const char* extensions = GLString(GL_EXTENSIONS);
  VerboseLog(std::string("OpenGL extensions: ") + (extensions ? extensions : ""));

  OnCreate();
  OnGetFocus();
  OnResize();

  if (g_window != nullptr && g_window != this) {
    FatalErrorText("Application can have only ONE object of class TCLWindow or its descendant!");
  }
  g_window = this;
}

void TCLWindow::Destroy() {
  if (previous_active) OnLoseFocus();
  OnDestroy();
  // Closing in full screen keeps the setting, so the next start is full screen too.
  const bool configured_fullscreen = g_config->ReadBool("video", "fullscreen");
  RestoreDefaultVideoMode();
  g_config->WriteBool("video", "fullscreen", configured_fullscreen);
  CloseOpenGL();
  DestroyTheWindow();
  video_modes_.Clear();
  if (g_window == this) g_window = nullptr;
}

void TCLWindow::CreateTheWindow() {
  VerboseLog("Creating the window...");
  std::string error;
  if (!platform::InitVideo(error)) FatalError(MI_CANT_CONNECT_TO_X_SERVER, {error});
  // The system window itself is made with its OpenGL context, since an X11
  // window's pixel format is fixed when it is created.
  if (width <= 0) width = kDefaultWidth;
  if (height <= 0) height = kDefaultHeight;
  window_created = true;
  VerboseLog("Ok");
}

void TCLWindow::DestroyTheWindow() {
  if (!window_created) {
    VerboseLog("Cannot destroy the window because it doesn't exist.");
    return;
  }
  surface_.reset();
  window_created = false;
  VerboseLog("Window destroyed.");
}

bool TCLWindow::SwapTheBuffers() {
  if (!surface_) return false;
  surface_->Swap();
  return true;
}

bool TCLWindow::IsKeyDown(int32_t code) const {
  if (code < kLowestKey || code > 255) return false;
  return key_down_[code - kLowestKey];
}

void TCLWindow::SetKeyDown(int32_t code, bool down) {
  if (code < kLowestKey || code > 255) return;
  key_down_[code - kLowestKey] = down;
}

void TCLWindow::ClearKeyTable() {
  key_down_.fill(false);
}

void TCLWindow::LogPixelFormat(const platform::PixelFormatDescription& format) {
  AddLog(MI_LOG_Choosenpixelformat,
         {format.red, format.green, format.blue, format.alpha, format.depth});
  frame_buffer_has_alpha = format.alpha > 0;
}
