// The window's OpenGL context: the pixel-format attempts, vertical sync,
// the version check, the depth-buffer check and the release.
#include <cstring>

#include "host/config/config_manager.h"
#include "host/core/globals.h"
#include "host/display/cl_window.h"
#include "host/display/gl_host.h"
#include "host/messages/log.h"
#include "host/messages/message_container.h"
#include "shared/text_codes.h"

namespace {

constexpr const char* kDefaultGLLibrary = "libGL.so.1";

// Mesa's renderers that draw without a graphics processor.
bool IsSoftwareRenderer(const char* renderer) {
  if (!renderer) return false;
  for (const char* name : {"llvmpipe", "softpipe", "swrast"}) {
    if (std::strstr(renderer, name)) return true;
  }
  return false;
}

bool SoftwareAllowed() {
  return g_config->ReadBool("opengl", "allow_not_accelerated") ||
         g_config->ReadBool("opengl", "Use_Mesa_GL");
}

[[noreturn]] void CannotInitOpenGL(const std::string& what) {
  FatalError(MI_ERROR_CANTINITOPENGL, {what});
}

}  // namespace

void TCLWindow::InitOpenGL() {
  if (opengl_initialized) return;
  VerboseLog(MI_LOG_OPENGLINIT);

  const bool use_mesa = g_config->ReadBool("opengl", "Use_Mesa_GL");
  std::string library = g_config->ReadString("opengl", use_mesa ? "GL_MESA" : "GL_win32");
  if (library.empty()) library = kDefaultGLLibrary;
  LoadGLLibrary(library);

  VerboseLog("Calling GetDC()...");
  const int32_t depth = g_config->ReadInt("opengl", "depth_buffer_bits_win32");
  const bool sixteen_bit_fullscreen = fullscreen && sixteen_bit;
  bool found = false;
  bool chosen = false;
  if (depth >= 1) {
    chosen = sixteen_bit_fullscreen ? TryPixelFormat(16, 0, depth, found)
                                    : TryPixelFormat(24, 8, depth, found);
  }
  if (!chosen && sixteen_bit_fullscreen) chosen = TryPixelFormat(16, 0, 16, found);
  if (!chosen && !sixteen_bit_fullscreen) chosen = TryPixelFormat(24, 8, 16, found);
  if (!chosen && !sixteen_bit_fullscreen) chosen = TryPixelFormat(16, 0, 16, found);
  if (!chosen) {
    if (found) FatalError(MI_ERROR_OPENGLNOTACCELERATED);
    CannotInitOpenGL(ChooseLiteral(
        WideToCp1251(u"cистема не смогла подобрать совместимый формат экранного буфера"),
        "system cannot coose a compatible screen buffer format"));
  }

  VerboseLog("Calling wglCreateContext()...");
  VerboseLog("Context is %0 ", {static_cast<int32_t>(surface_->Id())});

  surface_->Show();
  surface_->Raise();
  // At start-up the mode was only recorded: the shown window takes it now.
  if (fullscreen) SwitchVideoMode(width, height, refresh_rate);

  const bool interval_set = surface_->SetSwapInterval(0);
  if (!interval_set) {
    AddLog(ChooseLiteral(
        WideToCp1251(
            u"WARNING: Не поддерживается WGL_EXT_swap_control. Невозможно отключить Vsync."),
        "WARNING: WGL_EXT_swap_control not supported. Cannot switch Vsync off."));
  } else if (surface_->SwapInterval() > 0) {
    AddLog(ChooseLiteral(WideToCp1251(u"WARNING: OpenGL отказалась отключить Vsync."),
                         "WARNING: OpenGL refused to switch Vsync off."));
  } else {
    VerboseLog("Vsync disabled.");
  }

  opengl_initialized = true;
  const char* version_text = GLString(GL_VERSION);
  AddLog(MI_LOG_OGLINITIALIZED, {version_text ? version_text : ""});
  // Anything below OpenGL 1.1 cannot run the engine.
  const TGLVersion version = ParseGLVersion(version_text);
  if (version < TGLVersion{1, 1}) {
    FatalError(MI_OPENGL_VERSION_TOO_LOW,
               {int32_t{version.major}, int32_t{version.minor}, int32_t{1}, int32_t{1}});
  }
}

bool TCLWindow::TryPixelFormat(int32_t color_bits, int32_t alpha_bits, int32_t depth_bits,
                               bool& found) {
  VerboseLog("Calling wglChoosePixelFormat()...");
  surface_.reset();
  platform::PixelFormatRequest request;
  request.color_bits = color_bits;
  request.alpha_bits = alpha_bits;
  request.depth_bits = depth_bits;
  std::string error;
  std::unique_ptr<platform::GLWindow> attempt =
      platform::GLWindow::Create(Host().program_name, width, height, request, error);
  if (!attempt) {
    found = false;
    VerboseLog(
        "wglChoosePixelFormat() returned zero (color bits = %0, alpha bits = %1, depth bits = %2).",
        {color_bits, alpha_bits, depth_bits});
    VerboseLog(error);
    return false;
  }
  found = true;
  VerboseLog("Chosen pixel fornmat is %0.", {static_cast<int32_t>(attempt->Id())});
  LogPixelFormat(attempt->Format());

  const char* renderer = GLString(GL_RENDERER);
  software_renderer_ = IsSoftwareRenderer(renderer);
  if (software_renderer_) {
    if (!SoftwareAllowed()) {
      AddLog(ChooseLiteral(WideToCp1251(u"Отвергнут: нет аппаратного ускорения."),
                           "Rejected: no hardware acceleration."));
      return false;
    }
    AddLog(ChooseLiteral(WideToCp1251(u"WARNING: нет аппаратного ускорения!"),
                         "WARNING: no hardware acceleration!"));
  }
  surface_ = std::move(attempt);
  return true;
}

void TCLWindow::CheckDepthBuffer() {
  if (!surface_) return;
  const platform::PixelFormatDescription format = surface_->Format();
  LogPixelFormat(format);
  if (format.depth != 0) return;
  AddLog(ChooseLiteral(WideToCp1251(u"WARNING: Буфер глубины спёрли!"),
                       "WARNING: Depth buffer missing!"));
  // An X11 window keeps the visual it was made with; a window that lost its
  // depth buffer cannot get one back without losing its context.
  FatalErrorText(ChooseLiteral(
      WideToCp1251(u"Попытка восстановить спёртый кем-то буфер глубины провалилась: cистема не "
                   u"смогла подобрать формат экранного буфера."),
      "Attempt to re-create the missing depth buffer failed: the system is unable to find a "
      "compatible screen buffer format."));
}

void TCLWindow::CloseOpenGL() {
  if (!opengl_initialized) return;
  RestoreDefaultVideoMode();
  VerboseLog("ClosingOpenGL...");
  if (surface_) surface_->ReleaseContext();
  UnloadGLLibrary();
  AddLogSuccess();
  opengl_initialized = false;
}
