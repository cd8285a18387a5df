#include "host/messages/console_textures.h"

#include "host/display/gl_host_functions.h"
#include "host/images/cl_piccodec.h"
#include "host/images/picture_io.h"
#include "host/modules/container_functions.h"

TDecodedPicture TakeSharedPicture(const std::string& container_name) {
  TDecodedPicture picture;
  int32_t mode = Im_RGB;
  HostStartDecodingPicture(container_name.c_str(), &picture.width, &picture.height, &mode);
  picture.mode = static_cast<TImageMode>(mode);
  picture.pixels.resize(PictureBytes(picture.width, picture.height, mode));
  HostFinishDecodingPicture(picture.pixels.data());
  HostDeleteContainer(container_name.c_str());
  return picture;
}

GLuint NewConsoleTexture(GLint min_filter, GLint mag_filter) {
  if (!hostgl::GenTextures) return 0;
  GLuint name = 0;
  hostgl::GenTextures(1, &name);
  hostgl::BindTexture(GL_TEXTURE_2D, name);
  hostgl::TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLfloat>(min_filter));
  hostgl::TexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLfloat>(mag_filter));
  return name;
}

void UploadConsolePixels(GLint internal_format, GLenum format, int32_t width, int32_t height,
                         const void* pixels) {
  if (!hostgl::TexImage2D) return;
  // Rows are packed without gaps.
  hostgl::PixelStorei(GL_UNPACK_ALIGNMENT, 1);
  hostgl::TexImage2D(GL_TEXTURE_2D, 0, internal_format, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels);
}
