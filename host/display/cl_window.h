// The display manager: the host's one window, its video mode and its
// OpenGL context. TCLWindow owns them; TZOKWindow routes the window's
// events to the module manager.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "host/core/engine_object.h"
#include "host/display/video_mode_list.h"
#include "host/platform/gl_window.h"

class TCLWindow : public TEngineObject {
 public:
  TCLWindow() = default;
  ~TCLWindow() override;

  // Lists the video modes, reads the video settings, goes full screen if
  // asked, creates the window and brings up OpenGL. Fails by fatal error.
  void Create();
  // Shutdown: gives up full screen (keeping the setting), OpenGL and the
  // window.
  void Destroy() override;

  // Events, in the order of the first ten module events.
  virtual void OnGetFocus() = 0;
  virtual void OnLoseFocus() = 0;
  virtual void OnMouseMove() = 0;
  virtual void OnResize() = 0;
  virtual void OnPress(int32_t key) = 0;
  virtual void OnRelease(int32_t key) = 0;
  virtual void OnType(char16_t character) = 0;
  virtual void OnCreate() = 0;
  virtual void OnDestroy() = 0;
  virtual void OnCycle() = 0;

  // Video modes of the current colour depth (16 bits when configured, else 32).
  void EnumerateVideoModes();
  void AddVideoMode(int32_t bits, int32_t width, int32_t height, int32_t rate);
  int32_t VideoModeCount() const;
  int32_t VideoModeWidth(int32_t i) const;
  int32_t VideoModeHeight(int32_t i) const;
  int32_t FindVideoMode(int32_t width, int32_t height) const;
  int32_t BestRefreshRate(int32_t i) const;
  int32_t CurrentRefreshRate() const;
  bool GoFullscreen(int32_t width, int32_t height);
  bool SwitchVideoMode(int32_t width, int32_t height, int32_t rate);
  void RestoreDefaultVideoMode();

  void CreateTheWindow();
  void DestroyTheWindow();
  void InitOpenGL();
  bool TryPixelFormat(int32_t color_bits, int32_t alpha_bits, int32_t depth_bits, bool& found);
  void CheckDepthBuffer();
  void CloseOpenGL();

  bool SwapTheBuffers();
  bool IsKeyDown(int32_t code) const;
  void SetKeyDown(int32_t code, bool down);
  void ClearKeyTable();
  // True when the system window still exists.
  bool WindowExists() const { return window_created && surface_ != nullptr; }
  platform::GLWindow* Surface() const { return surface_.get(); }

  // State the main loop and the host functions read and keep.
  bool window_created = false;
  bool active = false;
  bool sixteen_bit = false;
  bool mode_changed = false;
  int32_t saved_fullscreen_width = 0;
  int32_t saved_fullscreen_height = 0;
  bool opengl_initialized = false;
  bool fullscreen = false;
  bool fullscreen_suspended = false;
  bool skip_switch = false;
  int32_t mouse_x = 0;
  int32_t mouse_y = 0;
  bool frame_buffer_has_alpha = false;
  int32_t width = 0;
  int32_t height = 0;
  int32_t refresh_rate = 0;
  bool previous_active = false;

 protected:
  void LogPixelFormat(const platform::PixelFormatDescription& format);

  TVideoModes video_modes_;
  std::array<bool, 261> key_down_{};  // codes -5..255
  std::unique_ptr<platform::GLWindow> surface_;
  bool software_renderer_ = false;
};

// The one window, while it exists.
extern TCLWindow* g_window;

// Whether the application has the focus, kept from the window system's
// activation events; the main loop reads it.
extern bool g_application_active;
