// Host functions of the display, OpenGL, pictures and textures. Until the
// window and its OpenGL context exist they answer what is true without
// them: no screen, no OpenGL entry points, no pictures, no textures.
#include "host/display/cl_window.h"
#include "host/display/gl_host.h"
#include "host/modules/host_functions.h"

namespace hf {

void* GetGLProcAddress(const char* name) {
  return ::GetGLProcAddress(name);
}
void* GetGLExtProcAddress(const char* name) {
  return ::GetGLExtProcAddress(name);
}

void FinishDecodingPicture(void*) {}
void EncodePicture(const char*, const void*, int32_t, int32_t, int32_t) {}
void StartDecodingPicture(const char*, int32_t* width, int32_t* height, int32_t* mode) {
  if (width) *width = 0;
  if (height) *height = 0;
  if (mode) *mode = 0;
}
void BuildMipmaps(int32_t, int32_t, const void*) {}

int32_t IsFullscreen() {
  return 0;
}
void RestoreDefaultVideoMode() {}
void SwitchVideoMode(int32_t, int32_t, int32_t) {}
int32_t ScreenWidth() {
  return 0;
}
int32_t ScreenHeight() {
  return 0;
}
int32_t SwapTheBuffers() {
  return 0;
}
int32_t FrameBufferHasAlpha() {
  return 0;
}

uint64_t NewTexture(uint32_t* name) {
  if (name) *name = 0;
  return 0;
}
uint64_t RestampTexture(uint32_t) {
  return 0;
}
void MarkTexture(uint32_t, uint32_t, uint32_t) {}
int32_t ClaimTexture(uint32_t, uint32_t, uint32_t) {
  return 0;
}
void ClearTextureMarks() {}
void DeleteMarkedTextures() {}
void DeleteTexture(uint32_t, uint32_t, uint32_t) {}

}  // namespace hf
