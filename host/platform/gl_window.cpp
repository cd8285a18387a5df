#include "host/platform/gl_window.h"

#include <SDL.h>

namespace platform {
namespace {

SDL_Window* g_fullscreen_window = nullptr;  // for the fault handler

SDL_Window* AsWindow(void* window) {
  return static_cast<SDL_Window*>(window);
}

void SetAttributes(const PixelFormatRequest& format) {
  SDL_GL_ResetAttributes();
  const bool sixteen = format.color_bits <= 16;
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, sixteen ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, sixteen ? 6 : 8);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, sixteen ? 5 : 8);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, format.alpha_bits);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, format.depth_bits);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  // The engine draws with OpenGL 1.1: a compatibility context.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, 0);
}

int Attribute(SDL_GLattr attribute) {
  int value = 0;
  SDL_GL_GetAttribute(attribute, &value);
  return value;
}

}  // namespace

std::unique_ptr<GLWindow> GLWindow::Create(const std::string& title, int32_t width, int32_t height,
                                           const PixelFormatRequest& format, std::string& error) {
  SetAttributes(format);
  SDL_Window* window =
      SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                       SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  if (!window) {
    error = SDL_GetError();
    return nullptr;
  }
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (!context) {
    error = SDL_GetError();
    SDL_DestroyWindow(window);
    return nullptr;
  }
  if (SDL_GL_MakeCurrent(window, context) != 0) {
    error = SDL_GetError();
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    return nullptr;
  }
  return std::unique_ptr<GLWindow>(new GLWindow(window, context));
}

GLWindow::~GLWindow() {
  if (g_fullscreen_window == window_) g_fullscreen_window = nullptr;
  ReleaseContext();
  SDL_DestroyWindow(AsWindow(window_));
}

void GLWindow::ReleaseContext() {
  if (!context_) return;
  SDL_GL_MakeCurrent(AsWindow(window_), nullptr);
  SDL_GL_DeleteContext(context_);
  context_ = nullptr;
}

PixelFormatDescription GLWindow::Format() const {
  PixelFormatDescription format;
  format.red = Attribute(SDL_GL_RED_SIZE);
  format.green = Attribute(SDL_GL_GREEN_SIZE);
  format.blue = Attribute(SDL_GL_BLUE_SIZE);
  format.alpha = Attribute(SDL_GL_ALPHA_SIZE);
  format.depth = Attribute(SDL_GL_DEPTH_SIZE);
  return format;
}

uint32_t GLWindow::Id() const {
  return SDL_GetWindowID(AsWindow(window_));
}

bool GLWindow::SetSwapInterval(int32_t interval) {
  return SDL_GL_SetSwapInterval(interval) == 0;
}

int32_t GLWindow::SwapInterval() const {
  return SDL_GL_GetSwapInterval();
}

void GLWindow::Swap() {
  SDL_GL_SwapWindow(AsWindow(window_));
}

bool GLWindow::EnterFullscreen(const DisplayMode& mode, std::string& error) {
  SDL_DisplayMode wanted{};
  wanted.w = mode.width;
  wanted.h = mode.height;
  wanted.refresh_rate = mode.refresh_rate;
  SDL_DisplayMode closest{};
  if (!SDL_GetClosestDisplayMode(0, &wanted, &closest)) {
    error = SDL_GetError();
    return false;
  }
  if (mode.refresh_rate == 0) closest.refresh_rate = 0;
  SDL_Window* window = AsWindow(window_);
  if (SDL_SetWindowDisplayMode(window, &closest) != 0 ||
      SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN) != 0) {
    error = SDL_GetError();
    return false;
  }
  g_fullscreen_window = window;
  return true;
}

void GLWindow::LeaveFullscreen() {
  SDL_SetWindowFullscreen(AsWindow(window_), 0);
  if (g_fullscreen_window == window_) g_fullscreen_window = nullptr;
}

bool GLWindow::IsFullscreen() const {
  return (SDL_GetWindowFlags(AsWindow(window_)) & SDL_WINDOW_FULLSCREEN) != 0;
}

void GLWindow::Show() {
  SDL_ShowWindow(AsWindow(window_));
}
void GLWindow::Raise() {
  SDL_RaiseWindow(AsWindow(window_));
}
void GLWindow::Minimize() {
  SDL_MinimizeWindow(AsWindow(window_));
}
void GLWindow::Restore() {
  SDL_RestoreWindow(AsWindow(window_));
}

bool GLWindow::IsMinimized() const {
  return (SDL_GetWindowFlags(AsWindow(window_)) & SDL_WINDOW_MINIMIZED) != 0;
}

bool GLWindow::HasInputFocus() const {
  return (SDL_GetWindowFlags(AsWindow(window_)) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void GLWindow::ClientSize(int32_t& width, int32_t& height) const {
  int w = 0;
  int h = 0;
  SDL_GL_GetDrawableSize(AsWindow(window_), &w, &h);
  width = w;
  height = h;
}

void GLWindow::Position(int32_t& x, int32_t& y) const {
  int px = 0;
  int py = 0;
  SDL_GetWindowPosition(AsWindow(window_), &px, &py);
  x = px;
  y = py;
}

void RestoreDesktopModeNow() {
  if (g_fullscreen_window) SDL_SetWindowFullscreen(g_fullscreen_window, 0);
}

}  // namespace platform
