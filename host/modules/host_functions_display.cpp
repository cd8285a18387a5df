// Host functions of the display, OpenGL, pictures and textures. Without a
// window they answer what is true then: no screen and no full screen.
#include "host/display/cl_window.h"
#include "host/display/gl_host.h"
#include "host/images/host_textures.h"
#include "host/images/picture_io.h"
#include "host/modules/host_functions.h"

namespace hf {
namespace {
uint64_t JoinStamp(uint32_t low, uint32_t high) {
  return static_cast<uint64_t>(high) << 32 | low;
}
}  // namespace

void* GetGLProcAddress(const char* name) {
  return ::GetGLProcAddress(name);
}
void* GetGLExtProcAddress(const char* name) {
  return ::GetGLExtProcAddress(name);
}

void FinishDecodingPicture(void* pixels) {
  HostFinishDecodingPicture(pixels);
}
void EncodePicture(const char* file_name, const void* pixels, int32_t width, int32_t height,
                   int32_t mode) {
  HostEncodePicture(file_name, pixels, width, height, mode);
}
void StartDecodingPicture(const char* container, int32_t* width, int32_t* height, int32_t* mode) {
  HostStartDecodingPicture(container, width, height, mode);
}
void BuildMipmaps(int32_t width, int32_t height, const void* pixels) {
  UploadMipmappedTexture(width, height, pixels);
}

int32_t IsFullscreen() {
  return g_window && g_window->fullscreen ? 1 : 0;
}
void RestoreDefaultVideoMode() {
  if (g_window) g_window->RestoreDefaultVideoMode();
}
void SwitchVideoMode(int32_t width, int32_t height, int32_t refresh_rate) {
  if (g_window) g_window->SwitchVideoMode(width, height, refresh_rate);
}
int32_t ScreenWidth() {
  return g_window ? g_window->width : 0;
}
int32_t ScreenHeight() {
  return g_window ? g_window->height : 0;
}
int32_t SwapTheBuffers() {
  return g_window && g_window->SwapTheBuffers() ? 1 : 0;
}
int32_t FrameBufferHasAlpha() {
  return g_window && g_window->frame_buffer_has_alpha ? 1 : 0;
}

uint64_t NewTexture(uint32_t* name) {
  return HostTextureRegistry().NewTexture(name);
}
uint64_t RestampTexture(uint32_t name) {
  return HostTextureRegistry().RestampTexture(name);
}
void MarkTexture(uint32_t name, uint32_t stamp_low, uint32_t stamp_high) {
  HostTextureRegistry().MarkTexture(name, JoinStamp(stamp_low, stamp_high));
}
int32_t ClaimTexture(uint32_t name, uint32_t stamp_low, uint32_t stamp_high) {
  return HostTextureRegistry().ClaimTexture(name, JoinStamp(stamp_low, stamp_high)) ? 1 : 0;
}
void ClearTextureMarks() {
  HostTextureRegistry().ClearTextureMarks();
}
void DeleteMarkedTextures() {
  HostTextureRegistry().DeleteMarkedTextures();
}
void DeleteTexture(uint32_t name, uint32_t stamp_low, uint32_t stamp_high) {
  HostTextureRegistry().DeleteTexture(name, JoinStamp(stamp_low, stamp_high));
}

}  // namespace hf
