// The start-up splash: a bitmap in a borderless, always-on-top window that
// stays out of the task bar and never takes the focus. It is drawn by
// blitting, so it needs no OpenGL.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class SplashBitmap {
 public:
  // A BMP file; null when it cannot be read.
  static std::unique_ptr<SplashBitmap> Load(const std::string& path);
  ~SplashBitmap();
  SplashBitmap(const SplashBitmap&) = delete;
  SplashBitmap& operator=(const SplashBitmap&) = delete;

  int32_t Width() const;
  int32_t Height() const;

 private:
  friend class SplashWindow;
  explicit SplashBitmap(void* surface) : surface_(surface) {}
  void* surface_;
};

class SplashWindow {
 public:
  // Shows the bitmap with its top left corner at (x, y) on the screen and
  // keeps drawing it while the window settles, for settle_ms. Null with
  // the reason when the system gives no such window. Needs the video
  // subsystem (InitVideo).
  static std::unique_ptr<SplashWindow> Show(std::unique_ptr<SplashBitmap> bitmap, int32_t x,
                                            int32_t y, uint32_t settle_ms, std::string& error);
  ~SplashWindow();
  SplashWindow(const SplashWindow&) = delete;
  SplashWindow& operator=(const SplashWindow&) = delete;

  void Redraw();
  void Position(int32_t& x, int32_t& y) const;

 private:
  SplashWindow(void* window, std::unique_ptr<SplashBitmap> bitmap)
      : window_(window), bitmap_(std::move(bitmap)) {}
  void* window_;
  std::unique_ptr<SplashBitmap> bitmap_;
};

}  // namespace platform
