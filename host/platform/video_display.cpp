#include "host/platform/video_display.h"

#include <SDL.h>

namespace platform {
namespace {

DisplayMode FromSdl(const SDL_DisplayMode& mode) {
  DisplayMode result;
  result.width = mode.w;
  result.height = mode.h;
  result.bits_per_pixel = static_cast<int32_t>(SDL_BITSPERPIXEL(mode.format));
  result.refresh_rate = mode.refresh_rate;
  return result;
}

}  // namespace

bool InitVideo(std::string& error) {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) return true;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  error = SDL_GetError();
  return false;
}

void QuitVideo() {
  if (SDL_WasInit(SDL_INIT_VIDEO) != 0) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool VideoInitialized() {
  return SDL_WasInit(SDL_INIT_VIDEO) != 0;
}

std::vector<DisplayMode> ListDisplayModes() {
  std::vector<DisplayMode> modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode;
    if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back(FromSdl(mode));
  }
  return modes;
}

DisplayMode CurrentDisplayMode() {
  SDL_DisplayMode mode;
  return SDL_GetCurrentDisplayMode(0, &mode) == 0 ? FromSdl(mode) : DisplayMode{};
}

DisplayMode DesktopDisplayMode() {
  SDL_DisplayMode mode;
  return SDL_GetDesktopDisplayMode(0, &mode) == 0 ? FromSdl(mode) : DisplayMode{};
}

}  // namespace platform
