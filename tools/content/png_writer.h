// Writes an Image as an 8-bit RGB or RGBA PNG file through libpng.
#pragma once

#include <string>

#include "image.h"

namespace content {

// Throws std::runtime_error when the file cannot be written.
void WritePng(const std::string& path, const Image& image);

}  // namespace content
