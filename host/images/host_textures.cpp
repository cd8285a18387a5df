#include "host/images/host_textures.h"

#include "host/display/gl_host_functions.h"
#include "host/files/timer.h"
#include "host/images/mipmaps.h"

namespace {

uint32_t GenerateTextureName() {
  if (hostgl::GenTextures == nullptr) return 0;
  GLuint name = 0;
  hostgl::GenTextures(1, &name);
  return name;
}

void DeleteTextureName(uint32_t name) {
  if (hostgl::DeleteTextures == nullptr) return;
  const GLuint gl_name = name;
  hostgl::DeleteTextures(1, &gl_name);
}

}  // namespace

TTextureRegistry& HostTextureRegistry() {
  static TTextureRegistry registry({GenerateTextureName, DeleteTextureName},
                                   [] { return HostTimer().ReadCounter(); });
  return registry;
}

void UploadMipmappedTexture(int32_t width, int32_t height, const void* pixels) {
  if (hostgl::TexImage2D == nullptr) return;
  // Picture rows are packed; the default alignment of 4 would misread RGB
  // and grey rows. Modules upload only packed rows too, so it stays 1.
  if (hostgl::PixelStorei != nullptr) hostgl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  mipmaps::BuildChain(
      width, height, static_cast<const uint8_t*>(pixels),
      [](int32_t level, int32_t level_width, int32_t level_height, const uint8_t* level_pixels) {
        hostgl::TexImage2D(GL_TEXTURE_2D, level, GL_RGBA, level_width, level_height, 0, GL_RGBA,
                           GL_UNSIGNED_BYTE, level_pixels);
      });
}
