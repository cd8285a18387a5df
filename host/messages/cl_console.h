// The console overlay: the log's lines drawn over the module's picture
// after each frame. New lines show at the top of the window for a while and
// fade out; opened, the console shows the newest lines that fit and scrolls
// back. When the module draws no frame, the crash screen goes under it.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <random>

#include "host/display/console_control.h"
#include "host/messages/console_layout.h"
#include "host/messages/console_lines.h"
#include "host/messages/console_noise.h"

class TConsole : public TConsoleLines, public TConsoleControl {
 public:
  TConsole();

  // Start-up, before the display exists: the log's opening line.
  void Create();
  // Once the display and the shared pictures exist: settings and textures.
  // Failures are fatal errors.
  void Setup();
  // The settings part of Setup.
  void ReadSettings();

  void SetOpen(bool open) override;
  bool IsOpen() const override { return open_; }
  // Lines scrolled back while open; never below 0 when drawn.
  void ScrollBy(int32_t lines) override { scroll_ += lines; }
  int Scroll() const { return scroll_; }

  // Once a frame, after the module's frame; crash when the module drew
  // nothing.
  void Draw(int width, int height, bool crash);

  int DisplayTime() const { return display_ms_; }
  int FadeTime() const { return fade_ms_; }
  int DoubleSizeThreshold() const { return double_size_threshold_; }

 private:
  void LoadTextures();
  void BeginOverlay(int width, int height);
  void DrawCrashScreen(int width, int height);
  void DrawText(int width, int height, int64_t ms);

  GLuint font_texture_ = 0;
  GLuint crash_texture_ = 0;
  GLuint noise_texture_ = 0;
  int display_ms_ = 1;
  int fade_ms_ = 1;
  int double_size_threshold_ = 1024;
  bool open_ = false;
  int scroll_ = 0;
  TNoise noise_;
  std::minstd_rand random_;
};
