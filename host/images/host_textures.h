// The texture services of the host functions, on the host's OpenGL
// library: the texture registry and the mipmapped upload.
#pragma once

#include <cstdint>

#include "host/images/texture_registry.h"

// The one registry of the host run; it outlives every module load.
TTextureRegistry& HostTextureRegistry();

// Uploads an RGBA picture and every smaller level into the texture bound
// to GL_TEXTURE_2D. Does nothing without the OpenGL library.
void UploadMipmappedTexture(int32_t width, int32_t height, const void* pixels);
