// The host's one window with its OpenGL context, over SDL. The pixel
// format of an X11 window is fixed when the window is made, so each
// pixel-format attempt is a window and a context of its own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/platform/video_display.h"

namespace platform {

struct PixelFormatRequest {
  int32_t color_bits = 24;  // 24 or 16
  int32_t alpha_bits = 8;
  int32_t depth_bits = 16;
};

// What the system gave, read back from the context.
struct PixelFormatDescription {
  int32_t red = 0, green = 0, blue = 0, alpha = 0, depth = 0;
};

class GLWindow {
 public:
  // A window of the given client size with a current OpenGL context of the
  // requested format; null with the reason when the system has none.
  static std::unique_ptr<GLWindow> Create(const std::string& title, int32_t width, int32_t height,
                                          const PixelFormatRequest& format, std::string& error);
  ~GLWindow();
  GLWindow(const GLWindow&) = delete;
  GLWindow& operator=(const GLWindow&) = delete;

  PixelFormatDescription Format() const;
  // Gives up the OpenGL context before the window goes.
  void ReleaseContext();
  uint32_t Id() const;

  // Vertical sync: set, and read back what the driver keeps.
  bool SetSwapInterval(int32_t interval);
  int32_t SwapInterval() const;
  void Swap();

  // Real full screen in the given mode; false with the reason when refused.
  bool EnterFullscreen(const DisplayMode& mode, std::string& error);
  void LeaveFullscreen();
  bool IsFullscreen() const;

  void Show();
  void Raise();
  void Minimize();
  void Restore();
  bool IsMinimized() const;
  bool HasInputFocus() const;
  void ClientSize(int32_t& width, int32_t& height) const;
  // Window position of the client area on the screen.
  void Position(int32_t& x, int32_t& y) const;

 private:
  GLWindow(void* window, void* context) : window_(window), context_(context) {}
  void* window_;
  void* context_;
};

// Restores the desktop mode if a full-screen window changed it; safe to
// call from the fault handler as a best effort.
void RestoreDesktopModeNow();

}  // namespace platform
