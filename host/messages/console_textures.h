// The console's textures: pictures decoded from the host's shared-picture
// containers and uploaded with the host's own OpenGL functions.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "shared/zok_protocol.h"

struct TDecodedPicture {
  int32_t width = 0;
  int32_t height = 0;
  TImageMode mode = Im_RGB;
  std::vector<uint8_t> pixels;
};

// Decodes the picture of the named container and deletes the container,
// which nothing needs after this. Failures are fatal errors.
TDecodedPicture TakeSharedPicture(const std::string& container_name);

// A new texture name, bound, with the given filters; 0 without OpenGL.
GLuint NewConsoleTexture(GLint min_filter, GLint mag_filter);

// Uploads pixels of the given layout into the bound texture; OpenGL keeps
// the red channel as luminance.
void UploadConsolePixels(GLint internal_format, GLenum format, int32_t width, int32_t height,
                         const void* pixels);
