#include "host/platform/splash_window.h"

#include <SDL.h>

#include <utility>

#include "host/platform/clock.h"

namespace platform {
namespace {

SDL_Surface* AsSurface(void* surface) {
  return static_cast<SDL_Surface*>(surface);
}

SDL_Window* AsWindow(void* window) {
  return static_cast<SDL_Window*>(window);
}

}  // namespace

std::unique_ptr<SplashBitmap> SplashBitmap::Load(const std::string& path) {
  SDL_Surface* surface = SDL_LoadBMP(path.c_str());
  if (!surface) return nullptr;
  return std::unique_ptr<SplashBitmap>(new SplashBitmap(surface));
}

SplashBitmap::~SplashBitmap() {
  SDL_FreeSurface(AsSurface(surface_));
}

int32_t SplashBitmap::Width() const {
  return AsSurface(surface_)->w;
}

int32_t SplashBitmap::Height() const {
  return AsSurface(surface_)->h;
}

std::unique_ptr<SplashWindow> SplashWindow::Show(std::unique_ptr<SplashBitmap> bitmap, int32_t x,
                                                 int32_t y, uint32_t settle_ms,
                                                 std::string& error) {
  // The splash must not steal the focus from whatever the user is doing,
  // nor pull in OpenGL for its window surface.
  SDL_SetHint(SDL_HINT_WINDOW_NO_ACTIVATION_WHEN_SHOWN, "1");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_Window* window =
      SDL_CreateWindow("ZOK", x, y, bitmap->Width(), bitmap->Height(),
                       SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
  if (!window) {
    error = SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SplashWindow> splash(new SplashWindow(window, std::move(bitmap)));
  // The window manager maps the window asynchronously: keep it painted
  // until it has settled. Events stay queued for the host's own loop.
  const uint32_t start = TickMs();
  do {
    SDL_PumpEvents();
    splash->Redraw();
    SleepMs(10);
  } while (TickMs() - start <= settle_ms);
  return splash;
}

SplashWindow::~SplashWindow() {
  SDL_DestroyWindow(AsWindow(window_));
}

void SplashWindow::Redraw() {
  SDL_Surface* target = SDL_GetWindowSurface(AsWindow(window_));
  if (!target) return;
  SDL_BlitSurface(AsSurface(bitmap_->surface_), nullptr, target, nullptr);
  SDL_UpdateWindowSurface(AsWindow(window_));
}

void SplashWindow::Position(int32_t& x, int32_t& y) const {
  int px = 0;
  int py = 0;
  SDL_GetWindowPosition(AsWindow(window_), &px, &py);
  x = px;
  y = py;
}

}  // namespace platform
